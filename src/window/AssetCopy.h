// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"
#include "state/ThemeState.h"

namespace window {

/// Runs the create procedure's disk work on a worker thread: the theme folder with its theme
/// and batch files, then the asset copies. No write or flush waits on the window's thread, so
/// it goes on repainting while a big wallpaper is copied or a disk is slow to flush. Results
/// come back as queued signals.
class AssetCopy : public QObject {
    Q_OBJECT
public:
    explicit AssetCopy(QObject* parent = nullptr);
    /// Stops the copies and waits for the work under way.
    ~AssetCopy() override;

    /// Makes C:\skinvault\<name> of `theme` (a copy is taken) current in `files` and writes the
    /// theme and batch files there; written() follows. Ignored while running.
    void writeFiles(const state::ThemeState& theme, platform::FileSystem& files);
    /// Copies the assets of `theme` (a copy is taken) into the current folder of `files`;
    /// finished() follows. Ignored while running. Nothing else may use `files` until the
    /// signal that ends either job arrives.
    void start(const state::ThemeState& theme, platform::FileSystem& files);
    /// The file being copied stops at its next chunk and no further file starts.
    void cancel();
    bool running() const { return m_running; }
    bool cancelling() const { return m_cancel.load(); }
    /// After written(): the message to show when the files could not be written.
    const std::optional<platform::Message>& writeFailure() const { return m_writeFailure; }

signals:
    /// The theme and batch files are in place, or writeFailure() says why not.
    void written();
    /// Before each chosen file (empty at the end) and as a big one goes: its Windows path,
    /// bytes copied, bytes in all.
    void progress(const QString& file, quint64 bytesDone, quint64 bytesTotal);
    /// The chosen files that were not copied, each with the reason.
    void finished(const QStringList& missing);

private:
    /// Runs `work` on the worker; the function it returns runs on this object's thread.
    void run(std::function<std::function<void()>()> work);

    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
    std::optional<platform::Message> m_writeFailure;
};

}  // namespace window
