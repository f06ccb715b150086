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

struct Drive {
    QTemporaryDir dir;
    fs::path root{dir.path().toStdString()};
    platform::HostFileSystem files{[this] {
        platform::DriveMap d;
        d.map('C', root / "c");
        d.map('D', root / "d");
        fs::create_directories(root / "c");
        fs::create_directories(root / "d");
        return d;
    }()};
};

}  // namespace

TEST(HostFileSystem, KeepsItsOwnCurrentFolderAndRefusesAnythingButOneName) {
    Drive drive;
    const auto cwd = fs::current_path();
    auto& f = drive.files;
    EXPECT_TRUE(f.changeDrive('c'));
    EXPECT_EQ(f.currentFolder(), "C:\\");
    EXPECT_TRUE(f.makeFolder("skinvault"));
    EXPECT_FALSE(f.makeFolder("skinvault")) << "exists already";
    EXPECT_FALSE(f.lastError().empty());
    EXPECT_TRUE(f.changeFolder("skinvault"));
    EXPECT_EQ(f.currentFolder(), "C:\\skinvault");
    EXPECT_EQ(fs::current_path(), cwd) << "the process's folder never changes";

    for (const char* bad : {"..", ".", "a\\b", "a/b", "..\\..", "", "CON", "x\ny"}) {
        EXPECT_FALSE(f.makeFolder(bad)) << bad;
        EXPECT_FALSE(f.changeFolder(bad)) << bad;
        EXPECT_EQ(f.createTextFile(bad), nullptr) << bad;
        EXPECT_FALSE(f.copyFile("C:\\x", bad)) << bad;
    }
    EXPECT_FALSE(f.changeFolder("missing"));
    EXPECT_FALSE(f.changeDrive('Q'));
    EXPECT_EQ(f.currentFolder(), "C:\\skinvault");
    EXPECT_TRUE(f.changeFolder("\\"));
    EXPECT_EQ(f.currentFolder(), "C:\\");
    EXPECT_TRUE(f.changeDrive('D'));
    EXPECT_EQ(f.currentFolder(), "D:\\");
    EXPECT_TRUE(fs::is_empty(drive.root / "d"));
    EXPECT_EQ(std::distance(fs::directory_iterator(drive.root), fs::directory_iterator()), 2);
}

TEST(HostFileSystem, TextFileReplacesTheOldOneOnlyWhenClosedComplete) {
    Drive drive;
    auto& f = drive.files;
    std::ofstream(drive.root / "c" / "a.theme", std::ios::binary) << "old";

    auto file = f.createTextFile("a.theme");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->writeLine("one"));
    EXPECT_EQ(readFile(drive.root / "c" / "a.theme"), "old") << "nothing replaced mid-write";
    file.reset();  // abandoned without close: the old file stays, no leftovers
    EXPECT_EQ(readFile(drive.root / "c" / "a.theme"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(drive.root / "c"), fs::directory_iterator()), 1);

    file = f.createTextFile("a.theme");
    EXPECT_TRUE(file->writeLine("one"));
    EXPECT_TRUE(file->writeLine(""));
    EXPECT_TRUE(file->close());
    EXPECT_EQ(readFile(drive.root / "c" / "a.theme"), "one\r\n\r\n");
    EXPECT_FALSE(file->close()) << "closed once";
    EXPECT_FALSE(file->writeLine("late"));

    fs::create_directory(drive.root / "c" / "dir.theme");
    EXPECT_EQ(f.createTextFile("dir.theme"), nullptr);
}

TEST(HostFileSystem, CopiesReplaceAndNeverTruncateTheSource) {
    Drive drive;
    auto& f = drive.files;
    std::ofstream(drive.root / "d" / "Sky.ico", std::ios::binary) << "sky";
    std::ofstream(drive.root / "c" / "Sky.ico", std::ios::binary) << "older";
    EXPECT_TRUE(f.copyFile("D:\\Sky.ico", "Sky.ico"));
    EXPECT_EQ(readFile(drive.root / "c" / "Sky.ico"), "sky");
    EXPECT_TRUE(f.copyFile("C:\\Sky.ico", "Sky.ico")) << "onto itself";
    EXPECT_EQ(readFile(drive.root / "c" / "Sky.ico"), "sky");

    EXPECT_FALSE(f.copyFile("", "x"));
    EXPECT_FALSE(f.copyFile("*.wav", "*.wav"));
    EXPECT_FALSE(f.copyFile("D:\\missing.wav", "missing.wav"));
    EXPECT_FALSE(f.copyFile("D:\\", "d"));
    EXPECT_FALSE(f.copyFile("D:\\..\\c\\Sky.ico", "y")) << "no way out of a drive";
    EXPECT_EQ(std::distance(fs::directory_iterator(drive.root / "c"), fs::directory_iterator()), 1);
}

// A link planted in the theme folder (at the target or at a temporary name an attacker could
// guess) must be replaced, never written through: the file outside stays as it was.
TEST(HostFileSystem, LinksInTheFolderAreReplacedNeverWrittenThrough) {
    enum class Plant { LinkToFile, DanglingLink, LinksAtGuessableTemporaries };
    for (const Plant plant :
         {Plant::LinkToFile, Plant::DanglingLink, Plant::LinksAtGuessableTemporaries}) {
        for (const bool textFile : {false, true}) {
            Drive drive;
            const auto c = drive.root / "c";
            const auto outside = drive.root / "outside";
            const std::string name = textFile ? "a.theme" : "Sky.ico";
            std::ofstream(drive.root / "d" / "Sky.ico", std::ios::binary) << "sky";
            if (plant != Plant::DanglingLink) std::ofstream(outside) << "precious";
            if (plant == Plant::LinksAtGuessableTemporaries) {
                for (int n = 0; n < 64; ++n)
                    fs::create_symlink(outside, c / (".skinsmith-" + std::to_string(::getpid()) +
                                                     "-" + std::to_string(n) + ".part"));
            } else {
                fs::create_symlink(outside, c / name);
            }
            if (textFile) {
                auto file = drive.files.createTextFile(name);
                ASSERT_NE(file, nullptr);
                EXPECT_TRUE(file->writeLine("sky"));
                EXPECT_TRUE(file->close()) << file->lastError();
            } else {
                EXPECT_TRUE(drive.files.copyFile("D:\\Sky.ico", name)) << drive.files.lastError();
            }
            const std::string where = name + " case " + std::to_string(static_cast<int>(plant));
            if (plant == Plant::DanglingLink)
                EXPECT_FALSE(fs::exists(fs::symlink_status(outside))) << where;
            else
                EXPECT_EQ(readFile(outside), "precious") << where;
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(c / name))) << where;
            EXPECT_EQ(readFile(c / name), textFile ? "sky\r\n" : "sky") << where;
        }
    }
}

TEST(HostFileSystem, ReplacementsKeepTheEarlierPermissionsAndFailuresKeepTheEarlierFile) {
    Drive drive;
    const auto c = drive.root / "c";
    std::ofstream(drive.root / "d" / "Big.wav", std::ios::binary) << std::string(64 * 1024, 'x');
    for (const char* name : {"Big.wav", "a.theme"}) {
        std::ofstream(c / name, std::ios::binary) << "good";
        fs::permissions(c / name,
                        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }
    auto file = drive.files.createTextFile("a.theme");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->writeLine("new"));
    EXPECT_TRUE(file->close());
    EXPECT_EQ(fs::status(c / "a.theme").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A file size limit makes the copy fail half-way, as a full disk does.
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool copied = drive.files.copyFile("D:\\Big.wav", "Big.wav");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(copied);
    EXPECT_EQ(drive.files.lastError(), "file too large") << "the system's own reason";
    EXPECT_EQ(readFile(c / "Big.wav"), "good") << "the earlier copy is untouched";
    EXPECT_EQ(std::distance(fs::directory_iterator(c), fs::directory_iterator()), 2)
        << "no temporary file is left behind";

    EXPECT_TRUE(drive.files.copyFile("D:\\Big.wav", "Big.wav"));
    EXPECT_EQ(fs::status(c / "Big.wav").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
