// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

namespace pages {

/// Height of the two rows of tabs above every page, in twips. Page controls are placed
/// relative to the whole tab control, so a page subtracts this from their tops.
inline constexpr int kTabRowsTwips = 720;

/// The one conversion from twips to pixels: 15 twips per pixel at 96 dpi, scaled by the
/// screen's logical dpi.
int pixels(int twips);

/// A twips rectangle (left, top, width, height) in pixels. Edges are converted, not sizes,
/// so neighbouring controls that touch in twips touch on screen too.
QRect pixelRect(int left, int top, int width, int height);

/// Names a control for tests and accessibility tools and places it at its twips rectangle
/// relative to its parent. Returns the control for chaining.
template <typename Control>
Control* place(Control* control, const QString& objectName, const QString& accessibleName,
               QRect twips) {
    control->setObjectName(objectName);
    control->setAccessibleName(accessibleName);
    control->setGeometry(pixelRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return control;
}

/// Twips rectangle of a control whose top is given relative to the tab control, for a
/// control placed directly on a page.
inline QRect onPage(int left, int top, int width, int height) {
    return {left, top - kTabRowsTwips, width, height};
}

/// Twips rectangle relative to the control's own container (a frame, the window).
inline QRect at(int left, int top, int width, int height) {
    return {left, top, width, height};
}

}  // namespace pages
