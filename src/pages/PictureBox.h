#pragma once

#include <QImage>
#include <QLabel>
#include <QSize>

namespace pages {

/// A bordered picture box that reports single clicks and double-clicks apart: a double-click
/// is one doubleClicked, never a click as well (QWidget would forward it as a second press).
class PictureBox : public QLabel {
    Q_OBJECT
public:
    /// A stretching box scales its picture to its own size; otherwise the box takes the
    /// picture's size.
    explicit PictureBox(bool stretch, QWidget* parent = nullptr);

    bool stretches() const { return m_stretch; }
    /// The size a picture should be decoded at for this box; invalid when it does not stretch.
    QSize decodeSize() const;
    /// Replaces the picture shown; a null image empties the box.
    void showPicture(const QImage& picture);
    /// The picture last shown (null when empty); what tests and previews compare.
    const QImage& picture() const { return m_picture; }

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_stretch;
    bool m_pressed = false;
    QImage m_picture;
};

}  // namespace pages
