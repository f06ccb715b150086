// SPDX-License-Identifier: MIT
#include <csignal>
#include <filesystem>
#include <fstream>

#include <sys/resource.h>
#include <unistd.h>

#include "platform/HostFileSystem.h"
#include "support/TempDrive.h"

namespace fs = std::filesystem;

namespace {

/// Drives C: and D: in temporary folders, D: holding Sky.ico and Big.wav.
class HostFileSystemTest : public testsupport::TempDriveTest {
protected:
    void SetUp() override {
        m_drives.map('D', m_d.path().toStdString());
        ASSERT_TRUE(testdata::write(m_d.filePath("Sky.ico"), "sky"));
        ASSERT_TRUE(testdata::write(m_d.filePath("Big.wav"), QByteArray(65536, 'x')));
        m_files.emplace(m_drives);
    }
    std::ptrdiff_t entriesOfC() const {
        return std::distance(fs::directory_iterator(m_c), fs::directory_iterator());
    }
    QTemporaryDir m_d;
    fs::path m_c{m_dir.path().toStdString()};
    std::optional<platform::HostFileSystem> m_files;
};

TEST_F(HostFileSystemTest, KeepsItsOwnFolderCopiesWithoutTruncatingAndRefusesAnythingButOneName) {
    const auto cwd = fs::current_path();
    auto& f = *m_files;
    EXPECT_TRUE(f.changeDrive('c') && f.makeFolder("skinvault"));
    EXPECT_FALSE(f.makeFolder("skinvault")) << "exists already";
    EXPECT_FALSE(f.lastError().empty());
    EXPECT_TRUE(f.changeFolder("skinvault"));
    EXPECT_EQ(f.currentFolder(), "C:\\skinvault");
    EXPECT_EQ(fs::current_path(), cwd) << "the process's folder never changes";
    for (const char* bad : {"..", ".", "a\\b", "a/b", "..\\..", "", "CON", "x\ny"}) {
        EXPECT_FALSE(f.makeFolder(bad) || f.changeFolder(bad) || f.createTextFile(bad) ||
                     f.copyFile("D:\\Sky.ico", bad))
            << bad;
    }
    EXPECT_FALSE(f.changeFolder("missing") || f.changeDrive('Q'));
    EXPECT_EQ(f.currentFolder(), "C:\\skinvault");
    EXPECT_TRUE(f.changeFolder("\\"));
    EXPECT_EQ(f.currentFolder(), "C:\\");

    // A copy replaces the file there and never truncates its source, even onto itself.
    std::ofstream(m_c / "Sky.ico", std::ios::binary) << "older";
    EXPECT_TRUE(f.copyFile("D:\\Sky.ico", "Sky.ico"));
    EXPECT_TRUE(f.copyFile("C:\\Sky.ico", "Sky.ico")) << "onto itself";
    EXPECT_EQ(testdata::contents(m_dir.filePath("Sky.ico")), "sky");
    // No source, a pattern, a missing file, a folder, and no way out of a drive.
    for (const auto& [source, target] : {std::pair{"", "x"},
                                         {"*.wav", "*.wav"},
                                         {"D:\\missing.wav", "missing.wav"},
                                         {"D:\\", "d"}})
        EXPECT_FALSE(f.copyFile(source, target)) << source;
    const QString c = QFileInfo(m_dir.path()).fileName();  // C:\Sky.ico, reached from D:
    EXPECT_FALSE(f.copyFile("D:\\..\\" + c.toStdString() + "\\Sky.ico", "y"));
    EXPECT_EQ(entriesOfC(), 2) << "the folder and the copy";
    EXPECT_TRUE(f.changeDrive('D'));
    EXPECT_EQ(f.currentFolder(), "D:\\");
}

// A text file or copy replaces the earlier file only once complete, keeping its permissions;
// one abandoned or failing half-way (here at a file size limit, as on a full disk) leaves the
// earlier file as it was and nothing beside it.
TEST_F(HostFileSystemTest, ReplacementsHappenWhenCompleteAndKeepTheEarlierPermissions) {
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    for (const char* name : {"Big.wav", "a.theme"}) {
        std::ofstream(m_c / name, std::ios::binary) << "good";
        fs::permissions(m_c / name, mode);
    }
    auto file = m_files->createTextFile("a.theme");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->writeLine("one"));
    EXPECT_EQ(testdata::contents(m_dir.filePath("a.theme")), "good")
        << "nothing replaced mid-write";
    file = m_files->createTextFile("a.theme");  // the first abandoned without close
    EXPECT_TRUE(file->writeLine("new") && file->writeLine("") && file->close());
    EXPECT_EQ(testdata::contents(m_dir.filePath("a.theme")), "new\r\n\r\n");
    EXPECT_FALSE(file->close() || file->writeLine("late")) << "closed once";
    EXPECT_EQ(fs::status(m_c / "a.theme").permissions() & fs::perms::all, mode);

    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit small { 1000, old.rlim_max };
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool copied = m_files->copyFile("D:\\Big.wav", "Big.wav");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(copied);
    EXPECT_EQ(m_files->lastError(), "file too large") << "the system's own reason";
    EXPECT_EQ(testdata::contents(m_dir.filePath("Big.wav")), "good");
    EXPECT_EQ(entriesOfC(), 2) << "no temporary file is left behind";
    EXPECT_TRUE(m_files->copyFile("D:\\Big.wav", "Big.wav"));
    EXPECT_EQ(fs::status(m_c / "Big.wav").permissions() & fs::perms::all, mode);
    fs::create_directory(m_c / "dir.theme");
    EXPECT_EQ(m_files->createTextFile("dir.theme"), nullptr);
}

// A link planted in the theme folder (at the target or at a temporary name an attacker could
// guess) is replaced, never written through: the file outside stays as it was.
TEST_F(HostFileSystemTest, LinksInTheFolderAreReplacedNeverWrittenThrough) {
    const QString outsideFile = m_d.filePath("outside");
    const fs::path outside = outsideFile.toStdString();
    for (const char* plant : {"link to a file", "dangling link", "links at temporary names"}) {
        for (const std::string name : {"a.theme", "Sky.ico"}) {
            SCOPED_TRACE(name + ", " + plant);
            fs::remove(outside);
            for (const auto& entry : fs::directory_iterator(m_c)) fs::remove(entry);
            if (plant[0] != 'd') std::ofstream(outside) << "precious";
            for (int n = 0; n < 64 && plant[0] == 'l'; ++n)
                fs::create_symlink(outside, m_c / (".skinsmith-" + std::to_string(::getpid()) +
                                                   "-" + std::to_string(n) + ".part"));
            if (plant[0] != 'l') fs::create_symlink(outside, m_c / name);
            auto file = name == "a.theme" ? m_files->createTextFile(name) : nullptr;
            EXPECT_TRUE(file ? file->writeLine("sky") && file->close()
                             : m_files->copyFile("D:\\Sky.ico", name))
                << m_files->lastError();
            EXPECT_EQ(testdata::contents(outsideFile), plant[0] == 'd' ? "" : "precious");
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(m_c / name)));
            EXPECT_EQ(testdata::contents(m_dir.filePath(name.c_str())), file ? "sky\r\n" : "sky");
        }
    }
}

}  // namespace
