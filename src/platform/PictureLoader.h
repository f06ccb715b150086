#pragma once

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
};

}  // namespace platform
