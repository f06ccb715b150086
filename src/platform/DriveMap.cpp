// SPDX-License-Identifier: MIT
#include "platform/DriveMap.h"

#include <cctype>
#include <cstdlib>

#include "platform/Windows1252.h"
#include "platform/WindowsNames.h"

namespace platform {
namespace {

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

std::string describe(NameProblem problem) {
    switch (problem) {
        case NameProblem::Empty:
            return "it has an empty part";
        case NameProblem::ForbiddenCharacter:
            return "it holds one of the characters \\ / : * ? \" < > | that Windows does not allow";
        case NameProblem::ControlCharacter:
            return "it holds a control character (such as a line break) that Windows does not "
                   "allow";
        case NameProblem::DotName:
            return "a part of it is \".\" or \"..\"";
        case NameProblem::ReservedDevice:
            return "a part of it is a Windows device name (CON, PRN, AUX, NUL, COM1-COM9, "
                   "LPT1-LPT9, COM\u00B9-COM\u00B3, LPT\u00B9-LPT\u00B3)";
        case NameProblem::NotText:
            return "its name holds bytes that are not text";
        case NameProblem::TrailingDotOrBlank:
            return "a part of it ends with a dot or a blank, which Windows removes";
        case NameProblem::TooLong:
            return "a part of it is longer than Windows allows (255 characters)";
        case NameProblem::None:
            break;
    }
    return {};
}

}  // namespace

DriveMap DriveMap::forHost() {
    DriveMap drives;
#ifdef _WIN32
    for (char d = 'A'; d <= 'Z'; ++d)
        drives.map(d, std::filesystem::path(std::string(1, d) + ":\\"));
#else
    const char* home = std::getenv("HOME");
    drives.map('C', (home && *home) ? std::filesystem::path(home) : std::filesystem::path("/root"));
    drives.map('Z', "/");
#endif
    return drives;
}

void DriveMap::map(char drive, const std::filesystem::path& root) {
    m_roots[upper(drive)] = root.lexically_normal();
}

std::optional<std::filesystem::path> DriveMap::root(char drive) const {
    const auto it = m_roots.find(upper(drive));
    if (it == m_roots.end()) return std::nullopt;
    return it->second;
}

std::optional<std::filesystem::path> DriveMap::toHost(std::string_view windowsPath) const {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') return std::nullopt;
    auto result = root(windowsPath[0]);
    if (!result) return std::nullopt;
    std::string_view rest = windowsPath.substr(2);
    if (!rest.empty() && rest.front() != '\\') return std::nullopt;  // "C:x" is drive-relative
    while (!rest.empty()) {
        const auto slash = rest.find('\\');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
        if (part.empty()) continue;  // "C:\" and doubled backslashes
        if (!isValidWindowsName(part)) return std::nullopt;
        *result /= std::filesystem::path(std::u8string(part.begin(), part.end()));
    }
    return result;
}

std::optional<std::string> DriveMap::toWindows(const std::filesystem::path& hostPath,
                                               std::string* whyNot) const {
    auto fail = [whyNot](std::string reason) -> std::optional<std::string> {
        if (whyNot) *whyNot = std::move(reason);
        return std::nullopt;
    };
    const auto path = hostPath.lexically_normal();
    if (!path.is_absolute()) return fail("it is not a full path");

    // The drive whose root holds the path most closely (C: = home beats Z: = /).
    char bestDrive = 0;
    std::size_t bestDepth = 0;
    for (const auto& [drive, rootPath] : m_roots) {
        const auto rel = path.lexically_relative(rootPath);
        if (rel.empty() || *rel.begin() == "..") continue;
        const auto depth =
            static_cast<std::size_t>(std::distance(rootPath.begin(), rootPath.end()));
        if (bestDrive == 0 || depth > bestDepth) {
            bestDrive = drive;
            bestDepth = depth;
        }
    }
    if (bestDrive == 0) return fail("it lies on no Windows drive");

    std::string windows(1, bestDrive);
    windows += ":";
    const auto rel = path.lexically_relative(m_roots.at(bestDrive));
    bool any = false;
    for (const auto& part : rel) {
        if (part == ".") continue;
        const auto u8 = part.u8string();
        const std::string name(u8.begin(), u8.end());
        if (const auto problem = checkWindowsName(name); problem != NameProblem::None)
            return fail("the name \"" + name + "\" cannot exist on Windows: " + describe(problem));
        if (!fitsWindows1252(name))
            return fail("the name \"" + name +
                        "\" holds characters that Windows 95/98 (code page 1252) cannot write");
        windows += "\\" + name;
        any = true;
    }
    if (!any) windows += "\\";
    return windows;
}

}  // namespace platform
