#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/CommonDialog.h"
#include "platform/DriveMap.h"
#include "platform/MessageBoxes.h"

namespace platform {

/// The shared dialog as Qt's own (not the desktop's native) QFileDialog and QColorDialog:
/// the native GTK dialog may change the name it returns.
class QtCommonDialog : public CommonDialog {
public:
    QtCommonDialog(DriveMap drives, MessageBoxes& messages);

    void ShowOpen() override;
    void ShowColor() override;

    /// The Windows path of a confirmed host file; nullopt when the file cannot be named on
    /// Windows or in Windows-1252, after a message saying why (the pick then ends as a cancel).
    std::optional<std::string> windowsPathOf(const std::filesystem::path& hostFile);

    /// The QFileDialog name filter for a filter text and a pattern such as "*.ani;*.cur":
    /// the description (the text before any "|") with every pattern, letters matched in
    /// either case as Windows does.
    static QString nameFilter(const std::string& filterText, const std::string& pattern);

private:
    DriveMap m_drives;
    MessageBoxes& m_messages;
};

}  // namespace platform
