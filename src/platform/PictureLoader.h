// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

/// A file's size and modification time: what a kept decoded picture is valid for.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds of the file clock
    bool operator==(const FileStamp&) const = default;
};

/// The part of a picture that will be seen: `clip` in the picture's own pixels, drawn at `size`.
struct PictureRegion {
    QRect clip;
    QSize size;
    bool operator==(const PictureRegion&) const = default;
};

/// Loads preview pictures: icons (the largest image), static cursors, bitmaps under any
/// extension, JPEG.
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    /// The picture in the file at a Windows path; an empty name gives an empty (null) picture.
    /// With a box size the picture is decoded at that size, so a huge file is never decoded
    /// whole. Nullopt when the file is missing, unreadable, damaged or cut short.
    virtual std::optional<QImage> load(const std::string& windowsPath, QSize boxSize = {}) = 0;
    /// Only the part of the picture that will be seen, decoded at the size it is drawn: `choose`
    /// gets the picture's own size (from its header) and names the part and its size, so a
    /// huge picture costs the memory of what is shown. Nullopt as for load(). Safe to call
    /// from any thread. This default decodes the whole picture and cuts it.
    virtual std::optional<QImage> loadRegion(const std::string& windowsPath,
                                             const std::function<PictureRegion(QSize)>& choose) {
        auto picture = load(windowsPath);
        if (!picture || picture->isNull()) return picture;
        const PictureRegion region = choose(picture->size());
        return picture->copy(region.clip)
            .scaled(region.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
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
    /// The size and modification time of the file at a Windows path; nullopt when it cannot
    /// be found (or the loader keeps no such record: then nothing is cached or sent to a
    /// worker). load() must be safe to call from any thread; stamp() and declaredSize() are
    /// called from the GUI thread only.
    virtual std::optional<FileStamp> stamp(const std::string& windowsPath) const {
        (void)windowsPath;
        return std::nullopt;
    }
    /// The picture's size as its header declares it, read without decoding; nullopt when
    /// unknown. A small file may hold a picture that takes long to decode.
    virtual std::optional<QSize> declaredSize(const std::string& windowsPath) const {
        (void)windowsPath;
        return std::nullopt;
    }
};

}  // namespace platform
