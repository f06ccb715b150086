#include "window/Form1.h"

#include <QFontDatabase>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
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

constexpr qreal kFontPoints = 8.25;

QFont windowFont() {
    // The captions were sized for 8-point MS Sans Serif: the Windows face first, then faces
    // with Arial's metrics (Liberation Sans is what the setup script installs).
    const QStringList preferred = {
        QStringLiteral("MS Sans Serif"),   QStringLiteral("Microsoft Sans Serif"),
        QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
        QStringLiteral("Arimo"),           QStringLiteral("Nimbus Sans"),
        QStringLiteral("Helvetica")};
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kFontPoints);
    for (const QString& family : preferred) {
        if (QFontDatabase::hasFamily(family)) {
            font.setFamilies({family});
            return font;
        }
    }
    // None of them: the narrowest installed Latin face, measured on the longest caption.
    const QString sample = QStringLiteral("Inverse Diagonal resize...");
    QString narrowest;
    int narrowestWidth = 0;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Latin)) {
        if (QFontDatabase::isPrivateFamily(family) || QFontDatabase::isFixedPitch(family) ||
            !QFontDatabase::isScalable(family))
            continue;
        QFont candidate(family);
        candidate.setPointSizeF(kFontPoints);
        const int width = QFontMetrics(candidate).horizontalAdvance(sample);
        if (narrowest.isEmpty() || width < narrowestWidth) {
            narrowest = family;
            narrowestWidth = width;
        }
    }
    if (!narrowest.isEmpty()) font.setFamilies({narrowest});
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
    // "Theme Info" is in front, so typing starts in its name box.
    m_themeInfo->nameBox()->setFocus(Qt::OtherFocusReason);
}

void Form1::Text2_Change() {
    m_theme.themeName = m_themeInfo->nameBox()->text().toStdString();
}

void Form1::Command1_Click() {
    output::createTheme(m_theme, m_services.fileSystem, m_services.messageBoxes);
}

void Form1::Command3_Click() {
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
