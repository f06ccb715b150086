// SPDX-License-Identifier: MIT
// The theme reader on any bytes: the INI parser, the text decoding, the colour and path
// values, the logo batch lines and the colours-only read. No drive is mapped, so no file is looked
// up.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "input/ThemeReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const platform::DriveMap drives;
    auto result = input::readThemeText(drives, bytes, "C:\\theme");
    if (result.opened) input::readLogoBatch(drives, bytes, "C:\\theme", *result.opened);
    input::readThemeColorsText(bytes);
    return 0;
}
