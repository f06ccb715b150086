// SPDX-License-Identifier: MIT
#include "compat/Headers.h"

#include <algorithm>
#include <cstdlib>

namespace compat {

std::uint32_t le16(std::string_view b, std::size_t at) {
    if (at > b.size() || b.size() - at < 2) return 0;
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

std::uint32_t le32(std::string_view b, std::size_t at) {
    if (at > b.size() || b.size() - at < 4) return 0;
    return le16(b, at) | le16(b, at + 2) << 16;
}

namespace {

std::uint32_t be16(std::string_view b, std::size_t at) {
    if (at > b.size() || b.size() - at < 2) return 0;
    return static_cast<unsigned char>(b[at]) << 8 | static_cast<unsigned char>(b[at + 1]);
}

std::uint32_t be32(std::string_view b, std::size_t at) {
    return be16(b, at) << 16 | be16(b, at + 2);
}

bool startsWith(std::string_view b, std::string_view prefix, std::size_t at = 0) {
    return at <= b.size() && b.substr(at).starts_with(prefix);
}

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

bool looksLikeSvg(std::string_view head) {
    std::size_t at = startsWith(head, "\xEF\xBB\xBF") ? 3 : 0;
    while (at < head.size() &&
           (head[at] == ' ' || head[at] == '\t' || head[at] == '\r' || head[at] == '\n'))
        ++at;
    if (at >= head.size() || head[at] != '<') return false;
    return head.substr(at, 4096).find("<svg") != std::string_view::npos;
}

// A DIB's size in bytes as an icon stores it: header, colour table, XOR and AND bitmaps.
std::uint64_t iconDibBytes(std::uint64_t headerSize, std::uint64_t width, std::uint64_t height,
                           int bits) {
    const std::uint64_t colours = bits <= 8 ? (std::uint64_t{4} << bits) : 0;
    const std::uint64_t xorRow = (width * static_cast<std::uint64_t>(bits) + 31) / 32 * 4;
    const std::uint64_t andRow = (width + 31) / 32 * 4;
    return headerSize + colours + height * (xorRow + andRow);
}

}  // namespace

FileKind sniff(std::string_view h) {
    if (startsWith(h, "BM")) return FileKind::Bmp;
    if (startsWith(h, "\xFF\xD8\xFF")) return FileKind::Jpeg;
    if (startsWith(h, "GIF87a") || startsWith(h, "GIF89a")) return FileKind::Gif;
    if (startsWith(h, kPngSignature)) return FileKind::Png;
    if (startsWith(h, "RIFF")) {
        if (startsWith(h, "WEBP", 8)) return FileKind::WebP;
        if (startsWith(h, "ACON", 8)) return FileKind::Animated;
        if (startsWith(h, "WAVE", 8)) return FileKind::Wave;
        return FileKind::Unknown;
    }
    if (startsWith(h, std::string_view("II*\0", 4)) || startsWith(h, std::string_view("MM\0*", 4)))
        return FileKind::Tiff;
    if (startsWith(h, "OggS")) return FileKind::Ogg;
    if (startsWith(h, "fLaC")) return FileKind::Flac;
    if (startsWith(h, "ID3") || (h.size() >= 2 && static_cast<unsigned char>(h[0]) == 0xFF &&
                                 (static_cast<unsigned char>(h[1]) & 0xE0) == 0xE0))
        return FileKind::Mp3;
    if (startsWith(h, "MZ")) return FileKind::Executable;
    if (h.size() >= 6 && le16(h, 0) == 0 && le16(h, 4) > 0) {
        if (le16(h, 2) == 1) return FileKind::Icon;
        if (le16(h, 2) == 2) return FileKind::Cursor;
    }
    if (looksLikeSvg(h)) return FileKind::Svg;
    return FileKind::Unknown;
}

std::string_view kindName(FileKind kind) {
    switch (kind) {
        case FileKind::Unknown:
            return "unknown";
        case FileKind::Bmp:
            return "BMP";
        case FileKind::Jpeg:
            return "JPEG";
        case FileKind::Gif:
            return "GIF";
        case FileKind::Png:
            return "PNG";
        case FileKind::WebP:
            return "WebP";
        case FileKind::Tiff:
            return "TIFF";
        case FileKind::Svg:
            return "SVG";
        case FileKind::Icon:
            return "icon";
        case FileKind::Cursor:
            return "cursor";
        case FileKind::Animated:
            return "animated cursor";
        case FileKind::Wave:
            return "wave";
        case FileKind::Ogg:
            return "Ogg";
        case FileKind::Flac:
            return "FLAC";
        case FileKind::Mp3:
            return "MP3";
        case FileKind::Executable:
            return "program";
    }
    return "unknown";
}

std::optional<IconDirectory> readIconDirectory(std::string_view b) {
    if (b.size() < 6 || le16(b, 0) != 0) return std::nullopt;
    const std::uint32_t type = le16(b, 2);
    const std::size_t count = le16(b, 4);
    if ((type != 1 && type != 2) || count == 0 || 6 + 16 * count > b.size()) return std::nullopt;
    IconDirectory dir;
    dir.cursor = type == 2;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = 6 + 16 * i;
        IconImage image;
        image.width = static_cast<unsigned char>(b[e]) ? static_cast<unsigned char>(b[e]) : 256;
        image.height =
            static_cast<unsigned char>(b[e + 1]) ? static_cast<unsigned char>(b[e + 1]) : 256;
        if (dir.cursor) {
            image.hotspotX = static_cast<int>(le16(b, e + 4));
            image.hotspotY = static_cast<int>(le16(b, e + 6));
        } else {
            image.bits = static_cast<int>(le16(b, e + 6));
        }
        const std::uint64_t length = le32(b, e + 8);
        const std::uint64_t offset = le32(b, e + 12);
        if (offset + 16 > b.size() || offset + length > b.size()) {
            image.damaged = true;
        } else if (startsWith(b, kPngSignature, offset)) {
            image.png = true;
            image.width = static_cast<int>(std::min<std::uint32_t>(be32(b, offset + 16), 1 << 20));
            image.height = static_cast<int>(std::min<std::uint32_t>(be32(b, offset + 20), 1 << 20));
            image.bits = 32;
        } else {
            const std::uint32_t headerSize = le32(b, offset);
            const auto width = static_cast<std::int32_t>(le32(b, offset + 4));
            const auto doubled = static_cast<std::int32_t>(le32(b, offset + 8));
            image.bits = static_cast<int>(le16(b, offset + 14));
            if (headerSize < 40 || width <= 0 || width > 4096 || doubled <= 0 || doubled > 8192 ||
                image.bits == 0 || image.bits > 32) {
                image.damaged = true;
            } else {
                image.width = width;
                image.height = doubled / 2;
                image.damaged =
                    offset + iconDibBytes(headerSize, static_cast<std::uint64_t>(width),
                                          static_cast<std::uint64_t>(doubled / 2), image.bits) >
                    b.size();
            }
        }
        dir.images.push_back(image);
    }
    return dir;
}

std::optional<AniChunks> readAniChunks(std::string_view b) {
    if (!startsWith(b, "RIFF") || !startsWith(b, "ACON", 8)) return std::nullopt;
    AniChunks ani;
    const std::size_t end = std::min<std::uint64_t>(b.size(), std::uint64_t{8} + le32(b, 4));
    auto readList = [&](std::size_t at, std::size_t listEnd) {
        while (at + 8 <= listEnd) {
            const std::uint64_t length = le32(b, at + 4);
            if (at + 8 + length > listEnd) return;
            if (startsWith(b, "icon", at)) ani.frames.push_back(b.substr(at + 8, length));
            at += 8 + length + (length & 1);
        }
    };
    auto readNumbers = [&](std::size_t at, std::uint64_t length) {
        std::vector<std::uint32_t> numbers;
        for (std::uint64_t i = 0; i + 4 <= length && numbers.size() < 65536; i += 4)
            numbers.push_back(le32(b, at + i));
        return numbers;
    };
    std::size_t at = 12;
    while (at + 8 <= end) {
        const std::uint64_t length = le32(b, at + 4);
        if (at + 8 + length > end) break;
        const std::string_view id = b.substr(at, 4);
        if (id == "anih" && length >= 36) {
            ani.hasHeader = true;
            ani.frameCount = le32(b, at + 12);
            ani.stepCount = le32(b, at + 16);
            ani.displayRate = le32(b, at + 36);
            ani.flags = le32(b, at + 40);
        } else if (id == "rate") {
            ani.rates = readNumbers(at + 8, length);
        } else if (id == "seq ") {
            ani.sequence = readNumbers(at + 8, length);
        } else if (id == "LIST" && length >= 4 && startsWith(b, "fram", at + 8)) {
            readList(at + 12, at + 8 + length);
        }
        at += 8 + length + (length & 1);
    }
    return ani;
}

std::optional<BmpHeader> readBmpHeader(std::string_view b) {
    if (!startsWith(b, "BM") || b.size() < 26) return std::nullopt;
    BmpHeader header;
    header.headerSize = le32(b, 14);
    if (header.headerSize == 12) {
        header.width = static_cast<int>(le16(b, 18));
        header.height = static_cast<int>(le16(b, 20));
        header.bits = static_cast<int>(le16(b, 24));
        return header;
    }
    // The header sizes Windows and OS/2 wrote; anything else is no bitmap header.
    constexpr std::uint32_t kKnown[] = {16, 40, 52, 56, 64, 108, 124};
    if (std::find(std::begin(kKnown), std::end(kKnown), header.headerSize) == std::end(kKnown) ||
        b.size() < 34)
        return std::nullopt;
    header.width = static_cast<std::int32_t>(le32(b, 18));
    header.height = static_cast<std::int32_t>(le32(b, 22));
    header.bits = static_cast<int>(le16(b, 28));
    header.compression = le32(b, 30);
    return header;
}

std::optional<PictureSize> readPictureSize(std::string_view b) {
    switch (sniff(b)) {
        case FileKind::Bmp:
            if (const auto bmp = readBmpHeader(b))
                return PictureSize{bmp->width, std::abs(std::max(bmp->height, -(1 << 30)))};
            return std::nullopt;
        case FileKind::Png:
            if (b.size() < 24 || b.substr(12, 4) != "IHDR") return std::nullopt;
            return PictureSize{static_cast<int>(std::min<std::uint32_t>(be32(b, 16), 1u << 30)),
                               static_cast<int>(std::min<std::uint32_t>(be32(b, 20), 1u << 30))};
        case FileKind::Gif:
            if (b.size() < 10) return std::nullopt;
            return PictureSize{static_cast<int>(le16(b, 6)), static_cast<int>(le16(b, 8))};
        case FileKind::Jpeg: {
            std::size_t at = 2;
            while (at + 9 <= b.size()) {
                if (static_cast<unsigned char>(b[at]) != 0xFF) {
                    ++at;
                    continue;
                }
                const auto marker = static_cast<unsigned char>(b[at + 1]);
                if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
                    at += marker == 0xFF ? 1 : 2;
                    continue;
                }
                if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                    marker != 0xCC)
                    return PictureSize{static_cast<int>(be16(b, at + 7)),
                                       static_cast<int>(be16(b, at + 5))};
                at += 2 + be16(b, at + 2);
            }
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

std::optional<WaveFormat> readWaveFormat(std::string_view b) {
    if (sniff(b) != FileKind::Wave) return std::nullopt;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::uint64_t length = le32(b, at + 4);
        if (startsWith(b, "fmt ", at)) {
            if (length < 16 || at + 8 + 16 > b.size()) return std::nullopt;
            WaveFormat format;
            format.formatTag = static_cast<int>(le16(b, at + 8));
            format.channels = static_cast<int>(le16(b, at + 10));
            format.sampleRate = le32(b, at + 12);
            format.bitsPerSample = static_cast<int>(le16(b, at + 22));
            if (format.formatTag == 0xFFFE && length >= 40)
                format.subFormatTag = static_cast<int>(le16(b, at + 32));
            return format;
        }
        at += 8 + length + (length & 1);
    }
    return std::nullopt;
}

Executable readExecutable(std::string_view b) {
    Executable exe;
    if (!startsWith(b, "MZ")) return exe;
    exe.kind = Executable::Kind::Dos;
    const std::size_t header = le32(b, 0x3C);
    if (b.size() < 0x40 || header < 0x40) return exe;
    if (startsWith(b, std::string_view("PE\0\0", 4), header)) {
        exe.kind = Executable::Kind::Portable;
        exe.machine = static_cast<int>(le16(b, header + 4));
        const std::size_t optional = header + 24;
        exe.subsystemMajor = static_cast<int>(le16(b, optional + 48));
        exe.subsystemMinor = static_cast<int>(le16(b, optional + 50));
    } else if (startsWith(b, "NE", header)) {
        exe.kind = Executable::Kind::NewExecutable;
    }
    return exe;
}

}  // namespace compat
