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

/// The strip: its tabs first, then its pages.
class TabList : public QAccessibleWidget {
public:
    explicit TabList(TabStrip* strip) : QAccessibleWidget(strip, QAccessible::PageTabList) {}
    ~TabList() override {
        for (const QAccessible::Id id : m_tabs) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return strip()->count() + QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0) return nullptr;
        if (index < strip()->count()) return tab(index);
        return QAccessibleWidget::child(index - strip()->count());
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < strip()->count(); ++i)
            if (i < static_cast<int>(m_tabs.size()) &&
                QAccessible::accessibleInterface(m_tabs[static_cast<std::size_t>(i)]) == child)
                return i;
        const int widget = QAccessibleWidget::indexOfChild(child);
        return widget < 0 ? -1 : widget + strip()->count();
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

QAccessibleInterface* factory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    if (auto* strip = qobject_cast<TabStrip*>(widget)) return new TabList(strip);
    if (qobject_cast<TabStrip*>(widget->parentWidget()))
        return new QAccessibleWidget(widget, QAccessible::PropertyPage);
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
