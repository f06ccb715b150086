// SPDX-License-Identifier: MIT
#include "platform/PickableFile.h"

#include "platform/RegularFile.h"

#include <cctype>
#include <system_error>
#include <vector>

namespace platform {
namespace {

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// "*" any run, "?" one character; the other characters compared in either case.
bool globMatch(std::string_view name, std::string_view glob) {
    std::size_t n = 0, g = 0, star = std::string_view::npos, mark = 0;
    while (n < name.size()) {
        if (g < glob.size() && (glob[g] == '?' || lower(glob[g]) == lower(name[n]))) {
            ++n;
            ++g;
        } else if (g < glob.size() && glob[g] == '*') {
            star = g++;
            mark = n;
        } else if (star != std::string_view::npos) {
            g = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == '*') ++g;
    return g == glob.size();
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

}  // namespace

bool matchesPattern(std::string_view fileName, std::string_view patterns) {
    for (const std::string_view one : split(patterns, ';')) {
        const std::string_view glob = trimmed(one);
        if (!glob.empty() && globMatch(fileName, glob)) return true;
    }
    return false;
}

std::string offeredPatterns(std::string_view filterText, std::string_view pattern) {
    std::string all(pattern);
    const auto sections = split(filterText, '|');
    for (std::size_t i = 3; i < sections.size(); i += 2) {
        if (trimmed(sections[i]).empty()) continue;
        if (!all.empty()) all += ';';
        all += sections[i];
    }
    return all;
}

std::optional<std::string> pickablePath(const DriveMap& drives, MessageBoxes& messages,
                                        const std::filesystem::path& hostFile) {
    std::string why;
    // A name typed into the dialog may be a FIFO or a device, which a preview would wait on.
    if (!isRegularFile(hostFile))
        why = "it is not an ordinary file (it is a folder, a pipe or a device)";
    else if (auto windows = drives.toWindows(hostFile, &why))
        return windows;
    Message refusal;
    refusal.text = "This file cannot be used in a theme, because " + why + ".";
    refusal.title = "Open";
    refusal.icon = MessageIcon::Warning;
    messages.show(refusal);
    return std::nullopt;
}

std::optional<std::string> droppedPath(const DriveMap& drives, MessageBoxes& messages,
                                       const std::filesystem::path& hostFile,
                                       std::string_view filterText, std::string_view pattern) {
    const std::string patterns = offeredPatterns(filterText, pattern);
    const auto u8 = hostFile.filename().u8string();
    const std::string name(u8.begin(), u8.end());
    std::error_code error;
    if (!std::filesystem::is_regular_file(hostFile, error) || !matchesPattern(name, patterns)) {
        std::string description(trimmed(split(filterText, '|').front()));
        if (description.empty()) description = "files";
        Message refusal;
        refusal.text = "Only " + description + " (" + patterns + ") can be dropped here.";
        refusal.title = "Drop";
        refusal.icon = MessageIcon::Warning;
        messages.show(refusal);
        return std::nullopt;
    }
    return pickablePath(drives, messages, hostFile);
}

}  // namespace platform
