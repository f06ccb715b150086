// SPDX-License-Identifier: MIT
#include "schemes/Schemes.h"

namespace schemes {

namespace {
// A COLORREF's top byte flags a palette colour; the colour is the low 24 bits, laid out as
// state::Color is.
state::Color fromRegistry(std::uint32_t colorRef) {
    return colorRef & 0xFFFFFFu;
}
}  // namespace

Colors colorsOf(const SchemeData& scheme) {
    Colors colors{};
    for (std::size_t slot = 0; slot < colors.size(); ++slot)
        colors[slot] = fromRegistry(scheme.registry[kRegistryIndexOfSlot[slot]]);
    return colors;
}

Windows98Colors windows98ColorsOf(const SchemeData& scheme) {
    return {fromRegistry(scheme.registry[25]), fromRegistry(scheme.registry[26]),
            fromRegistry(scheme.registry[27]), fromRegistry(scheme.registry[28])};
}

}  // namespace schemes
