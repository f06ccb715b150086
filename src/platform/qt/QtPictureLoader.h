// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>
#include <string>

#include "platform/DriveMap.h"
#include "platform/PictureLoader.h"

namespace platform {

/// Picture loading with QImageReader. The format comes from the content, so a bitmap under
/// any extension (a ".sys" logo) loads; a multi-size icon gives its largest image; a bitmap,
/// JPEG or icon shorter than its headers say is refused rather than shown with garbage rows.
class QtPictureLoader : public PictureLoader {
public:
    explicit QtPictureLoader(DriveMap drives);
    std::optional<QImage> load(const std::string& windowsPath, QSize boxSize = {}) override;
    std::optional<QImage> loadRegion(const std::string& windowsPath,
                                     const std::function<PictureRegion(QSize)>& choose) override;
    std::optional<QByteArray> readSmallFile(const std::string& windowsPath,
                                            qint64 maxBytes) override;
    std::optional<QImage> decodeIcon(const QByteArray& bytes) override;
    std::optional<FileStamp> stamp(const std::string& windowsPath) const override;
    std::optional<QSize> declaredSize(const std::string& windowsPath) const override;

    /// The same for a host path.
    static std::optional<QImage> loadHostFile(const QString& hostPath, QSize boxSize = {});
    static std::optional<QImage> loadHostRegion(const QString& hostPath,
                                                const std::function<PictureRegion(QSize)>& choose);

private:
    DriveMap m_drives;
    // The last path stamp() mapped (stamp runs on the GUI thread only).
    mutable std::string m_stampPath;
    mutable std::string m_stampHost;
};

/// True when the picture bytes (a whole BMP, JPEG or ICO/CUR file) are shorter than their
/// headers say, or the headers are impossible; false for a complete file or another format.
bool isPictureDataCutShort(QByteArrayView data, QByteArrayView format);

/// True when the picture file is shorter than its headers say (BMP, JPEG, ICO/CUR); false
/// for a complete file or a format it does not know.
bool isPictureCutShort(const QString& hostPath, const QByteArray& format);

}  // namespace platform
