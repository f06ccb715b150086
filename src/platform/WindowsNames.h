// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

/// Why a text cannot be one Windows file or folder name.
enum class NameProblem {
    None,
    Empty,
    ForbiddenCharacter,  // one of \ / : * ? " < > |
    ControlCharacter,    // below U+0020, line breaks included
    DotName,             // "." or ".."
    ReservedDevice,      // CON, PRN, AUX, NUL, COM1-9, LPT1-9, COM¹²³, LPT¹²³, any extension
    TrailingDotOrBlank,  // Windows strips them, so the name would change
    NotText,             // malformed UTF-8 (a host name may hold any bytes)
    TooLong,             // over 255 UTF-16 code units
};

/// Longest name, in UTF-16 code units, that a Windows folder entry can hold.
inline constexpr std::size_t kMaxWindowsNameLength = 255;

/// Longest name, in bytes, that a folder entry holds on Linux and macOS (UTF-8 bytes).
inline constexpr std::size_t kMaxHostNameBytes = 255;

/// Checks that the UTF-8 text is one valid Windows file or folder name.
NameProblem checkWindowsName(std::string_view utf8);

inline bool isValidWindowsName(std::string_view utf8) {
    return checkWindowsName(utf8) == NameProblem::None;
}

/// Length of the UTF-8 text in UTF-16 code units, the measure of Windows name limits.
std::size_t windowsNameLength(std::string_view utf8);

}  // namespace platform
