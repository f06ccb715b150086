// SPDX-License-Identifier: MIT
#include "platform/qt/BmpStream.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include <unistd.h>

#include "platform/RegularFile.h"

namespace platform {
namespace {

// Below this many decoded bytes a full decode is cheap, and Qt's smooth scaling looks better.
constexpr qint64 kStreamFromBytes = 8 * 1024 * 1024;
constexpr qint64 kMaxWidth = 1 << 20;

std::uint32_t le16(const uchar* b) {
    return b[0] | static_cast<std::uint32_t>(b[1]) << 8;
}
std::uint32_t le32(const uchar* b) {
    return le16(b) | le16(b + 2) << 16;
}

/// One colour channel held under a bit mask, widened to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (mask == 0) return;
        while (((mask >> shift) & 1) == 0) ++shift;
        max = mask >> shift;
    }
    int operator()(std::uint32_t pixel, int absent) const {
        if (max == 0) return absent;
        return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
    }
};

}  // namespace

std::optional<QImage> readBmpScaled(const QString& hostPath, QSize size, QRect clip) {
    QFile file;
    const int fd = openRegularFile(QFile::encodeName(hostPath).toStdString());
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0) ::close(fd);
        return std::nullopt;
    }
    return readBmpScaled(file, size, clip);
}

std::optional<QImage> readBmpScaled(QIODevice& file, QSize size, QRect clip) {
    if (!size.isValid() || size.isEmpty() || !file.seek(0)) return std::nullopt;
    const QByteArray headBytes = file.read(14 + 124);
    const auto* head = reinterpret_cast<const uchar*>(headBytes.constData());
    if (headBytes.size() < 26 || head[0] != 'B' || head[1] != 'M') return std::nullopt;
    const qint64 offBits = le32(head + 10);
    const std::uint32_t infoSize = le32(head + 14);
    qint64 width = 0, height = 0;
    int bitCount = 0;
    std::uint32_t compression = 0, colorsUsed = 0;
    int paletteEntry = 4;
    if (infoSize == 12) {  // OS/2 core header
        width = le16(head + 18);
        height = le16(head + 20);
        bitCount = static_cast<int>(le16(head + 24));
        paletteEntry = 3;
    } else if (infoSize >= 40 && headBytes.size() >= 54) {
        width = static_cast<std::int32_t>(le32(head + 18));
        height = static_cast<std::int32_t>(le32(head + 22));
        bitCount = static_cast<int>(le16(head + 28));
        compression = le32(head + 30);
        colorsUsed = le32(head + 46);
    } else {
        return std::nullopt;
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || width > kMaxWidth || height <= 0) return std::nullopt;
    if (width * height * 4 < kStreamFromBytes) return std::nullopt;

    // Channel masks: BI_BITFIELDS and BI_ALPHABITFIELDS keep them right after the 40-byte
    // header (inside the larger headers, at the same place).
    Channel red, green, blue, alpha;
    if (compression == 3 || compression == 6) {
        if ((bitCount != 16 && bitCount != 32) || headBytes.size() < 66) return std::nullopt;
        red = Channel(le32(head + 54));
        green = Channel(le32(head + 58));
        blue = Channel(le32(head + 62));
        if ((compression == 6 || infoSize >= 56) && headBytes.size() >= 70)
            alpha = Channel(le32(head + 66));
    } else if (compression == 0) {
        if (bitCount == 16) {
            red = Channel(0x7C00);
            green = Channel(0x03E0);
            blue = Channel(0x001F);
        } else if (bitCount == 32) {
            red = Channel(0xFF0000);
            green = Channel(0xFF00);
            blue = Channel(0xFF);
        } else if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) {
            return std::nullopt;
        }
    } else {
        return std::nullopt;  // run-length or embedded JPEG/PNG: the full decoder's work
    }

    std::array<QRgb, 256> palette{};
    if (bitCount <= 8) {
        const qint64 entries = colorsUsed != 0 && colorsUsed <= 256u ? colorsUsed : 1 << bitCount;
        if (!file.seek(14 + infoSize)) return std::nullopt;
        const QByteArray table = file.read(entries * paletteEntry);
        if (table.size() != entries * paletteEntry) return std::nullopt;
        const auto* t = reinterpret_cast<const uchar*>(table.constData());
        for (qint64 i = 0; i < entries; ++i) {
            const uchar* e = t + i * paletteEntry;
            palette[static_cast<std::size_t>(i)] = qRgb(e[2], e[1], e[0]);
        }
    }

    const qint64 rowBytes = (width * bitCount + 31) / 32 * 4;
    if (file.size() < offBits + rowBytes * height) return std::nullopt;  // cut short
    const QRect whole(0, 0, static_cast<int>(width), static_cast<int>(height));
    clip = clip.isNull() ? whole : clip & whole;
    if (clip.isEmpty()) return std::nullopt;
    // Only the bytes of a row that hold the clip's columns are read.
    const qint64 firstByte = clip.left() * qint64(bitCount) / 8;
    const qint64 spanBytes = (qint64(clip.right()) + 1) * bitCount / 8 +
                             ((qint64(clip.right()) + 1) * bitCount % 8 != 0) - firstByte;

    const int outWidth = size.width();
    const int outHeight = size.height();
    const bool hasAlpha = alpha.max != 0;
    QImage out(size, hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull()) return std::nullopt;
    std::vector<uchar> row(static_cast<std::size_t>(rowBytes));
    std::vector<QRgb> pixels(static_cast<std::size_t>(width));
    // Where each output column's span of source columns starts; the last entry is the width.
    std::vector<qint64> columnStart(static_cast<std::size_t>(outWidth) + 1);
    const qint64 left = clip.left(), end = qint64(clip.right()) + 1;
    for (int x = 0; x <= outWidth; ++x) columnStart[x] = left + x * (end - left) / outWidth;

    for (int y = 0; y < outHeight; ++y) {
        const qint64 sourceRow =
            clip.top() + (2 * static_cast<qint64>(y) + 1) * clip.height() / (2 * outHeight);
        const qint64 fileRow = topDown ? sourceRow : height - 1 - sourceRow;
        if (!file.seek(offBits + fileRow * rowBytes + firstByte)) return std::nullopt;
        if (file.read(reinterpret_cast<char*>(row.data() + firstByte), spanBytes) != spanBytes)
            return std::nullopt;

        const uchar* r = row.data();
        for (qint64 x = left; x < end; ++x) {
            QRgb& p = pixels[static_cast<std::size_t>(x)];
            switch (bitCount) {
                case 1:
                    p = palette[(r[x >> 3] >> (7 - (x & 7))) & 1];
                    break;
                case 4:
                    p = palette[(r[x >> 1] >> (x & 1 ? 0 : 4)) & 0xF];
                    break;
                case 8:
                    p = palette[r[x]];
                    break;
                case 24:
                    p = qRgb(r[x * 3 + 2], r[x * 3 + 1], r[x * 3]);
                    break;
                default: {
                    const std::uint32_t v = bitCount == 16 ? le16(r + x * 2) : le32(r + x * 4);
                    p = qRgba(red(v, 0), green(v, 0), blue(v, 0), alpha(v, 255));
                }
            }
        }

        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < outWidth; ++x) {
            qint64 from = columnStart[x];
            qint64 to = std::max(columnStart[x + 1], from + 1);
            if (from >= end) from = end - 1;
            to = std::min(to, end);
            int sr = 0, sg = 0, sb = 0, sa = 0;
            for (qint64 c = from; c < to; ++c) {
                const QRgb p = pixels[static_cast<std::size_t>(c)];
                sr += qRed(p);
                sg += qGreen(p);
                sb += qBlue(p);
                sa += qAlpha(p);
            }
            const int n = static_cast<int>(to - from);
            line[x] = qRgba(sr / n, sg / n, sb / n, hasAlpha ? sa / n : 255);
        }
    }
    return out;
}

}  // namespace platform
