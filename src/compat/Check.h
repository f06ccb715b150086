// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DriveMap.h"
#include "state/ThemeState.h"

namespace compat {

/// A file slot of the theme.
struct Slot {
    enum class Kind { Icon, Wallpaper, Pointer, Sound, ScreenSaver, Logo } kind = Kind::Wallpaper;
    std::size_t index = 0;  // within its kind (icons 0-3, pointers 0-11, ...)
    bool operator==(const Slot&) const = default;
};

/// "Icon: My Computer", "Pointer: Busy", "Sound: Asterisk", "Wallpaper", ...
std::string slotName(Slot slot);
/// The index of the window's page that holds the slot.
int pageOf(Slot slot);
/// The slot's path in the theme.
std::string& slotPath(state::ThemeState& theme, Slot slot);
const std::string& slotPath(const state::ThemeState& theme, Slot slot);
/// Every file slot that holds a choice, in the order the copies run.
std::vector<Slot> chosenSlots(const state::ThemeState& theme);

enum class Windows { Win95, Win98, Both };
enum class Severity { WillNotShow, MayLookWrong, Note };
/// "95", "98", "95 and 98"; "will not show", "may look wrong", "note".
std::string_view windowsText(Windows windows);
std::string_view severityText(Severity severity);

/// What a conversion makes of a slot's file.
enum class Conversion { None, Icon, Pointer, AnimatedPointer, Wallpaper, Logo, Sound };

/// One problem with one file.
struct Finding {
    Slot slot;
    std::string file;     // the Windows path the slot holds
    std::string problem;  // what is wrong, as a sentence without the file name
    Windows windows = Windows::Both;
    Severity severity = Severity::WillNotShow;
    std::string fix;  // what to do, "" when nothing can be done here
    Conversion conversion = Conversion::None;
    bool operator==(const Finding&) const = default;
};

/// Reads the head of every chosen file (never trusting its extension) and lists what Windows
/// 95 and 98 cannot show, play or run, in the copy order. Reads nothing but the files.
std::vector<Finding> checkTheme(const state::ThemeState& theme, const platform::DriveMap& drives);

/// The findings of one file, judged from its bytes (`bytes` holds the file's head: the whole
/// file for icons and cursors). The entry point of the fuzz target.
std::vector<Finding> checkBytes(Slot slot, const std::string& file, std::string_view bytes);

/// True when no finding says a file will not show (notes and "may look wrong" still show).
bool showsEverything(const std::vector<Finding>& findings);

/// A file name Windows 95 and 98 keep as they are in DOS: 1-8 characters, an optional dot and
/// 1-3 more, none of them a blank or a character DOS refuses.
bool isShortName(std::string_view name);

/// The name after the last backslash.
std::string fileNameOf(std::string_view windowsPath);

}  // namespace compat
