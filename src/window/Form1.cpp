#include "window/Form1.h"

#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include "output/CreateTheme.h"
#include "pages/AboutPage.h"
#include "pages/DesktopIconsPage.h"
#include "pages/Layout.h"
#include "pages/MousePointersPage.h"
#include "pages/ScreenSaverPage.h"
#include "pages/SoundsPage.h"
#include "pages/ThemeColorsPage.h"
#include "pages/ThemeInfoPage.h"
#include "pages/WallpaperPage.h"
#include "window/AssetCopy.h"
#include "window/TabStrip.h"

// The window's resources live in a static library, so they must be registered by hand.
static void initWindowResources() {
    Q_INIT_RESOURCE(window);
}

namespace window {

namespace {
constexpr int kClientWidthTwips = 8715;
constexpr int kClientHeightTwips = 5325;
constexpr int kThemeInfoPage = 7;

QFont windowFont() {
    // The Windows face first; on other systems a sans serif of similar width.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}
}  // namespace

Form1::Form1(Services& services, QWidget* parent) : QWidget(parent), m_services(services) {
    initWindowResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Skinsmith for Microsoft Plus! "));
    setAccessibleName(windowTitle());
    setFont(windowFont());
    // The pages are laid out for this client area; it is not resizable.
    setFixedSize(pages::pixels(kClientWidthTwips), pages::pixels(kClientHeightTwips));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    // The tab control is 8895 twips wide, more than the client area; it ends at the edge.
    m_tabs = pages::place(new TabStrip(this), QStringLiteral("SSTab1"), QStringLiteral("Pages"),
                          pages::at(0, 0, kClientWidthTwips, 4575));
    Services& s = m_services;
    m_desktopIcons = new pages::DesktopIconsPage(m_theme, s.commonDialog, s.pictureLoader);
    m_wallpaper = new pages::WallpaperPage(m_theme, s.commonDialog, s.pictureLoader);
    m_mousePointers = new pages::MousePointersPage(m_theme, s.commonDialog, s.pictureLoader);
    m_sounds = new pages::SoundsPage(m_theme, s.commonDialog, s.wavePlayer);
    m_themeColors = new pages::ThemeColorsPage(m_theme, s.commonDialog);
    m_screenSaver = new pages::ScreenSaverPage(m_theme, s.commonDialog, s.programLauncher);
    m_about = new pages::AboutPage();
    m_themeInfo =
        new pages::ThemeInfoPage(m_theme, s.commonDialog, s.pictureLoader, s.messageBoxes);
    m_tabs->addPage(m_desktopIcons, QStringLiteral("Desktop icons"));
    m_tabs->addPage(m_wallpaper, QStringLiteral("Wallpaper"));
    m_tabs->addPage(m_mousePointers, QStringLiteral("Mouse Pointers"));
    m_tabs->addPage(m_sounds, QStringLiteral("Sounds"));
    m_tabs->addPage(m_themeColors, QStringLiteral("Theme Colors"));
    m_tabs->addPage(m_screenSaver, QStringLiteral("Screen Saver"));
    m_tabs->addPage(m_about, QStringLiteral("About"));
    m_tabs->addPage(m_themeInfo, QStringLiteral("Theme Info"));
    const char* pageNames[] = {"DesktopIconsPage", "WallpaperPage",   "MousePointersPage",
                               "SoundsPage",       "ThemeColorsPage", "ScreenSaverPage",
                               "AboutPage",        "ThemeInfoPage"};
    for (int i = 0; i < m_tabs->count(); ++i)
        m_tabs->page(i)->setObjectName(QString::fromLatin1(pageNames[i]));

    m_command1 = pages::place(new QPushButton(QStringLiteral("Create Theme"), this),
                              QStringLiteral("Command1"), QStringLiteral("Create Theme"),
                              pages::at(1080, 4680, 2175, 615));
    m_command3 =
        pages::place(new QPushButton(QStringLiteral("Exit "), this), QStringLiteral("Command3"),
                     QStringLiteral("Exit"), pages::at(5520, 4680, 2175, 615));

    m_copy = new AssetCopy(this);
    connect(m_copy, &AssetCopy::progress, this, &Form1::copyProgress);
    connect(m_copy, &AssetCopy::finished, this, &Form1::copiesFinished);

    connect(m_themeInfo->nameBox(), &QLineEdit::textChanged, this, &Form1::Text2_Change);
    connect(m_command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(m_command3, &QPushButton::clicked, this, &Form1::Command3_Click);

    Form_Load();
}

void Form1::Form_Load() {
    // The theme already holds its initial values. Selecting the first colour goes through
    // the list's own click handler, which paints the swatch.
    m_themeColors->selectEntry(0);
    m_tabs->setCurrentIndex(kThemeInfoPage);
}

void Form1::Text2_Change() {
    m_theme.themeName = m_themeInfo->nameBox()->text().toStdString();
}

bool Form1::copying() const {
    return m_copy->running();
}

void Form1::Command1_Click() {
    if (copying()) {
        m_services.messageBoxes.show(
            {"The files of the last theme are still being copied. Wait until the copy ends, or "
             "cancel it, before creating a theme again.",
             "Copying files", platform::MessageButtons::Ok, platform::MessageIcon::Warning,
             platform::MessageResult::Ok});
        return;
    }
    if (!output::writeTheme(m_theme, m_services.fileSystem, m_services.messageBoxes)) return;
    startCopies();
}

// The copies run on a worker thread after "Done!", so the window goes on repainting while
// hundreds of megabytes are copied; the progress dialog shows where they are.
void Form1::startCopies() {
    m_copiedTheme = m_theme;
    m_copyProgress = new QProgressDialog(this);
    m_copyProgress->setObjectName(QStringLiteral("CopyProgress"));
    m_copyProgress->setWindowTitle(QStringLiteral("Copying the theme's files"));
    m_copyProgress->setAutoClose(false);
    m_copyProgress->setAutoReset(false);
    m_copyProgress->setRange(0, 1000);
    m_copyProgress->setMinimumDuration(300);  // a quick copy never flashes a dialog
    m_copyProgress->setValue(0);
    connect(m_copyProgress, &QProgressDialog::canceled, m_copy, &AssetCopy::cancel);
    m_copy->start(m_copiedTheme, m_services.fileSystem);
}

void Form1::copyProgress(const QString& file, quint64 bytesDone, quint64 bytesTotal) {
    if (m_copyProgress == nullptr || m_copyProgress->wasCanceled()) return;
    auto megabytes = [](quint64 bytes) { return QString::number(bytes / 1048576.0, 'f', 1); };
    const QString where = file.isEmpty() ? QString() : QStringLiteral("Copying %1\n").arg(file);
    m_copyProgress->setLabelText(
        where +
        QStringLiteral("%1 MB of %2 MB copied").arg(megabytes(bytesDone), megabytes(bytesTotal)));
    m_copyProgress->setValue(bytesTotal == 0 ? 0 : static_cast<int>(bytesDone * 1000 / bytesTotal));
}

void Form1::copiesFinished(const QStringList& missing) {
    if (m_copyProgress != nullptr) {
        m_copyProgress->hide();
        m_copyProgress->deleteLater();
        m_copyProgress = nullptr;
    }
    if (m_exitAfterCopy) {
        close();
        emit exitRequested();
        return;
    }
    std::vector<std::string> list;
    for (const QString& m : missing) list.push_back(m.toStdString());
    output::reportUncopied(m_copiedTheme, list, m_services.messageBoxes);
}

void Form1::Command3_Click() {
    if (copying()) {
        platform::Message stop;
        stop.text =
            "The theme's files are still being copied. Stop the copy and exit? The files not yet "
            "copied will be missing from the theme.";
        stop.title = "Exit Theme Creator";
        stop.buttons = platform::MessageButtons::OkCancel;
        stop.defaultButton = platform::MessageResult::Cancel;
        if (m_services.messageBoxes.show(stop) != platform::MessageResult::Ok) return;
        // The window closes once the file being copied is complete.
        m_exitAfterCopy = true;
        m_copy->cancel();
        return;
    }
    platform::Message question;
    question.text = "Are you sure you want to exit? Perhaps you accidentally clicked on exit.";
    question.title = "Exit Theme Creator";
    question.buttons = platform::MessageButtons::OkCancel;
    question.icon = platform::MessageIcon::None;
    question.defaultButton = platform::MessageResult::Ok;
    if (m_services.messageBoxes.show(question) != platform::MessageResult::Ok) return;
    close();
    emit exitRequested();
}

bool Form1::event(QEvent* event) {
    // The icon is read right after the first frame: decoding it loads Qt's image plugins,
    // a cost the window should not make the user wait for before it appears.
    if (event->type() == QEvent::Paint && !m_iconRequested) {
        m_iconRequested = true;
        QTimer::singleShot(
            0, this, [this] { setWindowIcon(QIcon(QStringLiteral(":/skinsmith/skinsmith.ico"))); });
    }
    return QWidget::event(event);
}

void Form1::keyPressEvent(QKeyEvent* event) {
    // Ctrl+Tab switches pages from anywhere in the window, the buttons below included.
    if (m_tabs->handleSwitchKey(event)) return;
    QWidget::keyPressEvent(event);
}

}  // namespace window
