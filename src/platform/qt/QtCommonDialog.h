// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/CommonDialog.h"
#include "platform/DriveMap.h"
#include "platform/FolderMemory.h"
#include "platform/MessageBoxes.h"

namespace platform {

/// The shared dialog as QFileDialog and QColorDialog: the desktop's own file dialog where the
/// desktop provides one, Qt's elsewhere (under Xvfb, in tests). Nothing of a dialog outlives
/// the run.
class QtCommonDialog : public CommonDialog {
public:
    QtCommonDialog(DriveMap drives, MessageBoxes& messages);

    void ShowOpen() override;
    void ShowColor() override;
    std::optional<std::string> acceptFile(const std::filesystem::path& hostFile) override;

    /// The Windows path of a confirmed host file; nullopt when the file cannot be named on
    /// Windows or in Windows-1252, after a message saying why (the pick then ends as a cancel).
    std::optional<std::string> windowsPathOf(const std::filesystem::path& hostFile);

    /// The QFileDialog name filters for a filter text and a pattern such as "*.ani;*.cur":
    /// first the description (the text before any "|") with the pattern, then each further
    /// "description|pattern" pair of the filter text; letters match in either case, as
    /// Windows lists files.
    static QStringList nameFilters(const std::string& filterText, const std::string& pattern);

    /// The host folder the open-file dialog starts in: InitDir's, else the one this kind of
    /// dialog last ended in (remembered across runs), else the folder of the last file taken in
    /// this run, else the home folder.
    QString startFolder() const;

    /// Where the folders of earlier runs are remembered; none by default.
    void setFolderMemory(FolderMemory* memory) { m_folders = memory; }

private:
    /// QFileDialog and QColorDialog keep their history in the user's QtProject settings; point
    /// those at a folder of this run, removed when it ends.
    void keepSettingsInThisRun();

    DriveMap m_drives;
    MessageBoxes& m_messages;
    std::filesystem::path m_lastFolder;
    FolderMemory* m_folders = nullptr;
    std::unique_ptr<QTemporaryDir> m_settings;
};

}  // namespace platform
