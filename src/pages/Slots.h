// SPDX-License-Identifier: MIT
#pragma once

#include <QPushButton>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>

class QEvent;
class QPainter;

namespace pages {

/// What every page offers the window: it shows the theme state anew (after a theme was
/// opened or reset) and says when one of its handlers changed the state.
class Page : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    /// Makes every control of the page show the current theme state.
    virtual void showState() {}

protected:
    /// Draws the marks of the page's chosen picture boxes beside them.
    void paintEvent(QPaintEvent* event) override;

signals:
    /// A handler of this page wrote the theme state.
    void changed();
};

/// A push button for a slot: a small mark in its top right corner shows that the slot holds
/// a choice, so the caption stays exactly as it is.
class SlotButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(bool chosen READ chosen)
public:
    using QPushButton::QPushButton;
    void setChosen(bool chosen);
    bool chosen() const { return m_chosen; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_chosen = false;
};

/// Where the "holds a choice" mark of a control at `control` goes, one small size for every
/// control: inside a button's top right corner, above its caption; just outside a picture
/// box's top right corner (`outside`), since a picture fills the whole box.
QRect chosenMarkRect(const QRect& control, bool outside);
/// Draws the mark into its rectangle.
void paintChosenMark(QPainter& painter, const QRect& mark);

/// Shows a slot's file on its control: the tooltip is the hint (if any) followed by the file,
/// and the accessible description is the file ("" when the slot holds no choice).
void describeSlot(QWidget* control, const QString& hint, const std::string& path, bool chosen);

/// Space, Enter or Return without a modifier: the keyboard's click on a slot.
bool isActivateKey(const QEvent* event);
/// Delete or Backspace: empties a focused slot.
bool isClearKey(const QEvent* event);
/// The Menu key or Shift+F10: the keyboard's right click.
bool isMenuKey(const QEvent* event);

/// Takes files dropped on the controls it watches and, once the drop has ended, hands the
/// first one to `take` with the control it fell on. A drag of a theme file (".theme") is left to
/// the window, and so is a drag without a local file.
class FileDrops : public QObject {
    Q_OBJECT
public:
    using Taker = std::function<void(QWidget* control, const std::filesystem::path& hostFile)>;
    FileDrops(Taker take, QObject* parent);
    /// Lets the control take drops.
    void watch(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Taker m_take;
};

}  // namespace pages
