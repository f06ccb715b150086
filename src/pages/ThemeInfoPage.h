// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <array>
#include <filesystem>

#include "pages/Slots.h"

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
/// their path boxes Text3_0..2 and the preview Image7. Space or Enter on a focused path box
/// previews it, Delete or Backspace empties its slot.
class ThemeInfoPage : public Page {
    Q_OBJECT
public:
    ThemeInfoPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                  platform::PictureLoader& pictures, platform::MessageBoxes& messages,
                  QWidget* parent = nullptr);

    void showState() override;

    /// The theme name box Text2.
    QLineEdit* nameBox() const { return m_text2; }

    // Logo picks (store, then show the path) and the preview of a box's file in Image7.
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();
    void Text3_Click(int index);
    /// Empties a logo slot, its path box, and the preview when it shows that slot.
    void clearLogo(std::size_t slot);
    /// A file dropped on a path box or a logo button, taken as if picked there.
    void dropLogo(std::size_t slot, const std::filesystem::path& hostFile);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pickLogo(std::size_t slot);
    void showLogo(std::size_t slot);

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
    int m_previewed = -1;  // the slot Image7 shows, -1 for none
};

}  // namespace pages
