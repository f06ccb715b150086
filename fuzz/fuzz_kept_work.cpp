// SPDX-License-Identifier: MIT
// The kept work's reader on any bytes: JSON, then every field's type, count and range. What it
// accepts must write back to a document it reads as the same work.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "window/KeptWorkFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto work = window::readKeptWork(bytes)) {
        if (window::readKeptWork(window::writeKeptWork(*work)) != work) std::abort();
    }
    return 0;
}
