// SPDX-License-Identifier: MIT
#include "input/ThemeReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "platform/HostFiles.h"
#include "platform/Windows1252.h"
#include "state/ThemeFileKeys.h"

namespace input {

namespace {

using platform::asciiLower;

constexpr std::string_view kBlanks = " \t";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && asciiLower(std::string(text.substr(0, prefix.size()))) ==
                                               asciiLower(std::string(prefix));
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           asciiLower(std::string(text.substr(text.size() - suffix.size()))) ==
               asciiLower(std::string(suffix));
}

std::string_view afterLastBackslash(std::string_view path) {
    const auto slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Lines split at CR LF, LF or CR.
template <typename Each>
void forEachLine(std::string_view text, Each each) {
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            if (start < text.size()) each(text.substr(start));
            return;
        }
        each(text.substr(start, end - start));
        start =
            end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
}

// "r g b" with each value 0 to 255.
std::optional<state::Color> parseColor(std::string_view text) {
    std::array<std::uint32_t, 3> parts{};
    std::size_t count = 0;
    std::size_t at = 0;
    while (true) {
        at = text.find_first_not_of(kBlanks, at);
        if (at == std::string_view::npos) break;
        if (count == parts.size()) return std::nullopt;
        std::uint32_t value = 0;
        const auto [end, error] =
            std::from_chars(text.data() + at, text.data() + text.size(), value);
        if (error != std::errc() || value > 255) return std::nullopt;
        const auto next = static_cast<std::size_t>(end - text.data());
        if (next < text.size() && kBlanks.find(text[next]) == std::string_view::npos)
            return std::nullopt;
        parts[count++] = value;
        at = next;
    }
    if (count != parts.size()) return std::nullopt;
    return state::rgb(parts[0], parts[1], parts[2]);
}

// Turns the value of a file key into the Windows path of the file it names, looked up on
// this machine; "" when it names no file.
class PathResolver {
public:
    // Where the file really lies, links followed, compared with the theme's folder: a link
    // inside the folder may lead anywhere.
    bool insideThemeFolder(const std::string& windowsPath) const {
        const auto host = m_drives.toHost(windowsPath);
        std::error_code error;
        const auto real = host ? std::filesystem::canonical(*host, error) : std::filesystem::path();
        if (!host || error || m_hostFolder.empty()) return false;
        return std::mismatch(m_hostFolder.begin(), m_hostFolder.end(), real.begin(), real.end())
                   .first == m_hostFolder.end();
    }

    PathResolver(const platform::DriveMap& drives, std::string_view themeFolder, OpenReport& report)
        : m_drives(drives), m_themeFolder(themeFolder), m_report(report) {
        std::error_code error;
        if (const auto host = drives.toHost(m_themeFolder))
            m_hostFolder = std::filesystem::weakly_canonical(*host, error);
    }

    std::string resolve(std::string_view value, bool icon) const {
        std::string path(trimmed(value));
        // Quotes are never part of a Windows name; a slot never holds one.
        path.erase(std::remove(path.begin(), path.end(), '"'), path.end());
        path = std::string(trimmed(path));
        if (icon) dropIconIndex(path);
        if (path.empty() || asciiLower(path) == "(none)") return {};
        path = absolute(path);
        const std::string_view name = afterLastBackslash(path);
        if (name.empty() || name.find_first_of("*?") != std::string_view::npos) return {};
        if (icon && isProgramFile(name)) {
            m_report.embeddedIcons.emplace_back(trimmed(value));
            return {};
        }
        // A pack often names a file elsewhere (the screen saver in the System folder) while
        // its copy sits beside the theme.
        auto found = lookUp(path);
        if (!found) found = lookUp(m_themeFolder + "\\" + std::string(name));
        if (!found) {
            m_report.missingFiles.push_back(path);
            return path;
        }
        if (!insideThemeFolder(*found) &&
            std::find(m_report.outsideFiles.begin(), m_report.outsideFiles.end(), *found) ==
                m_report.outsideFiles.end())
            m_report.outsideFiles.push_back(*found);
        return *found;
    }

    /// The file a kept value names, looked up as a slot's is, and what follows its name (an
    /// icon's ",18"); nullopt when it names no file on this machine. Reports nothing.
    std::optional<std::pair<std::string, std::string>> locate(std::string_view value,
                                                              bool icon) const {
        std::string path(trimmed(value));
        path.erase(std::remove(path.begin(), path.end(), '"'), path.end());
        path = std::string(trimmed(path));
        std::string suffix;
        if (icon) suffix = dropIconIndex(path);
        if (path.empty() || asciiLower(path) == "(none)") return std::nullopt;
        path = absolute(path);
        const std::string_view name = afterLastBackslash(path);
        if (name.empty() || name.find_first_of("*?") != std::string_view::npos) return std::nullopt;
        auto found = lookUp(path);
        if (!found) found = lookUp(m_themeFolder + "\\" + std::string(name));
        if (!found) return std::nullopt;
        return std::pair{*found, suffix};
    }

    static bool isProgramFile(std::string_view name) {
        for (std::string_view extension : {".dll", ".exe", ".icl", ".cpl"})
            if (endsWithIgnoringCase(name, extension)) return true;
        return false;
    }

private:
    // Drops an icon index (",0", ",-3") from the path and gives it as written, comma included.
    static std::string dropIconIndex(std::string& path) {
        const auto comma = path.rfind(',');
        if (comma == std::string::npos) return {};
        std::string_view index = trimmed(std::string_view(path).substr(comma + 1));
        const std::string suffix = "," + std::string(index);
        if (!index.empty() && index.front() == '-') index.remove_prefix(1);
        if (index.empty() || index.find_first_not_of("0123456789") != std::string_view::npos)
            return {};
        path = std::string(trimmed(std::string_view(path).substr(0, comma)));
        return suffix;
    }

    std::string absolute(std::string_view path) const {
        auto rest = [](std::string_view text) {
            while (!text.empty() && text.front() == '\\') text.remove_prefix(1);
            return std::string(text);
        };
        if (startsWithIgnoringCase(path, "%ThemeDir%"))
            return m_themeFolder + "\\" + rest(path.substr(10));
        if (startsWithIgnoringCase(path, "%WinDir%")) return "C:\\WINDOWS\\" + rest(path.substr(8));
        const bool hasDrive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
        if (hasDrive) return std::string(path);
        return m_themeFolder + "\\" + rest(path);
    }

    std::optional<std::string> lookUp(const std::string& windowsPath) const {
        const auto host = m_drives.toHost(windowsPath);
        if (!host) return std::nullopt;
        const auto found = platform::findFileIgnoringCase(*host);
        if (!found) return std::nullopt;
        return m_drives.toWindows(*found);
    }

    const platform::DriveMap& m_drives;
    std::string m_themeFolder;
    std::filesystem::path m_hostFolder;  // the theme's folder on the host, links resolved
    OpenReport& m_report;
};

// Sections the theme file always writes.
bool isWrittenSection(const std::string& lower) {
    using namespace state::keys;
    for (std::string_view s :
         {kMyComputerSection, kNetworkSection, kRecycleBinSection, kColorsSection, kCursorsSection,
          kDesktopSection, kWindowMetricsSection, kMetricsSection, kBootSection, kMasterSection})
        if (asciiLower(std::string(s)) == lower) return true;
    return std::any_of(kSoundSections.begin(), kSoundSections.end(),
                       [&](const KeySlot& e) { return asciiLower(std::string(e.first)) == lower; });
}

// A file key's value as the writer gives an empty slot or one holding its pick pattern: no
// line needs to stand in for it.
bool isEmptySlotText(std::string_view value) {
    for (std::string_view prefix : {"%ThemeDir%", "%WinDir%System\\"})
        if (startsWithIgnoringCase(value, prefix)) {
            const std::string_view rest = value.substr(prefix.size());
            return rest.empty() || rest.find_first_of("*?") != std::string_view::npos;
        }
    return false;
}

bool isFixedLine(const IniText::Entry& entry) {
    for (const auto& f : state::keys::kFixedLines)
        if (asciiLower(std::string(f.section)) == entry.section &&
            asciiLower(std::string(f.key)) == entry.key)
            return true;
    return false;
}

// Keys whose value names a file wherever they stand: icons, pointers and event sounds.
bool namesFiles(const IniText::Entry& entry, bool& icon) {
    icon = endsWithIgnoringCase(entry.section, "\\defaulticon");
    return icon || entry.section == asciiLower(std::string(state::keys::kCursorsSection)) ||
           (startsWithIgnoringCase(entry.section, "appevents\\schemes\\apps\\") &&
            endsWithIgnoringCase(entry.section, "\\.current")) ||
           startsWithIgnoringCase(entry.value, "%ThemeDir%");
}

void keepOtherLines(const IniText& ini, const PathResolver& paths,
                    const std::vector<std::string>& taken,
                    const std::vector<std::pair<std::string, std::string>>& standIns,
                    OpenedTheme& opened) {
    auto& kept = opened.theme.keptKeys;
    auto& report = opened.report;
    std::vector<std::string> seen;  // "section\nkey" already met
    for (const IniText::Entry& entry : ini.entries()) {
        const std::string id = entry.section + "\n" + entry.key;
        const bool standIn = std::any_of(standIns.begin(), standIns.end(), [&](const auto& s) {
            return asciiLower(s.first) == entry.section && asciiLower(s.second) == entry.key;
        });
        if (std::find(seen.begin(), seen.end(), id) != seen.end()) {
            report.notKept.push_back("[" + entry.sectionName + "] " + entry.line + " (a second " +
                                     entry.keyName +
                                     " in its section, which Windows does not read)");
            continue;
        }
        seen.push_back(id);
        if (!standIn && std::find(taken.begin(), taken.end(), id) != taken.end()) continue;
        if (!standIn && isFixedLine(entry)) {
            // The same line as a new theme writes needs no keeping.
            const bool same =
                std::any_of(state::keys::kFixedLines.begin(), state::keys::kFixedLines.end(),
                            [&](const auto& f) { return f.line == entry.line; });
            if (same) continue;
        }
        state::KeptKey k{entry.sectionName, entry.keyName, entry.line, {}, {}};
        bool icon = false;
        if (!isFixedLine(entry) && namesFiles(entry, icon)) {
            if (auto found = paths.locate(entry.value, icon)) {
                k.file = found->first;
                k.suffix = found->second;
                // A kept key is copied like a slot, so a file outside the theme's folder
                // waits for the user's yes as a slot's does.
                auto& outside = report.outsideFiles;
                if (!paths.insideThemeFolder(k.file) &&
                    std::find(outside.begin(), outside.end(), k.file) == outside.end())
                    outside.push_back(k.file);
            } else if (!entry.value.empty() && asciiLower(entry.value) != "(none)") {
                report.keptUnfound.push_back("[" + entry.sectionName + "] " + entry.line);
            }
        }
        report.keptKeys.push_back("[" + entry.sectionName + "] " + entry.keyName);
        kept.push_back(std::move(k));
    }
    // A section without keys is kept too, once.
    for (const std::string& name : ini.sectionNames()) {
        const std::string lower = asciiLower(name);
        const bool hasKeys = std::any_of(ini.entries().begin(), ini.entries().end(),
                                         [&](const auto& e) { return e.section == lower; });
        const bool known = std::any_of(kept.begin(), kept.end(), [&](const auto& k) {
            return asciiLower(k.section) == lower;
        });
        if (hasKeys || known || isWrittenSection(lower)) continue;
        kept.push_back({name, {}, {}, {}, {}});
        report.keptKeys.push_back("[" + name + "]");
    }
    for (const std::string& line : ini.unreadLines())
        report.notKept.push_back(line + " (not a key in a section, which Windows does not read)");
}

bool isThemeText(const IniText& ini) {
    using namespace state::keys;
    for (std::string_view section :
         {kColorsSection, kDesktopSection, kCursorsSection, kBootSection, kMyComputerSection,
          kNetworkSection, kRecycleBinSection, std::string_view("MasterThemeSelector")})
        if (ini.hasSection(section)) return true;
    return std::any_of(kSoundSections.begin(), kSoundSections.end(),
                       [&ini](const KeySlot& entry) { return ini.hasSection(entry.first); });
}

}  // namespace

IniText::IniText(std::string_view utf8) {
    std::string section;
    std::string sectionName;
    bool inSection = false;
    forEachLine(utf8, [&](std::string_view raw) {
        const std::string_view line = trimmed(raw);
        if (line.empty() || line.front() == ';') return;
        if (line.front() == '[') {
            const auto close = line.find(']');
            sectionName = std::string(trimmed(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            section = asciiLower(sectionName);
            inSection = true;
            m_sections.push_back(section);
            m_sectionNames.push_back(sectionName);
            return;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos || !inSection) {
            m_unread.emplace_back(line);
            return;
        }
        const std::string keyName(trimmed(line.substr(0, equals)));
        m_entries.push_back({section, asciiLower(keyName),
                             std::string(trimmed(line.substr(equals + 1))), sectionName, keyName,
                             std::string(line)});
    });
}

std::optional<std::string> IniText::value(std::string_view section, std::string_view key) const {
    const std::string wantedSection = asciiLower(std::string(section));
    const std::string wantedKey = asciiLower(std::string(key));
    for (const Entry& entry : m_entries)
        if (entry.section == wantedSection && entry.key == wantedKey) return entry.value;
    return std::nullopt;
}

bool IniText::hasSection(std::string_view section) const {
    return std::find(m_sections.begin(), m_sections.end(), asciiLower(std::string(section))) !=
           m_sections.end();
}

std::string decodeWindowsText(std::string_view bytes) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark)
        return std::string(bytes.substr(kUtf8Mark.size()));
    return platform::fromWindows1252(bytes);
}

namespace {

// The text of a theme file as sections and keys; nullopt with the reason in `error` when the
// bytes are binary or hold none of a theme file's sections.
std::optional<IniText> themeIni(std::string_view bytes, std::string& error) {
    if (bytes.find('\0') != std::string_view::npos) {
        error = "It holds binary data, not the text of a theme file.";
        return std::nullopt;
    }
    IniText ini(decodeWindowsText(bytes));
    if (!isThemeText(ini)) {
        error = "It holds none of the sections of a Windows theme file.";
        return std::nullopt;
    }
    return ini;
}

}  // namespace

OpenResult readThemeText(const platform::DriveMap& drives, std::string_view bytes,
                         std::string_view themeFolder) {
    OpenResult result;
    const auto parsed = themeIni(bytes, result.error);
    if (!parsed) return result;
    const IniText& ini = *parsed;
    OpenedTheme opened;
    state::ThemeState& theme = opened.theme;
    // An element the file does not set keeps what Windows has, which is Windows Standard's.
    theme.colors = state::kWindowsStandardColors;
    const PathResolver paths(drives, themeFolder, opened.report);
    // Keys the pages edit, as "section\nkey" in lower case; every other line is kept.
    std::vector<std::string> taken;
    auto takenKey = [](std::string_view section, std::string_view key) {
        return asciiLower(std::string(section) + "\n" + std::string(key));
    };
    // A file key whose value gives the slot no file is kept as the file wrote it, to stand in
    // for the slot while it stays empty: an icon inside a program file, "(None)", a pattern.
    std::vector<std::pair<std::string, std::string>> standIns;  // section, key
    auto file = [&](std::string_view section, std::string_view key, std::string& slot, bool icon) {
        taken.push_back(takenKey(section, key));
        const auto value = ini.value(section, key);
        if (!value) return;
        slot = paths.resolve(*value, icon);
        if (slot.empty() && !isEmptySlotText(*value)) standIns.emplace_back(section, key);
    };

    using namespace state::keys;
    file(kMyComputerSection, "DefaultValue", theme.iconPaths[0], true);
    file(kNetworkSection, "DefaultValue", theme.iconPaths[1], true);
    file(kRecycleBinSection, "full", theme.iconPaths[2], true);
    file(kRecycleBinSection, "empty", theme.iconPaths[3], true);

    auto color = [&](const KeySlot& entry) {
        taken.push_back(takenKey(kColorsSection, entry.first));
        const auto value = ini.value(kColorsSection, entry.first);
        if (!value) return;
        if (auto parsed = parseColor(*value))
            theme.colors[entry.second] = *parsed;
        else
            opened.report.badColors.push_back(std::string(entry.first) + "=" + *value);
    };
    std::for_each(kColorKeysA.begin(), kColorKeysA.end(), color);
    std::for_each(kColorKeysB.begin(), kColorKeysB.end(), color);

    for (const auto& [key, slot] : kCursorKeys)
        file(kCursorsSection, key, theme.pointerPaths[slot], false);
    file(kDesktopSection, "Wallpaper", theme.wallpaperPath, false);
    taken.push_back(takenKey(kDesktopSection, "TileWallpaper"));
    if (auto tile = ini.value(kDesktopSection, "TileWallpaper")) {
        int value = 0;
        const auto [end, error] = std::from_chars(tile->data(), tile->data() + tile->size(), value);
        theme.tileWallpaper = error == std::errc() && value != 0;
    }
    for (const auto& [section, slot] : kSoundSections)
        file(section, "DefaultValue", theme.soundPaths[slot], false);
    file(kBootSection, "SCRNSAVE.EXE", theme.screenSaverPath, false);

    keepOtherLines(ini, paths, taken, standIns, opened);
    result.opened = std::move(opened);
    return result;
}

void leaveOut(state::ThemeState& theme, const std::vector<std::string>& paths) {
    auto clear = [&paths](std::string& slot) {
        if (std::find(paths.begin(), paths.end(), slot) != paths.end()) slot.clear();
    };
    std::for_each(theme.iconPaths.begin(), theme.iconPaths.end(), clear);
    std::for_each(theme.logoPaths.begin(), theme.logoPaths.end(), clear);
    std::for_each(theme.soundPaths.begin(), theme.soundPaths.end(), clear);
    std::for_each(theme.pointerPaths.begin(), theme.pointerPaths.end(), clear);
    clear(theme.screenSaverPath);
    clear(theme.wallpaperPath);
    // A kept line whose file is left out is written back as read, and nothing is copied for it.
    for (auto& kept : theme.keptKeys) clear(kept.file);
}

void readLogoBatch(const platform::DriveMap& drives, std::string_view bytes,
                   std::string_view themeFolder, OpenedTheme& into) {
    if (bytes.find('\0') != std::string_view::npos) return;
    const PathResolver paths(drives, themeFolder, into.report);
    forEachLine(decodeWindowsText(bytes), [&](std::string_view raw) {
        const std::string_view line = trimmed(raw);
        if (!startsWithIgnoringCase(line, "copy ")) return;
        const auto open = line.find('"');
        const auto close = open == std::string_view::npos ? open : line.find('"', open + 1);
        if (close == std::string_view::npos) return;
        const std::string target = asciiLower(std::string(trimmed(line.substr(close + 1))));
        const auto slot =
            std::find(state::keys::kLogoTargets.begin(), state::keys::kLogoTargets.end(), target);
        if (slot == state::keys::kLogoTargets.end()) return;
        // The batch file doubles a percent sign; the name holds one.
        std::string name;
        const std::string_view quoted = line.substr(open + 1, close - open - 1);
        for (std::size_t i = 0; i < quoted.size(); ++i) {
            name += quoted[i];
            if (quoted[i] == '%' && i + 1 < quoted.size() && quoted[i + 1] == '%') ++i;
        }
        // The batch file runs in the theme folder: only the name counts.
        into.theme.logoPaths[static_cast<std::size_t>(slot - state::keys::kLogoTargets.begin())] =
            paths.resolve(afterLastBackslash(name), false);
    });
}

OpenResult openTheme(const platform::DriveMap& drives, std::string_view windowsPath) {
    OpenResult result;
    const auto host = drives.toHost(windowsPath);
    if (!host) {
        result.error = "The path cannot be reached on this machine.";
        return result;
    }
    const auto bytes = platform::readRegularFile(*host, kMaxThemeFileBytes, &result.error);
    if (!bytes) return result;
    const auto slash = windowsPath.rfind('\\');
    const std::string_view folder =
        windowsPath.substr(0, slash == std::string_view::npos ? 0 : slash);
    result = readThemeText(drives, *bytes, folder);
    if (!result.opened) return result;

    std::string name(afterLastBackslash(windowsPath));
    if (endsWithIgnoringCase(name, ".theme")) name.resize(name.size() - 6);
    result.opened->theme.themeName = name;

    const auto batch = drives.toHost(std::string(folder) + "\\" + name + ".bat");
    if (const auto found = batch ? platform::findFileIgnoringCase(*batch) : std::nullopt)
        if (const auto batchBytes = platform::readRegularFile(*found, kMaxThemeFileBytes))
            readLogoBatch(drives, *batchBytes, folder, *result.opened);
    return result;
}

ThemeColorsResult readThemeColorsText(std::string_view bytes) {
    ThemeColorsResult result;
    const auto parsed = themeIni(bytes, result.error);
    if (!parsed) return result;
    const IniText& ini = *parsed;
    ThemeColors read;
    auto color = [&](const state::keys::KeySlot& entry) {
        const auto value = ini.value(state::keys::kColorsSection, entry.first);
        if (!value) return;
        if (auto parsed = parseColor(*value))
            read.colors[entry.second] = *parsed;
        else
            read.badColors.push_back(std::string(entry.first) + "=" + *value);
    };
    std::for_each(state::keys::kColorKeysA.begin(), state::keys::kColorKeysA.end(), color);
    std::for_each(state::keys::kColorKeysB.begin(), state::keys::kColorKeysB.end(), color);
    result.read = std::move(read);
    return result;
}

ThemeColorsResult readThemeColors(const platform::DriveMap& drives, std::string_view windowsPath) {
    ThemeColorsResult result;
    const auto host = drives.toHost(windowsPath);
    if (!host) {
        result.error = "The path cannot be reached on this machine.";
        return result;
    }
    const auto bytes = platform::readRegularFile(*host, kMaxThemeFileBytes, &result.error);
    if (!bytes) return result;
    return readThemeColorsText(*bytes);
}

}  // namespace input
