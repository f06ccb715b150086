// SPDX-License-Identifier: MIT
#include "platform/WindowsNames.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace platform {
namespace {

bool isReservedDevice(std::string_view name) {
    // Windows matches the part before the first dot, ignoring trailing blanks.
    std::string base(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    std::transform(base.begin(), base.end(), base.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kPlain.begin(), kPlain.end(), base) != kPlain.end()) return true;
    if (!base.starts_with("COM") && !base.starts_with("LPT")) return false;
    const std::string_view digit = std::string_view(base).substr(3);
    // Windows also treats the superscript digits one to three (Windows-1252 has them) as
    // port numbers.
    return (digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\u00B9" ||
           digit == "\u00B2" || digit == "\u00B3";
}

// True when the bytes are well-formed UTF-8: no stray or missing continuation bytes, no
// overlong forms (an overlong "/" must not pass as another character), no surrogates.
bool isWellFormedUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        unsigned char low = 0x80, high = 0xBF;  // allowed range of the first continuation byte
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0) low = 0xA0;
            if (c == 0xED) high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (extra > text.size() - i - 1) return false;  // cut short
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
        }
        i += extra + 1;
    }
    return true;
}

}  // namespace

std::size_t windowsNameLength(std::string_view utf8) {
    std::size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80)
            units += (c >= 0xF0) ? 2 : 1;  // lead bytes; 4-byte = surrogate pair
    }
    return units;
}

NameProblem checkWindowsName(std::string_view utf8) {
    if (utf8.empty()) return NameProblem::Empty;
    for (unsigned char c : utf8) {
        if (c < 0x20) return NameProblem::ControlCharacter;
        if (std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
            return NameProblem::ForbiddenCharacter;
    }
    if (!isWellFormedUtf8(utf8)) return NameProblem::NotText;
    if (utf8 == "." || utf8 == "..") return NameProblem::DotName;
    if (isReservedDevice(utf8)) return NameProblem::ReservedDevice;
    if (utf8.back() == '.' || utf8.back() == ' ') return NameProblem::TrailingDotOrBlank;
    if (windowsNameLength(utf8) > kMaxWindowsNameLength) return NameProblem::TooLong;
    return NameProblem::None;
}

}  // namespace platform
