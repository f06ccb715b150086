// SPDX-License-Identifier: MIT
#pragma once

#include <deque>
#include <functional>
#include <vector>

#include "platform/MessageBoxes.h"

namespace fakes {

/// Records every message and answers from a script (OK once the script runs out).
/// onShow runs while the "box" is open, so a test can look at the world at that moment.
class ScriptedMessageBoxes : public platform::MessageBoxes {
public:
    platform::MessageResult show(const platform::Message& message) override {
        shown.push_back(message);
        if (onShow) onShow(message);
        if (answers.empty()) return platform::MessageResult::Ok;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<platform::MessageResult> answers;
    std::vector<platform::Message> shown;
    std::function<void(const platform::Message&)> onShow;
};

}  // namespace fakes
