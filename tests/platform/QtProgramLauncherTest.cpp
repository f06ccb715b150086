// SPDX-License-Identifier: MIT
// Programs started for real from a temporary drive C:. Each stand-in program is a shell
// script that reports how it was called into the file <its path>.run.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt/QtProgramLauncher.h"
#include "support/TempDrive.h"
#include "support/TestData.h"

namespace {

// Its folder, its argument count and each argument on a line, written all at once so a
// reader never sees half of it.
constexpr char kReporter[] =
    "#!/bin/sh\n{ pwd; echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > \"$0.part\"\n"
    "/bin/mv \"$0.part\" \"$0.run\"\n";

class QtProgramLauncherTest : public ::testing::Test {
protected:
    void TearDown() override { qputenv("PATH", m_path); }

    QString put(const QString& name, const QByteArray& bytes, bool executable = true) {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        EXPECT_TRUE(testdata::write(path, bytes));
        if (executable) QFile(path).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        return path;
    }

    /// The lines `program` reported once it has run, or nothing after a generous wait.
    static QStringList report(const QString& program) {
        QFile run(program + ".run");
        EXPECT_TRUE(QTest::qWaitFor([&] { return run.exists(); }, 20000)) << "never ran";
        return run.open(QIODevice::ReadOnly)
                   ? QString(run.readAll()).split('\n', Qt::SkipEmptyParts)
                   : QStringList{"(never ran)"};
    }

    QTemporaryDir m_dir;
    platform::DriveMap m_drives = testsupport::driveOn(m_dir.path());
    platform::QtProgramLauncher m_launcher{m_drives};
    QByteArray m_path = qgetenv("PATH");
};

TEST_F(QtProgramLauncherTest, StartsTheNamedFileInItsFolderWithExactlyItsArguments) {
    const QString saver = put("My Savers/Blue Lines.scr", kReporter);
    const QString folder = QDir(m_dir.filePath("My Savers")).canonicalPath();
    for (const QStringList& arguments : {QStringList{"/s"}, {"a b", "*", "$HOME"}, {}}) {
        std::vector<std::string> list;
        for (const QString& a : arguments) list.push_back(a.toStdString());
        QFile::remove(saver + ".run");
        ASSERT_TRUE(m_launcher.start("C:\\My Savers\\Blue Lines.scr", list));
        EXPECT_EQ(report(saver), QStringList({folder, QString::number(list.size())}) + arguments);
    }
}

TEST_F(QtProgramLauncherTest, RefusesWhatIsNoProgramOrLiesOffTheDrives) {
    const QString b = put("b", kReporter);
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("a"));
    put("Readme.scr", "not a program\n", false);
    for (const char* path : {"C:\\Savers\\Gone.scr", "C:\\a\\..\\b", "C:b", "D:\\b", "*.scr",
                             "C:\\a" /* a folder */, "C:\\Readme.scr" /* not executable */})
        EXPECT_FALSE(m_launcher.start(path, {})) << path;
    EXPECT_FALSE(QFile::exists(b + ".run"));
    // C:\b itself is a program; it ran through none of the paths above.
    ASSERT_TRUE(m_launcher.start("C:\\b", {}));
    EXPECT_EQ(report(b).size(), 2);
}

TEST_F(QtProgramLauncherTest, WindowsProgramsGoThroughWineOnThePathOnly) {
    const QString saver =
        put("Savers/Mystify.scr", QByteArray("MZ\x90\0", 4) + QByteArray(60, 0), false);
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("empty bin"));
    const QString wine = put("wine bin/wine", kReporter);
    qputenv("PATH", QFile::encodeName(m_dir.filePath("empty bin")));
    EXPECT_FALSE(m_launcher.start("C:\\Savers\\Mystify.scr", {"/s"})) << "no wine, no start";

    qputenv("PATH",
            QFile::encodeName(m_dir.filePath("empty bin") + ":" + m_dir.filePath("wine bin")));
    ASSERT_TRUE(m_launcher.start("C:\\Savers\\Mystify.scr", {"/s"}));
    EXPECT_EQ(report(wine),
              QStringList({QDir(m_dir.filePath("Savers")).canonicalPath(), "2", saver, "/s"}));
}

}  // namespace
