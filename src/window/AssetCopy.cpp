// SPDX-License-Identifier: MIT
#include "window/AssetCopy.h"

#include "output/CreateTheme.h"

namespace window {

AssetCopy::AssetCopy(QObject* parent) : QObject(parent) {}

AssetCopy::~AssetCopy() {
    m_cancel = true;
    if (m_worker.joinable()) m_worker.join();
}

void AssetCopy::start(const state::ThemeState& theme, platform::FileSystem& files) {
    if (m_running) return;
    if (m_worker.joinable()) m_worker.join();
    m_cancel = false;
    m_running = true;
    m_worker = std::thread([this, theme, &files] {
        auto report = [this](const output::CopyProgress& p) {
            QMetaObject::invokeMethod(
                this,
                [this, file = QString::fromStdString(p.file), done = p.bytesDone,
                 total = p.bytesTotal] { emit progress(file, done, total); },
                Qt::QueuedConnection);
        };
        const auto missing = output::copyAssets(theme, files, report, &m_cancel);
        QStringList list;
        for (const auto& m : missing) list << QString::fromStdString(m);
        // Queued calls to a destroyed object are dropped, so a late end cannot reach a
        // window that has gone.
        QMetaObject::invokeMethod(
            this,
            [this, list] {
                if (m_worker.joinable()) m_worker.join();
                m_running = false;
                emit finished(list);
            },
            Qt::QueuedConnection);
    });
}

void AssetCopy::cancel() {
    m_cancel = true;
}

}  // namespace window
