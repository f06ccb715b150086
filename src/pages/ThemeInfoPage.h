#pragma once

#include <QWidget>
#include <array>

#include "platform/CommonDialog.h"
#include "platform/MessageBoxes.h"
#include "platform/PictureLoader.h"
#include "state/ThemeState.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace pages {

class FrameBox;

class PictureBox;

/// Page "Theme Info": the theme name (Label2, Text2; the window handles Text2_Change) and
/// the frame "Splash Screens" (Frame1) with the logo buttons Command7, Command8, Command9,
/// their path boxes Text3_0..2 and the preview Image7.
class ThemeInfoPage : public QWidget {
    Q_OBJECT
public:
    ThemeInfoPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                  platform::PictureLoader& pictures, platform::MessageBoxes& messages,
                  QWidget* parent = nullptr);

    /// The theme name box Text2.
    QLineEdit* nameBox() const { return m_text2; }

    // Logo picks (store, then show the path) and the preview of a box's file in Image7.
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Text3_Click(int index);

    /// Makes every control of the page show the current state (after a theme is opened or
    /// a new one started).
    void showState();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pickLogo(std::size_t slot);

    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::PictureLoader& m_pictures;
    platform::MessageBoxes& m_messages;
    QLabel* m_label2;
    QLineEdit* m_text2;
    FrameBox* m_frame1;
    std::array<QPushButton*, state::kLogoCount> m_logoButtons{};  // Command7, Command8, Command9
    std::array<QLineEdit*, state::kLogoCount> m_text3{};
    PictureBox* m_image7;
};

}  // namespace pages
