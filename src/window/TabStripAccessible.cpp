// SPDX-License-Identifier: MIT
#include "window/TabStripAccessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <vector>

#include "window/TabStrip.h"

namespace window {

namespace {

/// One tab: a page tab named by its caption, selected while its page is in front; its
/// press action brings the page to the front.
class PageTab : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PageTab(TabStrip* strip, int index) : m_strip(strip), m_index(index) {}

    bool isValid() const override { return m_strip && m_index < m_strip->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_strip ? m_strip->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_strip.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name) return {};
        return m_strip->caption(m_index);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = m_strip->tabRect(m_index);
        return {m_strip->mapToGlobal(r.topLeft()), r.size()};
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.selected = m_strip->currentIndex() == m_index;
        s.focusable = true;
        s.focused = s.selected && m_strip->hasFocus();
        s.invisible = !m_strip->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (isValid() && name == pressAction()) m_strip->setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TabStrip> m_strip;
    int m_index;
};

/// The strip: a page tab list of its tabs alone. Its pages stand beside it, as children of
/// the strip's parent (see PagesBeside), the way a standard tab widget shows them: a screen
/// reader counts the children of a tab list as tabs.
class TabList : public QAccessibleWidget {
public:
    explicit TabList(TabStrip* strip) : QAccessibleWidget(strip, QAccessible::PageTabList) {}
    ~TabList() override {
        for (const QAccessible::Id id : m_tabs) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return strip()->count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= strip()->count()) return nullptr;
        return tab(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < strip()->count(); ++i)
            if (i < static_cast<int>(m_tabs.size()) &&
                QAccessible::accessibleInterface(m_tabs[static_cast<std::size_t>(i)]) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* tab(int index) const {
        while (static_cast<int>(m_tabs.size()) <= index) {
            auto* made = new PageTab(strip(), static_cast<int>(m_tabs.size()));
            m_tabs.push_back(QAccessible::registerAccessibleInterface(made));
        }
        return QAccessible::accessibleInterface(m_tabs[static_cast<std::size_t>(index)]);
    }

private:
    TabStrip* strip() const { return static_cast<TabStrip*>(widget()); }
    mutable std::vector<QAccessible::Id> m_tabs;
};

/// A plain widget, which may hold a strip: its own children, then the strip's pages. Every plain
/// widget gets this interface and looks for a strip when asked, since a screen reader may ask
/// for the holder's interface before the strip is made (and it is kept for good).
class PagesBeside : public QAccessibleWidget {
public:
    explicit PagesBeside(QWidget* holder) : QAccessibleWidget(holder) {}

    int childCount() const override { return own() + pages(); }
    QAccessibleInterface* child(int index) const override {
        if (index < own()) return QAccessibleWidget::child(index);
        if (index >= own() + pages()) return nullptr;
        return QAccessible::queryAccessibleInterface(strip()->page(index - own()));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child)
            for (int i = 0; i < pages(); ++i)
                if (child->object() == strip()->page(i)) return own() + i;
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    TabStrip* strip() const {
        return widget()->findChild<TabStrip*>(QString(), Qt::FindDirectChildrenOnly);
    }
    int own() const { return QAccessibleWidget::childCount(); }
    int pages() const { return strip() ? strip()->count() : 0; }
};

/// A page of the strip: a pane named by its caption whose parent is the strip's parent. (A
/// property page is a "page tab" over AT-SPI: a reader would hear the pages as more tabs.)
class Page : public QAccessibleWidget {
public:
    explicit Page(QWidget* page) : QAccessibleWidget(page, QAccessible::Pane) {}
    QAccessibleInterface* parent() const override {
        QWidget* strip = widget()->parentWidget();
        return QAccessible::queryAccessibleInterface(strip ? strip->parentWidget() : nullptr);
    }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    if (auto* strip = qobject_cast<TabStrip*>(widget)) return new TabList(strip);
    if (qobject_cast<TabStrip*>(widget->parentWidget())) return new Page(widget);
    if (widget->metaObject() == &QWidget::staticMetaObject) return new PagesBeside(widget);
    return nullptr;
}

}  // namespace

void installTabStripAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

void notifyTabSelected(TabStrip* strip, int index) {
    if (!QAccessible::isActive()) return;
    auto* list = dynamic_cast<TabList*>(QAccessible::queryAccessibleInterface(strip));
    if (!list) return;
    QAccessibleEvent event(list->tab(index), QAccessible::Selection);
    QAccessible::updateAccessibility(&event);
}

}  // namespace window
