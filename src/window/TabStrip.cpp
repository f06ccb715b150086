// SPDX-License-Identifier: MIT
#include "window/TabStrip.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "pages/Layout.h"
#include "window/TabStripAccessible.h"

namespace window {

TabStrip::TabStrip(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    installTabStripAccessibility();
    // The page keys work wherever the focus is in the window: a list, a text box or a button
    // would otherwise take them, or let them fall through to nothing.
    qApp->installEventFilter(this);
}

bool TabStrip::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    // Only the window's own widgets; a modal dialog keeps its keys.
    if (widget->window() != window() || !isVisible()) return false;
    return handleSwitchKey(static_cast<QKeyEvent*>(event));
}

void TabStrip::addPage(QWidget* page, const QString& caption) {
    page->setParent(this);
    page->setAccessibleName(caption);
    m_pages.push_back({page, caption});
    layoutPages();
    if (m_current < 0) {
        m_current = 0;
        page->show();
    } else {
        page->hide();
    }
    update();
}

QWidget* TabStrip::page(int index) const {
    return index >= 0 && index < count() ? m_pages[static_cast<std::size_t>(index)].page : nullptr;
}

QString TabStrip::caption(int index) const {
    return index >= 0 && index < count() ? m_pages[static_cast<std::size_t>(index)].caption
                                         : QString();
}

void TabStrip::setCurrentIndex(int index) {
    if (index < 0 || index >= count() || index == m_current) return;
    QWidget* old = page(m_current);
    m_current = index;
    page(m_current)->show();
    if (old) {
        // Focus inside the page being hidden would be lost; keep it on the strip.
        if (old->isAncestorOf(QApplication::focusWidget())) setFocus(Qt::OtherFocusReason);
        old->hide();
    }
    update();
    notifyTabSelected(this, index);
    emit currentChanged(index);
}

int TabStrip::rowHeight() const {
    return pages::pixels(pages::kTabRowsTwips) / 2;
}

QRect TabStrip::paneRect() const {
    return rect().adjusted(0, 2 * rowHeight(), 0, 0);
}

QRect TabStrip::tabRect(int index) const {
    if (index < 0 || index >= count()) return {};
    const int row = index / kTabsPerRow;
    const int column = index % kTabsPerRow;
    // Tabs 0-3 above, tabs 4-7 touching the pages; rows never swap.
    const int visualRow = row;
    const int left = width() * column / kTabsPerRow;
    const int right = width() * (column + 1) / kTabsPerRow;
    return {left, visualRow * rowHeight(), right - left, rowHeight()};
}

void TabStrip::layoutPages() {
    for (const Tab& tab : m_pages) tab.page->setGeometry(paneRect());
}

void TabStrip::resizeEvent(QResizeEvent*) {
    layoutPages();
}

void TabStrip::paintEvent(QPaintEvent*) {
    // Drawn by hand in the flat-and-bevelled manner of the tab controls the themes are for;
    // QStyle has no notion of a second row of tabs.
    QPainter painter(this);
    const QPalette& pal = palette();
    const QColor light = pal.color(QPalette::Light);
    const QColor dark = pal.color(QPalette::Dark);
    const QColor shadow = pal.color(QPalette::Shadow);
    painter.fillRect(rect(), pal.color(QPalette::Window));

    const QRect pane = paneRect().adjusted(0, 0, -1, -1);
    painter.setPen(light);
    painter.drawLine(pane.topLeft(), pane.topRight());
    painter.drawLine(pane.topLeft(), pane.bottomLeft());
    painter.setPen(shadow);
    painter.drawLine(pane.bottomLeft(), pane.bottomRight());
    painter.drawLine(pane.topRight(), pane.bottomRight());
    painter.setPen(dark);
    painter.drawLine(pane.bottomLeft() + QPoint(1, -1), pane.bottomRight() + QPoint(-1, -1));
    painter.drawLine(pane.topRight() + QPoint(-1, 1), pane.bottomRight() + QPoint(-1, -1));

    auto drawTab = [&](int index) {
        const bool selected = index == m_current;
        QRect r = tabRect(index).adjusted(0, 0, -1, 0);
        if (selected && index / kTabsPerRow == 1)
            r.adjust(0, 0, 0, 1);  // covers the pane's top edge, so the tab joins its page
        else if (!selected)
            r.adjust(0, 2, 0, 0);
        painter.fillRect(r.adjusted(1, 1, -1, 0), pal.color(QPalette::Window));
        painter.setPen(light);
        painter.drawLine(r.left(), r.bottom(), r.left(), r.top() + 2);
        painter.drawLine(r.left() + 2, r.top(), r.right() - 2, r.top());
        painter.drawPoint(r.left() + 1, r.top() + 1);
        painter.setPen(shadow);
        painter.drawLine(r.right(), r.top() + 2, r.right(), r.bottom() - (selected ? 1 : 0));
        painter.drawPoint(r.right() - 1, r.top() + 1);
        painter.setPen(dark);
        painter.drawLine(r.right() - 1, r.top() + 2, r.right() - 1,
                         r.bottom() - (selected ? 1 : 0));
        painter.setPen(pal.color(QPalette::WindowText));
        painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, caption(index));
        if (selected && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect =
                painter.boundingRect(r, Qt::AlignCenter, caption(index)).adjusted(-3, -1, 3, 1);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    };
    for (int i = 0; i < count(); ++i)
        if (i != m_current) drawTab(i);
    if (m_current >= 0) drawTab(m_current);
}

void TabStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    for (int i = 0; i < count(); ++i) {
        if (tabRect(i).contains(event->position().toPoint())) {
            setCurrentIndex(i);
            return;
        }
    }
}

void TabStrip::step(int delta) {
    if (count() == 0) return;
    setCurrentIndex(((m_current + delta) % count() + count()) % count());
}

bool TabStrip::handleSwitchKey(QKeyEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) return false;
    switch (event->key()) {
        case Qt::Key_Tab:
            step(event->modifiers() & Qt::ShiftModifier ? -1 : 1);
            return true;
        case Qt::Key_Backtab:
        case Qt::Key_PageUp:
            step(-1);
            return true;
        case Qt::Key_PageDown:
            step(1);
            return true;
        default:
            return false;
    }
}

void TabStrip::keyPressEvent(QKeyEvent* event) {
    if (handleSwitchKey(event)) return;
    if (hasFocus() && event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
            case Qt::Key_Left:
            case Qt::Key_Up:
                step(-1);
                return;
            case Qt::Key_Right:
            case Qt::Key_Down:
                step(1);
                return;
            default:
                break;
        }
    }
    QWidget::keyPressEvent(event);
}

}  // namespace window
