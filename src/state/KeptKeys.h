// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace state {

/// A line of an opened theme that no page edits, written back as it was read. When its value
/// names a file found on this machine, `file` holds that file's Windows path: the file is copied
/// with the assets and the line names the copy, followed by `suffix` (an icon's ",18").
struct KeptKey {
    std::string section;  // as the file spells it, without brackets
    std::string key;      // as spelt; empty for a section kept without keys
    std::string line;     // the whole line as read, blanks at both ends trimmed
    std::string file;
    std::string suffix;

    bool operator==(const KeptKey&) const = default;
};

/// Colours Windows 98 reads from [Control Panel\Colors] beyond the 25 of the colour page; in
/// the preview they are the elements after the page's list.
inline constexpr std::array<std::string_view, 3> kExtraColorKeys = {
    "GradientActiveTitle", "GradientInactiveTitle", "HotTrackingColor"};
inline constexpr std::array<std::string_view, 3> kExtraColorNames = {
    "Active title gradient", "Inactive title gradient", "Hot-tracked item"};

inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

/// The kept key of a section, names compared as Windows does (ASCII letters without case).
inline const KeptKey* findKept(const std::vector<KeptKey>& kept, std::string_view section,
                               std::string_view key) {
    for (const KeptKey& k : kept)
        if (!k.key.empty() && sameName(k.section, section) && sameName(k.key, key)) return &k;
    return nullptr;
}

/// The value of a kept line: the text after its first "=", blanks trimmed.
inline std::string_view keptValue(const KeptKey& k) {
    std::string_view value(k.line);
    const auto equals = value.find('=');
    value = equals == std::string_view::npos ? std::string_view() : value.substr(equals + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
    return value;
}

/// A kept colour of [Control Panel\Colors] ("r g b", each 0 to 255), red in the lowest byte.
inline std::optional<std::uint32_t> keptColor(const std::vector<KeptKey>& kept,
                                              std::string_view key) {
    const KeptKey* k = findKept(kept, "Control Panel\\Colors", key);
    if (k == nullptr) return std::nullopt;
    std::uint32_t parts[3] = {};
    int count = 0;
    std::uint32_t value = 0;
    bool inNumber = false;
    for (char c : std::string(keptValue(*k)) + " ") {
        if (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
            if (value > 255) return std::nullopt;
            inNumber = true;
        } else if (c == ' ' || c == '\t') {
            if (inNumber && count == 3) return std::nullopt;
            if (inNumber) parts[count++] = value;
            value = 0;
            inNumber = false;
        } else {
            return std::nullopt;
        }
    }
    if (count != 3) return std::nullopt;
    return parts[0] + 256 * parts[1] + 65536 * parts[2];
}

/// Sets a colour of [Control Panel\Colors] as a kept line, in the theme file's colour form.
inline void setKeptColor(std::vector<KeptKey>& kept, std::string_view key, std::uint32_t color) {
    std::string line = std::string(key) + "= " + std::to_string(color % 256) + " " +
                       std::to_string(color / 256 % 256) + " " +
                       std::to_string(color / 65536 % 256);
    for (KeptKey& k : kept)
        if (!k.key.empty() && sameName(k.section, "Control Panel\\Colors") &&
            sameName(k.key, key)) {
            k.line = std::move(line);
            return;
        }
    kept.push_back({"Control Panel\\Colors", std::string(key), std::move(line), {}, {}});
}

}  // namespace state
