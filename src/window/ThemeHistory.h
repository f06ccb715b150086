// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include "state/ThemeState.h"

class QUndoStack;

namespace window {

class Form1;

/// What changed between two states, as the Edit menu names the step ("Wallpaper", "Menu
/// Color", "Startup logo"); "Colors" or "Changes" when several things changed at once.
QString describeChange(const state::ThemeState& before, const state::ThemeState& after);

/// The window's undo history on Qt's QUndoStack. Every change to the theme becomes one step
/// holding the state before and after it: changes the pages make are recorded when they signal
/// them, whole states (Open, New, a scheme, a conversion) come through apply(). Undo and redo
/// put a state back in place without switching pages.
class ThemeHistory : public QObject {
    Q_OBJECT
public:
    explicit ThemeHistory(Form1& form);

    QUndoStack* stack() const { return m_stack; }

    /// Puts a whole state in place as one step, named for the Edit menu ("Open Theme").
    void apply(state::ThemeState theme, const QString& name);
    /// Records the difference between the window's state and the last step, if any. Called on
    /// every change signal; edits of the name within one visit of its box make one step.
    void record();

    /// Puts a state in place without recording it (undo and redo).
    void show(const state::ThemeState& theme);

signals:
    /// The state in the window changed: a new step, an undo or a redo.
    void stateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form1& m_form;
    QUndoStack* m_stack;
    state::ThemeState m_recorded;  // the state after the current step
    int m_nameVisit = 0;           // counts the name box's focus changes
};

}  // namespace window
