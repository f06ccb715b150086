// SPDX-License-Identifier: MIT
#include "pages/Layout.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace pages {

int pixels(int twips) {
    qreal dpi = 96.0;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dpi = screen->logicalDotsPerInch();
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

QRect pixelRect(int left, int top, int width, int height) {
    const int x = pixels(left);
    const int y = pixels(top);
    return {x, y, pixels(left + width) - x, pixels(top + height) - y};
}

}  // namespace pages
