// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "pages/Slots.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramLauncher.h"
#include "state/ThemeState.h"

class QLineEdit;
class QPushButton;

namespace pages {

/// Page "Screen Saver": "Select . . ." (Command4), the path box Text1, "Test Screensaver"
/// (Command5) and "Configure Screensaver" (Command6).
class ScreenSaverPage : public Page {
    Q_OBJECT
public:
    ScreenSaverPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                    platform::ProgramLauncher& launcher, platform::MessageBoxes& messages,
                    QWidget* parent = nullptr);

    void showState() override;

    /// Pick (a choice is stored and its path shown; a cancel changes nothing), run
    /// full-screen, configure.
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    /// Empties the slot and its path box (Delete or Backspace on "Select . . .").
    void clearScreenSaver();
    /// A file dropped on Text1 or "Select . . .", taken as if picked.
    void dropScreenSaver(const std::filesystem::path& hostFile);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showScreenSaver();
    /// Runs the chosen screen saver; a Windows one without Wine says how to get Wine.
    void run(const std::vector<std::string>& arguments);

    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::ProgramLauncher& m_launcher;
    platform::MessageBoxes& m_messages;
    SlotButton* m_command4;
    QLineEdit* m_text1;
    QPushButton* m_command5;
    QPushButton* m_command6;
};

}  // namespace pages
