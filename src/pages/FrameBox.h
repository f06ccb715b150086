// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>
#include <QString>

namespace pages {

/// A captioned frame drawn as Windows draws one: the caption sits on the top border line,
/// and controls inside are placed from the frame's own top-left corner, below that line.
/// (QGroupBox puts its caption above the border and the border lower, so controls placed
/// near the top would cross it.)
class FrameBox : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString title READ title)
public:
    FrameBox(const QString& title, QWidget* parent = nullptr);
    QString title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
};

}  // namespace pages
