// SPDX-License-Identifier: MIT
#include "pages/FrameBox.h"

#include <QPainter>

namespace pages {

FrameBox::FrameBox(const QString& title, QWidget* parent) : QFrame(parent), m_title(title) {}

void FrameBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int line = metrics.height() / 2;
    // An etched border: a shadow line with a light line inside it.
    const QRect box = rect().adjusted(0, line, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(box.adjusted(1, 1, 0, 0));
    if (m_title.isEmpty()) return;
    const QRect caption(8, 0, metrics.horizontalAdvance(m_title) + 4, metrics.height());
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter, m_title);
}

}  // namespace pages
