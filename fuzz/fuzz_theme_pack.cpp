// SPDX-License-Identifier: MIT
// The theme pack reader on any bytes: every archive kind it accepts, the entry names (code
// page 437 or UTF-8, paths that lead elsewhere, letter-case twins) and the zip-bomb limits.
// Nothing is written: the listing walks the entries the way an unpack does.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "input/ThemePack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    input::PackLimits limits;
    limits.maxTotalBytes = 8 << 20;  // keeps a run fast; the checks are the same
    limits.ratioFloor = 1 << 20;
    (void)input::listThemePack(std::string_view(reinterpret_cast<const char*>(data), size), limits);
    return 0;
}
