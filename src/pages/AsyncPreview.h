// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QSize>
#include <QThreadPool>

#include <cstdint>
#include <string>

#include "platform/PictureLoader.h"

namespace pages {

class PictureBox;

/// Shows picture files in one box, decoding a big file on a worker thread so the window
/// never waits for it: the box changes when the picture is ready. Only the latest request
/// counts, and a file that cannot be read leaves the box as it was. Small files load at once,
/// as before.
class AsyncPreview : public QObject {
    Q_OBJECT
public:
    /// Files from this size on, or pictures of this many pixels, decode on the worker.
    static constexpr std::uint64_t kLargeFile = 1024 * 1024;
    static constexpr qint64 kLargePicture = 2000 * 2000;

    /// Belongs to the box it fills.
    AsyncPreview(PictureBox* box, platform::PictureLoader& loader);
    /// Drops the requests not started and waits for the one being decoded.
    ~AsyncPreview() override;

    /// Shows the picture at a Windows path, decoded at `decodeSize` (see PictureLoader::load).
    void show(const std::string& windowsPath, QSize decodeSize);
    /// True while the latest request is being decoded.
    bool pending() const { return m_pending; }

signals:
    /// The latest request is done: its picture shown, or the box left as it was.
    void settled();

private:
    PictureBox* m_box;
    platform::PictureLoader& m_loader;
    QThreadPool m_pool;
    std::uint64_t m_latest = 0;
    bool m_pending = false;
};

}  // namespace pages
