// SPDX-License-Identifier: MIT
#include "window/Form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "input/ThemePack.h"
#include "input/ThemeReader.h"
#include "output/CreateTheme.h"
#include "pages/AboutPage.h"
#include "pages/DesktopIconsPage.h"
#include "pages/Layout.h"
#include "pages/MousePointersPage.h"
#include "pages/PickFile.h"
#include "pages/ScreenSaverPage.h"
#include "pages/SoundsPage.h"
#include "pages/ThemeColorsPage.h"
#include "pages/ThemeInfoPage.h"
#include "pages/WallpaperPage.h"
#include "preview/PreviewRenderer.h"
#include "window/AssetCopy.h"
#include "window/ColorsMenu.h"
#include "window/EditMenu.h"
#include "window/ExportDialog.h"
#include "window/FontsDialog.h"
#include "window/TabStrip.h"
#include "window/TabStripAccessible.h"
#include "window/ThemeHistory.h"
#include "window/ThemePacks.h"
#include "window/ThemePreviewWindow.h"
#include "window/ToolsMenu.h"

// The window's resources live in a static library, so they must be registered by hand.
static void initWindowResources() {
    Q_INIT_RESOURCE(window);
}

namespace window {

namespace {
constexpr int kClientWidthTwips = 8715;
constexpr int kClientHeightTwips = 5325;
constexpr int kThemeInfoPage = 7;
// File > Open also lists theme packs, which are unpacked and their theme opened.
constexpr std::string_view kOpenPattern = "*.theme;*.zip;*.lzh;*.lha;*.cab";
constexpr const char* kOpenTitle = "Open Theme";

// The .theme files among dropped or pasted URLs, as local paths.
QStringList themeFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() &&
            (url.toLocalFile().endsWith(QStringLiteral(".theme"), Qt::CaseInsensitive) ||
             input::isPackName(url.toLocalFile().toStdString())))
            files << url.toLocalFile();
    return files;
}

std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items) text += "\n    " + item;
    return text;
}

// What opening a theme found missing or unusable, each kind under its heading.
std::string openedText(const std::string& windowsPath, const input::OpenReport& report) {
    const bool gaps =
        !report.missingFiles.empty() || !report.embeddedIcons.empty() || !report.badColors.empty();
    std::string text =
        "The theme " + windowsPath + (gaps ? " was opened, with these gaps:" : " was opened.");
    if (!report.missingFiles.empty())
        text += "\n\nFiles not found (Create Theme will list them as not copied):" +
                listed(report.missingFiles);
    if (!report.embeddedIcons.empty())
        text +=
            "\n\nIcons inside program files, which the page cannot show (kept as the theme "
            "names them while the slot stays empty):" +
            listed(report.embeddedIcons);
    if (!report.badColors.empty())
        text +=
            "\n\nColours that are not three values from 0 to 255 (not kept; the element keeps "
            "its Windows Standard colour):" +
            listed(report.badColors);
    if (!report.notKept.empty()) text += "\n\nLines that cannot be kept:" + listed(report.notKept);
    if (!report.keptUnfound.empty())
        text +=
            "\n\nKept as written, naming files that are not on this machine to copy (Windows "
            "may have them):" +
            listed(report.keptUnfound);
    if (!report.keptKeys.empty())
        text +=
            "\n\nKept and written back as they are (no page edits them):" + listed(report.keptKeys);
    return text;
}

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
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setAcceptDrops(true);

    // The pages are laid out for this client area; it is not resizable. The menu bar stands
    // above it, so the window is taller by the bar alone and no control moves.
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("MenuBar"));
    m_menuBar->setAccessibleName(QStringLiteral("Menu bar"));
    m_client = new QWidget(this);
    installTabStripAccessibility();  // before the client's interface exists: it lists the pages
    m_client->setObjectName(QStringLiteral("Client"));
    m_client->setAccessibleName(QStringLiteral("Theme"));
    m_client->setFixedSize(pages::pixels(kClientWidthTwips), pages::pixels(kClientHeightTwips));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_client);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The tab control is 8895 twips wide, more than the client area; it ends at the edge.
    m_tabs = pages::place(new TabStrip(m_client), QStringLiteral("SSTab1"), QStringLiteral("Pages"),
                          pages::at(0, 0, kClientWidthTwips, 4575));
    Services& s = m_services;
    m_desktopIcons = new pages::DesktopIconsPage(m_theme, s.commonDialog, s.pictureLoader);
    m_wallpaper = new pages::WallpaperPage(m_theme, s.commonDialog, s.pictureLoader);
    m_mousePointers = new pages::MousePointersPage(m_theme, s.commonDialog, s.pictureLoader);
    m_sounds = new pages::SoundsPage(m_theme, s.commonDialog, s.wavePlayer);
    m_themeColors = new pages::ThemeColorsPage(m_theme, s.commonDialog);
    m_screenSaver =
        new pages::ScreenSaverPage(m_theme, s.commonDialog, s.programLauncher, s.messageBoxes);
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
    for (pages::Page* page :
         {static_cast<pages::Page*>(m_desktopIcons), static_cast<pages::Page*>(m_wallpaper),
          static_cast<pages::Page*>(m_mousePointers), static_cast<pages::Page*>(m_sounds),
          static_cast<pages::Page*>(m_themeColors), static_cast<pages::Page*>(m_screenSaver),
          static_cast<pages::Page*>(m_themeInfo)})
        connect(page, &pages::Page::changed, this, &Form1::themeChanged);
    const char* pageNames[] = {"DesktopIconsPage", "WallpaperPage",   "MousePointersPage",
                               "SoundsPage",       "ThemeColorsPage", "ScreenSaverPage",
                               "AboutPage",        "ThemeInfoPage"};
    for (int i = 0; i < m_tabs->count(); ++i)
        m_tabs->page(i)->setObjectName(QString::fromLatin1(pageNames[i]));

    m_command1 = pages::place(new QPushButton(QStringLiteral("Create Theme"), m_client),
                              QStringLiteral("Command1"), QStringLiteral("Create Theme"),
                              pages::at(1080, 4680, 2175, 615));
    m_command3 =
        pages::place(new QPushButton(QStringLiteral("Exit "), m_client), QStringLiteral("Command3"),
                     QStringLiteral("Exit"), pages::at(5520, 4680, 2175, 615));

    m_copy = new AssetCopy(this);
    connect(m_copy, &AssetCopy::written, this, &Form1::themeFilesWritten);
    connect(m_copy, &AssetCopy::progress, this, &Form1::copyProgress);
    connect(m_copy, &AssetCopy::finished, this, &Form1::copiesFinished);

    connect(m_themeInfo->nameBox(), &QLineEdit::textChanged, this, &Form1::Text2_Change);
    connect(m_command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(m_command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    m_history = new ThemeHistory(*this);
    buildMenus();

    Form_Load();
}

void Form1::buildMenus() {
    auto add = [this](QMenu* menu, const char* name, const QString& text, const QKeySequence& keys,
                      void (Form1::*handler)()) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        // The shortcuts work on every page, whichever control has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    QMenu* file = m_menuBar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    add(file, "mnuFileNew", QStringLiteral("&New Theme"), QKeySequence(Qt::CTRL | Qt::Key_N),
        &Form1::mnuFileNew_Click);
    add(file, "mnuFileOpen", QStringLiteral("&Open Theme..."), QKeySequence(Qt::CTRL | Qt::Key_O),
        &Form1::mnuFileOpen_Click);
    add(file, "mnuFileCreate", QStringLiteral("&Create Theme"), QKeySequence(Qt::CTRL | Qt::Key_S),
        &Form1::Command1_Click);
    ExportDialog::addMenuItem(file, *this, m_services);
    m_openFolderAction = add(file, "mnuFileOpenFolder", QStringLiteral("Open Theme &Folder"), {},
                             &Form1::mnuFileOpenFolder_Click);
    file->addSeparator();
    add(file, "mnuFileExit", QStringLiteral("E&xit"), {}, &Form1::Command3_Click);
    connect(file, &QMenu::aboutToShow, this, &Form1::updateMenus);

    new EditMenu(*m_history, m_menuBar);

    QMenu* view = m_menuBar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    add(view, "mnuViewPreview", QStringLiteral("Theme &Preview"), QKeySequence(Qt::Key_F5),
        &Form1::mnuViewPreview_Click);
    FontsDialog::addMenuItem(view, *this);

    new ColorsMenu(m_menuBar, *this, m_services);
    m_tools = new ToolsMenu(*m_menuBar, *this, m_services);

    QMenu* help = m_menuBar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    add(help, "mnuHelpAbout", QStringLiteral("&About Skinsmith"), {}, &Form1::mnuHelpAbout_Click);
    updateMenus();
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

bool Form1::copying() const {
    return m_copy->running();
}

// The theme's files are written and flushed on the worker, so a disk slow to flush (after a big
// copy, say) never stalls the window; "Done!" comes once both are in place, then the copies.
void Form1::Command1_Click() {
    if (refusedWhileCopying("creating a theme again")) return;
    platform::MessageBoxes& messages = m_services.messageBoxes;
    if (!output::checkThemeName(m_theme, messages) ||
        !output::mayReplaceTheme(m_theme, m_services.fileSystem, messages, m_ownThemeFile))
        return;
    // Files Windows 98 cannot show may be converted first; the theme's files follow them.
    if (m_tools->askBeforeCreate([this] { createTheme(); })) return;
    createTheme();
}

void Form1::createTheme() {
    m_copiedTheme = m_theme;
    m_copy->writeFiles(m_copiedTheme, m_services.fileSystem);
}

void Form1::themeFilesWritten() {
    updateMenus();
    if (m_exitAfterCopy) {
        close();
        emit exitRequested();
        return;
    }
    if (const auto& failure = m_copy->writeFailure()) {
        m_services.messageBoxes.show(*failure);
        return;
    }
    m_ownThemeFile = output::themeFilePath(m_copiedTheme);
    m_cleanTheme = m_copiedTheme;
    output::tellThemeWritten(m_copiedTheme, m_services.messageBoxes);
    emit themeCreated(QString::fromStdString(m_ownThemeFile));
    startCopies();
}

// The copies run on a worker thread after "Done!", so the window goes on repainting while
// hundreds of megabytes are copied; the progress dialog shows where they are.
void Form1::startCopies() {
    // m_copiedTheme is the state the theme file was written from: the window stayed live
    // while it was written, so the copies must not take later edits.
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
    auto megabytes = [](quint64 bytes) {
        return QString::number(static_cast<double>(bytes) / 1048576.0, 'f', 1);
    };
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
    output::reportUncopied(m_copiedTheme, list, m_services.fileSystem, m_services.messageBoxes);
    updateMenus();
}

std::string Form1::themeFolder() const {
    return "C:\\skinvault\\" + m_theme.themeName;
}

void Form1::updateMenus() {
    std::error_code error;
    const auto host = m_services.drives.toHost(themeFolder());
    m_openFolderAction->setEnabled(!m_theme.themeName.empty() && host &&
                                   std::filesystem::is_directory(*host, error));
}

bool Form1::mayDiscardTheme(const char* title) {
    if (m_theme == m_cleanTheme) return true;
    platform::Message question;
    question.text = "The current theme's choices will be replaced. Go on?";
    question.title = title;
    question.buttons = platform::MessageButtons::OkCancel;
    question.icon = platform::MessageIcon::Warning;
    question.defaultButton = platform::MessageResult::Cancel;
    return m_services.messageBoxes.show(question) == platform::MessageResult::Ok;
}

void Form1::replaceTheme(state::ThemeState theme) {
    m_theme = std::move(theme);
    // Setting the name box runs Text2_Change, which copies the same name back.
    m_themeInfo->nameBox()->setText(QString::fromStdString(m_theme.themeName));
    m_desktopIcons->showState();
    m_wallpaper->showState();
    m_mousePointers->showState();
    m_sounds->showState();
    m_themeColors->showState();
    m_screenSaver->showState();
    m_themeInfo->showState();
    updateMenus();
    emit themeReplaced();
    emit themeChanged();
}

void Form1::replaceColors(const std::array<state::Color, state::kColorCount>& colors,
                          const QString& name) {
    if (colors == m_theme.colors) return;
    state::ThemeState next = m_theme;
    next.colors = colors;
    applyChange(std::move(next), name);
}

void Form1::applyChange(state::ThemeState theme, const QString& name) {
    m_history->apply(std::move(theme), name);
}

QLineEdit* Form1::nameBox() const {
    return m_themeInfo->nameBox();
}

void Form1::mnuViewPreview_Click() {
    // Built on first use, so start-up pays nothing for it.
    if (!m_preview) {
        m_preview = new ThemePreviewWindow(m_theme, m_services.pictureLoader, this);
        m_preview->setObjectName(QStringLiteral("ThemePreview"));
        connect(this, &Form1::themeChanged, m_preview, &ThemePreviewWindow::refresh);
        // A click on an element selects it in the colour list, so "Change color" acts on it;
        // the page in front stays the user's choice.
        connect(m_preview, &ThemePreviewWindow::elementClicked, m_themeColors,
                &pages::ThemeColorsPage::elementClicked);
        m_preview->placeBeside(*this);
    }
    m_preview->refresh();
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
}

bool Form1::refusedWhileCopying(const char* action) {
    if (!copying()) return false;
    m_services.messageBoxes.show({std::string("The files of the last theme are still being "
                                              "copied. Wait until the copy ends, or cancel it, "
                                              "before ") +
                                      action + ".",
                                  "Copying files", platform::MessageButtons::Ok,
                                  platform::MessageIcon::Warning, platform::MessageResult::Ok});
    return true;
}

void Form1::mnuFileNew_Click() {
    if (refusedWhileCopying("starting a new theme")) return;
    if (!mayDiscardTheme("New Theme")) return;
    m_ownThemeFile.clear();
    m_cleanTheme = state::ThemeState{};
    applyChange(state::ThemeState{}, QStringLiteral("New Theme"));
}

void Form1::mnuFileOpen_Click() {
    if (refusedWhileCopying("opening a theme")) return;
    const std::string path = pages::pickFile(m_services.commonDialog, "Theme files", kOpenPattern);
    if (!state::holdsChoice(path, kOpenPattern)) return;
    if (!mayDiscardTheme(kOpenTitle)) return;
    if (input::isPackName(path)) {
        if (const auto host = m_services.drives.toHost(path))
            openThemeFile(QString::fromStdString(host->string()));
        return;
    }
    openTheme(path);
}

bool Form1::openThemeFile(const QString& hostPath) {
    if (refusedWhileCopying("opening a theme")) return false;
    std::string why;
    const auto absolute = std::filesystem::absolute(hostPath.toStdString());
    const auto path = m_services.drives.toWindows(absolute.lexically_normal(), &why);
    if (!path) {
        m_services.messageBoxes.show(
            {"Cannot open the theme file " + hostPath.toStdString() + "\n\n" + why, kOpenTitle,
             platform::MessageButtons::Ok, platform::MessageIcon::Stop,
             platform::MessageResult::Ok});
        return false;
    }
    if (input::isPackName(*path)) {
        const auto theme = ThemePacks(m_services, this).themeFromPack(absolute.lexically_normal());
        return theme && openTheme(*theme);
    }
    return openTheme(*path);
}

bool Form1::openTheme(const std::string& windowsPath) {
    auto result = input::openTheme(m_services.drives, windowsPath);
    if (!result.opened) {
        m_services.messageBoxes.show(
            {"Cannot open the theme file " + windowsPath + "\n\n" + result.error, kOpenTitle,
             platform::MessageButtons::Ok, platform::MessageIcon::Stop,
             platform::MessageResult::Ok});
        return false;
    }
    const input::OpenReport report = std::move(result.opened->report);
    state::ThemeState& opened = result.opened->theme;
    if (!useOutsideFiles(windowsPath, report)) input::leaveOut(opened, report.outsideFiles);
    m_ownThemeFile = windowsPath;
    m_cleanTheme = opened;
    // Fonts shipped beside the theme show in the preview, as once installed with it.
    if (const auto host = m_services.drives.toHost(windowsPath))
        preview::loadThemeFonts(host->parent_path());
    applyChange(std::move(opened), QStringLiteral("Open Theme"));
    emit themeOpened(QString::fromStdString(windowsPath));
    if (report.outsideFiles.empty() && !report.empty()) {
        m_services.messageBoxes.show({openedText(windowsPath, report), kOpenTitle,
                                      platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                                      platform::MessageResult::Ok});
    }
    return true;
}

bool Form1::useOutsideFiles(const std::string& windowsPath, const input::OpenReport& report) {
    if (report.outsideFiles.empty()) return true;
    // One message says all: the gaps first, then these files and the question.
    const std::string text =
        openedText(windowsPath, report) +
        "\n\nFiles outside the theme's own folder (Create Theme would copy them into the new "
        "theme):" +
        listed(report.outsideFiles) +
        "\n\nA theme from elsewhere can name any file you can read. Use these files only if "
        "you "
        "trust this theme.";
    platform::Message question{text, kOpenTitle, platform::MessageButtons::OkCancel,
                               platform::MessageIcon::Warning, platform::MessageResult::Cancel};
    question.okText = "Use these files";
    question.cancelText = "Leave these slots empty";
    return m_services.messageBoxes.show(question) == platform::MessageResult::Ok;
}

void Form1::mnuFileOpenFolder_Click() {
    updateMenus();
    if (m_openFolderAction->isEnabled()) m_services.programLauncher.showFolder(themeFolder());
}

void Form1::mnuHelpAbout_Click() {
    std::string text = "Skinsmith " SKINSMITH_VERSION
                       "\n\n"
                       "Builds desktop themes for Windows 95/98 with Microsoft Plus!.\n\n"
                       "Copyright (c) 2026 The Skinsmith developers.\n"
                       "Released under the MIT licence.";
    m_services.messageBoxes.show({text, "About Skinsmith", platform::MessageButtons::Ok,
                                  platform::MessageIcon::Application, platform::MessageResult::Ok});
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (!themeFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    const QStringList files = themeFiles(event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    // The drop ends before any message box opens, so the file manager is not kept waiting.
    const QString& file = files.first();
    QTimer::singleShot(0, this, [this, file] {
        if (mayDiscardTheme(kOpenTitle)) openThemeFile(file);
    });
}

void Form1::askToStopCopies() {
    platform::Message stop;
    stop.text =
        "The theme's files are still being copied. Stop the copy and exit? The files not yet "
        "copied will be missing from the theme.";
    stop.title = "Exit Theme Creator";
    stop.buttons = platform::MessageButtons::OkCancel;
    stop.defaultButton = platform::MessageResult::Cancel;
    if (m_services.messageBoxes.show(stop) != platform::MessageResult::Ok) return;
    // The window closes once the file being copied has stopped.
    m_exitAfterCopy = true;
    m_copy->cancel();
}

// The close box during the copies asks what "Exit " asks: a window gone while its process
// copies on unseen would leave a theme with files missing and nobody told.
void Form1::closeEvent(QCloseEvent* event) {
    if (!copying()) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    if (!m_exitAfterCopy) askToStopCopies();
}

void Form1::Command3_Click() {
    if (copying()) {
        if (!m_exitAfterCopy) askToStopCopies();
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
