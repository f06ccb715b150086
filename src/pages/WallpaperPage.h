// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <filesystem>

#include "pages/Slots.h"
#include "platform/CommonDialog.h"
#include "platform/PictureLoader.h"
#include "state/ThemeState.h"

class QCheckBox;

namespace pages {

class AsyncPreview;
class PictureBox;

/// Page "Wallpaper": the wallpaper picture (double-click Image2, or Space or Enter on it) and
/// the tile flag (Check1).
class WallpaperPage : public Page {
    Q_OBJECT
public:
    WallpaperPage(state::ThemeState& theme, platform::CommonDialog& dialog,
                  platform::PictureLoader& pictures, QWidget* parent = nullptr);

    void showState() override;

    void Image2_DblClick();
    void Check1_Click();
    /// Empties the wallpaper slot and its box.
    void clearWallpaper();
    /// A file dropped on Image2, taken as if picked there.
    void dropWallpaper(const std::filesystem::path& hostFile);

private:
    void previewWallpaper();
    void markWallpaper();

    state::ThemeState& m_theme;
    platform::CommonDialog& m_dialog;
    platform::PictureLoader& m_pictures;
    PictureBox* m_image2;
    AsyncPreview* m_preview2;  // fills m_image2
    QCheckBox* m_check1;
};

}  // namespace pages
