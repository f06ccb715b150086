// SPDX-License-Identifier: MIT
#include "output/CopyWarnings.h"

#include <string_view>
#include <utility>

#include "output/CreateTheme.h"
#include "output/ThemeFile.h"

namespace output {
namespace {

// A name as a FAT disk compares it: ASCII and the Latin-1 letters without case.
std::string folded(std::string_view utf8) {
    std::string out(utf8);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 32);
        } else if (c == 0xC3 && i + 1 < out.size()) {
            const auto next = static_cast<unsigned char>(out[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7)  // à..þ but not ÷
                out[i + 1] = static_cast<char>(next - 32);
            ++i;
        }
    }
    return out;
}

// Every slot that holds a choice, in the order copyAssets copies them.
std::vector<std::string> chosenInCopyOrder(const state::ThemeState& theme) {
    std::vector<std::string> chosen;
    for (const AssetSlot& slot : assetSlotsInCopyOrder(theme))
        if (state::holdsChoice(*slot.path, slot.pattern)) chosen.push_back(*slot.path);
    return chosen;
}

std::uint32_t le(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

bool holdsPngImage(const std::string& bytes) {
    if (bytes.size() < 6 || le(bytes, 0, 2) != 0 || (le(bytes, 2, 2) != 1 && le(bytes, 2, 2) != 2))
        return false;
    const std::size_t count = le(bytes, 4, 2);
    for (std::size_t i = 0; i < count && 6 + 16 * (i + 1) <= bytes.size(); ++i) {
        const std::size_t offset = le(bytes, 6 + 16 * i + 12, 4);
        if (offset + 8 <= bytes.size() && bytes.compare(offset, 8, "\x89PNG\r\n\x1a\n") == 0)
            return true;
    }
    return false;
}

void warn(platform::MessageBoxes& messages, std::string text, std::string title) {
    messages.show({std::move(text), std::move(title), platform::MessageButtons::Ok,
                   platform::MessageIcon::Warning, platform::MessageResult::Ok});
}

}  // namespace

std::vector<std::string> filesSharingAName(const state::ThemeState& theme) {
    // Groups of distinct files per folded name, in order of first appearance.
    std::vector<std::pair<std::string, std::vector<std::string>>> groups;
    for (const auto& source : chosenInCopyOrder(theme)) {
        const std::string name = folded(strip(source));
        auto group = groups.begin();
        while (group != groups.end() && group->first != name) ++group;
        if (group == groups.end()) {
            groups.push_back({name, {source}});
            continue;
        }
        auto& files = group->second;
        std::erase_if(files, [&](const std::string& f) { return folded(f) == folded(source); });
        files.push_back(source);  // the later copy wins
    }
    std::vector<std::string> lines;
    for (const auto& [name, files] : groups) {
        if (files.size() < 2) continue;
        std::string line;
        for (std::size_t i = 0; i + 1 < files.size(); ++i) line += files[i] + ", ";
        lines.push_back(line + files.back() + ": the theme holds only " + files.back());
    }
    return lines;
}

std::vector<std::string> pngCompressedImages(const state::ThemeState& theme,
                                             platform::FileSystem& files) {
    constexpr std::size_t kMaxBytes = 4 * 1024 * 1024;
    std::vector<std::string> found;
    auto check = [&](const std::string& source, std::string_view pattern) {
        if (!state::holdsChoice(source, pattern)) return;
        const auto bytes = files.readStart(strip(source), kMaxBytes);
        if (bytes && holdsPngImage(*bytes)) found.push_back(source);
    };
    for (const auto& p : theme.iconPaths) check(p, state::kIconPattern);
    for (const auto& p : theme.pointerPaths) check(p, state::kPointerPattern);
    return found;
}

void warnAboutCopies(const state::ThemeState& theme, platform::FileSystem& files,
                     platform::MessageBoxes& messages, const std::string& folderText) {
    if (const auto shared = filesSharingAName(theme); !shared.empty()) {
        std::string text = "These chosen files share one name in " + folderText +
                           " (Windows does not tell capitals from small letters), so the "
                           "theme lost all but the last of each:";
        for (const auto& line : shared) text += "\r" + line;
        warn(messages, text, "Files sharing a name");
    }
    if (const auto png = pngCompressedImages(theme, files); !png.empty()) {
        std::string text =
            "These icons or cursors hold PNG-compressed images, which Windows 95 and 98 cannot "
            "show:";
        for (const auto& file : png) text += "\r" + file;
        warn(messages, text, "Pictures Windows 98 cannot read");
    }
}

}  // namespace output
