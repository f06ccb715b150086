// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/DriveMap.h"

namespace compat {

/// The head of a chosen file, read from the host without following the extension.
struct SourceFile {
    enum class Status { Read, Missing, Unreadable } status = Status::Missing;
    std::string bytes;           // up to the bytes asked for
    std::string why;             // for Unreadable: the reason in words
    std::filesystem::path host;  // where it was found
    std::uint64_t size = 0;      // the whole file's size
};

/// Reads up to maxBytes from the start of the regular file at a Windows path (letter case
/// ignored, as Windows does). A FIFO or device is never waited on.
SourceFile readSource(const platform::DriveMap& drives, std::string_view windowsPath,
                      std::size_t maxBytes);

}  // namespace compat
