// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// The parts of a Windows LOGFONTA the preview and the Fonts dialog use.
struct LogFont {
    std::int32_t height = 0;  // negative: character height in pixels; positive: cell height
    std::int32_t weight = 400;
    bool italic = false;
    std::uint8_t pitchAndFamily = 0;
    std::string face;  // UTF-8, from the record's Windows-1252 bytes

    /// The size in points at 96 dots per inch, as the Display dialog shows it.
    int points() const;
    /// A height in pixels for a size in points (negative, as Windows stores a chosen size).
    static std::int32_t heightForPoints(int points);
};

/// A Windows 98 NONCLIENTMETRICSA record (340 bytes).
struct NonclientMetrics {
    std::int32_t borderWidth = 1;
    std::int32_t scrollWidth = 16;
    std::int32_t scrollHeight = 16;
    std::int32_t captionWidth = 18;
    std::int32_t captionHeight = 18;
    std::int32_t smCaptionWidth = 16;
    std::int32_t smCaptionHeight = 16;
    std::int32_t menuWidth = 18;
    std::int32_t menuHeight = 18;
    // Caption, small caption, menu, status bar and message box fonts, in the record's order.
    std::array<LogFont, 5> fonts;
};

/// A Windows 98 ICONMETRICSA record (76 bytes).
struct IconMetrics {
    std::int32_t horzSpacing = 75;
    std::int32_t vertSpacing = 75;
    std::int32_t titleWrap = 1;
    LogFont font;
};

inline constexpr std::size_t kNonclientMetricsSize = 340;
inline constexpr std::size_t kIconMetricsSize = 76;
/// A record's text holds at most this many values; anything longer is no record.
inline constexpr std::size_t kMaxMetricsValues = 4096;

/// "n n n ...": decimal bytes 0 to 255 separated by blanks; nullopt for anything else or more
/// than kMaxMetricsValues of them.
std::optional<std::vector<std::uint8_t>> parseByteList(std::string_view text);

/// The record in a [Metrics] value, checked as Windows checks it: the first four bytes hold the
/// record's size and the bytes are all there. Nullopt otherwise.
std::optional<NonclientMetrics> decodeNonclientMetrics(std::string_view text);
std::optional<IconMetrics> decodeIconMetrics(std::string_view text);

/// The value with the record's fields set from `metrics`, every other byte as in `original`
/// (a valid record's text).
std::string encodeNonclientMetrics(const NonclientMetrics& metrics, std::string_view original);
std::string encodeIconMetrics(const IconMetrics& metrics, std::string_view original);

}  // namespace platform
