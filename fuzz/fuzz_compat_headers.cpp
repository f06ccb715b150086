// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes through the compatibility check's header readers, as every kind
// of slot would read them.
#include <cstdint>
#include <string>
#include <string_view>

#include "compat/Check.h"
#include "compat/Headers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    using Kind = compat::Slot::Kind;
    for (Kind kind :
         {Kind::Icon, Kind::Wallpaper, Kind::Pointer, Kind::Sound, Kind::ScreenSaver, Kind::Logo})
        (void)compat::checkBytes({kind, 0}, "C:\\f", bytes);
    if (const auto ani = compat::readAniChunks(bytes))
        for (std::string_view frame : ani->frames) (void)compat::readIconDirectory(frame);
    return 0;
}
