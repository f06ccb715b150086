// SPDX-License-Identifier: MIT
#include "output/CreateTheme.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "output/CopyWarnings.h"
#include "output/ThemeFile.h"
#include "platform/WindowsNames.h"

namespace output {
namespace {

constexpr std::string_view kOutputRoot = "skinvault";
constexpr std::string_view kFatalTitle = "Fatal error...";

// Where the batch file installs each splash logo.
constexpr std::array<std::string_view, state::kLogoCount> kLogoTargets = {
    " c:\\logo.sys", " c:\\windows\\logow.sys", " c:\\windows\\logos.sys"};

// A batch file expands %...%: a literal percent sign is written twice.
std::string batchQuoted(std::string_view name) {
    std::string out;
    for (char c : name) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

// A quote or a control character would end the quoted name early or split the line.
bool batchQuotable(std::string_view name) {
    for (unsigned char c : name)
        if (c == '"' || c < 0x20) return false;
    return true;
}

std::string themeFolderText(const std::string& name) {
    return "c:\\skinvault\\" + name + "\\";
}

platform::Message fatal(std::string text) {
    return {std::move(text), std::string(kFatalTitle), platform::MessageButtons::Ok,
            platform::MessageIcon::Stop, platform::MessageResult::Ok};
}

void showError(platform::MessageBoxes& messages, std::string text) {
    messages.show(fatal(std::move(text)));
}

// Why the name cannot name the theme folder and its two files, in words for the user.
std::optional<std::string> nameProblem(const std::string& name) {
    using platform::NameProblem;
    const auto problem = platform::checkWindowsName(name);
    std::string why;
    switch (problem) {
        case NameProblem::None:
            // Both limits count the theme file's name; this system counts bytes, so 125
            // accented letters are too many here though Windows would take them.
            if (platform::windowsNameLength(name) + 6 > platform::kMaxWindowsNameLength ||
                name.size() + 6 > platform::kMaxHostNameBytes) {
                why =
                    "It is too long: with \".theme\" added it must fit in 255 characters, so a "
                    "theme name can have at most 249 (and at most 249 bytes on this system, "
                    "where an accented letter takes two).";
            }
            break;
        case NameProblem::Empty:
            break;  // reported by its own message
        case NameProblem::ForbiddenCharacter:
        case NameProblem::ControlCharacter:
            why =
                "It must not contain any of the characters \\ / : * ? \" < > | nor a control "
                "character such as a line break or a tab.";
            break;
        case NameProblem::DotName:
            why = "It must not be \".\" or \"..\".";
            break;
        case NameProblem::ReservedDevice:
            why =
                "It must not be a Windows device name: CON, PRN, AUX, NUL, COM1 to COM9 or "
                "LPT1 to LPT9 (also with the digits \u00B9 \u00B2 \u00B3), with or without an "
                "extension.";
            break;
        case NameProblem::NotText:
            why = "It holds bytes that are not text.";
            break;
        case NameProblem::TrailingDotOrBlank:
            why = "It must not end with a dot or a blank, which Windows removes from names.";
            break;
        case NameProblem::TooLong:
            why = "It is too long: a theme name can have at most 249 characters.";
            break;
    }
    if (why.empty()) return std::nullopt;
    return "The theme name cannot be used as a Windows folder name. " + why;
}

// Makes and enters C:\skinvault\<name>. A folder that exists already is fine; any other
// failure gives the message to show, and nothing is written.
std::optional<platform::Message> enterThemeFolder(const std::string& name,
                                                  platform::FileSystem& files) {
    auto fail = [&](const std::string& folder, const std::string& reason) {
        return fatal("The theme folder could not be made: " + folder + "\r" + reason +
                     "\rThe theme was not created.");
    };
    const std::string rootText = "c:\\skinvault\\";
    if (!files.changeDrive('C')) return fail("c:\\", files.lastError());
    if (!files.changeFolder("\\")) return fail("c:\\", files.lastError());

    std::string makeError;
    if (!files.makeFolder(kOutputRoot)) makeError = files.lastError();  // exists already: normal
    // The vault may be a link of the user's own to another disk; nothing below it may be.
    if (!files.changeFolderThroughOwnLink(kOutputRoot))
        return fail(rootText, makeError.empty() ? files.lastError() : makeError);
    makeError.clear();
    if (!files.makeFolder(name)) makeError = files.lastError();
    if (!files.changeFolder(name))
        return fail(themeFolderText(name), makeError.empty() ? files.lastError() : makeError);
    return std::nullopt;
}

// Creates, writes and closes one text file; the message to show on any failure.
// `consequence` tells the user what the failure leaves behind.
template <typename Writer>
std::optional<platform::Message> writeTextFile(const std::string& fileName,
                                               const std::string& folderText,
                                               const std::string& consequence,
                                               platform::FileSystem& files, Writer write) {
    auto file = files.createTextFile(fileName);
    std::string reason;
    if (!file) {
        reason = files.lastError();
    } else {
        const bool written = write(*file);
        const bool closed = file->close();
        if (written && closed) return std::nullopt;
        reason = file->lastError();
    }
    return fatal("The file " + folderText + fileName + " could not be written.\r" +
                 (reason.empty() ? std::string("The disk may be full or locked.") : reason) + "\r" +
                 consequence);
}

}  // namespace

bool writeLogoBatch(const state::ThemeState& theme, platform::TextFile& out,
                    std::vector<std::string>* skipped) {
    bool allWritten = true;
    for (std::size_t slot = 0; slot < state::kLogoCount; ++slot) {
        const auto& logo = theme.logoPaths[slot];
        if (!state::holdsChoice(logo, state::kLogoPattern)) continue;
        if (!batchQuotable(strip(logo))) {  // the line would run commands of the name's own
            if (skipped) skipped->push_back(logo);
            continue;
        }
        const std::string line =
            "copy \"" + batchQuoted(strip(logo)) + "\"" + std::string(kLogoTargets[slot]);
        if (!out.writeLine(windowsLineBytes(line))) allWritten = false;
    }
    return allWritten;
}

std::vector<AssetSlot> assetSlotsInCopyOrder(const state::ThemeState& theme) {
    std::vector<AssetSlot> slots;
    auto add = [&](const std::string& path, std::string_view pattern) {
        slots.push_back({&path, pattern});
    };
    for (const auto& p : theme.iconPaths) add(p, state::kIconPattern);
    for (const auto& p : theme.logoPaths) add(p, state::kLogoPattern);
    for (const auto& p : theme.soundPaths) add(p, state::kSoundPattern);
    for (const auto& p : theme.pointerPaths) add(p, state::kPointerPattern);
    add(theme.screenSaverPath, state::kScreenSaverPattern);
    add(theme.wallpaperPath, state::kWallpaperPattern);
    return slots;
}

std::vector<std::string> copyAssets(const state::ThemeState& theme, platform::FileSystem& files,
                                    const std::function<void(const CopyProgress&)>& progress,
                                    const std::atomic<bool>* cancel) {
    struct Slot : AssetSlot {
        std::uint64_t size = 0;
    };
    std::vector<Slot> slots;
    for (const AssetSlot& slot : assetSlotsInCopyOrder(theme)) slots.push_back({slot});

    CopyProgress where;
    if (progress) {
        for (auto& slot : slots) {
            if (!state::holdsChoice(*slot.path, slot.pattern)) continue;
            slot.size = files.fileSize(*slot.path).value_or(0);
            where.bytesTotal += slot.size;
        }
    }
    auto stopped = [cancel] { return cancel != nullptr && cancel->load(); };
    std::vector<std::string> missing;
    for (const auto& slot : slots) {
        const std::string& source = *slot.path;
        const bool chosen = state::holdsChoice(source, slot.pattern);
        if (stopped()) {
            if (chosen) missing.push_back(source + " (the copy was stopped)");
            continue;
        }
        if (chosen && progress) {
            where.file = source;
            progress(where);
        }
        const std::uint64_t before = where.bytesDone;
        // A big file moves the progress as it goes and stops at its next chunk on cancel.
        auto watch = [&](std::uint64_t copied) {
            if (progress && copied < slot.size) {
                where.bytesDone = before + copied;
                progress(where);
            }
            return !stopped();
        };
        // Every slot is tried; only a slot that holds a choice counts as missing.
        if (!files.copyFile(source, strip(source), watch) && chosen) {
            missing.push_back(source + " (" + files.lastError() + ")");
        }
        where.bytesDone = before + slot.size;
    }
    // The renames above, and the theme's own files, survive a power cut from here on.
    if (!files.flushFolder())
        missing.push_back(files.currentFolder() +
                          " (the folder could not be flushed to disk: " + files.lastError() + ")");
    if (progress) {
        where.file.clear();
        progress(where);
    }
    return missing;
}

std::string themeFilePath(const state::ThemeState& theme) {
    return "C:\\skinvault\\" + theme.themeName + "\\" + theme.themeName + ".theme";
}

bool checkThemeName(const state::ThemeState& theme, platform::MessageBoxes& messages) {
    if (theme.themeName.empty()) {
        showError(messages, "You must specify a name for the theme!");
        return false;
    }
    if (const auto problem = nameProblem(theme.themeName)) {
        showError(messages, *problem);
        return false;
    }
    return true;
}

bool mayReplaceTheme(const state::ThemeState& theme, const platform::FileSystem& files,
                     platform::MessageBoxes& messages, std::string_view ownThemeFile) {
    const std::string path = themeFilePath(theme);
    if (path == ownThemeFile || !files.fileExists(path)) return true;
    return messages.show({"A theme named " + theme.themeName + " already exists. Replace it?",
                          "Create Theme", platform::MessageButtons::OkCancel,
                          platform::MessageIcon::Warning, platform::MessageResult::Cancel}) ==
           platform::MessageResult::Ok;
}

std::optional<platform::Message> writeThemeFiles(const state::ThemeState& theme,
                                                 platform::FileSystem& files) {
    const std::string& name = theme.themeName;
    if (auto failed = enterThemeFolder(name, files)) return failed;
    const std::string folderText = themeFolderText(name);
    if (auto failed = writeTextFile(
            name + ".theme", folderText,
            "The theme was not created; an earlier file of that name is left as it was.", files,
            [&](platform::TextFile& f) { return writeThemeFile(theme, f); }))
        return failed;
    return writeTextFile(name + ".bat", folderText,
                         "The theme file " + folderText + name +
                             ".theme was written, but the splash logos cannot be installed and "
                             "the chosen files were not copied; an earlier batch file of that "
                             "name is left as it was.",
                         files, [&](platform::TextFile& f) { return writeLogoBatch(theme, f); });
}

void tellThemeWritten(const state::ThemeState& theme, platform::MessageBoxes& messages) {
    const std::string& name = theme.themeName;
    const std::string folderText = themeFolderText(name);
    messages.show({"The theme file has been created and saved into " + folderText + "\r" + "Run " +
                       name + ".bat from " + folderText +
                       " to change the splash logos.\r"
                       "Remember to copy the screen saver if any to the Windows System directory",
                   "Done!", platform::MessageButtons::Ok, platform::MessageIcon::None,
                   platform::MessageResult::Ok});
}

bool writeTheme(const state::ThemeState& theme, platform::FileSystem& files,
                platform::MessageBoxes& messages, std::string_view ownThemeFile) {
    if (!checkThemeName(theme, messages) || !mayReplaceTheme(theme, files, messages, ownThemeFile))
        return false;
    if (const auto failed = writeThemeFiles(theme, files)) {
        messages.show(*failed);
        return false;
    }
    tellThemeWritten(theme, messages);
    return true;
}

void reportUncopied(const state::ThemeState& theme, std::vector<std::string> missing,
                    platform::FileSystem& files, platform::MessageBoxes& messages) {
    const std::string folderText = themeFolderText(theme.themeName);
    // A logo whose name would break its batch line got none: the theme lacks it as well.
    for (const auto& logo : theme.logoPaths) {
        if (!state::holdsChoice(logo, state::kLogoPattern) || batchQuotable(strip(logo))) continue;
        if (std::none_of(missing.begin(), missing.end(),
                         [&](const std::string& m) { return m.starts_with(logo + " ("); }))
            missing.push_back(logo + " (its name cannot be written in the batch file)");
    }
    if (!missing.empty()) {
        std::string text =
            "These files could not be copied into " + folderText + ", so the theme will lack them:";
        for (const auto& m : missing) text += "\r" + m;
        messages.show({text, "Files not copied", platform::MessageButtons::Ok,
                       platform::MessageIcon::Warning, platform::MessageResult::Ok});
    }
    warnAboutCopies(theme, files, messages, folderText);
}

void createTheme(const state::ThemeState& theme, platform::FileSystem& files,
                 platform::MessageBoxes& messages) {
    if (!writeTheme(theme, files, messages, themeFilePath(theme))) return;
    reportUncopied(theme, copyAssets(theme, files), files, messages);
}

}  // namespace output
