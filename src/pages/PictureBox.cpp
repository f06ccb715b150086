// SPDX-License-Identifier: MIT
#include "pages/PictureBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <cmath>

#include "pages/Slots.h"

namespace pages {

PictureBox::PictureBox(bool stretch, QWidget* parent) : QLabel(parent), m_stretch(stretch) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setScaledContents(stretch);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QSize PictureBox::decodeSize() const {
    if (!m_stretch) return {};
    const QSize logical = contentsRect().size();
    const qreal ratio = devicePixelRatioF();
    return {static_cast<int>(std::lround(logical.width() * ratio)),
            static_cast<int>(std::lround(logical.height() * ratio))};
}

void PictureBox::showPicture(const QImage& picture) {
    m_picture = picture;
    if (picture.isNull()) {
        clear();
        return;
    }
    QPixmap pixmap = QPixmap::fromImage(picture);
    // A stretched picture was decoded in device pixels; a cursor or icon at its own size
    // stays in logical pixels, as the desktop itself would scale it.
    if (m_stretch) pixmap.setDevicePixelRatio(devicePixelRatioF());
    setPixmap(pixmap);
    if (!m_stretch) resize(picture.size() + QSize(2 * frameWidth(), 2 * frameWidth()));
}

void PictureBox::makeSlot() {
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::setChosen(bool chosen) {
    if (chosen == m_chosen) return;
    m_chosen = chosen;
    update();
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        if (focusPolicy() & Qt::ClickFocus) setFocus(Qt::MouseFocusReason);
    }
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click) emit clicked();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // The release that follows a double-click must not count as a click.
    m_pressed = false;
    event->accept();
    if (event->button() == Qt::LeftButton) emit doubleClicked();
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    if (isActivateKey(event)) {
        emit activated();
        return;
    }
    if (isClearKey(event)) {
        emit clearRequested();
        return;
    }
    QLabel::keyPressEvent(event);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!m_chosen && !hasFocus()) return;
    QPainter painter(this);
    if (hasFocus()) {
        // Two pixels in the selection colour inside the border: seen on any picture.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(2, 2, -2, -2));
    }
    if (m_chosen) paintChosenMark(painter, rect());
}

}  // namespace pages
