#pragma once

#include <QWidget>

#include "state/ThemeState.h"
#include "window/Services.h"

class QProgressDialog;
class QPushButton;

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
class TabStrip;

/// The main window: owns the theme of this run, the tab control SSTab1 with its eight pages,
/// "Create Theme" (Command1) and "Exit " (Command3).
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Services& services, QWidget* parent = nullptr);

    const state::ThemeState& theme() const { return m_theme; }
    TabStrip* tabs() const { return m_tabs; }
    /// True while the assets of a created theme are being copied: the file system's current
    /// folder is the copies' until they end, so nothing else may create or open a theme.
    bool copying() const;

    void Form_Load();
    void Text2_Change();
    void Command1_Click();
    void Command3_Click();

signals:
    /// The user confirmed "Exit ": the program ends; the window has closed itself.
    void exitRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void startCopies();
    void copyProgress(const QString& file, quint64 bytesDone, quint64 bytesTotal);
    void copiesFinished(const QStringList& missing);

    Services& m_services;
    state::ThemeState m_theme;
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
    bool m_iconRequested = false;
    AssetCopy* m_copy;
    QProgressDialog* m_copyProgress = nullptr;  // while copying
    state::ThemeState m_copiedTheme;            // what the copies run for
    bool m_exitAfterCopy = false;
};

}  // namespace window
