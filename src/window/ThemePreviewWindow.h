// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <string>

#include "platform/PictureLoader.h"
#include "preview/PointerImages.h"
#include "preview/PreviewRenderer.h"
#include "state/ThemeState.h"

class QScrollArea;
class QTimer;

namespace window {

class PointerStrip;
class PreviewArea;

/// "Theme Preview": a separate, resizable, non-modal window showing the theme as Windows 98
/// draws it, with the twelve pointers below (animated ones playing). It only reads the theme;
/// whoever changes the theme calls refresh().
class ThemePreviewWindow : public QWidget {
    Q_OBJECT
public:
    ThemePreviewWindow(const state::ThemeState& theme, platform::PictureLoader& pictures,
                       QWidget* parent = nullptr);

    /// Draws the preview and the pointers again from the theme as it is now.
    void refresh();

    /// Sizes the window to fit the screen `owner` is on (the desktop scrolls when the screen is
    /// smaller than it; the pointers always show whole) and places it beside `owner` on the
    /// side where it covers least of it (none when there is room).
    void placeBeside(const QWidget& owner);

    /// The colour element (index into the Theme Colors list) at a point of the preview area
    /// ("preview" child), or -1.
    int elementAt(QPoint point) const;
    /// The wallpaper's pictures; pending() while one is decoded.
    const preview::PreviewPictureCache& pictureCache() const { return m_cache; }

signals:
    /// The user clicked a colour element of the preview.
    void elementClicked(int colorIndex);

private:
    friend class PreviewArea;
    void renderPreview();

    const state::ThemeState& m_theme;
    platform::PictureLoader& m_pictures;
    preview::PreviewRenderer m_renderer;
    preview::PreviewPictureCache m_cache;
    QImage m_image;
    QWidget* m_area;
    QScrollArea* m_scroll;
    PointerStrip* m_pointers;
};

/// The strip of pointers: one cell per pointer role, with its caption; animated cursors play
/// at their own rates and in their own order.
class PointerStrip : public QWidget {
    Q_OBJECT
public:
    PointerStrip(const state::ThemeState& theme, platform::PictureLoader& pictures,
                 QWidget* parent);
    /// Reloads the pointers whose paths changed and redraws.
    void refresh();
    /// The step pointer `slot` is showing.
    int currentStep(std::size_t slot) const { return m_step[slot]; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // A hidden preview plays nothing.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void advance(std::size_t slot);
    void startAnimation(std::size_t slot);

    const state::ThemeState& m_theme;
    platform::PictureLoader& m_pictures;
    std::array<std::string, state::kPointerCount> m_paths;
    std::array<bool, state::kPointerCount> m_loaded{};
    std::array<preview::PointerAnimation, state::kPointerCount> m_animations;
    std::array<int, state::kPointerCount> m_step{};
    std::array<QTimer*, state::kPointerCount> m_timers{};
};

}  // namespace window
