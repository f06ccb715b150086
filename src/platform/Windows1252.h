// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace platform {

/// UTF-8 to Windows-1252; a character the code page lacks (or a malformed byte) becomes '?'.
std::string toWindows1252(std::string_view utf8);

/// Windows-1252 bytes to UTF-8; the five unassigned bytes become U+FFFD.
std::string fromWindows1252(std::string_view bytes);

/// True when every character of the UTF-8 text exists in Windows-1252.
bool fitsWindows1252(std::string_view utf8);

}  // namespace platform
