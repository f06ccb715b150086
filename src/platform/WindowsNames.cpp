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
    if (utf8 == "." || utf8 == "..") return NameProblem::DotName;
    if (isReservedDevice(utf8)) return NameProblem::ReservedDevice;
    if (utf8.back() == '.' || utf8.back() == ' ') return NameProblem::TrailingDotOrBlank;
    if (windowsNameLength(utf8) > kMaxWindowsNameLength) return NameProblem::TooLong;
    return NameProblem::None;
}

}  // namespace platform
