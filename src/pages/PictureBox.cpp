#include "pages/PictureBox.h"

#include <QMouseEvent>
#include <QPixmap>

namespace pages {

PictureBox::PictureBox(bool stretch, QWidget* parent) : QLabel(parent), m_stretch(stretch) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setScaledContents(stretch);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QSize PictureBox::decodeSize() const {
    return m_stretch ? contentsRect().size() : QSize();
}

void PictureBox::showPicture(const QImage& picture) {
    m_picture = picture;
    if (picture.isNull()) {
        clear();
        return;
    }
    setPixmap(QPixmap::fromImage(picture));
    if (!m_stretch) resize(picture.size() + QSize(2 * frameWidth(), 2 * frameWidth()));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_pressed = true;
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

}  // namespace pages
