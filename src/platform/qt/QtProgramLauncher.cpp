// SPDX-License-Identifier: MIT
#include "platform/qt/QtProgramLauncher.h"

#include <QByteArray>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <unistd.h>

#include "platform/RegularFile.h"

namespace platform {
namespace {

[[maybe_unused]] bool isWindowsProgram(const QString& hostPath) {
    QFile file;
    const int fd = openRegularFile(QFile::encodeName(hostPath).toStdString());
    if (fd < 0) return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return file.read(2) == QByteArrayLiteral("MZ");
}

}  // namespace

QtProgramLauncher::QtProgramLauncher(const DriveMap& drives) : m_drives(drives) {}

bool QtProgramLauncher::start(const std::string& windowsProgramPath,
                              const std::vector<std::string>& arguments) {
    try {
        const auto host = m_drives.toHost(windowsProgramPath);
        if (!host) return false;
        const auto hostUtf8 = host->u8string();
        const QString program = QString::fromUtf8(reinterpret_cast<const char*>(hostUtf8.data()),
                                                  static_cast<qsizetype>(hostUtf8.size()));
        const QFileInfo info(program);
        if (!info.isFile()) return false;

        QStringList argumentList;
        for (const auto& argument : arguments) argumentList << QString::fromStdString(argument);
        // Started in its own folder, as a screen saver chosen from there expects to be.
        const QString folder = info.absolutePath();

#ifndef Q_OS_WIN
        if (isWindowsProgram(program)) {
            const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
            if (wine.isEmpty()) return false;
            argumentList.prepend(program);
            return QProcess::startDetached(wine, argumentList, folder);
        }
#endif
        return QProcess::startDetached(program, argumentList, folder);
    } catch (...) {
        return false;  // failure is reported by the result, never by an exception
    }
}

}  // namespace platform

namespace platform {

bool QtProgramLauncher::lacksWine(const std::string& windowsProgramPath) {
#ifdef Q_OS_WIN
    (void)windowsProgramPath;
    return false;
#else
    const auto host = m_drives.toHost(windowsProgramPath);
    return host && isWindowsProgram(QString::fromStdString(host->string())) &&
           QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty();
#endif
}

bool QtProgramLauncher::showFolder(const std::string& windowsFolderPath) {
    const auto host = m_drives.toHost(windowsFolderPath);
    if (!host) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(host->string())));
}

}  // namespace platform
