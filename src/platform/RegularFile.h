// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

namespace platform {

/// Opens a regular file for reading without ever waiting on it: anything else (a FIFO, a
/// device, a folder) is refused by `stat` before it is opened, since even a non-blocking open
/// of a FIFO wakes a writer waiting on it, and again by `fstat` on the descriptor opened
/// non-blocking, so a FIFO swapped in between cannot block either. The descriptor
/// (close-on-exec, reads block as usual), or -1.
int openRegularFile(const std::filesystem::path& hostPath);

/// True when the path names a regular file (after links), judged without opening it.
bool isRegularFile(const std::filesystem::path& hostPath);

}  // namespace platform
