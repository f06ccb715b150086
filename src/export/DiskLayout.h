// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

/// One primary partition of an MBR.
struct Partition {
    int number = 0;         // 1 to 4, as mtools counts
    std::uint8_t type = 0;  // the MBR type byte
    std::uint64_t firstSector = 0;
    std::uint64_t sectors = 0;
    bool fat() const;
    /// "FAT16 (40 MB)" and the like, for the user.
    std::string description() const;
};

/// What the head and tail of a disk image say it is.
struct DiskLayout {
    enum class Format { RawMbr, FixedVhd, Refused };
    Format format = Format::Refused;
    /// For Refused: what to tell the user, naming the format and what to do.
    std::string refusal;
    std::vector<Partition> partitions;  // primary entries in use
    std::vector<Partition> fatPartitions() const;
};

/// Judges an image from its first 64 KiB (`head`), its last 512 bytes (`tail`) and its size.
/// Never trusts a field further than the bytes given.
DiskLayout readDiskLayout(std::string_view head, std::string_view tail, std::uint64_t size);

}  // namespace exporting
