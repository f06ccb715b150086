// SPDX-License-Identifier: MIT
// The [Metrics] decoders on any text, and the encoder on whatever they accept.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/WindowsMetrics.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto m = platform::decodeNonclientMetrics(text))
        (void)platform::encodeNonclientMetrics(*m, text);
    if (auto m = platform::decodeIconMetrics(text)) (void)platform::encodeIconMetrics(*m, text);
    return 0;
}
