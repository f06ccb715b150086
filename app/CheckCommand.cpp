// SPDX-License-Identifier: MIT
#include "CheckCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <string>

#include "compat/Check.h"
#include "input/ThemeReader.h"
#include "platform/DriveMap.h"

namespace app {
namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void print(std::FILE* to, const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), to);
}

}  // namespace

int runCheck(const QString& themeFile, bool json, std::FILE* out, std::FILE* err) {
    const platform::DriveMap drives = platform::DriveMap::forHost();
    std::string whyNot;
    const auto windowsPath =
        drives.toWindows(std::filesystem::path(themeFile.toStdString()), &whyNot);
    const input::OpenResult opened =
        windowsPath ? input::openTheme(drives, *windowsPath) : input::OpenResult{{}, whyNot};
    if (!opened.opened) {
        print(err,
              QStringLiteral("skinsmith: cannot read %1: %2\n").arg(themeFile, text(opened.error)));
        return 2;
    }
    const auto findings = compat::checkTheme(opened.opened->theme, drives);
    const bool shows = compat::showsEverything(findings);
    if (json) {
        QJsonArray list;
        for (const auto& f : findings)
            list.append(QJsonObject{
                {"slot", text(compat::slotName(f.slot))},
                {"file", text(f.file)},
                {"problem", text(f.problem)},
                {"windows", text(compat::windowsText(f.windows))},
                {"severity", text(compat::severityText(f.severity))},
                {"fix", text(f.fix)},
                {"convertible", f.conversion != compat::Conversion::None},
            });
        const QJsonObject all{{"theme", themeFile}, {"showsEverything", shows}, {"findings", list}};
        std::fputs(QJsonDocument(all).toJson(QJsonDocument::Indented).constData(), out);
    } else {
        for (const auto& f : findings) {
            QString line = text(compat::slotName(f.slot)) + " | " + text(f.file) + " | " +
                           text(f.problem) + " (" + text(compat::severityText(f.severity)) +
                           ", Windows " + text(compat::windowsText(f.windows)) + ")";
            if (!f.fix.empty()) line += " | " + text(f.fix);
            print(out, line + '\n');
        }
        if (findings.empty()) print(out, QStringLiteral("Windows 95 and 98 show every file.\n"));
    }
    return shows ? 0 : 1;
}

}  // namespace app
