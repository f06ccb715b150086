// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>
#include <vector>

namespace preview {

/// One step of an animation: the frame it shows and for how long, in jiffies (1/60 s).
struct AniStep {
    int frame = 0;
    int jiffies = 0;

    bool operator==(const AniStep&) const = default;
};

/// What an animated cursor file (RIFF "ACON") holds, checked against the file's size.
struct AniFile {
    /// Each frame's data as the file stores it: normally an icon or cursor file.
    std::vector<QByteArray> frames;
    /// The order the frames play in; every step names a frame that exists.
    std::vector<AniStep> steps;
    /// False when the header says the frames are raw bitmaps rather than icons.
    bool iconFrames = true;
};

/// Frames and steps beyond these are ignored; no real pointer comes near them.
inline constexpr int kMaxAniFrames = 1024;
inline constexpr int kMaxAniSteps = 4096;
/// Step lengths are kept between one jiffy and a minute, so a zero rate cannot spin a timer.
inline constexpr int kMinAniJiffies = 1;
inline constexpr int kMaxAniJiffies = 3600;

/// Reads an animated cursor. Nullopt when the bytes are not a RIFF ACON file; a damaged or
/// cut-short file gives what could be read before the damage (possibly no frame at all).
/// Counts and sizes are checked against the bytes present; nothing recurses, and nothing is
/// allocated beyond a copy of the frames' bytes.
std::optional<AniFile> readAni(QByteArrayView bytes);

}  // namespace preview
