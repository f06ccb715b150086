// SPDX-License-Identifier: MIT
#include "pages/Slots.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QUrl>

#include "pages/Layout.h"
#include "pages/PictureBox.h"

namespace pages {

void SlotButton::setChosen(bool chosen) {
    if (chosen == m_chosen) return;
    m_chosen = chosen;
    update();
}

void SlotButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!m_chosen) return;
    QPainter painter(this);
    paintChosenMark(painter, chosenMarkRect(rect(), false));
}

void Page::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    for (auto* box : findChildren<PictureBox*>(QString(), Qt::FindDirectChildrenOnly))
        if (box->chosen() && box->isVisible())
            paintChosenMark(painter, chosenMarkRect(box->geometry(), true));
}

QRect chosenMarkRect(const QRect& control, bool outside) {
    const int size = pixels(105);  // 7 pixels at 96 dpi
    if (outside) return {control.right() + 3, control.top(), size, size};
    return {control.right() - size - 3, control.top() + 3, size, size};
}

void paintChosenMark(QPainter& painter, const QRect& dot) {
    // A dot in the selection colour with a dark rim, so that it shows on any background.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(0, 160, 0));
    painter.drawEllipse(dot);
    painter.restore();
}

void describeSlot(QWidget* control, const QString& hint, const std::string& path, bool chosen) {
    const QString file = chosen ? QString::fromStdString(path) : QString();
    QString tip = hint;
    if (!file.isEmpty()) tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + file;
    control->setToolTip(tip);
    control->setAccessibleDescription(file);
}

namespace {
const QKeyEvent* keyPress(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return nullptr;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->isAutoRepeat() ? nullptr : key;
}
}  // namespace

bool isActivateKey(const QEvent* event) {
    const QKeyEvent* key = keyPress(event);
    if (!key || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    return key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
           key->key() == Qt::Key_Enter;
}

bool isClearKey(const QEvent* event) {
    const QKeyEvent* key = keyPress(event);
    if (!key || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    return key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace;
}

bool isMenuKey(const QEvent* event) {
    const QKeyEvent* key = keyPress(event);
    if (!key) return false;
    return (key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier) ||
           (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
}

FileDrops::FileDrops(Taker take, QObject* parent) : QObject(parent), m_take(std::move(take)) {}

void FileDrops::watch(QWidget* control) {
    control->setAcceptDrops(true);
    control->installEventFilter(this);
}

namespace {
/// The first dropped file, when it is a local file a slot may take.
std::optional<std::filesystem::path> slotFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().isEmpty()) return std::nullopt;
    const QUrl first = mime->urls().front();
    if (!first.isLocalFile()) return std::nullopt;
    const QString local = first.toLocalFile();
    // A theme file opens a whole theme: the window takes it, never a slot.
    if (local.endsWith(QStringLiteral(".theme"), Qt::CaseInsensitive)) return std::nullopt;
    return std::filesystem::path(local.toStdString());
}
}  // namespace

bool FileDrops::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (slotFile(drag->mimeData()))
                drag->acceptProposedAction();
            else
                drag->ignore();  // goes on to the window
            return true;         // never to the control itself (a line edit would take text)
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const auto file = slotFile(drop->mimeData());
            if (!file) {
                drop->ignore();
                return true;
            }
            drop->acceptProposedAction();
            // Taken once the drop has ended: a message about the file must not hold the
            // dragging program waiting for the drop to finish.
            QPointer<QWidget> control = static_cast<QWidget*>(watched);
            QMetaObject::invokeMethod(
                this,
                [this, control, path = *file] {
                    if (control) m_take(control, path);
                },
                Qt::QueuedConnection);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace pages
