// SPDX-License-Identifier: MIT
#include "export/DiskLayout.h"

#include <cstdio>

namespace exporting {
namespace {

constexpr std::string_view kConvert =
    " Convert it to a raw image first, for example:\n"
    "  qemu-img convert -O raw old-image new.img\n"
    "then point the emulator at the new image and export into that.";

std::uint32_t le32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint32_t be32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

DiskLayout refuse(std::string why) {
    DiskLayout layout;
    layout.refusal = std::move(why);
    return layout;
}

DiskLayout refuseFormat(const std::string& format) {
    return refuse("This is a " + format +
                  " image; Skinsmith writes only into raw disk images and fixed VHDs." +
                  std::string(kConvert));
}

// A FAT boot sector at sector 0: a whole disk formatted without a partition table.
bool looksLikeBootSector(std::string_view s) {
    const auto jump = static_cast<unsigned char>(s[0]);
    const auto bytesPerSector = static_cast<unsigned>(static_cast<unsigned char>(s[11])) |
                                static_cast<unsigned>(static_cast<unsigned char>(s[12])) << 8;
    return (jump == 0xEB || jump == 0xE9) &&
           (bytesPerSector == 512 || bytesPerSector == 1024 || bytesPerSector == 2048 ||
            bytesPerSector == 4096) &&
           (s.substr(0x36, 3) == "FAT" || s.substr(0x52, 5) == "FAT32");
}

}  // namespace

bool Partition::fat() const {
    switch (type) {
        case 0x01:
        case 0x04:
        case 0x06:
        case 0x0B:
        case 0x0C:
        case 0x0E:
        case 0x11:
        case 0x14:
        case 0x16:
        case 0x1B:
        case 0x1C:
        case 0x1E:  // hidden ones
            return true;
        default:
            return false;
    }
}

std::string Partition::description() const {
    std::string kind;
    switch (type & 0x0F) {
        case 0x01:
            kind = "FAT12";
            break;
        case 0x04:
        case 0x06:
        case 0x0E:
            kind = "FAT16";
            break;
        case 0x0B:
        case 0x0C:
            kind = "FAT32";
            break;
        default: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", type);
            kind = std::string("type ") + hex;
        }
    }
    return "partition " + std::to_string(number) + ": " + kind + ", " +
           std::to_string(sectors * 512 / (1024 * 1024)) + " MB";
}

std::vector<Partition> DiskLayout::fatPartitions() const {
    std::vector<Partition> fat;
    for (const auto& p : partitions)
        if (p.fat()) fat.push_back(p);
    return fat;
}

DiskLayout readDiskLayout(std::string_view head, std::string_view tail, std::uint64_t size) {
    if (head.size() < 512 || size < 512) return refuse("The file is too small to be a disk image.");
    if (head.starts_with("QFI\xFB")) return refuseFormat("QEMU qcow2");
    if (head.starts_with("KDMV") || head.starts_with("COWD") ||
        head.starts_with("# Disk DescriptorFile"))
        return refuseFormat("VMware VMDK");
    if (head.size() >= 0x44 && le32(head, 0x40) == 0xBEDA107F)
        return refuseFormat("VirtualBox VDI");
    if (head.starts_with("vhdxfile")) return refuseFormat("Hyper-V VHDX");

    DiskLayout layout;
    layout.format = DiskLayout::Format::RawMbr;
    std::uint64_t dataSize = size;
    // A VHD ends with a 512-byte footer; a dynamic or differencing one also starts with it.
    const bool tailFooter = tail.size() == 512 && tail.starts_with("conectix");
    if (head.starts_with("conectix") || tailFooter) {
        const std::string_view footer = tailFooter ? tail : head.substr(0, 512);
        const std::uint32_t diskType = be32(footer, 60);
        if (diskType == 3) return refuseFormat("dynamic VHD");
        if (diskType == 4) return refuseFormat("differencing VHD");
        if (diskType != 2 || !tailFooter) return refuseFormat("VHD of an unknown kind");
        layout.format = DiskLayout::Format::FixedVhd;
        dataSize = size - 512;
    }

    if (static_cast<unsigned char>(head[510]) != 0x55 ||
        static_cast<unsigned char>(head[511]) != 0xAA)
        return refuse(
            "The image has no partition table (it may be blank or not a disk). Install "
            "Windows 98 on it first, or partition and format it with fdisk and format.");
    if (looksLikeBootSector(head))
        return refuse(
            "The image is one FAT file system without a partition table (a floppy or "
            "\"superfloppy\" image), which Windows 98 does not boot as drive C:. Export into "
            "the emulator's hard disk image, or copy the zip pack onto this disk instead.");

    for (int i = 0; i < 4; ++i) {
        const std::size_t at = 446 + static_cast<std::size_t>(i) * 16;
        const auto status = static_cast<unsigned char>(head[at]);
        Partition p;
        p.number = i + 1;
        p.type = static_cast<std::uint8_t>(head[at + 4]);
        p.firstSector = le32(head, at + 8);
        p.sectors = le32(head, at + 12);
        if (p.type == 0) continue;
        if (status != 0 && status != 0x80)
            return refuse("The image's partition table is damaged (entry " + std::to_string(i + 1) +
                          " has a bad status byte).");
        if (p.type == 0xEE)
            return refuse(
                "The image has a GPT partition table, which Windows 98 cannot read. Use an "
                "image partitioned with an MBR (fdisk) and formatted FAT.");
        if (p.firstSector == 0 || p.sectors == 0 || (p.firstSector + p.sectors) * 512 > dataSize)
            return refuse("The image's partition table is damaged (partition " +
                          std::to_string(i + 1) + " lies outside the image).");
        layout.partitions.push_back(p);
    }
    if (layout.fatPartitions().empty()) {
        bool ntfs = false;
        for (const auto& p : layout.partitions) ntfs = ntfs || p.type == 0x07;
        return refuse(std::string("The image has no FAT partition") +
                      (ntfs ? " (it holds NTFS, which Windows 98 cannot read)" : "") +
                      ". Windows 98 starts only from a FAT12, FAT16 or FAT32 partition.");
    }
    return layout;
}

}  // namespace exporting
