// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/resource.h>
#include <unistd.h>

#include "platform/HostFileSystem.h"

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::ptrdiff_t entries(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

/// Drives C: and D: in a temporary folder, D: holding Sky.ico.
class HostFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::DriveMap drives;
        for (const char* d : {"c", "d"}) {
            fs::create_directories(m_root / d);
            drives.map(d[0], m_root / d);
        }
        std::ofstream(m_root / "d" / "Sky.ico", std::ios::binary) << "sky";
        m_files.emplace(drives);
    }
    QTemporaryDir m_dir;
    fs::path m_root{m_dir.path().toStdString()};
    fs::path m_c = m_root / "c";
    std::optional<platform::HostFileSystem> m_files;
};

TEST_F(HostFileSystemTest, KeepsItsOwnCurrentFolderAndRefusesAnythingButOneName) {
    const auto cwd = fs::current_path();
    auto& f = *m_files;
    EXPECT_TRUE(f.changeDrive('c'));
    EXPECT_EQ(f.currentFolder(), "C:\\");
    EXPECT_TRUE(f.makeFolder("skinvault"));
    EXPECT_FALSE(f.makeFolder("skinvault")) << "exists already";
    EXPECT_FALSE(f.lastError().empty());
    EXPECT_TRUE(f.changeFolder("skinvault"));
    EXPECT_EQ(f.currentFolder(), "C:\\skinvault");
    EXPECT_EQ(fs::current_path(), cwd) << "the process's folder never changes";
    for (const char* bad : {"..", ".", "a\\b", "a/b", "..\\..", "", "CON", "x\ny"}) {
        EXPECT_FALSE(f.makeFolder(bad) || f.changeFolder(bad) || f.createTextFile(bad)) << bad;
        EXPECT_FALSE(f.copyFile("D:\\Sky.ico", bad)) << bad;
    }
    EXPECT_FALSE(f.changeFolder("missing") || f.changeDrive('Q'));
    EXPECT_EQ(f.currentFolder(), "C:\\skinvault");
    EXPECT_TRUE(f.changeFolder("\\"));
    EXPECT_EQ(f.currentFolder(), "C:\\");
    EXPECT_TRUE(f.changeDrive('D'));
    EXPECT_EQ(f.currentFolder(), "D:\\");
    EXPECT_EQ(entries(m_root / "d"), 1);
    EXPECT_EQ(entries(m_c), 1);
}

TEST_F(HostFileSystemTest, TextFileReplacesTheOldOneOnlyWhenClosedComplete) {
    std::ofstream(m_c / "a.theme", std::ios::binary) << "old";
    auto file = m_files->createTextFile("a.theme");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->writeLine("one"));
    EXPECT_EQ(readFile(m_c / "a.theme"), "old") << "nothing replaced mid-write";
    file.reset();  // abandoned without close: the old file stays, no leftovers
    EXPECT_EQ(readFile(m_c / "a.theme"), "old");
    EXPECT_EQ(entries(m_c), 1);

    file = m_files->createTextFile("a.theme");
    EXPECT_TRUE(file->writeLine("one") && file->writeLine("") && file->close());
    EXPECT_EQ(readFile(m_c / "a.theme"), "one\r\n\r\n");
    EXPECT_FALSE(file->close()) << "closed once";
    EXPECT_FALSE(file->writeLine("late"));
    fs::create_directory(m_c / "dir.theme");
    EXPECT_EQ(m_files->createTextFile("dir.theme"), nullptr);
}

TEST_F(HostFileSystemTest, CopiesReplaceAndNeverTruncateTheSource) {
    std::ofstream(m_c / "Sky.ico", std::ios::binary) << "older";
    EXPECT_TRUE(m_files->copyFile("D:\\Sky.ico", "Sky.ico"));
    EXPECT_EQ(readFile(m_c / "Sky.ico"), "sky");
    EXPECT_TRUE(m_files->copyFile("C:\\Sky.ico", "Sky.ico")) << "onto itself";
    EXPECT_EQ(readFile(m_c / "Sky.ico"), "sky");
    for (const auto& [source, target] : {std::pair{"", "x"},
                                         {"*.wav", "*.wav"},
                                         {"D:\\missing.wav", "missing.wav"},
                                         {"D:\\", "d"},
                                         {"D:\\..\\c\\Sky.ico", "y"} /* no way out of a drive */})
        EXPECT_FALSE(m_files->copyFile(source, target)) << source;
    EXPECT_EQ(entries(m_c), 1);
}

// A link planted in the theme folder (at the target or at a temporary name an attacker could
// guess) is replaced, never written through: the file outside stays as it was.
TEST_F(HostFileSystemTest, LinksInTheFolderAreReplacedNeverWrittenThrough) {
    const auto outside = m_root / "outside";
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
            if (name == "a.theme") {
                auto file = m_files->createTextFile(name);
                ASSERT_NE(file, nullptr);
                EXPECT_TRUE(file->writeLine("sky") && file->close()) << file->lastError();
            } else {
                EXPECT_TRUE(m_files->copyFile("D:\\Sky.ico", name)) << m_files->lastError();
            }
            EXPECT_EQ(readFile(outside), plant[0] == 'd' ? "" : "precious");
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(m_c / name)));
            EXPECT_EQ(readFile(m_c / name), name == "a.theme" ? "sky\r\n" : "sky");
        }
    }
}

TEST_F(HostFileSystemTest, ReplacementsKeepTheEarlierPermissionsAndFailuresKeepTheEarlierFile) {
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    std::ofstream(m_root / "d" / "Big.wav", std::ios::binary) << std::string(64 * 1024, 'x');
    for (const char* name : {"Big.wav", "a.theme"}) {
        std::ofstream(m_c / name, std::ios::binary) << "good";
        fs::permissions(m_c / name, mode);
    }
    auto file = m_files->createTextFile("a.theme");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->writeLine("new") && file->close());
    EXPECT_EQ(fs::status(m_c / "a.theme").permissions() & fs::perms::all, mode);

    // A file size limit makes the copy fail half-way, as a full disk does.
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool copied = m_files->copyFile("D:\\Big.wav", "Big.wav");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(copied);
    EXPECT_EQ(m_files->lastError(), "file too large") << "the system's own reason";
    EXPECT_EQ(readFile(m_c / "Big.wav"), "good") << "the earlier copy is untouched";
    EXPECT_EQ(entries(m_c), 2) << "no temporary file is left behind";

    EXPECT_TRUE(m_files->copyFile("D:\\Big.wav", "Big.wav"));
    EXPECT_EQ(fs::status(m_c / "Big.wav").permissions() & fs::perms::all, mode);
}

}  // namespace
