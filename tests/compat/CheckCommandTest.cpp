// SPDX-License-Identifier: MIT
// `skinsmith --check`: the real binary without any display, on theme files written here.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "compat/Shell.h"

namespace {

const QString kBinary = QStringLiteral(SKINSMITH_BINARY_DIR "/app/skinsmith");

struct ToolRun {
    int code;
    QString out, err;
};

ToolRun check(const QStringList& arguments) {
    QProcess tool;
    auto env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    tool.setProcessEnvironment(env);
    tool.start(kBinary, arguments);
    EXPECT_TRUE(tool.waitForFinished(60000));
    return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
            QString::fromUtf8(tool.readAllStandardError())};
}

TEST(CheckCommand, AnswersByExitCodeAndLineOrJson) {
    QTemporaryDir dir;
    bool made = false;
    testsupport::shell(dir.path(),
                       "convert -size 8x8 xc:red png:wall.png && convert -size 8x8 xc:red "
                       "bmp3:ok.bmp && printf '[Control Panel\\\\Desktop]\\r\\nWallpaper="
                       "%%ThemeDir%%wall.png\\r\\n' > bad.theme && sed s/wall.png/ok.bmp/ "
                       "bad.theme > good.theme && echo nonsense > broken.theme",
                       &made);
    ASSERT_TRUE(made);

    ToolRun run = check({"--check", dir.filePath("bad.theme")});
    EXPECT_EQ(run.code, 1) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("Wallpaper | Z:\\")) << lines[0].toStdString();
    EXPECT_TRUE(
        lines[0].endsWith("wall.png | is a PNG file, which no Windows 95 or 98 desktop "
                          "shows (will not show, Windows 95 and 98) | Convert it to a "
                          "24-bit BMP."))
        << lines[0].toStdString();

    run = check({"--json", "--check", dir.filePath("bad.theme")});
    EXPECT_EQ(run.code, 1);
    const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_FALSE(json["showsEverything"].toBool());
    const QJsonObject finding = json["findings"].toArray().at(0).toObject();
    EXPECT_EQ(finding["slot"].toString(), "Wallpaper");
    EXPECT_EQ(finding["severity"].toString(), "will not show");
    EXPECT_EQ(finding["windows"].toString(), "95 and 98");
    EXPECT_TRUE(finding["convertible"].toBool());

    run = check({"--check", dir.filePath("good.theme")});
    EXPECT_EQ(run.code, 0) << run.out.toStdString();
    EXPECT_EQ(run.out, "Windows 95 and 98 show every file.\n");

    for (const char* unreadable : {"broken.theme", "missing.theme"}) {
        run = check({"--check", dir.filePath(unreadable)});
        EXPECT_EQ(run.code, 2) << unreadable;
        EXPECT_TRUE(run.err.startsWith("skinsmith: cannot read ")) << run.err.toStdString();
    }
    EXPECT_EQ(check({"--json"}).code, 2);
}

}  // namespace
