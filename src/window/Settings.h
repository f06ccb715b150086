// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include "platform/FolderMemory.h"

namespace window {

/// The user's settings in one INI file (~/.config/skinsmith/skinsmith.conf): the recent theme
/// files, the folder each kind of dialog last ended in, the preview window's size and place.
/// Nothing else is written there. The file is read once; a value that is not what this class
/// writes is dropped, and a file that cannot be read is ignored and written anew.
class Settings : public platform::FolderMemory {
public:
    /// The most recent themes kept.
    static constexpr int kRecentCount = 10;

    explicit Settings(QString file);
    /// $XDG_CONFIG_HOME/skinsmith/skinsmith.conf, or under ~/.config when it is not set.
    static QString defaultFile();

    /// Host paths of the themes last opened or created, the newest first.
    const QStringList& recentThemes() const { return m_recent; }
    void addRecentTheme(const QString& hostPath);
    void removeRecentTheme(const QString& hostPath);
    void clearRecentThemes();

    QByteArray previewGeometry() const { return m_previewGeometry; }
    void setPreviewGeometry(const QByteArray& geometry);

    /// The folder a kind of dialog ("icons", "wallpaper", "pointers", "sounds", "screenSaver",
    /// "logos", "themes", "export") last ended in, as a host path; "" when none.
    QString folder(const QString& kind) const { return m_folders.value(kind); }
    void setFolder(const QString& kind, const QString& hostFolder);

    std::filesystem::path lastFolder(std::string_view pattern) const override;
    void rememberFolder(std::string_view pattern, const std::filesystem::path& folder) override;

private:
    void write();

    QString m_file;
    QStringList m_recent;
    QMap<QString, QString> m_folders;
    QByteArray m_previewGeometry;
};

}  // namespace window
