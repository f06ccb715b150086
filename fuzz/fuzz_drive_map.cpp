// SPDX-License-Identifier: MIT
// The drive map on any Windows path and any host path: a path it maps never leaves its drive,
// and mapping back gives a path on the same drive.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/DriveMap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const platform::DriveMap drives = [] {
        platform::DriveMap d;
        d.map('C', "/fuzz/home");
        d.map('Z', "/");
        return d;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto host = drives.toHost(text)) {
        if (!host->is_absolute()) std::abort();
        const std::string normal = host->lexically_normal().string();
        const bool onC = text[0] == 'C' || text[0] == 'c';
        if (onC && !normal.starts_with("/fuzz/home")) std::abort();  // escaped its drive
        if (const auto back = drives.toWindows(*host); back && onC && !back->starts_with("C:"))
            std::abort();
    }
    (void)drives.toWindows(std::filesystem::path(text));
    (void)drives.toWindows(std::filesystem::path("/fuzz/home") / text);
    return 0;
}
