// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

class QKeyEvent;

namespace window {

/// The tab control SSTab1: captioned pages with their tabs in two rows of four. The rows stay
/// where they are whichever tab is chosen (tabs 4-7 next to the pages), so a click always
/// lands on the tab that was under the pointer. Only the user changes pages: a click on a
/// tab, the arrow keys on the focused strip, Ctrl+Tab and Ctrl+Shift+Tab (also Ctrl+PgDown
/// and Ctrl+PgUp) wherever the focus is in the window. A screen reader sees a page tab list
/// of the eight tabs and each page as a pane beside it named by its caption.
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
    bool eventFilter(QObject* watched, QEvent* event) override;
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
