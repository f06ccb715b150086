// SPDX-License-Identifier: MIT
#include <cctype>

#include "export/Export.h"
#include "platform/Windows1252.h"

namespace exporting {
namespace {

// A batch file expands %...%: a literal percent sign is written twice.
std::string batchText(const std::string& name) {
    std::string out;
    for (char c : name) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

std::string windowsText(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines) text += platform::toWindows1252(line) + "\r\n";
    return text;
}

}  // namespace

std::optional<Kind> kindForPath(const std::filesystem::path& target) {
    std::string ext = target.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".zip") return Kind::Zip;
    if (ext == ".iso") return Kind::Iso;
    if (ext == ".img" || ext == ".ima" || ext == ".hdd" || ext == ".vhd") return Kind::DiskImage;
    return std::nullopt;
}

std::string installBatch(const std::string& themeName) {
    const std::string n = batchText(themeName);
    const std::string target = "C:\\SKINVAULT\\" + n;
    return windowsText({
        "@ECHO OFF",
        "REM Installs the desktop theme " + n + ": copies its folder to " + target,
        "REM and runs its logo batch there. Run it from the folder it came in (the CD or",
        "REM the folder the zip pack was unpacked into).",
        "IF NOT EXIST \"" + n + "\\" + n + ".theme\" GOTO NOTHERE",
        "IF NOT EXIST C:\\SKINVAULT\\NUL MD C:\\SKINVAULT",
        // /R and ATTRIB: files from a CD arrive read-only, and a second install must replace them.
        "XCOPY \"" + n + "\" \"" + target + "\\\" /E /I /R /Y",
        "IF ERRORLEVEL 1 GOTO FAILED",
        "ATTRIB -R \"" + target + "\\*.*\"",
        "C:",
        "CD \"\\SKINVAULT\\" + n + "\"",
        "CALL \"" + n + ".bat\"",
        "ECHO The theme is in " + target + ".",
        "ECHO Open Desktop Themes in the Control Panel, choose Browse... and pick " + n + ".theme.",
        "GOTO END",
        ":NOTHERE",
        "ECHO Run INSTALL.BAT from the folder that holds the folder " + n + ".",
        "GOTO END",
        ":FAILED",
        "ECHO The files could not be copied to " + target + ".",
        ":END",
    });
}

std::string readmeText(const std::string& themeName, Kind kind) {
    const std::string target = "C:\\SKINVAULT\\" + themeName;
    const std::string where =
        kind == Kind::Iso ? "the CD" : "the folder you unpacked this zip pack into";
    return windowsText({
        "Desktop theme: " + themeName,
        "",
        "This pack holds the folder " + themeName + " with the theme file, its pictures,",
        "pointers and sounds, and INSTALL.BAT, which puts them where the theme file expects",
        "them: " + target + ".",
        "",
        "To install it on Windows 95 or 98 with Desktop Themes (Microsoft Plus!):",
        "1. " +
            std::string(kind == Kind::Iso ? "Put in the CD"
                                          : "Unpack the whole pack, keeping its folders") +
            " and open " + where + ".",
        "2. Double-click INSTALL.BAT. It copies the folder to " + target,
        "   and installs the theme's start-up and shut-down logos (the replaced files are",
        "   not kept, so copy C:\\LOGO.SYS and C:\\WINDOWS\\LOGO?.SYS first if you want them).",
        "3. Open Control Panel, Desktop Themes, choose Browse... in the Theme list and pick",
        "   " + target + "\\" + themeName + ".theme.",
        "",
        "By hand: copy the folder " + themeName + " to C:\\SKINVAULT\\ and run " + themeName +
            ".bat from there.",
    });
}

std::string volumeLabel(const std::string& themeName) {
    std::string label;
    for (char c : themeName) {
        if (label.size() == 32) break;
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) && u < 0x80)
            label += static_cast<char>(std::toupper(u));
        else if (!label.empty() && label.back() != '_')
            label += '_';
    }
    while (!label.empty() && label.back() == '_') label.pop_back();
    return label.empty() ? std::string("THEME") : label;
}

}  // namespace exporting
