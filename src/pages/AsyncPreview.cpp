// SPDX-License-Identifier: MIT
#include "pages/AsyncPreview.h"

#include <QImage>

#include <optional>

#include "pages/PictureBox.h"

namespace pages {

AsyncPreview::AsyncPreview(PictureBox* box, platform::PictureLoader& loader)
    : QObject(box), m_box(box), m_loader(loader) {
    // One decode at a time: a newer request replaces the waiting one.
    m_pool.setMaxThreadCount(1);
}

AsyncPreview::~AsyncPreview() {
    m_pool.clear();
    m_pool.waitForDone();
}

void AsyncPreview::show(const std::string& windowsPath, QSize decodeSize) {
    const std::uint64_t request = ++m_latest;
    m_pool.clear();  // a request still waiting is out of date
    const auto stamp = m_loader.stamp(windowsPath);
    auto bigPicture = [&] {
        const auto size = m_loader.declaredSize(windowsPath);
        return size && static_cast<qint64>(size->width()) * size->height() >= kLargePicture;
    };
    if (!stamp || (stamp->size < kLargeFile && !bigPicture())) {
        m_pending = false;
        if (auto picture = m_loader.load(windowsPath, decodeSize)) m_box->showPicture(*picture);
        emit settled();
        return;
    }
    m_pending = true;
    m_pool.start([this, request, windowsPath, decodeSize] {
        std::optional<QImage> picture = m_loader.load(windowsPath, decodeSize);
        // A queued call to a destroyed object is dropped, so a late picture reaches no box.
        QMetaObject::invokeMethod(
            this,
            [this, request, picture = std::move(picture)] {
                if (request != m_latest) return;  // a newer request owns the box
                m_pending = false;
                if (picture) m_box->showPicture(*picture);
                emit settled();
            },
            Qt::QueuedConnection);
    });
}

}  // namespace pages
