// SPDX-License-Identifier: MIT
#include "platform/qt/QtPictureLoader.h"

#include "platform/RegularFile.h"
#include "platform/qt/BmpStream.h"

#include <sys/stat.h>
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPalette>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::uint32_t le16(const uchar* b, qint64 at) {
    return b[at] | static_cast<std::uint32_t>(b[at + 1]) << 8;
}
std::uint32_t le32(const uchar* b, qint64 at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}
std::uint32_t le16(const QByteArray& b, qsizetype at) {
    return le16(reinterpret_cast<const uchar*>(b.constData()), at);
}
std::uint32_t le32(const QByteArray& b, qsizetype at) {
    return le32(reinterpret_cast<const uchar*>(b.constData()), at);
}

// True when a run-length stream (RLE8, or RLE4 when `nibbles`) ends before its end-of-bitmap
// code or before it has filled every row. The header's image size is not trusted: encoders
// often write it wrong, and Qt reads the stream regardless.
bool rleCutShort(const uchar* d, qint64 size, qint64 pos, qint64 height, bool nibbles) {
    qint64 row = 0;
    for (;;) {
        if (pos + 2 > size) return true;
        const unsigned count = d[pos];
        const unsigned code = d[pos + 1];
        pos += 2;
        if (count > 0) continue;      // a run of one value
        if (code == 1) return false;  // end of bitmap
        if (code == 0) {              // end of line
            if (++row >= height) return false;
        } else if (code == 2) {  // move right and down
            if (pos + 2 > size) return true;
            row += d[pos + 1];
            pos += 2;
            if (row >= height) return false;
        } else {  // literal pixels, padded to a 16-bit boundary
            const qint64 bytes = nibbles ? (code + 1) / 2 : code;
            pos += (bytes + 1) & ~qint64(1);
        }
    }
}

bool bmpCutShort(const uchar* d, qint64 size) {
    if (size < 26) return true;
    const qint64 offBits = le32(d, 10);
    const std::uint32_t infoSize = le32(d, 14);
    qint64 width = 0, height = 0, bitCount = 0, compression = 0, sizeImage = 0;
    if (infoSize == 12) {  // OS/2 core header
        width = le16(d, 18);
        height = le16(d, 20);
        bitCount = le16(d, 24);
    } else {
        if (size < 38) return true;
        width = static_cast<std::int32_t>(le32(d, 18));
        height = static_cast<std::int32_t>(le32(d, 22));
        bitCount = le16(d, 28);
        compression = le32(d, 30);
        sizeImage = le32(d, 34);
    }
    // 64-bit values from 32-bit fields: negating and the row size cannot overflow.
    if (width < 0) width = -width;
    if (height < 0) height = -height;
    if (offBits > size) return true;
    if (compression == 1 || compression == 2)
        return rleCutShort(d, size, offBits, height, compression == 2);
    qint64 pixelBytes = sizeImage;  // embedded data: the header's own count
    if (compression == 0 || compression == 3 || compression == 6) {  // uncompressed rows
        const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
        if (__builtin_mul_overflow(rowBytes, height, &pixelBytes)) return true;
    }
    return size - offBits < pixelBytes;
}

bool jpegCutShort(const uchar* d, qint64 size) {
    // Walk the marker segments to the first scan; the file is whole when an end-of-image
    // marker follows it. The search runs backwards from the end, so a complete file is
    // settled by its last bytes, and an EXIF thumbnail's own end marker is never seen.
    // Every step moves forward in memory, so a hostile file costs one pass at most.
    qint64 pos = 2;
    qint64 scanStart = -1;
    while (pos + 4 <= size) {
        if (d[pos] != 0xFF) return true;
        const auto marker = d[pos + 1];
        if (marker == 0xFF) {  // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xD9) return false;  // an image with no scan ends here
        const qint64 length = qint64(d[pos + 2]) << 8 | d[pos + 3];
        if (marker == 0xDA) {
            scanStart = pos + 2 + length;
            break;
        }
        pos += 2 + length;
    }
    if (scanStart < 0 || scanStart > size) return true;
    for (qint64 at = size - 2; at >= scanStart; --at) {
        if (d[at] == 0xFF && d[at + 1] == 0xD9) return false;
    }
    return true;
}

// Index of the largest image of an icon or cursor file held in memory, or -1 when the
// directory is damaged or an image lies beyond the end of the file (cut short).
int largestIconImage(const QByteArray& bytes) {
    if (bytes.size() < 6) return -1;
    const std::uint32_t count = le16(bytes, 4);
    if (count == 0 || bytes.size() < 6 + 16 * static_cast<qsizetype>(count)) return -1;
    int best = -1;
    int bestArea = -1;
    for (std::uint32_t i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * static_cast<qsizetype>(i);
        const qint64 size = le32(bytes, entry + 8);
        const qint64 offset = le32(bytes, entry + 12);
        if (offset + size > bytes.size()) return -1;
        // A width or height byte of 0 means 256.
        const int width =
            static_cast<std::uint8_t>(bytes[entry]) ? static_cast<std::uint8_t>(bytes[entry]) : 256;
        const int height = static_cast<std::uint8_t>(bytes[entry + 1])
                               ? static_cast<std::uint8_t>(bytes[entry + 1])
                               : 256;
        if (width * height > bestArea) {
            bestArea = width * height;
            best = static_cast<int>(i);
        }
    }
    return best;
}

bool isIconHeader(const QByteArray& head) {
    return head.size() >= 4 && head[0] == 0 && head[1] == 0 && (head[2] == 1 || head[2] == 2) &&
           head[3] == 0;
}

// The picture size a bitmap's header declares.
QSize bmpSize(const QByteArray& head) {
    if (head.size() < 26) return {};
    if (le32(head, 14) == 12) return QSize(int(le16(head, 18)), int(le16(head, 20)));
    const qint64 width = static_cast<std::int32_t>(le32(head, 18));
    const qint64 height = static_cast<std::int32_t>(le32(head, 22));
    if (width <= 0 || width > INT_MAX || height == 0 || height < -INT_MAX) return {};
    return QSize(int(width), int(std::abs(height)));
}

bool isRunLengthBmp(const QByteArray& head) {
    if (head.size() < 34 || le32(head, 14) < 40) return false;  // OS/2 headers have no runs
    const std::uint32_t compression = le32(head, 30);
    return compression == 1 || compression == 2;
}

// A 1-, 4- or 8-bit icon or cursor image drawn as Windows draws it: the AND mask clears the
// background, then the colour is XORed onto it. Qt's reader drops the pixels that invert the
// background (AND 1, colour not black), so an I-beam would preview empty; here they come out
// as the inverse of the box's background. Nullopt for any other kind of image.
std::optional<QImage> maskedPaletteImage(const QByteArray& bytes, qint64 at, QColor background) {
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    if (at < 0 || at + 40 > size) return std::nullopt;
    const qint64 infoSize = le32(d, at);
    const qint64 width = static_cast<std::int32_t>(le32(d, at + 4));
    const qint64 height = static_cast<std::int32_t>(le32(d, at + 8)) / 2;  // XOR, then AND
    const unsigned bits = le16(d, at + 14);
    if (infoSize < 40 || infoSize > 1024 || le32(d, at + 16) != 0) return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8) return std::nullopt;
    if (width <= 0 || height <= 0 || width > 1024 || height > 1024) return std::nullopt;
    qint64 colours = le32(d, at + 32);
    if (colours == 0 || colours > (qint64(1) << bits)) colours = qint64(1) << bits;
    const qint64 paletteAt = at + infoSize;
    const qint64 xorStride = (width * bits + 31) / 32 * 4;
    const qint64 andStride = (width + 31) / 32 * 4;
    const qint64 xorAt = paletteAt + 4 * colours;
    const qint64 andAt = xorAt + xorStride * height;
    if (andAt + andStride * height > size) return std::nullopt;

    const QRgb back = background.rgb() & 0xFFFFFF;
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
    for (qint64 y = 0; y < height; ++y) {
        const uchar* xorRow = d + xorAt + (height - 1 - y) * xorStride;  // rows bottom-up
        const uchar* andRow = d + andAt + (height - 1 - y) * andStride;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (qint64 x = 0; x < width; ++x) {
            const qint64 bit = x * bits;
            const unsigned index = (xorRow[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
            const QRgb colour =
                index < colours ? le32(d, paletteAt + 4 * qint64(index)) & 0xFFFFFF : 0;
            const bool keepsBackground = (andRow[x / 8] >> (7 - x % 8)) & 1;
            if (!keepsBackground)
                line[x] = 0xFF000000 | colour;
            else if (colour == 0)
                line[x] = 0;  // transparent
            else
                line[x] = 0xFF000000 | (back ^ colour);  // inverted
        }
    }
    return image;
}

// Icons and cursors are small: read once, checked and decoded from memory. A preview runs
// on every mouse motion over a pointer button, so this path must stay close to a bare decode.
std::optional<QImage> loadIcon(QFile& file) {
    constexpr qint64 kMaxIconBytes = 16 * 1024 * 1024;
    if (file.size() > kMaxIconBytes) return std::nullopt;
    QByteArray bytes = file.readAll();
    const int best = largestIconImage(bytes);
    if (best < 0) return std::nullopt;
    // The preview box shows the window's background colour.
    std::optional<QImage> image = maskedPaletteImage(
        bytes, le32(bytes, 6 + 16 * best + 12), QGuiApplication::palette().color(QPalette::Window));
    if (!image) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "ico");
        if (best > 0 && !reader.jumpToImage(best)) return std::nullopt;
        image = reader.read();
        if (image->isNull()) return std::nullopt;
    }
    return image;
}

// The region of a whole picture, cut out and scaled as it asks.
QImage cutAndScale(const QImage& image, const PictureRegion& region, Qt::TransformationMode mode) {
    QImage out = region.clip == image.rect() ? image : image.copy(region.clip);
    if (out.size() != region.size) out = out.scaled(region.size, Qt::IgnoreAspectRatio, mode);
    return out;
}

// A damaged run-length bitmap can decode to palette indices beyond its colour table, and
// Qt reads past the table when it draws or scales such a picture. Padding the table with
// black makes every index a colour.
void completePalette(QImage& image) {
    const int needed = image.format() == QImage::Format_Indexed8 ? 256 : image.depth() == 1 ? 2 : 0;
    if (image.colorCount() >= needed) return;
    QList<QRgb> table = image.colorTable();
    table.resize(needed, qRgb(0, 0, 0));
    image.setColorTable(table);
}

// Opens a regular file for reading; anything else (a FIFO, a device, a folder) is refused
// before any reader touches it, so it can never block the window.
bool openRegularFile(const QString& hostPath, QFile& file) {
    const int fd = platform::openRegularFile(QFile::encodeName(hostPath).toStdString());
    if (fd < 0) return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return true;
    ::close(fd);
    return false;
}

// Judges the whole file in memory (mapped, so only the pages looked at are read).
bool fileCutShort(QFile& file, const QByteArray& format) {
    const qint64 size = file.size();
    if (size <= 0) return true;
    uchar* mapped = file.map(0, size);
    bool cut = true;
    if (mapped) {
        cut = isPictureDataCutShort(QByteArrayView(reinterpret_cast<const char*>(mapped), size),
                                    format);
        file.unmap(mapped);
    } else {
        file.seek(0);
        cut = isPictureDataCutShort(file.readAll(), format);
    }
    file.seek(0);
    return cut;
}

}  // namespace

bool isPictureDataCutShort(QByteArrayView data, QByteArrayView format) {
    const auto* d = reinterpret_cast<const uchar*>(data.data());
    if (format == "bmp") return bmpCutShort(d, data.size());
    if (format == "jpeg" || format == "jpg") return data.size() < 2 || jpegCutShort(d, data.size());
    if (format == "ico" || format == "cur") return largestIconImage(data.toByteArray()) < 0;
    return false;
}

bool isPictureCutShort(const QString& hostPath, const QByteArray& format) {
    QFile file;
    if (!openRegularFile(hostPath, file)) return true;
    return fileCutShort(file, format);
}

QtPictureLoader::QtPictureLoader(DriveMap drives) : m_drives(std::move(drives)) {}

std::optional<QImage> QtPictureLoader::load(const std::string& windowsPath, QSize boxSize) {
    if (windowsPath.empty()) return QImage();
    const auto host = m_drives.toHost(windowsPath);
    if (!host) return std::nullopt;
    return loadHostFile(QString::fromStdString(host->string()), boxSize);
}

std::optional<FileStamp> QtPictureLoader::stamp(const std::string& windowsPath) const {
    // A hover asks for the same path on every mouse move: its host path is kept.
    if (windowsPath != m_stampPath || m_stampHost.empty()) {
        const auto host = m_drives.toHost(windowsPath);
        if (!host) return std::nullopt;
        m_stampPath = windowsPath;
        m_stampHost = host->string();
    }
    struct stat info {};
    if (::stat(m_stampHost.c_str(), &info) != 0) return std::nullopt;  // one call per hover
    return FileStamp{
        static_cast<std::uint64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

std::optional<QSize> QtPictureLoader::declaredSize(const std::string& windowsPath) const {
    const auto host = m_drives.toHost(windowsPath);
    if (!host) return std::nullopt;
    QFile file;
    if (!openRegularFile(QString::fromStdString(host->string()), file)) return std::nullopt;
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid()) return std::nullopt;
    return size;
}

std::optional<QImage> QtPictureLoader::loadHostFile(const QString& hostPath, QSize boxSize) {
    const bool scale = boxSize.isValid() && !boxSize.isEmpty();
    return loadHostRegion(hostPath, [&](QSize full) {
        return PictureRegion{QRect(QPoint(), full), scale ? boxSize : full};
    });
}

std::optional<QImage> QtPictureLoader::loadRegion(
    const std::string& windowsPath, const std::function<PictureRegion(QSize)>& choose) {
    if (windowsPath.empty()) return QImage();
    const auto host = m_drives.toHost(windowsPath);
    if (!host) return std::nullopt;
    return loadHostRegion(QString::fromStdString(host->string()), choose);
}

std::optional<QImage> QtPictureLoader::loadHostRegion(
    const QString& hostPath, const std::function<PictureRegion(QSize)>& choose) {
    QFile file;
    if (!openRegularFile(hostPath, file)) return std::nullopt;
    const QByteArray head = file.peek(34);
    if (isIconHeader(head)) {
        auto icon = loadIcon(file);
        if (!icon) return icon;
        PictureRegion region = choose(icon->size());
        region.clip &= icon->rect();
        if (region.clip.isEmpty() || region.size.isEmpty()) return std::nullopt;
        // Icons are pixel art: stretch them without blurring.
        return cutAndScale(*icon, region, Qt::FastTransformation);
    }

    // Read from the file already opened, so what was checked is what is decoded.
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format.isEmpty() || fileCutShort(file, format)) return std::nullopt;
    // Qt's reader knows no size for some bitmaps our row reader reads (bit fields top down).
    const QSize full = format == "bmp" && !reader.size().isValid() ? bmpSize(head) : reader.size();
    if (!full.isValid() || full.isEmpty()) return std::nullopt;
    PictureRegion region = choose(full);
    region.clip &= QRect(QPoint(), full);
    if (region.clip.isEmpty() || region.size.isEmpty()) return std::nullopt;
    const bool cut = region.clip.size() != full;
    const bool scale = region.size != region.clip.size();

    // Qt's BMP reader cannot scale while decoding: a big bitmap is read a row at a time, only
    // the rows of the region.
    const bool palette = format == "bmp";
    if (palette && (cut || scale)) {
        if (auto streamed = readBmpScaled(file, region.size, region.clip)) return streamed;
        file.seek(0);
    }
    // JPEG scales in the decoder and reads only the clip's rows, so a photograph of many
    // megapixels is never held whole. Palette pictures are cut and scaled only once their
    // palette is whole.
    if (!palette) {
        if (cut) reader.setClipRect(region.clip);
        if (scale) reader.setScaledSize(region.size);
    }
    QImage image;
    if (palette && isRunLengthBmp(head)) {
        // Qt leaves the pixels a run-length stream skips (a move, an early end) unwritten, and
        // decodes in place into a picture of its own size and format: one cleared to colour 0
        // shows them as that colour instead of whatever the memory held. Within Qt's own
        // allocation limit only, so a tiny file declaring a vast picture is still refused.
        const qint64 limit = qint64(QImageReader::allocationLimit()) << 20;
        if (limit == 0 || qint64(full.width()) * full.height() <= limit) {
            image = QImage(full, QImage::Format_Indexed8);
            image.fill(0);
        }
    }
    if (!reader.read(&image) || image.isNull()) return std::nullopt;
    if (palette) {
        completePalette(image);
        image = cutAndScale(image, region, Qt::SmoothTransformation);
    }
    return image;
}

std::optional<QByteArray> QtPictureLoader::readSmallFile(const std::string& windowsPath,
                                                         qint64 maxBytes) {
    const auto host = m_drives.toHost(windowsPath);
    if (!host) return std::nullopt;
    QFile file;
    // Only a regular file: a FIFO picked as a pointer would block the read.
    if (!openRegularFile(QString::fromStdString(host->string()), file)) return std::nullopt;
    if (file.size() > maxBytes) return std::nullopt;
    QByteArray bytes = file.read(maxBytes);
    if (bytes.size() != file.size()) return std::nullopt;
    return bytes;
}

std::optional<QImage> QtPictureLoader::decodeIcon(const QByteArray& bytes) {
    if (!isIconHeader(bytes.left(4))) return std::nullopt;
    const int best = largestIconImage(bytes);
    if (best < 0) return std::nullopt;
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    if (best > 0 && !reader.jumpToImage(best)) return std::nullopt;
    QImage image = reader.read();
    if (image.isNull()) return std::nullopt;
    return image;
}

}  // namespace platform
