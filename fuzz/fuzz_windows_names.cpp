// SPDX-License-Identifier: MIT
// Windows name checks on any bytes; a name they accept must also be measured consistently.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/WindowsNames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    const auto problem = platform::checkWindowsName(name);
    const auto length = platform::windowsNameLength(name);
    if (problem == platform::NameProblem::None &&
        (length == 0 || length > platform::kMaxWindowsNameLength))
        std::abort();  // an accepted name always fits
    return 0;
}
