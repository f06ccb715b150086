// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <string>

#include "state/ThemeState.h"
#include "window/Services.h"

class QAction;
class QLineEdit;
class QMenuBar;
class QProgressDialog;
class QPushButton;

namespace input {
struct OpenReport;
}  // namespace input

namespace pages {
class AboutPage;
class DesktopIconsPage;
class MousePointersPage;
class ScreenSaverPage;
class SoundsPage;
class ThemeColorsPage;
class ThemeInfoPage;
class WallpaperPage;
}  // namespace pages

namespace window {

class AssetCopy;
class ToolsMenu;
class TabStrip;
class ThemeHistory;
class ThemePreviewWindow;

/// The main window: owns the theme of this run, the tab control SSTab1 with its eight pages,
/// "Create Theme" (Command1) and "Exit " (Command3). The controls stand in a client area of
/// fixed size below the menu bar, as on a Windows form with a menu.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Services& services, QWidget* parent = nullptr);

    const state::ThemeState& theme() const { return m_theme; }
    TabStrip* tabs() const { return m_tabs; }
    /// True while the assets of a created theme are being copied: the file system's current
    /// folder is the copies' until they end, so nothing else may create or open a theme.
    bool copying() const;

    QWidget* client() const { return m_client; }

    void Form_Load();
    void Text2_Change();
    void Command1_Click();
    void Command3_Click();

    // The menu bar: File and Help.
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileOpenFolder_Click();
    void mnuHelpAbout_Click();
    void mnuViewPreview_Click();

    /// The theme preview window, once View > Theme Preview has opened it.
    ThemePreviewWindow* preview() const { return m_preview; }

    /// Opens the theme file at a host path (the command line, a drop); false when it could not
    /// be opened, which the user has been told.
    bool openThemeFile(const QString& hostPath);
    /// Enables "Open Theme Folder" only while C:\skinvault\<name> exists.
    void updateMenus();
    /// Puts a whole set of colours in place as one change: the colour list and the preview
    /// follow; the list's selection and the page in front stay.
    void replaceColors(const std::array<state::Color, state::kColorCount>& colors,
                       const QString& name);

    /// Puts a whole state in place as one step of the Edit menu's history, named by `name`
    /// ("Colors from Wallpaper"); every feature that changes the theme as a whole calls this.
    void applyChange(state::ThemeState theme, const QString& name);
    /// Puts a whole new state in place and has every page show it; records nothing and leaves
    /// the page in front as it is.
    void replaceTheme(state::ThemeState theme);
    /// True when nothing would be lost, or the user agreed to lose it.
    bool mayDiscardTheme(const char* title);
    ThemeHistory* history() const { return m_history; }
    QLineEdit* nameBox() const;
    QMenuBar* menuBar() const { return m_menuBar; }

signals:
    /// The user confirmed "Exit ": the program ends; the window has closed itself.
    void exitRequested();
    /// The whole state was replaced: a theme was opened or a new one started.
    void themeReplaced();
    /// Something in the theme changed: a page stored a choice, or the state was replaced.
    void themeChanged();
    /// A theme file (a Windows path) was opened, or was written by Create Theme.
    void themeOpened(const QString& windowsPath);
    void themeCreated(const QString& windowsPath);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenus();
    /// The create procedure itself: the theme and batch files, then the copies.
    void createTheme();
    bool openTheme(const std::string& windowsPath);
    /// True, after telling the user, while the copies of a created theme still run: they own
    /// the file system's current folder, and the state they copy must stay as it is.
    bool refusedWhileCopying(const char* action);
    std::string themeFolder() const;
    void themeFilesWritten();
    void startCopies();
    /// Asks whether to stop the copies and exit; on yes the window closes once they stop.
    void askToStopCopies();
    /// The file slots of an opened theme that lie outside its folder stay only if the user
    /// says so; false when the user was asked and said no.
    bool useOutsideFiles(const std::string& windowsPath, const input::OpenReport& report);
    void copyProgress(const QString& file, quint64 bytesDone, quint64 bytesTotal);
    void copiesFinished(const QStringList& missing);

    Services& m_services;
    state::ThemeState m_theme;
    QMenuBar* m_menuBar;
    QWidget* m_client;
    QAction* m_openFolderAction = nullptr;
    ThemePreviewWindow* m_preview = nullptr;
    ToolsMenu* m_tools = nullptr;
    TabStrip* m_tabs;
    pages::DesktopIconsPage* m_desktopIcons;
    pages::WallpaperPage* m_wallpaper;
    pages::MousePointersPage* m_mousePointers;
    pages::SoundsPage* m_sounds;
    pages::ThemeColorsPage* m_themeColors;
    pages::ScreenSaverPage* m_screenSaver;
    pages::AboutPage* m_about;
    pages::ThemeInfoPage* m_themeInfo;
    QPushButton* m_command1;
    QPushButton* m_command3;
    ThemeHistory* m_history;
    bool m_iconRequested = false;
    AssetCopy* m_copy;
    QProgressDialog* m_copyProgress = nullptr;  // while copying
    state::ThemeState m_copiedTheme;            // what the copies run for
    bool m_exitAfterCopy = false;
    // The state as last opened or created: New and Open replace it without asking.
    state::ThemeState m_cleanTheme;
    // The theme file this run opened or last created: Create Theme replaces it without asking.
    std::string m_ownThemeFile;
};

}  // namespace window
