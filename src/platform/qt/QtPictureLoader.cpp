#include "platform/qt/QtPictureLoader.h"

#include "platform/qt/BmpStream.h"

#include <sys/stat.h>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <cstdint>
#include <utility>

namespace platform {

namespace {

std::uint32_t le16(const QByteArray& b, qsizetype at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8;
}
std::uint32_t le32(const QByteArray& b, qsizetype at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}

bool bmpCutShort(QFile& file) {
    const QByteArray head = file.read(54);
    if (head.size() < 26) return true;
    const qint64 offBits = le32(head, 10);
    const std::uint32_t infoSize = le32(head, 14);
    qint64 width = 0, height = 0, bitCount = 0, compression = 0, sizeImage = 0;
    if (infoSize == 12) {  // OS/2 core header
        width = le16(head, 18);
        height = le16(head, 20);
        bitCount = le16(head, 24);
    } else {
        if (head.size() < 38) return true;
        width = static_cast<std::int32_t>(le32(head, 18));
        height = static_cast<std::int32_t>(le32(head, 22));
        bitCount = le16(head, 28);
        compression = le32(head, 30);
        sizeImage = le32(head, 34);
    }
    if (width < 0) width = -width;
    if (height < 0) height = -height;
    qint64 pixelBytes = 0;
    if (compression == 0 || compression == 3 || compression == 6)  // uncompressed rows
        pixelBytes = (width * bitCount + 31) / 32 * 4 * height;
    else
        pixelBytes = sizeImage;  // run-length or embedded data: the header's own count
    return file.size() < offBits + pixelBytes;
}

bool jpegCutShort(QFile& file) {
    // Walk the marker segments to the first scan; the file is whole when an end-of-image
    // marker follows it. The search runs backwards from the end, so a complete file is
    // settled by its last bytes, and an EXIF thumbnail's own end marker is never seen.
    const qint64 size = file.size();
    qint64 pos = 2;
    qint64 scanStart = -1;
    while (pos + 4 <= size) {
        file.seek(pos);
        const QByteArray m = file.read(4);
        if (static_cast<std::uint8_t>(m[0]) != 0xFF) return true;
        const auto marker = static_cast<std::uint8_t>(m[1]);
        if (marker == 0xFF) {  // fill byte
            ++pos;
            continue;
        }
        if (marker == 0xD9) return false;  // an image with no scan ends here
        const qint64 length =
            static_cast<std::uint8_t>(m[2]) << 8 | static_cast<std::uint8_t>(m[3]);
        if (marker == 0xDA) {
            scanStart = pos + 2 + length;
            break;
        }
        pos += 2 + length;
    }
    if (scanStart < 0 || scanStart > size) return true;
    constexpr qint64 kChunk = 64 * 1024;
    qint64 end = size;
    while (end > scanStart) {
        const qint64 begin = std::max(scanStart, end - kChunk);
        file.seek(begin);
        const QByteArray chunk = file.read(end - begin + (end < size ? 1 : 0));
        const qsizetype found = chunk.lastIndexOf(QByteArrayView("\xFF\xD9", 2));
        if (found >= 0) return false;
        end = begin;
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

// Icons and cursors are small: read once, checked and decoded from memory. A preview runs
// on every mouse motion over a pointer button, so this path must stay close to a bare decode.
std::optional<QImage> loadIcon(QFile& file, QSize boxSize) {
    constexpr qint64 kMaxIconBytes = 16 * 1024 * 1024;
    if (file.size() > kMaxIconBytes) return std::nullopt;
    QByteArray bytes = file.readAll();
    const int best = largestIconImage(bytes);
    if (best < 0) return std::nullopt;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    if (best > 0 && !reader.jumpToImage(best)) return std::nullopt;
    QImage image = reader.read();
    if (image.isNull()) return std::nullopt;
    // Icons are pixel art: stretch them without blurring.
    if (boxSize.isValid() && !boxSize.isEmpty())
        image = image.scaled(boxSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return image;
}

}  // namespace

bool isPictureCutShort(const QString& hostPath, const QByteArray& format) {
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly)) return true;
    if (format == "bmp") return bmpCutShort(file);
    if (format == "jpeg" || format == "jpg") return jpegCutShort(file);
    if (format == "ico" || format == "cur") return largestIconImage(file.readAll()) < 0;
    return false;
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
    QImageReader reader(QString::fromStdString(host->string()));
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid()) return std::nullopt;
    return size;
}

std::optional<QImage> QtPictureLoader::loadHostFile(const QString& hostPath, QSize boxSize) {
    {
        QFile file(hostPath);
        if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
        if (isIconHeader(file.peek(4))) return loadIcon(file, boxSize);
    }
    QImageReader reader(hostPath);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format.isEmpty() || isPictureCutShort(hostPath, format)) return std::nullopt;

    // Qt's BMP reader cannot scale while decoding: a big bitmap is read a row at a time.
    if (format == "bmp") {
        if (auto streamed = readBmpScaled(hostPath, boxSize)) return streamed;
    }
    // Decoding at the box's size lets JPEG scale in the decoder, so a photograph of many
    // megapixels is never held whole.
    if (boxSize.isValid() && !boxSize.isEmpty()) reader.setScaledSize(boxSize);
    QImage image = reader.read();
    if (image.isNull()) return std::nullopt;
    return image;
}

std::optional<QByteArray> QtPictureLoader::readSmallFile(const std::string& windowsPath,
                                                         qint64 maxBytes) {
    const auto host = m_drives.toHost(windowsPath);
    if (!host) return std::nullopt;
    QFile file(QString::fromStdString(host->string()));
    // Only a regular file: a FIFO picked as a pointer would block the read.
    if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
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
