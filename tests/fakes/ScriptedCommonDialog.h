// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/CommonDialog.h"
#include "platform/DriveMap.h"
#include "platform/MessageBoxes.h"
#include "platform/PickableFile.h"

namespace fakes {

/// The shared dialog, answering from scripts. An open answer is the name the user confirmed
/// (which may be "" for a dialog that returns an empty name) or nullopt for Cancel; a colour
/// answer is the colour confirmed with OK, or nullopt for Cancel. An empty script cancels.
/// Each call is recorded with the Filter, FileName and InitDir it was shown with. Dropped
/// files go through the real check, given a drive map and message boxes.
class ScriptedCommonDialog : public platform::CommonDialog {
public:
    struct Open {
        std::string filter;
        std::string fileName;
        std::string initDir;
    };

    void ShowOpen() override {
        opens.push_back({Filter, FileName, InitDir});
        if (openAnswers.empty()) return;
        const auto answer = openAnswers.front();
        openAnswers.pop_front();
        if (answer) FileName = *answer;
    }

    void ShowColor() override {
        colorColorsShown.push_back(Color);
        customColorsShown.push_back(CustomColors);
        if (colorAnswers.empty()) return;
        const auto answer = colorAnswers.front();
        colorAnswers.pop_front();
        if (answer) Color = *answer;
    }

    std::optional<std::string> acceptFile(const std::filesystem::path& hostFile) override {
        if (!drives || !messages) return std::nullopt;
        return platform::droppedPath(*drives, *messages, hostFile, Filter, FileName);
    }

    const platform::DriveMap* drives = nullptr;
    platform::MessageBoxes* messages = nullptr;
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::uint32_t>> colorAnswers;
    std::vector<Open> opens;
    /// The current colour each colour dialog opened with.
    std::vector<std::uint32_t> colorColorsShown;
    /// The custom colours each colour dialog offered.
    std::vector<std::vector<std::uint32_t>> customColorsShown;
};

}  // namespace fakes
