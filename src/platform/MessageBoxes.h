// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace platform {

/// OkOtherCancel: three buttons; the Other button is captioned by otherText.
enum class MessageButtons { Ok, OkCancel, OkOtherCancel };
/// Application: the program's own icon (the About box).
enum class MessageIcon { None, Stop, Warning, Application };
enum class MessageResult { Ok, Cancel, Other };

/// One modal message: its text (lines may be split by CR, LF or CR LF), title, buttons,
/// icon and the button Enter chooses.
struct Message {
    std::string text;
    std::string title;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    MessageResult defaultButton = MessageResult::Ok;
    /// Captions for the OK and Cancel buttons when a question needs its own words.
    std::string okText = {};
    std::string cancelText = {};
    /// Caption of the third button of an OkOtherCancel box.
    std::string otherText = {};
};

/// Shows modal message boxes.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    /// Shows the message and waits; the button chosen (Cancel when the box is closed).
    virtual MessageResult show(const Message& message) = 0;
};

}  // namespace platform
