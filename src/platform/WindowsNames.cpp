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
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '1' && base[3] <= '9';
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
    if (windowsNameLength(utf8) > kMaxWindowsNameLength) return NameProblem::TooLong;
    return NameProblem::None;
}

}  // namespace platform
