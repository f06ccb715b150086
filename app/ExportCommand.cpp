// SPDX-License-Identifier: MIT
#include "ExportCommand.h"

#include <cstdio>
#include <string>

#include "input/ThemeReader.h"
#include "platform/DriveMap.h"
#include "window/ExportJob.h"

namespace app {
namespace {

int fail(const std::string& why) {
    std::fprintf(stderr, "skinsmith: %s\n", why.c_str());
    return 1;
}

}  // namespace

int runExportCommand(const QString& target, const QString& themeFile) {
    const std::filesystem::path targetPath = target.toStdString();
    const auto kind = exporting::kindForPath(targetPath);
    if (!kind)
        return fail(
            "cannot tell what to write from the name " + targetPath.string() +
            ": use .zip (zip pack), .iso (CD image) or .img, .ima, .hdd, .vhd (disk image)");
    const platform::DriveMap drives = platform::DriveMap::forHost();
    std::string whyNot;
    const auto windowsPath = drives.toWindows(themeFile.toStdString(), &whyNot);
    if (!windowsPath) return fail(themeFile.toStdString() + ": " + whyNot);
    const input::OpenResult opened = input::openTheme(drives, *windowsPath);
    if (!opened.opened) return fail(themeFile.toStdString() + ": " + opened.error);
    for (const auto& file : opened.opened->report.missingFiles)
        std::fprintf(stderr, "skinsmith: warning: the theme names %s, which is not there\n",
                     file.c_str());

    window::ExportRequest request;
    request.target = targetPath;
    request.kind = *kind;
    const exporting::Result result = window::runExport(opened.opened->theme, drives, request);
    for (const auto& warning : result.warnings)
        std::fprintf(stderr, "skinsmith: warning: %s\n", warning.c_str());
    if (!result.ok) return fail(result.error);
    for (const auto& line : result.written) std::printf("%s\n", line.c_str());
    return 0;
}

}  // namespace app
