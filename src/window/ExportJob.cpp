// SPDX-License-Identifier: MIT
#include "window/ExportJob.h"

#include <algorithm>

#include "compat/Check.h"
#include "compat/Convert.h"
#include "output/CreateTheme.h"
#include "output/ThemeFile.h"
#include "platform/HostFileSystem.h"
#include "platform/HostFiles.h"
#include "platform/MessageBoxes.h"

namespace window {
namespace {

// The create procedure's messages, kept for the export's report: a stop message is the
// export's error, a warning goes with the result, "Done!" says nothing an export needs.
// Every question is answered with its OK, so the export converts what Create would.
class KeptMessages : public platform::MessageBoxes {
public:
    platform::MessageResult show(const platform::Message& message) override {
        std::string text = message.text;
        std::replace(text.begin(), text.end(), '\r', '\n');
        if (message.icon == platform::MessageIcon::Stop) errors.push_back(text);
        if (message.icon == platform::MessageIcon::Warning) warnings.push_back(text);
        return platform::MessageResult::Ok;
    }
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
};

}  // namespace

exporting::Result runExport(const state::ThemeState& theme, const platform::DriveMap& drives,
                            const ExportRequest& request, const exporting::ProgressFn& progress,
                            const std::atomic<bool>* cancel) {
    exporting::Result result;
    platform::HostFileSystem files(drives);
    KeptMessages messages;
    // What Windows 95/98 cannot read is converted on the way: the theme names the converted
    // copies, which stand in the theme folder before the copies run (a copy whose source is
    // already its target leaves it as it is).
    if (progress) progress({"Converting for Windows 98", 0, 0});
    state::ThemeState shipped = theme;
    std::vector<compat::Converted> converted;
    std::vector<std::string> conversions;  // what the user is told was converted, or not
    const std::string folderText = "C:\\skinvault\\" + theme.themeName + "\\";
    for (const compat::Finding& finding : compat::checkTheme(theme, drives)) {
        if (cancel != nullptr && cancel->load()) break;
        std::string& path = compat::slotPath(shipped, finding.slot);
        if (finding.conversion == compat::Conversion::None || path != finding.file) continue;
        const auto host = drives.toHost(finding.file);
        const auto found = host ? platform::findFileIgnoringCase(*host) : std::nullopt;
        std::string why;
        auto copy =
            found ? compat::convertFile(finding.conversion, *found,
                                        compat::fileNameOf(finding.file), theme.colors[3], &why)
                  : std::nullopt;
        if (!copy) {
            conversions.push_back(finding.file + " was not converted (" +
                                  (why.empty() ? std::string("it cannot be read") : why) + ")");
            continue;
        }
        conversions.push_back(finding.file + " -> " + copy->name);
        path = folderText + copy->name;
        converted.push_back(std::move(*copy));
    }
    if (cancel != nullptr && cancel->load()) {
        result.error = "The export was stopped.";
        return result;
    }
    if (progress) progress({"Creating the theme folder", 0, 0});
    if (!output::writeTheme(shipped, files, messages)) {
        result.error = messages.errors.empty() ? "The theme folder could not be created."
                                               : messages.errors.back();
        return result;
    }
    for (const compat::Converted& copy : converted) {
        if (!files.writeFile(copy.name, copy.bytes)) {
            result.error = "The converted copy " + folderText + copy.name +
                           " could not be written: " + files.lastError();
            return result;
        }
    }
    auto missing = output::copyAssets(
        shipped, files,
        [&](const output::CopyProgress& where) {
            if (progress && !where.file.empty())
                progress({"Copying " + where.file, where.bytesDone, where.bytesTotal});
        },
        cancel);
    if (cancel != nullptr && cancel->load()) {
        result.error = "The export was stopped.";
        return result;
    }
    output::reportUncopied(shipped, std::move(missing), files, messages);

    const auto host = drives.toHost("C:\\skinvault\\" + theme.themeName);
    if (!host) {
        result.error = "The theme folder C:\\skinvault\\" + theme.themeName + " has no host path.";
        return result;
    }
    const exporting::ThemeFolder folder{*host, theme.themeName};
    switch (request.kind) {
        case exporting::Kind::Zip:
            result = exporting::writeZip(folder, request.target, progress, cancel);
            break;
        case exporting::Kind::Iso:
            result = exporting::writeIso(folder, request.target, progress, cancel);
            break;
        case exporting::Kind::DiskImage: {
            exporting::DiskOptions options = request.disk;
            for (std::size_t slot = 0; slot < state::kLogoCount; ++slot) {
                const auto& logo = shipped.logoPaths[slot];
                std::error_code ec;
                if (state::holdsChoice(logo, state::kLogoPattern) &&
                    std::filesystem::is_regular_file(*host / output::strip(logo), ec))
                    options.logoFiles[slot] = output::strip(logo);
            }
            result = exporting::writeDiskImage(folder, request.target, options, progress, cancel);
            break;
        }
    }
    result.written.insert(result.written.begin(),
                          "C:\\skinvault\\" + theme.themeName + "\\ (" + host->string() + ")");
    result.warnings = std::move(messages.warnings);
    for (const std::string& line : conversions) result.written.push_back("converted: " + line);
    return result;
}

}  // namespace window
