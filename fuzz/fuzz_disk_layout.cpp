// SPDX-License-Identifier: MIT
// A disk image's head and tail: any bytes give a layout or a refusal, and an accepted layout
// names only FAT partitions that lie inside the image.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "export/DiskLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The last 512 bytes stand for the image's tail; the size claimed varies with the input.
    const std::string_view tail = size >= 512 ? bytes.substr(size - 512) : std::string_view();
    const std::uint64_t imageSize = size + (size > 0 ? data[0] * 65536ull : 0);
    const auto layout = exporting::readDiskLayout(bytes, tail, imageSize);
    if (layout.format == exporting::DiskLayout::Format::Refused) {
        if (layout.refusal.empty()) std::abort();
        return 0;
    }
    if (layout.fatPartitions().empty()) std::abort();
    for (const auto& p : layout.partitions)
        if ((p.firstSector + p.sectors) * 512 > imageSize || p.number < 1 || p.number > 4)
            std::abort();
    return 0;
}
