// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>

#include "platform/FileSystem.h"
#include "state/ThemeState.h"

namespace window {

/// Copies a theme's assets on a worker thread, so the window goes on repainting while a big
/// wallpaper or screen saver is copied. Progress and the end come back as queued signals.
class AssetCopy : public QObject {
    Q_OBJECT
public:
    explicit AssetCopy(QObject* parent = nullptr);
    /// Stops the copies and waits for the file being copied.
    ~AssetCopy() override;

    /// Copies the assets of `theme` (a copy is taken) into the current folder of `files`,
    /// which nothing else may use until finished() arrives. Ignored while copying.
    void start(const state::ThemeState& theme, platform::FileSystem& files);
    /// No further file starts; finished() follows once the file being copied is done.
    void cancel();
    bool running() const { return m_running; }
    bool cancelling() const { return m_cancel.load(); }

signals:
    /// Before each chosen file (empty at the end): its Windows path, bytes copied, bytes in all.
    void progress(const QString& file, quint64 bytesDone, quint64 bytesTotal);
    /// The chosen files that were not copied, each with the reason.
    void finished(const QStringList& missing);

private:
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
};

}  // namespace window
