#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <optional>
#include <string>

namespace platform {

/// Loads preview pictures: icons (the largest image), static cursors, bitmaps under any
/// extension, JPEG.
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    /// The picture in the file at a Windows path; an empty name gives an empty (null) picture.
    /// With a box size the picture is decoded at that size, so a huge file is never decoded
    /// whole. Nullopt when the file is missing, unreadable, damaged or cut short.
    virtual std::optional<QImage> load(const std::string& windowsPath, QSize boxSize = {}) = 0;
    /// The bytes of a file of at most maxBytes at a Windows path (an animated cursor, whose
    /// frames the caller decodes one by one); nullopt when missing, unreadable or larger.
    virtual std::optional<QByteArray> readSmallFile(const std::string& windowsPath,
                                                    qint64 maxBytes) {
        (void)windowsPath;
        (void)maxBytes;
        return std::nullopt;
    }
    /// The largest image of an icon or cursor held in memory; nullopt when it is damaged or
    /// cut short.
    virtual std::optional<QImage> decodeIcon(const QByteArray& bytes) {
        (void)bytes;
        return std::nullopt;
    }
};

}  // namespace platform
