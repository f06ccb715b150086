// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/PictureLoader.h"
#include "state/ThemeState.h"

namespace preview {

/// The pictures a preview shows, decoded (and the wallpaper scaled) once per pick.
struct PreviewPictures {
    /// Already at its size in the preview; null when none is chosen or it does not load.
    QImage wallpaper;
    /// With the tile flag set, the wallpaper already tiled over the whole preview (a repaint
    /// then copies it instead of tiling again); otherwise null.
    QImage tiled;
    /// By icon slot, at 32 x 32; null when none is chosen or it does not load.
    std::array<QImage, state::kIconCount> icons;
};

/// The preview stands for a screen of this size: the wallpaper is scaled by the preview's
/// share of it. Windows, icons and text keep Windows' own pixel sizes so they stay readable.
inline constexpr QSize kScreenSize{800, 600};

/// Draws a theme the way Windows 98 draws its desktop and windows: state in, picture out.
/// It remembers where it drew each colour element, for the hit test.
class PreviewRenderer {
public:
    /// The desktop of `theme` at `size`, showing every one of its colours.
    QImage render(const state::ThemeState& theme, const PreviewPictures& pictures, QSize size);
    /// The colour element (index into the Theme Colors list, then state::kExtraColorKeys) drawn
    /// topmost at the point by the last render, or -1 for none (the wallpaper, an icon, off the
    /// picture).
    int elementAt(QPoint point) const;
    /// How many rectangles and texts the last render drew.
    int rectangleCount() const { return m_rectangles; }
    int textCount() const { return m_texts; }

private:
    struct Region {
        QRect rect;
        int element;
    };
    std::vector<Region> m_regions;
    int m_rectangles = 0;
    int m_texts = 0;
    friend class Canvas;
};

/// Makes the TrueType fonts (.ttf) in a theme's folder (a host path) known to the preview, as
/// Windows would have them installed with the theme; at most 32, each at most 4 MB. Returns
/// how many were loaded.
int loadThemeFonts(const std::filesystem::path& themeFolder);

/// Loads the pictures a preview needs through the picture loader and keeps them: a picture
/// is decoded once per pick (path) and the wallpaper scaled (and tiled) once per pick, preview
/// size and tile flag.
class PreviewPictureCache {
public:
    explicit PreviewPictureCache(platform::PictureLoader& loader);
    /// The pictures for the theme's current picks at a preview of `size`.
    const PreviewPictures& pictures(const state::ThemeState& theme, QSize size);

private:
    platform::PictureLoader& m_loader;
    PreviewPictures m_pictures;
    std::string m_wallpaperPath;
    QSize m_wallpaperSize;
    bool m_tiledFor = false;
    bool m_wallpaperLoaded = false;
    QImage m_wallpaperOriginal;
    std::array<std::string, state::kIconCount> m_iconPaths;
    std::array<bool, state::kIconCount> m_iconLoaded{};
};

}  // namespace preview
