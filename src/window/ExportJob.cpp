// SPDX-License-Identifier: MIT
#include "window/ExportJob.h"

#include <algorithm>

#include "output/CreateTheme.h"
#include "output/ThemeFile.h"
#include "platform/HostFileSystem.h"
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
    if (progress) progress({"Creating the theme folder", 0, 0});
    if (!output::writeTheme(theme, files, messages)) {
        result.error = messages.errors.empty() ? "The theme folder could not be created."
                                               : messages.errors.back();
        return result;
    }
    auto missing = output::copyAssets(
        theme, files,
        [&](const output::CopyProgress& where) {
            if (progress && !where.file.empty())
                progress({"Copying " + where.file, where.bytesDone, where.bytesTotal});
        },
        cancel);
    if (cancel != nullptr && cancel->load()) {
        result.error = "The export was stopped.";
        return result;
    }
    output::reportUncopied(theme, std::move(missing), files, messages);

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
                const auto& logo = theme.logoPaths[slot];
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
    return result;
}

}  // namespace window
