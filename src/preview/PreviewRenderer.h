// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QThreadPool>
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/PictureLoader.h"
#include "state/ThemeState.h"

namespace preview {

/// The pictures a preview shows, decoded (and the wallpaper scaled) once per pick.
struct PreviewPictures {
    /// Null when none is chosen or it does not load (or has not arrived yet).
    QImage wallpaper;
    /// The size it is drawn at: its own, or, for a preview just resized until the smoothly
    /// scaled picture arrives, the new size it is stretched to as drawn.
    QSize wallpaperSize;
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
    /// The same, drawn into `image` (made anew only when its size differs).
    void render(QImage& image, const state::ThemeState& theme, const PreviewPictures& pictures,
                QSize size);
    /// The colour element (index into the Theme Colors list) drawn topmost at the point by the
    /// last render, or -1 for none (the wallpaper, an icon, off the picture).
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

/// The part of a wallpaper of `picture` pixels a preview of `size` shows, and the size it is
/// drawn at. Centred, a picture wider or taller than the 800 x 600 screen shows its middle;
/// tiled, its top left corner. That part is the same at every preview size.
platform::PictureRegion visibleWallpaper(QSize picture, QSize size, bool tiled);

/// Loads the pictures a preview needs through the picture loader and keeps them. The wallpaper
/// is decoded on a worker thread, only the part that shows and at the size it is drawn, so the
/// window never waits for it and its memory is the preview's own; the latest request wins and
/// the desktop shows Background until it arrives. Another preview size scales the decoded
/// picture (at once roughly, then smoothly on the worker); only a larger one decodes again.
/// Icons are small and load at once.
class PreviewPictureCache : public QObject {
    Q_OBJECT
public:
    explicit PreviewPictureCache(platform::PictureLoader& loader, QObject* parent = nullptr);
    /// Drops a decode not started and waits for the one under way.
    ~PreviewPictureCache() override;
    /// The pictures for the theme's current picks at a preview of `size`, as far as they are
    /// decoded; asks for the wallpaper when it is missing or too small.
    const PreviewPictures& pictures(const state::ThemeState& theme, QSize size);
    /// True while a wallpaper decode is under way.
    bool pending() const { return m_pending; }

signals:
    /// A wallpaper decode has ended (with a picture or not), or a smoothly scaled one is
    /// ready: draw again.
    void wallpaperArrived();

private:
    void requestWallpaper(QSize size, bool tiled);
    void requestSmooth(QSize drawn);
    void arrived(std::uint64_t request, std::optional<QImage> picture, QSize full, QSize size,
                 bool tiled);

    platform::PictureLoader& m_loader;
    PreviewPictures m_pictures;
    QThreadPool m_pool;
    std::uint64_t m_latest = 0;
    std::atomic<std::uint64_t> m_latestSmooth = 0;
    bool m_pending = false;
    // The pick, and what is known of it: its own size once decoded, the decoded part (for the
    // tile flag it was decoded for) and the size that part was asked at.
    std::string m_wallpaperPath;
    bool m_wallpaperChosen = false;
    QSize m_wallpaperFull;
    QImage m_decoded;
    QSize m_decodedFor;
    bool m_decodedTiled = false;
    bool m_decodeFailed = false;
    QSize m_askedSize;
    bool m_askedTiled = false;
    // What m_pictures.wallpaper and .tiled were made from.
    QSize m_scaledFor;
    qint64 m_scaledFrom = 0;
    qint64 m_tiledFrom = 0;
    std::array<std::string, state::kIconCount> m_iconPaths;
    std::array<bool, state::kIconCount> m_iconLoaded{};
};

}  // namespace preview
