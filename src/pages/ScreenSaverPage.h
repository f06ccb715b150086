#pragma once

#include <QWidget>

#include "platform/CommonDialog.h"
#include "platform/ProgramLauncher.h"
#include "state/ThemeState.h"

class QLineEdit;
class QPushButton;

namespace pages {

/// Page "Screen Saver": "Select . . ." (Command4), the path box Text1, "Test Screensaver"
/// (Command5) and "Configure Screensaver" (Command6).
class ScreenSaverPage : public QWidget {
    Q_OBJECT
public:
    ScreenSaverPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                    platform::ProgramLauncher& launcher, QWidget* parent = nullptr);

    /// Pick (store, then show the path), run full-screen, configure.
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();

    /// Makes every control of the page show the current state (after a theme is opened or
    /// a new one started).
    void showState();

private:
    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::ProgramLauncher& m_launcher;
    QPushButton* m_command4;
    QLineEdit* m_text1;
    QPushButton* m_command5;
    QPushButton* m_command6;
};

}  // namespace pages
