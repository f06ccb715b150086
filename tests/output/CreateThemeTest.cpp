// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "fakes/FaultyFileSystem.h"
#include "fakes/MemoryTextFile.h"
#include "fakes/ScriptedMessageBoxes.h"
#include "output/CreateTheme.h"
#include "output/ThemeFile.h"
#include "platform/HostFileSystem.h"

namespace fs = std::filesystem;
using platform::MessageIcon;
using state::ThemeState;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << bytes;
}

// Every file and folder below a root, as relative generic paths.
std::set<std::string> treeOf(const fs::path& root) {
    std::set<std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(root))
        entries.insert(e.path().lexically_relative(root).generic_string());
    return entries;
}

std::string expectedThemeFile(const ThemeState& s) {
    fakes::MemoryTextFile f;
    output::writeThemeFile(s, f);
    return f.bytes();
}

// Drive C: is a temporary folder holding the user's art under C:\Art.
struct TempDrive {
    QTemporaryDir dir;
    fs::path root{dir.path().toStdString()};
    platform::HostFileSystem files{[this] {
        platform::DriveMap d;
        d.map('C', root);
        return d;
    }()};
    fakes::ScriptedMessageBoxes messages;

    fs::path theme(const std::string& name) const { return root / "skinvault" / name; }
    std::string art(const std::string& name, const std::string& bytes) {
        writeFile(root / "Art" / name, bytes);
        return "C:\\Art\\" + name;
    }
    void create(const ThemeState& s) { output::createTheme(s, files, messages); }
};

}  // namespace

TEST(CreateTheme, EmptyNameIsRefusedAndNothingIsWritten) {
    TempDrive drive;
    ThemeState s;
    drive.create(s);
    ASSERT_EQ(drive.messages.shown.size(), 1u);
    const auto& m = drive.messages.shown[0];
    EXPECT_EQ(m.text, "You must specify a name for the theme!");
    EXPECT_EQ(m.title, "Fatal error...");
    EXPECT_EQ(m.icon, MessageIcon::Stop);
    EXPECT_EQ(m.buttons, platform::MessageButtons::Ok);
    EXPECT_TRUE(treeOf(drive.root).empty());

    s.themeName = " ";  // Windows would strip the blank and find no name
    drive.create(s);
    ASSERT_EQ(drive.messages.shown.size(), 2u);
    EXPECT_NE(drive.messages.shown[1].text.find("must not end with a dot or a blank"),
              std::string::npos);
    EXPECT_TRUE(treeOf(drive.root).empty());
}

TEST(CreateTheme, FirstRunMakesTheFolderTheFilesAndTheCopies) {
    TempDrive drive;
    ThemeState s;
    s.themeName = "Autumn";
    s.iconPaths[0] = drive.art("Sky.ico", "icon-bytes");
    s.soundPaths[4] = drive.art("Chord.wav", "RIFF-chord");
    s.wallpaperPath = drive.art("Leaves.jpg", std::string(100000, 'j'));
    s.soundPaths[2] = "*.wav";  // a cancelled pick: named in the theme, never copied
    drive.create(s);

    ASSERT_EQ(drive.messages.shown.size(), 1u);
    const auto& done = drive.messages.shown[0];
    EXPECT_EQ(done.title, "Done!");
    EXPECT_EQ(done.icon, MessageIcon::None);
    EXPECT_EQ(done.text,
              "The theme file has been created and saved into c:\\skinvault\\Autumn\\\r"
              "Run Autumn.bat from c:\\skinvault\\Autumn\\ to change the splash logos.\r"
              "Remember to copy the screen saver if any to the Windows System directory");

    const auto folder = drive.theme("Autumn");
    EXPECT_EQ(readFile(folder / "Autumn.theme"), expectedThemeFile(s));
    EXPECT_TRUE(fs::exists(folder / "Autumn.bat"));
    EXPECT_EQ(fs::file_size(folder / "Autumn.bat"), 0u) << "no logo chosen: an empty batch file";
    EXPECT_EQ(readFile(folder / "Sky.ico"), "icon-bytes");
    EXPECT_EQ(readFile(folder / "Chord.wav"), "RIFF-chord");
    EXPECT_EQ(readFile(folder / "Leaves.jpg"), std::string(100000, 'j'));
    EXPECT_EQ(treeOf(folder), (std::set<std::string>{"Autumn.theme", "Autumn.bat", "Sky.ico",
                                                     "Chord.wav", "Leaves.jpg"}))
        << "no temporary files are left behind";
    EXPECT_EQ(s, [&] {
        ThemeState again = s;
        return again;
    }()) << "the state is only read";
}

TEST(CreateTheme, RunsAgainBesideAndOverAnEarlierTheme) {
    TempDrive drive;
    ThemeState s;
    s.themeName = "Autumn";
    s.iconPaths[1] = drive.art("Net.ico", "old");
    drive.create(s);
    s.themeName = "Winter";
    drive.create(s);
    EXPECT_TRUE(fs::exists(drive.theme("Autumn") / "Autumn.theme"));
    EXPECT_TRUE(fs::exists(drive.theme("Winter") / "Winter.theme"));

    // Same name again: both files and the copies are replaced, with no other message.
    writeFile(drive.root / "Art" / "Net.ico", "new");
    s.themeName = "Autumn";
    s.tileWallpaper = true;
    s.logoPaths[0] = drive.art("Boot.sys", "logo");
    drive.create(s);
    ASSERT_EQ(drive.messages.shown.size(), 3u);
    for (const auto& m : drive.messages.shown) EXPECT_EQ(m.title, "Done!");
    EXPECT_EQ(readFile(drive.theme("Autumn") / "Net.ico"), "new");
    EXPECT_EQ(readFile(drive.theme("Autumn") / "Autumn.theme"), expectedThemeFile(s));
    EXPECT_EQ(readFile(drive.theme("Autumn") / "Autumn.bat"), "copy \"Boot.sys\" c:\\logo.sys\r\n");
}

TEST(CreateTheme, BatchFileHasOneLinePerChosenLogo) {
    ThemeState s;
    fakes::MemoryTextFile out;
    s.logoPaths = {"", "D:\\Pics\\Wait.sys", "*.sys"};
    EXPECT_TRUE(output::writeLogoBatch(s, out));
    EXPECT_EQ(out.bytes(), "copy \"Wait.sys\" c:\\windows\\logow.sys\r\n");

    fakes::MemoryTextFile all;
    s.logoPaths = {"D:\\Pics\\Boot.sys", "C:\\w\\100%wait.sys", "C:\\Safe Off.SYS"};
    EXPECT_TRUE(output::writeLogoBatch(s, all));
    EXPECT_EQ(all.bytes(),
              "copy \"Boot.sys\" c:\\logo.sys\r\n"
              "copy \"100%%wait.sys\" c:\\windows\\logow.sys\r\n"
              "copy \"Safe Off.SYS\" c:\\windows\\logos.sys\r\n");

    fakes::MemoryTextFile none;
    s.logoPaths = {"*.sys", "", "*.sys"};
    EXPECT_TRUE(output::writeLogoBatch(s, none));
    EXPECT_EQ(none.bytes(), "");
}

TEST(CreateTheme, CopiesFollowTheFixedOrderAndLandInTheThemeFolder) {
    TempDrive drive;
    ThemeState s;
    s.themeName = "Clash";
    writeFile(drive.root / "A" / "ding.wav", "from slot 3");
    writeFile(drive.root / "B" / "ding.wav", "from slot 17");
    s.soundPaths[17] = "C:\\B\\ding.wav";
    s.soundPaths[3] = "C:\\A\\ding.wav";
    // A pointer comes after every sound: its same-named file wins over both.
    writeFile(drive.root / "C" / "same.x", "pointer");
    writeFile(drive.root / "D" / "same.x", "icon");
    s.iconPaths[0] = "C:\\D\\same.x";
    s.pointerPaths[5] = "C:\\C\\same.x";
    s.screenSaverPath = drive.art("Blue Lines.scr", "saver");
    drive.create(s);

    const auto folder = drive.theme("Clash");
    EXPECT_EQ(readFile(folder / "ding.wav"), "from slot 17");
    EXPECT_EQ(readFile(folder / "same.x"), "pointer");
    EXPECT_EQ(readFile(folder / "Blue Lines.scr"), "saver");
    const auto theme = readFile(folder / "Clash.theme");
    EXPECT_NE(theme.find("SCRNSAVE.EXE=%WinDir%System\\Blue Lines.scr\r\n"), std::string::npos);
}

TEST(CreateTheme, CompletionMessageComesBeforeTheCopies) {
    TempDrive drive;
    ThemeState s;
    s.themeName = "Order";
    s.iconPaths[2] = drive.art("Full.ico", "full");
    std::set<std::string> atMessage;
    drive.messages.onShow = [&](const platform::Message&) {
        atMessage = treeOf(drive.theme("Order"));
    };
    drive.create(s);
    EXPECT_EQ(atMessage, (std::set<std::string>{"Order.theme", "Order.bat"}));
    EXPECT_TRUE(fs::exists(drive.theme("Order") / "Full.ico"));
}

TEST(CreateTheme, CopyOntoItselfLeavesTheFileIntact) {
    TempDrive drive;
    ThemeState s;
    s.themeName = "Self";
    s.iconPaths[0] = drive.art("Sky.ico", "sky");
    drive.create(s);
    // Now pick the copy inside the theme folder itself and create again.
    s.iconPaths[0] = "C:\\skinvault\\Self\\Sky.ico";
    drive.create(s);
    EXPECT_EQ(readFile(drive.theme("Self") / "Sky.ico"), "sky");
    EXPECT_EQ(drive.messages.shown.size(), 2u) << "no warning: the file is in place";
}

TEST(CreateTheme, ChosenFilesThatCannotBeCopiedAreListedInOneWarning) {
    TempDrive drive;
    ThemeState s;
    s.themeName = "Gaps";
    s.iconPaths[0] = drive.art("Sky.ico", "sky");
    s.soundPaths[0] = "C:\\Gone\\Away.wav";  // chosen, since deleted
    s.pointerPaths[3] = "C:\\Gone\\Cross.cur";
    s.soundPaths[1] = "*.wav";  // no choice: skipped silently
    s.logoPaths[0] = "*.sys";
    s.wallpaperPath = "";
    drive.create(s);
    ASSERT_EQ(drive.messages.shown.size(), 2u);
    EXPECT_EQ(drive.messages.shown[0].title, "Done!");
    const auto& warning = drive.messages.shown[1];
    EXPECT_EQ(warning.icon, MessageIcon::Warning);
    EXPECT_NE(warning.text.find("C:\\Gone\\Away.wav"), std::string::npos);
    EXPECT_NE(warning.text.find("C:\\Gone\\Cross.cur"), std::string::npos);
    EXPECT_EQ(warning.text.find("*.wav"), std::string::npos);
    EXPECT_EQ(warning.text.find("Sky.ico"), std::string::npos);
    EXPECT_EQ(readFile(drive.theme("Gaps") / "Sky.ico"), "sky");
}

TEST(CreateTheme, CopiesReportTheirProgressAndStopWhenCancelled) {
    TempDrive drive;
    ThemeState s;
    s.themeName = "Halt";
    s.iconPaths[1] = drive.art("One.ico", std::string(100, 'a'));
    s.soundPaths[0] = drive.art("Two.wav", std::string(20, 'b'));
    s.soundPaths[4] = "C:\\Gone\\Away.wav";  // chosen, unreadable: size 0
    s.wallpaperPath = drive.art("Three.bmp", std::string(7, 'c'));
    ASSERT_TRUE(output::writeTheme(s, drive.files, drive.messages));

    std::atomic<bool> cancel{false};
    std::vector<output::CopyProgress> seen;
    const auto missing = output::copyAssets(
        s, drive.files,
        [&](const output::CopyProgress& p) {
            seen.push_back(p);
            // Cancelled while the third chosen file is being copied: it completes, no
            // further copy starts.
            if (seen.size() == 3) cancel = true;
        },
        &cancel);

    ASSERT_EQ(seen.size(), 4u);
    const std::pair<std::string, std::uint64_t> expected[] = {
        {s.iconPaths[1], 0}, {s.soundPaths[0], 100}, {"C:\\Gone\\Away.wav", 120}, {"", 120}};
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].file, expected[i].first) << i;
        EXPECT_EQ(seen[i].bytesDone, expected[i].second) << i;
        EXPECT_EQ(seen[i].bytesTotal, 127u) << i;
    }
    ASSERT_EQ(missing.size(), 2u);
    EXPECT_EQ(missing[0].rfind("C:\\Gone\\Away.wav (", 0), 0u);
    EXPECT_EQ(missing[1], s.wallpaperPath + " (the copy was stopped)");
    EXPECT_EQ(treeOf(drive.theme("Halt")),
              (std::set<std::string>{"Halt.theme", "Halt.bat", "One.ico", "Two.wav"}));
}

TEST(CreateTheme, HostileNamesNeverEscapeTheOutputFolder) {
    struct Case {
        std::string name;
        bool accepted;
    };
    std::string cyrillic = "\xD0\x9E\xD1\x81\xD0\xB5\xD0\xBD\xD1\x8C";  // "Осень"
    const Case cases[] = {
        {"..\\x", false},
        {"a/b", false},
        {"..", false},
        {".", false},
        {"a:b", false},
        {"what?", false},
        {"star*", false},
        {"<tag>", false},
        {"pipe|", false},
        {"quote\"", false},
        {"line\nbreak", false},
        {"tab\there", false},
        {"CON", false},
        {"nul.txt", false},
        {"Com1", false},
        {"LPT9.theme", false},
        {"AUX ", false},
        {"COM\xC2\xB9", false},  // COM¹
        {"lpt\xC2\xB3.txt", false},
        {"Theme.", false},  // Windows strips a trailing dot or blank
        {"Theme ", false},
        {" ", false},
        {"Ocean.2", true},
        {std::string(255, 'n'), false},
        {std::string(300, 'n'), false},
        {std::string(249, 'n'), true},
        {std::string(250, 'n'), false},
        {[] {
             std::string e;
             for (int i = 0; i < 125; ++i) e += "\xC3\xA9";
             return e;
         }(),
         false},
        {[] {
             std::string e;
             for (int i = 0; i < 124; ++i) e += "\xC3\xA9";
             return e;
         }(),
         true},
        {"My Theme", true},
        {"Caf\xC3\xA9", true},
        {cyrillic, true},
        {"CONSOLE", true},
        {"100%", true},
    };
    for (const auto& c : cases) {
        TempDrive drive;
        ThemeState s;
        s.themeName = c.name;
        drive.create(s);
        ASSERT_EQ(drive.messages.shown.size(), 1u) << c.name;
        const auto& m = drive.messages.shown[0];
        if (c.accepted) {
            EXPECT_EQ(m.title, "Done!") << c.name;
            EXPECT_EQ(treeOf(drive.root),
                      (std::set<std::string>{"skinvault", "skinvault/" + c.name,
                                             "skinvault/" + c.name + "/" + c.name + ".theme",
                                             "skinvault/" + c.name + "/" + c.name + ".bat"}))
                << c.name;
        } else {
            EXPECT_EQ(m.title, "Fatal error...") << c.name;
            EXPECT_EQ(m.icon, MessageIcon::Stop) << c.name;
            EXPECT_NE(m.text.find("cannot be used as a Windows folder name"), std::string::npos);
            EXPECT_TRUE(treeOf(drive.root).empty()) << c.name << " wrote something";
        }
    }
}

TEST(CreateTheme, AFileInTheWayIsReportedInsteadOfSuccess) {
    ThemeState s;
    s.themeName = "Blocked";
    enum Plant { File, DanglingLink, LinkToAFolder };
    for (const Plant plant : {File, DanglingLink, LinkToAFolder}) {
        TempDrive drive;
        const bool dangling = plant == DanglingLink;
        if (plant == File) writeFile(drive.root / "skinvault", "not a folder");
        if (plant == DanglingLink)
            fs::create_symlink(drive.root / "nowhere", drive.root / "skinvault");
        if (plant == LinkToAFolder) {
            fs::create_directory(drive.root / "elsewhere");
            fs::create_directory_symlink(drive.root / "elsewhere", drive.root / "skinvault");
        }
        drive.create(s);
        ASSERT_EQ(drive.messages.shown.size(), 1u);
        const auto& text = drive.messages.shown[0].text;
        EXPECT_EQ(drive.messages.shown[0].title, "Fatal error...");
        EXPECT_NE(text.find("c:\\skinvault\\"), std::string::npos);
        EXPECT_NE(text.find(plant == File ? "a file of that name is in the way"
                            : dangling    ? "a link of that name to nothing is in the way"
                                          : "a link of that name is in the way"),
                  std::string::npos)
            << text;
        EXPECT_EQ(treeOf(drive.root).count("elsewhere/Blocked"), 0u) << "nothing through the link";
    }

    // A folder where the theme file should go.
    TempDrive other;
    fs::create_directories(other.theme("T") / "T.theme");
    s.themeName = "T";
    other.create(s);
    ASSERT_EQ(other.messages.shown.size(), 1u);
    EXPECT_NE(other.messages.shown[0].text.find("c:\\skinvault\\T\\T.theme"), std::string::npos);
    EXPECT_FALSE(fs::exists(other.theme("T") / "T.bat")) << "the procedure ends at the failure";
}

TEST(CreateTheme, EveryInjectedFailureIsReportedAndKeepsTheEarlierTheme) {
    using Op = fakes::FaultyFileSystem::Op;
    struct Fault {
        Op op;
        int n;
        bool themeFileLost;  // the failure happens before both files are in place
    };
    std::vector<Fault> faults = {
        {Op::ChangeDrive, 1, true},  {Op::ChangeFolder, 1, true},   {Op::ChangeFolder, 2, true},
        {Op::ChangeFolder, 3, true}, {Op::CreateTextFile, 1, true}, {Op::CreateTextFile, 2, true},
        {Op::Close, 1, true},        {Op::Close, 2, true},          {Op::MakeFolder, 1, false},
        {Op::MakeFolder, 2, false},
    };
    for (int k = 1; k <= 105; k += 13) faults.push_back({Op::WriteLine, k, true});
    faults.push_back({Op::WriteLine, 106, true});                    // the batch file's only line
    for (int k : {1, 2, 6}) faults.push_back({Op::Copy, k, false});  // A.ico, B.ico, Wait.sys

    for (const auto& f : faults) {
        SCOPED_TRACE("op " + std::to_string(static_cast<int>(f.op)) + " call " +
                     std::to_string(f.n));
        TempDrive drive;
        ThemeState s;
        s.themeName = "Keep";
        s.logoPaths[1] = drive.art("Wait.sys", "w");
        s.iconPaths[0] = drive.art("A.ico", "a");
        s.iconPaths[1] = drive.art("B.ico", "b");
        drive.create(s);  // a good earlier theme
        const auto earlierTheme = readFile(drive.theme("Keep") / "Keep.theme");
        const auto earlierBatch = readFile(drive.theme("Keep") / "Keep.bat");
        const auto before = treeOf(drive.root);

        s.colors[3] = state::rgb(1, 2, 3);
        fakes::FaultyFileSystem faulty(drive.files, f.op, f.n);
        fakes::ScriptedMessageBoxes messages;
        output::createTheme(s, faulty, messages);
        ASSERT_TRUE(faulty.fired());

        ASSERT_FALSE(messages.shown.empty());
        const bool sawDone = messages.shown[0].title == "Done!";
        EXPECT_EQ(sawDone, !f.themeFileLost) << messages.shown[0].text;
        if (f.themeFileLost) {
            EXPECT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].icon, MessageIcon::Stop);
        }
        EXPECT_EQ(treeOf(drive.root), before) << "nothing new outside the theme folder's files";
        const auto themeNow = readFile(drive.theme("Keep") / "Keep.theme");
        EXPECT_TRUE(themeNow == earlierTheme || themeNow == expectedThemeFile(s));
        EXPECT_EQ(readFile(drive.theme("Keep") / "Keep.bat"), earlierBatch);
        if (f.op == Op::Copy) {
            ASSERT_EQ(messages.shown.size(), 2u);
            EXPECT_EQ(messages.shown[1].icon, MessageIcon::Warning);
        }
    }
}

// A batch file in the way leaves the theme file written, and the message says so.
TEST(CreateTheme, BatchFileInTheWayIsReportedAsSuch) {
    TempDrive drive;
    fs::create_directories(drive.theme("T") / "T.bat");
    ThemeState s;
    s.themeName = "T";
    drive.create(s);
    ASSERT_EQ(drive.messages.shown.size(), 1u);
    const auto& text = drive.messages.shown[0].text;
    EXPECT_NE(text.find("c:\\skinvault\\T\\T.bat could not be written"), std::string::npos);
    EXPECT_NE(text.find("T.theme was written"), std::string::npos) << text;
    EXPECT_EQ(text.find("The theme was not created"), std::string::npos) << text;
    EXPECT_TRUE(fs::is_regular_file(drive.theme("T") / "T.theme"));
}

// After the copies the user learns which chosen files the theme lost or Windows 98 cannot
// read; a logo whose name would break the batch line's quoting gets no line.
TEST(CreateTheme, WarningsNameFilesLostToSharedNamesPngImagesAndUnquotableLogos) {
    TempDrive drive;
    ThemeState s;
    s.themeName = "Warn";
    writeFile(drive.root / "Art" / "a" / "arrow.cur", "first");
    writeFile(drive.root / "Art" / "b" / "ARROW.CUR", "second");
    s.pointerPaths[0] = "C:\\Art\\a\\arrow.cur";
    s.pointerPaths[1] = "C:\\Art\\b\\ARROW.CUR";
    s.pointerPaths[2] = "C:\\Art\\b\\ARROW.CUR";  // the same file twice is no loss
    std::string pngIcon("\0\0\1\0\1\0", 6);
    pngIcon += std::string("\x20\x20\0\0\1\0\x20\0\x10\0\0\0\x16\0\0\0", 16);
    pngIcon += std::string("\x89PNG\r\n\x1a\n\0\0\0\0\0\0\0\0", 16);
    s.iconPaths[2] = drive.art("Png.ico", pngIcon);
    s.iconPaths[3] = drive.art("Plain.ico", "\0\0\1\0");
    s.logoPaths[0] = "C:\\Art\\a\" & del /q *.* & \"b.sys";
    s.logoPaths[1] = drive.art("Wait.sys", "w");
    drive.create(s);

    EXPECT_EQ(readFile(drive.theme("Warn") / "Warn.bat"),
              "copy \"Wait.sys\" c:\\windows\\logow.sys\r\n");
    std::map<std::string, std::string> warnings;
    for (const auto& m : drive.messages.shown)
        if (m.icon == MessageIcon::Warning) warnings[m.title] = m.text;
    ASSERT_EQ(warnings.size(), 3u);
    const auto& notCopied = warnings["Files not copied"];
    EXPECT_NE(notCopied.find(s.logoPaths[0]), std::string::npos) << notCopied;
    const auto& shared = warnings["Files sharing a name"];
    EXPECT_NE(shared.find("C:\\Art\\a\\arrow.cur, C:\\Art\\b\\ARROW.CUR: the theme holds only "
                          "C:\\Art\\b\\ARROW.CUR"),
              std::string::npos)
        << shared;
    const auto& png = warnings["Pictures Windows 98 cannot read"];
    EXPECT_NE(png.find("Png.ico"), std::string::npos);
    EXPECT_EQ(png.find("Plain.ico"), std::string::npos);
}
