// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include "platform/MessageBoxes.h"

class QWidget;

namespace platform {

/// Message boxes as QMessageBox, parented to the active window.
class QtMessageBoxes : public MessageBoxes {
public:
    MessageResult show(const Message& message) override;
    MessageResult ask(const Message& question, const std::string& okText,
                      const std::string& cancelText) override;

private:
    MessageResult showWith(const Message& message, const QString& okText,
                           const QString& cancelText);
};

/// UTF-8 message text for Qt, with every CR LF, lone CR and lone LF as one line break.
QString messageText(const std::string& text);

}  // namespace platform
