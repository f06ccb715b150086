// SPDX-License-Identifier: MIT
#include "platform/qt/QtCommonDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <system_error>
#include <utility>

#include "platform/PickableFile.h"

namespace platform {

namespace {
QString anyCase(const QString& patterns) {
    QStringList globs;
    for (const QString& one : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        QString glob;
        for (const QChar c : one.trimmed()) {
            if (c.isLetter() && c.toLower() != c.toUpper())
                glob += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
            else
                glob += c;
        }
        if (!glob.isEmpty()) globs << glob;
    }
    if (globs.isEmpty()) globs << QStringLiteral("*");
    return globs.join(QLatin1Char(' '));
}

bool isFolder(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}
}  // namespace

QtCommonDialog::QtCommonDialog(DriveMap drives, MessageBoxes& messages)
    : m_drives(std::move(drives)), m_messages(messages) {}

QStringList QtCommonDialog::nameFilters(const std::string& filterText, const std::string& pattern) {
    const QStringList sections = QString::fromStdString(filterText).split(QLatin1Char('|'));
    QString description = sections.front();
    if (description.trimmed().isEmpty()) description = QStringLiteral("Files");
    QStringList filters{description + QStringLiteral(" (") +
                        anyCase(QString::fromStdString(pattern)) + QLatin1Char(')')};
    for (qsizetype i = 3; i < sections.size(); i += 2)
        filters << sections[i - 1] + QStringLiteral(" (") + anyCase(sections[i]) + QLatin1Char(')');
    return filters;
}

std::optional<std::string> QtCommonDialog::windowsPathOf(const std::filesystem::path& hostFile) {
    return pickablePath(m_drives, m_messages, hostFile);
}

std::optional<std::string> QtCommonDialog::acceptFile(const std::filesystem::path& hostFile) {
    auto windows = droppedPath(m_drives, m_messages, hostFile, Filter, FileName);
    if (windows) m_lastFolder = hostFile.parent_path();
    return windows;
}

QString QtCommonDialog::startFolder() const {
    if (!InitDir.empty()) {
        if (const auto host = m_drives.toHost(InitDir); host && isFolder(*host))
            return QString::fromStdString(host->string());
    }
    if (m_folders) {
        if (const auto remembered = m_folders->lastFolder(FileName); isFolder(remembered))
            return QString::fromStdString(remembered.string());
    }
    if (isFolder(m_lastFolder)) return QString::fromStdString(m_lastFolder.string());
    return QDir::homePath();
}

void QtCommonDialog::keepSettingsInThisRun() {
    if (!m_settings) m_settings = std::make_unique<QTemporaryDir>();
    if (!m_settings->isValid()) return;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings->path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings->path());
}

void QtCommonDialog::ShowOpen() {
    keepSettingsInThisRun();
    QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Open"), startFolder());
    // The list shows the description alone; the patterns with bracketed letters are noise.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters(Filter, FileName));
    const std::string pattern = FileName;
    if (dialog.exec() != QDialog::Accepted) return;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return;
    const std::filesystem::path host(chosen.front().toStdString());
    if (auto windows = windowsPathOf(host)) {
        FileName = *windows;
        m_lastFolder = host.parent_path();
        if (m_folders) m_folders->rememberFolder(pattern, m_lastFolder);
    }
}

void QtCommonDialog::ShowColor() {
    keepSettingsInThisRun();
    auto qcolor = [](std::uint32_t c) {
        return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                      static_cast<int>((c >> 16) & 0xFF));
    };
    const QColor initial = qcolor(Color);
    // The custom colours are the dialog's own (shared by every colour dialog of the run);
    // slots past the offered colours are white, as the dialog starts them.
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, static_cast<std::size_t>(i) < CustomColors.size()
                                            ? qcolor(CustomColors[static_cast<std::size_t>(i)])
                                            : QColor(Qt::white));
    const QColor chosen =
        QColorDialog::getColor(initial, QApplication::activeWindow(), QStringLiteral("Color"),
                               QColorDialog::DontUseNativeDialog);
    // A cancel keeps the current colour.
    if (chosen.isValid())
        Color = static_cast<std::uint32_t>(chosen.red()) |
                static_cast<std::uint32_t>(chosen.green()) << 8 |
                static_cast<std::uint32_t>(chosen.blue()) << 16;
}

}  // namespace platform
