// SPDX-License-Identifier: MIT
#include "window/AssetCopy.h"

#include "output/CreateTheme.h"

namespace window {

AssetCopy::AssetCopy(QObject* parent) : QObject(parent) {}

AssetCopy::~AssetCopy() {
    m_cancel = true;
    if (m_worker.joinable()) m_worker.join();
}

void AssetCopy::run(std::function<std::function<void()>()> work) {
    if (m_running) return;
    if (m_worker.joinable()) m_worker.join();
    m_cancel = false;
    m_running = true;
    m_worker = std::thread([this, work = std::move(work)] {
        std::function<void()> done = work();
        // Queued calls to a destroyed object are dropped, so a late end cannot reach a
        // window that has gone.
        QMetaObject::invokeMethod(
            this,
            [this, done = std::move(done)] {
                if (m_worker.joinable()) m_worker.join();
                m_running = false;
                done();
            },
            Qt::QueuedConnection);
    });
}

void AssetCopy::writeFiles(const state::ThemeState& theme, platform::FileSystem& files) {
    run([this, theme, &files]() -> std::function<void()> {
        auto failure = output::writeThemeFiles(theme, files);
        return [this, failure = std::move(failure)] {
            m_writeFailure = failure;
            emit written();
        };
    });
}

void AssetCopy::start(const state::ThemeState& theme, platform::FileSystem& files) {
    run([this, theme, &files]() -> std::function<void()> {
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
        return [this, list] { emit finished(list); };
    });
}

void AssetCopy::cancel() {
    m_cancel = true;
}

}  // namespace window
