// SPDX-License-Identifier: MIT
// Programs started for real from a temporary drive C:. Each stand-in program is a shell
// script that reports how it was called into the file <its path>.run.

#include <QTest>

#include "platform/qt/QtProgramLauncher.h"
#include "support/TempDrive.h"

namespace {

// Its folder, its argument count and each argument on a line, written all at once so a
// reader never sees half of it.
constexpr char kReporter[] =
    "#!/bin/sh\n{ pwd; echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > \"$0.part\"\n"
    "/bin/mv \"$0.part\" \"$0.run\"\n";

class QtProgramLauncherTest : public testsupport::TempDriveTest {
protected:
    void TearDown() override { qputenv("PATH", m_path); }

    /// Puts the reporter at `name` on C:, as a program, and gives its host path.
    QString program(const QString& name) {
        put(name, kReporter);
        QFile(m_dir.filePath(name)).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        return m_dir.filePath(name);
    }

    /// The lines `program` reported once it has run, or nothing after a generous wait.
    static QStringList report(const QString& program) {
        const QString run = program + ".run";
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(run); }, 20000)) << "never ran";
        return QString(testdata::contents(run)).split('\n', Qt::SkipEmptyParts);
    }

    platform::QtProgramLauncher m_launcher{m_drives};
    QByteArray m_path = qgetenv("PATH");
};

TEST_F(QtProgramLauncherTest, StartsTheNamedFileInItsFolderWithExactlyItsArguments) {
    const QString saver = program("My Savers/Blue Lines.scr");
    const QString folder = QDir(m_dir.filePath("My Savers")).canonicalPath();
    for (const QStringList& arguments : {QStringList{"/s"}, {"a b", "*", "$HOME"}, {}}) {
        std::vector<std::string> list;
        for (const QString& a : arguments) list.push_back(a.toStdString());
        QFile::remove(saver + ".run");
        ASSERT_TRUE(m_launcher.start("C:\\My Savers\\Blue Lines.scr", list));
        EXPECT_EQ(report(saver), QStringList({folder, QString::number(list.size())}) + arguments);
    }
}

TEST_F(QtProgramLauncherTest,
       RefusesWhatIsNoProgramOrLiesOffTheDrivesAndStartsWindowsOnesThroughWine) {
    const QString b = program("b");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("a"));
    put("Readme.scr", "not a program\n");
    for (const char* path : {"C:\\Savers\\Gone.scr", "C:\\a\\..\\b", "C:b", "D:\\b", "*.scr",
                             "C:\\a" /* a folder */, "C:\\Readme.scr" /* not executable */})
        EXPECT_FALSE(m_launcher.start(path, {})) << path;
    EXPECT_FALSE(QFile::exists(b + ".run"));
    // C:\b itself is a program; it ran through none of the paths above.
    ASSERT_TRUE(m_launcher.start("C:\\b", {}));
    EXPECT_EQ(report(b).size(), 2);

    // A Windows program starts through wine on the path, and only so (C:\a is an empty folder).
    put("Savers/Mystify.scr", QByteArray("MZ\x90\0", 4) + QByteArray(60, 0));
    const QString wine = program("wine bin/wine");
    qputenv("PATH", QFile::encodeName(m_dir.filePath("a")));
    EXPECT_FALSE(m_launcher.start("C:\\Savers\\Mystify.scr", {"/s"})) << "no wine, no start";
    EXPECT_TRUE(m_launcher.lacksWine("C:\\Savers\\Mystify.scr"));

    qputenv("PATH", QFile::encodeName(m_dir.filePath("a") + ":" + m_dir.filePath("wine bin")));
    ASSERT_TRUE(m_launcher.start("C:\\Savers\\Mystify.scr", {"/s"}));
    EXPECT_FALSE(m_launcher.lacksWine("C:\\Savers\\Mystify.scr"));
    EXPECT_EQ(report(wine), QStringList({QDir(m_dir.filePath("Savers")).canonicalPath(), "2",
                                         m_dir.filePath("Savers/Mystify.scr"), "/s"}));
}

}  // namespace
