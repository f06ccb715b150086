// SPDX-License-Identifier: MIT
#include "window/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <array>
#include <filesystem>
#include <system_error>
#include <utility>

#include "state/ThemeState.h"

namespace window {

namespace {

struct Kind {
    const char* name;
    std::string_view pattern;  // the dialog's pattern; "" for dialogs of other kinds
};
constexpr std::array<Kind, 8> kKinds = {{{"icons", state::kIconPattern},
                                         {"wallpaper", state::kWallpaperPattern},
                                         {"pointers", state::kPointerPattern},
                                         {"sounds", state::kSoundPattern},
                                         {"screenSaver", state::kScreenSaverPattern},
                                         {"logos", state::kLogoPattern},
                                         {"themes", "*.theme"},
                                         {"export", ""}}};

const char* kindOf(std::string_view pattern) {
    for (const Kind& kind : kKinds)
        if (!kind.pattern.empty() && kind.pattern == pattern) return kind.name;
    return nullptr;
}

const QString kRecentKey = QStringLiteral("recent/themes");
const QString kGeometryKey = QStringLiteral("preview/geometry");
QString folderKey(const QString& kind) {
    return QStringLiteral("folders/") + kind;
}

bool isAbsolutePath(const QVariant& value) {
    return value.typeId() == QMetaType::QString && QDir::isAbsolutePath(value.toString()) &&
           !value.toString().contains(QChar(0));
}

}  // namespace

Settings::Settings(QString file) : m_file(std::move(file)) {
    if (!QFileInfo::exists(m_file)) return;
    QSettings stored(m_file, QSettings::IniFormat);
    bool clean = stored.status() == QSettings::NoError;
    QStringList known;
    if (clean) {
        // Anything but a list of absolute paths, or more than the list holds, is dropped.
        const QVariant recent = stored.value(kRecentKey);
        if (recent.isValid()) {
            known << kRecentKey;
            const QStringList paths = recent.toStringList();
            clean = recent.canConvert<QStringList>() && paths.size() <= kRecentCount;
            for (const QString& path : paths) {
                if (!isAbsolutePath(path) || m_recent.contains(path) ||
                    m_recent.size() == kRecentCount)
                    clean = false;
                else
                    m_recent << path;
            }
        }
        for (const Kind& kind : kKinds) {
            const QString key = folderKey(QString::fromLatin1(kind.name));
            const QVariant value = stored.value(key);
            if (!value.isValid()) continue;
            known << key;
            if (isAbsolutePath(value))
                m_folders.insert(QString::fromLatin1(kind.name), value.toString());
            else
                clean = false;
        }
        const QVariant geometry = stored.value(kGeometryKey);
        if (geometry.isValid()) {
            known << kGeometryKey;
            if (geometry.typeId() == QMetaType::QByteArray)
                m_previewGeometry = geometry.toByteArray();
            else
                clean = false;
        }
        for (const QString& key : stored.allKeys()) clean = clean && known.contains(key);
    }
    if (!clean) write();
}

QString Settings::defaultFile() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // XDG's base directory rules say a relative path is to be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/skinsmith/skinsmith.conf");
}

void Settings::addRecentTheme(const QString& hostPath) {
    m_recent.removeAll(hostPath);
    m_recent.prepend(hostPath);
    while (m_recent.size() > kRecentCount) m_recent.removeLast();
    write();
}

void Settings::removeRecentTheme(const QString& hostPath) {
    if (m_recent.removeAll(hostPath) > 0) write();
}

void Settings::clearRecentThemes() {
    m_recent.clear();
    write();
}

void Settings::setPreviewGeometry(const QByteArray& geometry) {
    if (geometry == m_previewGeometry) return;
    m_previewGeometry = geometry;
    write();
}

void Settings::setFolder(const QString& kind, const QString& hostFolder) {
    if (m_folders.value(kind) == hostFolder) return;
    m_folders.insert(kind, hostFolder);
    write();
}

std::filesystem::path Settings::lastFolder(std::string_view pattern) const {
    const char* kind = kindOf(pattern);
    return kind ? std::filesystem::path(folder(QString::fromLatin1(kind)).toStdString())
                : std::filesystem::path();
}

void Settings::rememberFolder(std::string_view pattern, const std::filesystem::path& folder) {
    if (const char* kind = kindOf(pattern))
        setFolder(QString::fromLatin1(kind), QString::fromStdString(folder.string()));
}

void Settings::write() {
    // The whole file from what this class holds, so nothing else is ever kept in it. It is
    // written beside the old one and renamed over it: QSettings would merge with an old file it
    // can read and leave one it cannot parse as it is.
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    const QString next = m_file + QStringLiteral(".new");
    QFile::remove(next);
    {
        QSettings stored(next, QSettings::IniFormat);
        if (!m_recent.isEmpty()) stored.setValue(kRecentKey, m_recent);
        for (auto [kind, folder] : m_folders.asKeyValueRange())
            stored.setValue(folderKey(kind), folder);
        if (!m_previewGeometry.isEmpty()) stored.setValue(kGeometryKey, m_previewGeometry);
        stored.sync();
        if (stored.status() != QSettings::NoError) return;
    }
    // Nothing to keep still replaces a damaged file, with an empty one.
    if (QFile empty(next); !empty.exists() && !empty.open(QIODevice::WriteOnly)) return;
    std::error_code error;
    std::filesystem::rename(next.toStdString(), m_file.toStdString(), error);
}

}  // namespace window
