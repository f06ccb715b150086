// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QLabel>
#include <QSize>

namespace pages {

/// A bordered picture box that reports single clicks and double-clicks apart: a double-click
/// is one doubleClicked, never a click as well (QWidget would forward it as a second press).
/// A box that serves as a slot takes focus: Space or Enter is its activation, Delete or
/// Backspace asks to empty it, and a mark shows that it holds a choice.
class PictureBox : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool chosen READ chosen)
public:
    /// A stretching box scales its picture to its own size; otherwise the box takes the
    /// picture's size.
    explicit PictureBox(bool stretch, QWidget* parent = nullptr);

    bool stretches() const { return m_stretch; }
    /// The size a picture should be decoded at for this box, in device pixels, so that it is
    /// sharp on a scaled screen; invalid when it does not stretch.
    QSize decodeSize() const;
    /// Replaces the picture shown; a null image empties the box.
    void showPicture(const QImage& picture);
    /// The picture last shown (null when empty); what tests and previews compare.
    const QImage& picture() const { return m_picture; }
    /// Makes the box a slot: it takes focus by Tab and click.
    void makeSlot();
    bool isSlot() const { return m_slot; }
    /// A slot's mark, drawn by its page beside the box (see chosenMarkRect).
    void setChosen(bool chosen);
    bool chosen() const { return m_chosen; }
    /// Text drawn in grey inside the box while it shows no picture (the box's hint).
    void setEmptyText(const QString& text);

signals:
    void clicked();
    void doubleClicked();
    /// Space or Enter on the focused box.
    void activated();
    /// Delete or Backspace on the focused box.
    void clearRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_stretch;
    bool m_slot = false;
    bool m_pressed = false;
    bool m_chosen = false;
    QImage m_picture;
    QString m_emptyText;
};

}  // namespace pages
