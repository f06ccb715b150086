#pragma once

#include <QString>
#include <QWidget>
#include <vector>

class QKeyEvent;

namespace window {

/// The tab control SSTab1: captioned pages with their tabs in two rows of four. The row that
/// holds the current tab stands next to the pages, as in a multi-row tab control. Only the
/// user changes pages: a click on a tab, the arrow keys on the focused strip, Ctrl+Tab and
/// Ctrl+Shift+Tab (also Ctrl+PgDown and Ctrl+PgUp) from anywhere inside.
class TabStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTabsPerRow = 4;

    explicit TabStrip(QWidget* parent = nullptr);

    /// Adds a page under its tab; the page becomes a child placed below the tab rows.
    void addPage(QWidget* page, const QString& caption);
    int count() const { return static_cast<int>(m_pages.size()); }
    int currentIndex() const { return m_current; }
    QWidget* page(int index) const;
    QString caption(int index) const;
    /// Brings a page to the front (the window uses it once, at start-up).
    void setCurrentIndex(int index);
    /// Where a tab is drawn, for a click on it.
    QRect tabRect(int index) const;
    /// Handles Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDown and Ctrl+PgUp; true when it did.
    bool handleSwitchKey(QKeyEvent* event);

signals:
    void currentChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int rowHeight() const;
    QRect paneRect() const;
    void layoutPages();
    void step(int delta);

    struct Tab {
        QWidget* page;
        QString caption;
    };
    std::vector<Tab> m_pages;
    int m_current = -1;
};

}  // namespace window
