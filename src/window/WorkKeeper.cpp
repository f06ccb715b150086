// SPDX-License-Identifier: MIT
#include "window/WorkKeeper.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSaveFile>

#include "window/Form1.h"
#include "window/ThemeHistory.h"

namespace window {

namespace {
const QString kRestoreName = QStringLiteral("Restore Previous Work");
}  // namespace

WorkKeeper::WorkKeeper(Form1& form, platform::MessageBoxes& messages, const QString& folder,
                       QMenu* menu, QAction* before)
    : m_form(form),
      m_messages(messages),
      m_file(folder + QStringLiteral("/kept-work.json")),
      m_baseline(form.theme()) {
    // One thread, so writes and removals reach the disk in the order they were made.
    m_writer.setMaxThreadCount(1);
    m_delay.setSingleShot(true);
    m_delay.setInterval(kDelayMs);
    connect(&m_delay, &QTimer::timeout, this, &WorkKeeper::save);
    connect(form.history(), &ThemeHistory::stateChanged, this, &WorkKeeper::changed);
    connect(&form, &Form1::themeOpened, this, [this](const QString& path) {
        m_source = path.toStdString();
        m_baseline = m_form.theme();
    });
    connect(&form, &Form1::themeCreated, this, [this](const QString& path) {
        m_source = path.toStdString();
        m_baseline = m_form.theme();
        clear();
    });
    connect(&form, &Form1::exitRequested, this, &WorkKeeper::clear);

    m_restore = new QAction(QStringLiteral("&Restore Previous Work"), menu);
    m_restore->setObjectName(QStringLiteral("mnuFileRestore"));
    m_restore->setEnabled(false);
    connect(m_restore, &QAction::triggered, this, &WorkKeeper::restorePrevious);
    menu->insertAction(before, m_restore);

    QFile kept(m_file);
    if (kept.open(QIODevice::ReadOnly)) m_previous = readKeptWork(kept.read(1 << 20));
}

WorkKeeper::~WorkKeeper() {
    // The close box ends the run at once: a change still waiting is written first.
    flush();
}

QString WorkKeeper::defaultFolder() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    // XDG's base directory rules say a relative path is to be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/skinsmith");
}

void WorkKeeper::offerPreviousWork(bool ask) {
    if (!m_previous) {
        // A damaged file is no one's work; the next change replaces it anyway.
        if (QFile::exists(m_file)) removeFile();
        return;
    }
    m_restore->setEnabled(true);
    if (!ask) return;
    const std::string& name = m_previous->theme.themeName;
    platform::Message question;
    const QString changed =
        m_previous->changed.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    question.text =
        "Restore the theme you were working on?\n\n" +
        (name.empty() ? std::string("The unnamed theme") : "\"" + name + "\"") + ", last changed " +
        changed.toStdString() + "." +
        (m_previous->source.empty() ? std::string() : "\nIt came from " + m_previous->source + ".");
    question.title = kRestoreName.toStdString();
    question.buttons = platform::MessageButtons::OkCancel;
    question.defaultButton = platform::MessageResult::Ok;
    question.okText = "Restore";
    question.cancelText = "Discard";
    if (m_messages.show(question) == platform::MessageResult::Ok) {
        restorePrevious();
        return;
    }
    m_previous.reset();
    m_restore->setEnabled(false);
    removeFile();
}

void WorkKeeper::restorePrevious() {
    if (!m_previous) return;
    const KeptWork work = *std::move(m_previous);
    m_previous.reset();
    m_restore->setEnabled(false);
    m_form.applyChange(work.theme, kRestoreName);
    m_source = work.source;
    m_changedAt = work.changed;
}

void WorkKeeper::changed() {
    m_changedAt = QDateTime::currentDateTimeUtc();
    // Not restarted by later changes: steady typing is kept every half second too.
    if (!m_delay.isActive()) m_delay.start();
}

void WorkKeeper::save() {
    m_delay.stop();
    const state::ThemeState& theme = m_form.theme();
    if (theme == m_baseline || theme == state::ThemeState{}) {
        // Nothing would be lost; the file of an earlier run stays until this run has work.
        if (m_ownsFile) removeFile();
        return;
    }
    m_ownsFile = true;
    QByteArray bytes = writeKeptWork({theme, m_source, m_changedAt});
    m_writer.start([file = m_file, bytes = std::move(bytes)] {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QSaveFile out(file);
        if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size()) out.commit();
    });
}

void WorkKeeper::clear() {
    m_delay.stop();
    removeFile();
}

void WorkKeeper::removeFile() {
    m_ownsFile = false;
    m_writer.start([file = m_file] { QFile::remove(file); });
}

void WorkKeeper::flush() {
    if (m_delay.isActive()) save();
    m_writer.waitForDone();
}

}  // namespace window
