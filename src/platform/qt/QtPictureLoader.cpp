#include "platform/qt/QtPictureLoader.h"

#include <QFile>
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

bool icoCutShort(QFile& file) {
    const QByteArray head = file.read(6);
    if (head.size() < 6) return true;
    const std::uint32_t count = le16(head, 4);
    const QByteArray entries = file.read(16 * static_cast<qint64>(count));
    if (entries.size() < 16 * static_cast<qsizetype>(count)) return true;
    for (std::uint32_t i = 0; i < count; ++i) {
        const qint64 bytes = le32(entries, 16 * i + 8);
        const qint64 offset = le32(entries, 16 * i + 12);
        if (offset + bytes > file.size()) return true;
    }
    return false;
}

}  // namespace

bool isPictureCutShort(const QString& hostPath, const QByteArray& format) {
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly)) return true;
    if (format == "bmp") return bmpCutShort(file);
    if (format == "jpeg" || format == "jpg") return jpegCutShort(file);
    if (format == "ico" || format == "cur") return icoCutShort(file);
    return false;
}

QtPictureLoader::QtPictureLoader(DriveMap drives) : m_drives(std::move(drives)) {}

std::optional<QImage> QtPictureLoader::load(const std::string& windowsPath, QSize boxSize) {
    if (windowsPath.empty()) return QImage();
    const auto host = m_drives.toHost(windowsPath);
    if (!host) return std::nullopt;
    return loadHostFile(QString::fromStdString(host->string()), boxSize);
}

std::optional<QImage> QtPictureLoader::loadHostFile(const QString& hostPath, QSize boxSize) {
    QImageReader reader(hostPath);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format.isEmpty() || isPictureCutShort(hostPath, format)) return std::nullopt;

    if (format == "ico" || format == "cur") {
        // Images of a multi-size icon come in any order; show the largest.
        int best = 0;
        qint64 bestArea = -1;
        for (int i = 0; i < std::max(1, reader.imageCount()); ++i) {
            if (i > 0 && !reader.jumpToImage(i)) break;
            const QSize size = reader.size();
            if (static_cast<qint64>(size.width()) * size.height() > bestArea) {
                bestArea = static_cast<qint64>(size.width()) * size.height();
                best = i;
            }
        }
        QImageReader chosen(hostPath, format);
        if (best > 0 && !chosen.jumpToImage(best)) return std::nullopt;
        QImage image = chosen.read();
        if (image.isNull()) return std::nullopt;
        // Icons are pixel art: stretch them without blurring.
        if (boxSize.isValid() && !boxSize.isEmpty())
            image = image.scaled(boxSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        return image;
    }

    // Decoding at the box's size lets JPEG scale in the decoder, so a photograph of many
    // megapixels is never held whole.
    if (boxSize.isValid() && !boxSize.isEmpty()) reader.setScaledSize(boxSize);
    QImage image = reader.read();
    if (image.isNull()) return std::nullopt;
    return image;
}

}  // namespace platform
