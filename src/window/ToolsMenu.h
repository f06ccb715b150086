// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <functional>
#include <vector>

#include "compat/Check.h"
#include "window/Services.h"

class QMenuBar;

namespace window {

class CheckWindow;
class Form1;

/// The Tools menu: "Check for Windows 98" (F7) opens the check window; its "Convert" writes
/// converted copies into the theme folder (C:\skinvault\<name>) and has the slots name them.
class ToolsMenu : public QObject {
    Q_OBJECT
public:
    ToolsMenu(QMenuBar& bar, Form1& form, Services& services);

    void mnuToolsCheck_Click();
    /// The check window, once it has been opened.
    CheckWindow* checkWindow() const { return m_window; }
    /// Converts the findings' files into the theme folder and puts the copies in their slots (one
    /// undoable step);
    /// what failed is said in one message. Runs the conversions on a worker thread with a
    /// progress dialog; `then` runs afterwards unless the user cancelled.
    void convert(std::vector<compat::Finding> findings, std::function<void()> then = {});
    /// Before Create: when a chosen file will not show on Windows 98 and can be converted,
    /// asks "Convert", "Create as it is" or "Cancel". False when Create is to go on now
    /// (nothing to ask, or "Create as it is"); true when the user cancelled, or when the
    /// conversions run and `create` follows them.
    bool askBeforeCreate(const std::function<void()>& create);

private:
    void recheck();
    void showSlot(compat::Slot slot);

    Form1& m_form;
    Services& m_services;
    CheckWindow* m_window = nullptr;
    bool m_converting = false;
};

}  // namespace window
