// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <optional>
#include <string>

#include "platform/MessageBoxes.h"
#include "state/ThemeState.h"
#include "window/KeptWorkFile.h"

class QAction;
class QMenu;

namespace window {

class Form1;

/// Keeps the window's work in the state folder (~/.local/state/skinsmith/kept-work.json) a
/// moment after each change, written atomically on a thread of its own so the window never
/// waits. Work that differs from the theme last opened or created is kept; Create Theme and
/// Exit with OK clear it. At the next start it is offered back, by a question or through
/// File > Restore Previous Work.
class WorkKeeper : public QObject {
    Q_OBJECT
public:
    /// How long after a change the work is written.
    static constexpr int kDelayMs = 500;

    /// "Restore Previous Work" goes into `menu` above `before`. The keeper must go before the
    /// window does: its last write reads the window's theme.
    WorkKeeper(Form1& form, platform::MessageBoxes& messages, const QString& folder, QMenu* menu,
               QAction* before);
    ~WorkKeeper() override;

    /// $XDG_STATE_HOME/skinsmith, or ~/.local/state/skinsmith when it is not set.
    static QString defaultFolder();
    QString file() const { return m_file; }

    /// Offers the work an earlier run left: by a question when `ask`, otherwise (a theme given
    /// on the command line won) only through File > Restore Previous Work.
    void offerPreviousWork(bool ask);
    QAction* restoreAction() const { return m_restore; }
    /// Writes a change still waiting for its moment, and waits until every write is done.
    void flush();

private:
    void changed();
    void save();
    void clear();
    void restorePrevious();
    void removeFile();

    Form1& m_form;
    platform::MessageBoxes& m_messages;
    QString m_file;
    QAction* m_restore;
    QTimer m_delay;
    QThreadPool m_writer;
    std::optional<KeptWork> m_previous;  // what an earlier run left, while it may be restored
    state::ThemeState m_baseline;        // the theme as last opened or created
    std::string m_source;                // the theme file it came from, a Windows path
    QDateTime m_changedAt;
    bool m_ownsFile = false;  // the file holds this run's work
};

}  // namespace window
