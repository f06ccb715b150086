// SPDX-License-Identifier: MIT
#include "pages/PictureBox.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <cmath>

#include "pages/Slots.h"

namespace pages {

namespace {

/// A box as a screen reader should hear it: a slot, which Space and Enter act on, is a push
/// button whose press action picks; any other box is a picture. (A QLabel stays a "label"
/// over AT-SPI whatever it does.)
class BoxAccessible : public QAccessibleWidget {
public:
    explicit BoxAccessible(PictureBox* box) : QAccessibleWidget(box) {}
    QAccessible::Role role() const override {
        return box()->isSlot() ? QAccessible::Button : QAccessible::Graphic;
    }
    QStringList actionNames() const override {
        return box()->isSlot() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        // Queued, as a button's click is: the reader's call returns before a dialog runs.
        if (box()->isSlot() && name == pressAction())
            QMetaObject::invokeMethod(box(), &PictureBox::activated, Qt::QueuedConnection);
    }

private:
    PictureBox* box() const { return static_cast<PictureBox*>(widget()); }
};

QAccessibleInterface* boxFactory(const QString&, QObject* object) {
    if (auto* box = qobject_cast<PictureBox*>(object)) return new BoxAccessible(box);
    return nullptr;
}

}  // namespace

PictureBox::PictureBox(bool stretch, QWidget* parent) : QLabel(parent), m_stretch(stretch) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(boxFactory);
        return true;
    }();
    (void)factoryInstalled;
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
    m_slot = true;
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::setChosen(bool chosen) {
    if (chosen == m_chosen) return;
    m_chosen = chosen;
    // The page draws the mark beside the box.
    if (parentWidget()) parentWidget()->update(chosenMarkRect(geometry(), true));
}

void PictureBox::setEmptyText(const QString& text) {
    m_emptyText = text;
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
    const bool hint = m_picture.isNull() && !m_emptyText.isEmpty();
    if (!hint && !hasFocus()) return;
    QPainter painter(this);
    if (hint) {
        // Grey, as a disabled caption, so it never reads as the picture itself.
        painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
        const int margin = frameWidth() + 3;
        painter.drawText(rect().adjusted(margin, margin, -margin, -margin),
                         Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
    }
    if (hasFocus()) {
        // Two pixels in the selection colour inside the border: seen on any picture.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(2, 2, -2, -2));
    }
}

}  // namespace pages
