// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <array>
#include <filesystem>

#include "pages/Slots.h"
#include "platform/CommonDialog.h"
#include "platform/PictureLoader.h"
#include "state/ThemeState.h"

class QLabel;

namespace pages {

class PictureBox;

/// Page "Desktop icons": the four desktop icons. Image1, Image5 and Image4 pick on a
/// double-click, Image6 on a single click; Space or Enter on a focused box picks too.
class DesktopIconsPage : public Page {
    Q_OBJECT
public:
    DesktopIconsPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                     platform::PictureLoader& pictures, QWidget* parent = nullptr);

    void showState() override;

    void Image1_DblClick();
    void Image5_DblClick();
    void Image4_DblClick();
    void Image6_Click();
    /// Empties a slot and its box (Delete or Backspace on the focused box).
    void clearIcon(std::size_t slot);
    /// A file dropped on a slot's box, taken as if picked there.
    void dropIcon(std::size_t slot, const std::filesystem::path& hostFile);

private:
    /// Picks the icon of one slot: a choice is stored and previewed, a cancel changes nothing.
    void pickIcon(std::size_t slot);
    /// Previews a newly stored file; one that does not load leaves the box as it was.
    void previewIcon(std::size_t slot);
    void markIcon(std::size_t slot);

    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::PictureLoader& m_pictures;
    std::array<PictureBox*, state::kIconCount>
        m_boxes{};  // by slot: Image1, Image5, Image4, Image6
};

}  // namespace pages
