// SPDX-License-Identifier: MIT
#include "preview/PointerImages.h"

#include <QPainter>
#include <algorithm>
#include <cstdint>

namespace preview {

namespace {

std::uint32_t le16(QByteArrayView b, qsizetype at) {
    return static_cast<std::uint8_t>(b[at]) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 8;
}
std::uint32_t le32(QByteArrayView b, qsizetype at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}

// The entry of the largest image, chosen as the picture loader chooses it (first of equals).
std::optional<QByteArrayView> largestImageData(QByteArrayView file) {
    if (file.size() < 6 || le16(file, 0) != 0) return std::nullopt;
    const std::uint32_t count = le16(file, 4);
    if (count == 0 || file.size() < 6 + 16 * static_cast<qsizetype>(count)) return std::nullopt;
    qint64 bestArea = -1;
    std::optional<QByteArrayView> best;
    for (std::uint32_t i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * static_cast<qsizetype>(i);
        const qint64 size = le32(file, entry + 8);
        const qint64 offset = le32(file, entry + 12);
        if (offset + size > file.size()) return std::nullopt;
        const int width =
            static_cast<std::uint8_t>(file[entry]) ? static_cast<std::uint8_t>(file[entry]) : 256;
        const int height = static_cast<std::uint8_t>(file[entry + 1])
                               ? static_cast<std::uint8_t>(file[entry + 1])
                               : 256;
        if (qint64{width} * height > bestArea) {
            bestArea = qint64{width} * height;
            best = file.sliced(static_cast<qsizetype>(offset), static_cast<qsizetype>(size));
        }
    }
    return best;
}

}  // namespace

QImage inversionMask(QByteArrayView iconFile) {
    const auto data = largestImageData(iconFile);
    if (!data || data->size() < 40) return {};  // a PNG image, or no bitmap header
    const QByteArrayView dib = *data;
    const std::uint32_t headerSize = le32(dib, 0);
    const auto width = static_cast<std::int32_t>(le32(dib, 4));
    const auto doubleHeight = static_cast<std::int32_t>(le32(dib, 8));
    const std::uint32_t bitCount = le16(dib, 14);
    const std::uint32_t compression = le32(dib, 16);
    std::uint32_t colorsUsed = le32(dib, 32);
    if (headerSize < 40 || headerSize > static_cast<std::uint32_t>(dib.size()) || compression != 0)
        return {};
    if (width <= 0 || width > 256 || doubleHeight <= 0 || doubleHeight > 512) return {};
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return {};
    const int height = doubleHeight / 2;
    if (height == 0) return {};
    if (bitCount > 8)
        colorsUsed = 0;
    else if (colorsUsed == 0 || colorsUsed > (1u << bitCount))
        colorsUsed = 1u << bitCount;

    const qsizetype paletteAt = headerSize;
    const qsizetype xorAt = paletteAt + 4 * static_cast<qsizetype>(colorsUsed);
    const qsizetype xorStride = (static_cast<qsizetype>(width) * bitCount + 31) / 32 * 4;
    const qsizetype andAt = xorAt + xorStride * height;
    const qsizetype andStride = (static_cast<qsizetype>(width) + 31) / 32 * 4;
    if (andAt + andStride * height > dib.size()) return {};

    // A 32-bit image with alpha is blended by Windows, never inverted.
    if (bitCount == 32) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (static_cast<std::uint8_t>(dib[xorAt + y * xorStride + 4 * x + 3]) != 0)
                    return {};
    }

    QImage mask(width, height, QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    bool any = false;
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;  // rows run bottom-up
        const qsizetype xorRow = xorAt + row * xorStride;
        const qsizetype andRow = andAt + row * andStride;
        auto* line = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < width; ++x) {
            if (!((static_cast<std::uint8_t>(dib[andRow + x / 8]) >> (7 - x % 8)) & 1)) continue;
            QRgb colour = 0;
            if (bitCount <= 8) {
                const qsizetype bit = static_cast<qsizetype>(x) * bitCount;
                const int shift = 8 - static_cast<int>(bitCount) - static_cast<int>(bit % 8);
                const std::uint32_t index =
                    (static_cast<std::uint8_t>(dib[xorRow + bit / 8]) >> shift) &
                    ((1u << bitCount) - 1);
                if (index >= colorsUsed) continue;
                const qsizetype entry = paletteAt + 4 * static_cast<qsizetype>(index);
                colour = qRgb(static_cast<std::uint8_t>(dib[entry + 2]),
                              static_cast<std::uint8_t>(dib[entry + 1]),
                              static_cast<std::uint8_t>(dib[entry]));
            } else {
                const qsizetype at = xorRow + static_cast<qsizetype>(x) * (bitCount / 8);
                colour = qRgb(static_cast<std::uint8_t>(dib[at + 2]),
                              static_cast<std::uint8_t>(dib[at + 1]),
                              static_cast<std::uint8_t>(dib[at]));
            }
            if ((colour & 0xFFFFFF) == 0) continue;  // AND 1, XOR 0: the screen shows through
            line[x] = colour | 0xFF000000u;
            any = true;
        }
    }
    return any ? mask : QImage();
}

std::optional<CursorImage> decodeCursor(const QByteArray& iconFile,
                                        platform::PictureLoader& loader) {
    auto image = loader.decodeIcon(iconFile);
    if (!image) return std::nullopt;
    CursorImage cursor{image->convertToFormat(QImage::Format_ARGB32_Premultiplied),
                       inversionMask(iconFile)};
    if (!cursor.inversion.isNull() && cursor.inversion.size() != cursor.image.size())
        cursor.inversion = QImage();
    return cursor;
}

PointerAnimation decodeAnimation(const AniFile& file, platform::PictureLoader& loader) {
    PointerAnimation animation;
    if (!file.iconFrames) return animation;  // raw bitmap frames: not drawn
    std::vector<int> decodedIndex(file.frames.size(), -1);
    for (std::size_t i = 0; i < file.frames.size(); ++i) {
        if (auto cursor = decodeCursor(file.frames[i], loader)) {
            decodedIndex[i] = static_cast<int>(animation.frames.size());
            animation.frames.push_back(std::move(*cursor));
        }
    }
    for (const AniStep& step : file.steps)
        if (const int frame = decodedIndex[static_cast<std::size_t>(step.frame)]; frame >= 0)
            animation.steps.push_back({frame, step.jiffies});
    if (animation.steps.empty() && !animation.frames.empty())
        animation.steps.push_back({0, kMaxAniJiffies});
    return animation;
}

PointerAnimation loadPointer(const std::string& windowsPath, platform::PictureLoader& loader) {
    if (windowsPath.empty()) return {};
    const auto bytes = loader.readSmallFile(windowsPath, kMaxPointerFileBytes);
    if (!bytes) return {};
    if (const auto ani = readAni(*bytes)) return decodeAnimation(*ani, loader);
    PointerAnimation still;
    if (auto cursor = decodeCursor(*bytes, loader)) {
        still.frames.push_back(std::move(*cursor));
        still.steps.push_back({0, kMaxAniJiffies});
    }
    return still;
}

void paintCursor(QImage& target, QPoint at, const CursorImage& cursor) {
    {
        QPainter painter(&target);
        painter.drawImage(at, cursor.image);
    }
    if (cursor.inversion.isNull()) return;
    const QRect area = QRect(at, cursor.inversion.size()).intersected(target.rect());
    if (area.isEmpty() || target.depth() != 32) return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* source =
            reinterpret_cast<const QRgb*>(cursor.inversion.constScanLine(y - at.y()));
        auto* line = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb colour = source[x - at.x()];
            if (qAlpha(colour) != 0) line[x] ^= colour & 0xFFFFFF;
        }
    }
}

}  // namespace preview
