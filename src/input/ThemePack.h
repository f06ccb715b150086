// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace input {

/// What a pack may unpack to before it is taken for a zip bomb and stopped.
struct PackLimits {
    std::uint64_t maxTotalBytes = 512ull << 20;  // all files together
    std::uint64_t maxEntries = 10000;
    std::uint64_t maxRatio = 200;            // bytes unpacked per byte of the archive read
    std::uint64_t ratioFloor = 16ull << 20;  // unpacked bytes before the ratio counts
};

/// True for the names of archive kinds read as theme packs (.zip, .lzh, .lha, .cab).
bool isPackName(std::string_view fileName);

/// A theme pack unpacked into its import folder.
struct UnpackedPack {
    std::filesystem::path folder;               // host path of the import folder
    std::vector<std::filesystem::path> themes;  // the .theme files in it, in name order
    std::vector<std::string> skipped;           // entries left out, each with the reason
    std::vector<std::string> renamed;           // entries kept under another name, and why
    bool reused = false;   // the folder of an earlier unpack of the same archive
    bool changed = false;  // ... in which files were changed since
    std::string error;     // why nothing was unpacked; empty on success
};

/// Unpacks a theme pack into `importRoot`/<archive name without extension>/: entries go to a
/// temporary folder there, renamed into place only when all are written. The same archive
/// opened again reuses its folder; a folder holding another archive's files is never written
/// over: the pack goes to "<name> (2)" and so on. Entries with absolute paths, "..", links,
/// devices, encryption or names Windows cannot hold are skipped and listed; names are code
/// page 437 unless the archive marks them UTF-8; names equal but for letter case are kept
/// apart. A pack that unpacks past `limits` is stopped and nothing is left.
UnpackedPack unpackThemePack(const std::filesystem::path& archive,
                             const std::filesystem::path& importRoot,
                             const PackLimits& limits = {});

/// The files a pack held in memory would unpack to, and the entries it would skip, without
/// writing anything; `error` when the pack cannot be read or breaks a limit.
struct PackListing {
    std::vector<std::string> files;
    std::vector<std::string> skipped;
    std::vector<std::string> renamed;
    std::string error;
};
PackListing listThemePack(std::string_view bytes, const PackLimits& limits = {});

}  // namespace input
