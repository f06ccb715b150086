// SPDX-License-Identifier: MIT
// Programs started for real from a temporary drive C:. Each stand-in program is a shell
// script that reports how it was called into a file the test waits for.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/DriveMap.h"
#include "platform/qt/QtProgramLauncher.h"

namespace {

class QtProgramLauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_drives.map('C', m_dir.path().toStdString());
        if (qEnvironmentVariableIsSet("PATH")) m_oldPath = qgetenv("PATH");
    }
    void TearDown() override {
        if (m_oldPath)
            qputenv("PATH", *m_oldPath);
        else
            qunsetenv("PATH");
    }

    QString host(const QString& relative) const { return m_dir.filePath(relative); }

    void writeFile(const QString& relative, const QByteArray& bytes, bool executable) {
        const QFileInfo info(host(relative));
        ASSERT_TRUE(QDir().mkpath(info.absolutePath()));
        QFile f(info.absoluteFilePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
        f.close();
        if (executable) {
            ASSERT_TRUE(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
        }
    }

    /// A script that writes its working folder, its argument count and each argument on a
    /// line of `report`, all at once so a reader never sees half of it.
    void writeReporter(const QString& relative, const QString& report) {
        const QByteArray target = QFile::encodeName(host(report));
        writeFile(relative,
                  "#!/bin/sh\n"
                  "{ pwd; echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > '" +
                      target +
                      ".part'\n"
                      "/bin/mv '" +
                      target + ".part' '" + target + "'\n",
                  true);
    }

    /// The report's lines once it appears, or nullopt after a generous wait.
    std::optional<QStringList> waitForReport(const QString& report) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            QFile f(host(report));
            if (f.open(QIODevice::ReadOnly))
                return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return std::nullopt;
    }

    QTemporaryDir m_dir;
    platform::DriveMap m_drives;
    std::optional<QByteArray> m_oldPath;
};

TEST_F(QtProgramLauncherTest, StartsTheNamedFileWithExactlyItsArguments) {
    writeReporter("My Savers/Blue Lines.scr", "run.txt");
    platform::QtProgramLauncher launcher(m_drives);

    ASSERT_TRUE(launcher.start("C:\\My Savers\\Blue Lines.scr", {"/s"}));
    const auto run = waitForReport("run.txt");
    ASSERT_TRUE(run.has_value()) << "the program never ran";
    EXPECT_EQ(*run, QStringList({QDir(host("My Savers")).canonicalPath(), "1", "/s"}));

    // Arguments with blanks stay whole; no argument at all is no empty argument.
    ASSERT_TRUE(QFile::remove(host("run.txt")));
    ASSERT_TRUE(launcher.start("C:\\My Savers\\Blue Lines.scr", {"a b", "*", "$HOME"}));
    const auto second = waitForReport("run.txt");
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->mid(1), QStringList({"3", "a b", "*", "$HOME"}));

    ASSERT_TRUE(QFile::remove(host("run.txt")));
    ASSERT_TRUE(launcher.start("C:\\My Savers\\Blue Lines.scr", {}));
    const auto alone = waitForReport("run.txt");
    ASSERT_TRUE(alone.has_value());
    EXPECT_EQ(alone->mid(1), QStringList({"0"}));
}

TEST_F(QtProgramLauncherTest, RefusesWhatIsNoProgramOrLiesOffTheDrives) {
    writeReporter("b", "escaped.txt");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("a"));
    writeFile("Readme.scr", "not a program\n", false);
    platform::QtProgramLauncher launcher(m_drives);

    EXPECT_FALSE(launcher.start("C:\\Savers\\Gone.scr", {"/s"}));
    EXPECT_FALSE(launcher.start("C:\\a\\..\\b", {}));  // would name C:\b through a back door
    EXPECT_FALSE(launcher.start("C:b", {}));
    EXPECT_FALSE(launcher.start("D:\\b", {}));
    EXPECT_FALSE(launcher.start("*.scr", {}));
    EXPECT_FALSE(launcher.start("C:\\a", {}));           // a folder
    EXPECT_FALSE(launcher.start("C:\\Readme.scr", {}));  // not executable, not Windows

    // C:\b itself is a program; it ran through none of the paths above.
    ASSERT_TRUE(launcher.start("C:\\b", {}));
    ASSERT_TRUE(waitForReport("escaped.txt").has_value());
}

TEST_F(QtProgramLauncherTest, WindowsProgramsGoThroughWineOnThePathOnly) {
    writeFile("Savers/Mystify.scr", QByteArray("MZ\x90\0\x03\0\0\0", 8) + QByteArray(56, '\0'),
              false);
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("empty bin"));
    writeReporter("wine bin/wine", "wine.txt");
    platform::QtProgramLauncher launcher(m_drives);

    qputenv("PATH", QFile::encodeName(host("empty bin")));
    EXPECT_FALSE(launcher.start("C:\\Savers\\Mystify.scr", {"/s"})) << "no wine, no start";

    qputenv("PATH", QFile::encodeName(host("empty bin") + ":" + host("wine bin")));
    ASSERT_TRUE(launcher.start("C:\\Savers\\Mystify.scr", {"/s"}));
    const auto run = waitForReport("wine.txt");
    ASSERT_TRUE(run.has_value()) << "wine was never started";
    EXPECT_EQ(*run, QStringList({QDir(host("Savers")).canonicalPath(), "2",
                                 host("Savers/Mystify.scr"), "/s"}));
}

}  // namespace
