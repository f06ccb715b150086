// SPDX-License-Identifier: MIT
#include "platform/WindowsMetrics.h"

#include <cmath>

#include "platform/Windows1252.h"

namespace platform {

namespace {

constexpr std::size_t kFaceOffset = 28;
constexpr std::size_t kFaceSize = 32;
// Where each font record starts in NONCLIENTMETRICSA.
constexpr std::array<std::size_t, 5> kNonclientFonts = {24, 92, 160, 220, 280};

std::int32_t int32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    const std::uint32_t v = b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                            (static_cast<std::uint32_t>(b[at + 3]) << 24);
    return static_cast<std::int32_t>(v);
}

void putInt32(std::vector<std::uint8_t>& b, std::size_t at, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = (v >> (8 * i)) & 0xFF;
}

LogFont fontAt(const std::vector<std::uint8_t>& b, std::size_t at) {
    LogFont f;
    f.height = int32At(b, at);
    f.weight = int32At(b, at + 16);
    f.italic = b[at + 20] != 0;
    f.pitchAndFamily = b[at + 27];
    std::string face;
    for (std::size_t i = 0; i < kFaceSize && b[at + kFaceOffset + i] != 0; ++i)
        face += static_cast<char>(b[at + kFaceOffset + i]);
    f.face = fromWindows1252(face);
    return f;
}

void putFont(std::vector<std::uint8_t>& b, std::size_t at, const LogFont& f) {
    putInt32(b, at, f.height);
    putInt32(b, at + 16, f.weight);
    // A field that reads back the same is left alone, so an untouched font keeps every byte
    // (an italic flag of 255, a face with a byte Windows-1252 leaves unassigned).
    if ((b[at + 20] != 0) != f.italic) b[at + 20] = f.italic ? 1 : 0;
    if (fontAt(b, at).face == f.face) return;
    // The face, cut to 31 bytes and ended by a NUL; the bytes after the NUL stay as they were,
    // as Windows leaves them.
    std::string face = toWindows1252(f.face).substr(0, kFaceSize - 1);
    for (std::size_t i = 0; i < face.size(); ++i)
        b[at + kFaceOffset + i] = static_cast<std::uint8_t>(face[i]);
    b[at + kFaceOffset + face.size()] = 0;
}

std::optional<std::vector<std::uint8_t>> record(std::string_view text, std::size_t size) {
    auto bytes = parseByteList(text);
    if (!bytes || bytes->size() < size || int32At(*bytes, 0) != static_cast<std::int32_t>(size))
        return std::nullopt;
    return bytes;
}

std::string textOf(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += std::to_string(b);
    }
    return text;
}

}  // namespace

int LogFont::points() const {
    const double pixels = height < 0 ? -height : height;
    return static_cast<int>(std::lround(pixels * 72.0 / 96.0));
}

std::int32_t LogFont::heightForPoints(int points) {
    return -static_cast<std::int32_t>(std::lround(points * 96.0 / 72.0));
}

std::optional<std::vector<std::uint8_t>> parseByteList(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == ' ' || text[at] == '\t') {
            ++at;
            continue;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
            if (value > 255) return std::nullopt;
            ++at;
            ++digits;
        }
        if (digits == 0 || bytes.size() == kMaxMetricsValues) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

std::optional<NonclientMetrics> decodeNonclientMetrics(std::string_view text) {
    const auto b = record(text, kNonclientMetricsSize);
    if (!b) return std::nullopt;
    NonclientMetrics m;
    m.borderWidth = int32At(*b, 4);
    m.scrollWidth = int32At(*b, 8);
    m.scrollHeight = int32At(*b, 12);
    m.captionWidth = int32At(*b, 16);
    m.captionHeight = int32At(*b, 20);
    m.smCaptionWidth = int32At(*b, 84);
    m.smCaptionHeight = int32At(*b, 88);
    m.menuWidth = int32At(*b, 152);
    m.menuHeight = int32At(*b, 156);
    for (std::size_t i = 0; i < m.fonts.size(); ++i) m.fonts[i] = fontAt(*b, kNonclientFonts[i]);
    return m;
}

std::optional<IconMetrics> decodeIconMetrics(std::string_view text) {
    const auto b = record(text, kIconMetricsSize);
    if (!b) return std::nullopt;
    IconMetrics m;
    m.horzSpacing = int32At(*b, 4);
    m.vertSpacing = int32At(*b, 8);
    m.titleWrap = int32At(*b, 12);
    m.font = fontAt(*b, 16);
    return m;
}

std::string encodeNonclientMetrics(const NonclientMetrics& m, std::string_view original) {
    auto b = record(original, kNonclientMetricsSize);
    if (!b) return std::string(original);
    for (const auto& [at, value] : {std::pair{4, m.borderWidth},
                                    {8, m.scrollWidth},
                                    {12, m.scrollHeight},
                                    {16, m.captionWidth},
                                    {20, m.captionHeight},
                                    {84, m.smCaptionWidth},
                                    {88, m.smCaptionHeight},
                                    {152, m.menuWidth},
                                    {156, m.menuHeight}})
        putInt32(*b, static_cast<std::size_t>(at), value);
    for (std::size_t i = 0; i < m.fonts.size(); ++i) putFont(*b, kNonclientFonts[i], m.fonts[i]);
    return textOf(*b);
}

std::string encodeIconMetrics(const IconMetrics& m, std::string_view original) {
    auto b = record(original, kIconMetricsSize);
    if (!b) return std::string(original);
    putInt32(*b, 4, m.horzSpacing);
    putInt32(*b, 8, m.vertSpacing);
    putInt32(*b, 12, m.titleWrap);
    putFont(*b, 16, m.font);
    return textOf(*b);
}

}  // namespace platform
