// SPDX-License-Identifier: MIT
#include <csignal>
#include <filesystem>
#include <fstream>

#include <sys/resource.h>
#include <sys/wait.h>
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

namespace {

// A copy goes a chunk at a time, telling its watch, and stops when told, leaving nothing. It
// never takes more than the size the file had when it began, and never reads the system's
// virtual files (a /proc file says 0 bytes and never ends), however they are reached.
TEST_F(HostFileSystemTest, CopiesGoInChunksStopWhenToldAndNeverReadVirtualOrGrowingFiles) {
    const auto chunk = static_cast<int>(platform::HostFileSystem::kCopyChunk);
    const QByteArray whole(2 * chunk + 5, 'g');
    ASSERT_TRUE(testdata::write(m_d.filePath("Grow.wav"), whole));
    QFile grow(m_d.filePath("Grow.wav"));
    ASSERT_TRUE(grow.open(QIODevice::Append));
    int told = 0;  // the file grows by a chunk each time; the fourth time the copy is stopped
    auto watch = [&](std::uint64_t) {
        return ++told < 4 && grow.write(QByteArray(chunk, 'm')) > 0;
    };
    EXPECT_TRUE(m_files->copyFile("D:\\Grow.wav", "Grow.wav", watch));
    EXPECT_FALSE(m_files->copyFile("D:\\Grow.wav", "Grow.wav", watch));
    EXPECT_EQ(m_files->lastError(), "the copy was stopped");
    EXPECT_EQ(testdata::contents(m_dir.filePath("Grow.wav")), whole);
    EXPECT_EQ(entriesOfC(), 1);

    m_drives.map('Z', "/");
    platform::HostFileSystem files(m_drives);
    fs::create_symlink("/proc/self/environ", m_d.filePath("env.wav").toStdString());
    for (const char* source : {"Z:\\proc\\self\\environ", "Z:\\proc\\self\\pagemap",
                               "Z:\\sys\\kernel\\uevent_seqnum", "D:\\env.wav"}) {
        EXPECT_FALSE(files.copyFile(source, "copy")) << source;
        EXPECT_EQ(files.lastError(),
                  "it is one of the system's virtual files (/proc, /sys or the like)");
    }
    EXPECT_EQ(entriesOfC(), 1);
}

// The folder is held from the moment it is entered: swapped for a link midway, it still gets
// every later copy and file, and the link's target gets nothing.
TEST_F(HostFileSystemTest, AFolderSwappedForALinkMidwayCannotRedirectWhatFollows) {
    auto& f = *m_files;
    ASSERT_TRUE(f.makeFolder("Autumn") && f.changeFolder("Autumn"));
    const fs::path elsewhere = m_d.filePath("elsewhere").toStdString();
    fs::create_directory(elsewhere);
    fs::rename(m_c / "Autumn", m_c / "moved");
    fs::create_symlink(elsewhere, m_c / "Autumn");
    auto file = f.createTextFile("Autumn.theme");
    EXPECT_TRUE(f.copyFile("D:\\Sky.ico", "Sky.ico") && file && file->close() && f.flushFolder());
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_c / "moved"), {}), 2);
    EXPECT_FALSE(f.changeFolder("\\") && f.changeFolder("Autumn")) << "a link is never entered";
}

// Without /proc, files are written under a named temporary. A writer killed before its rename
// leaves one; entering the folder later removes it, but never one a live writer holds.
TEST_F(HostFileSystemTest, WithoutProcTemporariesAreNamedAndGoOnceTheirWriterIsKilled) {
    fs::create_directory(m_c / "Autumn");
    std::ofstream(m_c / "Autumn" / ".skinsmith-notours.part") << "keep";
    platform::HostFileSystem f(m_drives, "/no/proc/self/fd");
    ASSERT_TRUE(f.changeFolder("Autumn"));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0)  // stops after its copy's one chunk, before the rename
        ::_exit(f.copyFile("D:\\Big.wav", "Big.wav",
                           [&](auto) { return ::write(ready[1], "x", 1) + ::pause(); }));
    char got = 0;
    ASSERT_EQ(::read(ready[0], &got, 1), 1);
    auto entries = [&] { return std::distance(fs::directory_iterator(m_c / "Autumn"), {}); };
    ASSERT_TRUE(f.changeFolder("\\") && f.changeFolder("Autumn"));
    EXPECT_EQ(entries(), 2) << "the live one stays";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(f.changeFolder("\\") && f.changeFolder("Autumn"));
    EXPECT_EQ(entries(), 1) << "the killed one went, another name stays";
    EXPECT_TRUE(f.copyFile("D:\\Big.wav", "Big.wav")) << f.lastError();
    EXPECT_EQ(testdata::contents(m_dir.filePath("Autumn/Big.wav")), QByteArray(65536, 'x'));
}

}  // namespace
