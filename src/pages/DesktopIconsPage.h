#pragma once

#include <QWidget>
#include <array>

#include "platform/CommonDialog.h"
#include "platform/PictureLoader.h"
#include "state/ThemeState.h"

class QLabel;

namespace pages {

class PictureBox;

/// Page "Desktop icons": the four desktop icons. Image1, Image5 and Image4 pick on a
/// double-click, Image6 on a single click.
class DesktopIconsPage : public QWidget {
    Q_OBJECT
public:
    DesktopIconsPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                     platform::PictureLoader& pictures, QWidget* parent = nullptr);

    void Image1_DblClick();
    void Image5_DblClick();
    void Image4_DblClick();
    void Image6_Click();

    /// Makes every control of the page show the current state (after a theme is opened or
    /// a new one started).
    void showState();

private:
    /// Picks the icon of one slot: store the answer, then preview it if it is a choice.
    void pickIcon(std::size_t slot);

    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::PictureLoader& m_pictures;
    std::array<PictureBox*, state::kIconCount>
        m_boxes{};  // by slot: Image1, Image5, Image4, Image6
};

}  // namespace pages
