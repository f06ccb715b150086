// SPDX-License-Identifier: MIT
// Windows-1252 both ways: any bytes decode, and text that fits the code page survives the
// round trip unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/Windows1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = platform::fromWindows1252(bytes);
    const std::string back = platform::toWindows1252(utf8);
    if (back.size() != bytes.size()) std::abort();  // one byte per character, each way
    if (platform::fitsWindows1252(bytes) &&
        platform::fromWindows1252(platform::toWindows1252(bytes)) != bytes)
        std::abort();
    return 0;
}
