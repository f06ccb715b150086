// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "fakes/FaultyFileSystem.h"
#include "fakes/MemoryTextFile.h"
#include "fakes/ScriptedMessageBoxes.h"
#include "output/CreateTheme.h"
#include "output/ThemeFile.h"
#include "platform/HostFileSystem.h"
#include "support/TempDrive.h"

namespace fs = std::filesystem;
using platform::MessageIcon;
using state::ThemeState;

namespace {

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file and folder below a root, as relative generic paths.
std::set<std::string> treeOf(const fs::path& root) {
    std::set<std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(root))
        entries.insert(e.path().lexically_relative(root).generic_string());
    return entries;
}

std::string themeFileOf(const ThemeState& s) {
    fakes::MemoryTextFile f;
    output::writeThemeFile(s, f);
    return f.bytes();
}

// Drive C: is a temporary folder; the file system records each copy's source and, on a full
// disk, hands out text files that take no byte and give no reason.
struct Drive : platform::FileSystem {
    QTemporaryDir dir;
    fs::path root{dir.path().toStdString()};
    platform::HostFileSystem real{testsupport::driveOn(dir.path())};
    fakes::ScriptedMessageBoxes messages;
    std::vector<std::string> copies;
    bool fullDisk = false;

    fs::path theme(const std::string& name) const { return root / "skinvault" / name; }
    std::string art(std::string name, const std::string& bytes) {  // name: "folder/file"
        const fs::path path = root / "Art" / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        std::replace(name.begin(), name.end(), '/', '\\');
        return "C:\\Art\\" + name;
    }
    void create(const ThemeState& s) { output::createTheme(s, *this, messages); }

    bool changeDrive(char d) override { return real.changeDrive(d); }
    bool changeFolder(std::string_view name) override { return real.changeFolder(name); }
    bool makeFolder(std::string_view name) override { return real.makeFolder(name); }
    std::unique_ptr<platform::TextFile> createTextFile(std::string_view name) override {
        if (fullDisk) return std::make_unique<fakes::MemoryTextFile>(0);
        return real.createTextFile(name);
    }
    bool copyFile(std::string_view source, std::string_view target) override {
        copies.emplace_back(source);
        return real.copyFile(source, target);
    }
    std::optional<std::uint64_t> fileSize(std::string_view path) const override {
        return real.fileSize(path);
    }
    std::optional<std::string> readStart(std::string_view name, std::size_t max) override {
        return real.readStart(name, max);
    }
    std::string currentFolder() const override { return real.currentFolder(); }
    std::string lastError() const override { return real.lastError(); }
};

}  // namespace

// Both files, then the message, then every slot tried in the one order in which a later
// file of the same name wins.
TEST(CreateTheme, WritesBothFilesThenTellsThenCopiesInTheFixedOrder) {
    Drive drive;
    ThemeState s;
    s.themeName = "Autumn";
    int n = 0;
    auto next = [&] {
        ++n;
        return drive.art(std::to_string(n - 1) + ".x", "file " + std::to_string(n));
    };
    for (auto& p : s.iconPaths) p = next();
    for (auto& p : s.logoPaths) p = next();
    for (auto& p : s.soundPaths) p = next();
    for (auto& p : s.pointerPaths) p = next();
    s.screenSaverPath = next();
    s.wallpaperPath = next();
    std::vector<std::string> order;
    for (int k = 0; k < n; ++k) order.push_back("C:\\Art\\" + std::to_string(k) + ".x");
    s.soundPaths[3] = order[10] = "";
    s.pointerPaths[5] = order[32] = "*.ani;*.cur";  // a cancelled pick: named, never copied
    std::set<std::string> atMessage;
    drive.messages.onShow = [&](const platform::Message&) {
        atMessage = treeOf(drive.theme("Autumn"));
    };
    drive.create(s);

    ASSERT_EQ(drive.messages.shown.size(), 1u);
    const auto& done = drive.messages.shown[0];
    EXPECT_EQ(done.text,
              "The theme file has been created and saved into c:\\skinvault\\Autumn\\\r"
              "Run Autumn.bat from c:\\skinvault\\Autumn\\ to change the splash logos.\r"
              "Remember to copy the screen saver if any to the Windows System directory");
    EXPECT_EQ(done.title, "Done!");
    EXPECT_EQ(done.icon, MessageIcon::None);
    EXPECT_EQ(done.buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(atMessage, (std::set<std::string>{"Autumn.theme", "Autumn.bat"}));
    EXPECT_EQ(drive.copies, order);

    const auto folder = drive.theme("Autumn");
    EXPECT_EQ(readFile(folder / "Autumn.theme"), themeFileOf(s));
    EXPECT_EQ(readFile(folder / "Autumn.bat"),
              "copy \"4.x\" c:\\logo.sys\r\ncopy \"5.x\" c:\\windows\\logow.sys\r\n"
              "copy \"6.x\" c:\\windows\\logos.sys\r\n");
    EXPECT_EQ(readFile(folder / "40.x"), "file 41");
    EXPECT_EQ(treeOf(folder).size(), 2u + 39u) << "the copies and nothing left behind";
}

TEST(CreateTheme, BatchFileHasOneLinePerChosenLogo) {
    using Logos = std::array<std::string, 3>;
    const std::pair<Logos, std::string> cases[] = {
        {{"", "D:\\Pics\\Wait.sys", "*.sys"}, "copy \"Wait.sys\" c:\\windows\\logow.sys\r\n"},
        {{"*.sys", "", "*.SYS"}, "copy \"*.SYS\" c:\\windows\\logos.sys\r\n"},
        {{"*.sys", "", ""}, ""},
        {{"C:\\w\\100%wait.sys", "", "C:\\Safe Off.SYS"},
         "copy \"100%%wait.sys\" c:\\logo.sys\r\ncopy \"Safe Off.SYS\" c:\\windows\\logos.sys\r\n"},
        // A name that would end the quotes or the line must run no command: it gets no line.
        {{"C:\\a\" & del *.* & \"b.sys", "C:\\x\ny.sys", "C:\\ok.sys"},
         "copy \"ok.sys\" c:\\windows\\logos.sys\r\n"}};
    for (const auto& [logos, bytes] : cases) {
        ThemeState s;
        s.logoPaths = logos;
        fakes::MemoryTextFile out;
        EXPECT_TRUE(output::writeLogoBatch(s, out));
        EXPECT_EQ(out.bytes(), bytes);
    }
    ThemeState s;
    s.logoPaths = {"C:\\a.sys", "C:\\b.sys", "C:\\c.sys"};
    fakes::MemoryTextFile full(30);  // room for the first line only
    EXPECT_FALSE(output::writeLogoBatch(s, full));
    EXPECT_EQ(full.writes(), 3) << "every line is tried";
}

TEST(CreateTheme, SlotsAtTheirPickPatternAreNotMissed) {
    Drive drive;
    ThemeState s;
    s.themeName = "Empty";
    s.iconPaths.fill("*.ico");
    s.wallpaperPath = "*.jpg";
    s.pointerPaths.fill("*.ani;*.cur");
    s.soundPaths.fill("*.wav");
    s.screenSaverPath = "*.scr";
    s.logoPaths.fill("*.sys");
    drive.create(s);
    EXPECT_EQ(drive.messages.shown.size(), 1u) << drive.messages.shown.back().text;
}

TEST(CreateTheme, CopiesReportTheirProgressAndStopWhenCancelled) {
    Drive drive;
    ThemeState s;
    s.themeName = "Halt";
    s.iconPaths[1] = drive.art("One.ico", std::string(100, 'a'));
    s.soundPaths[0] = drive.art("Two.wav", std::string(20, 'b'));
    s.soundPaths[4] = "C:\\Gone\\Away.wav";  // chosen, unreadable: size 0
    s.wallpaperPath = drive.art("Three.bmp", std::string(7, 'c'));
    ASSERT_TRUE(output::writeTheme(s, drive, drive.messages));

    std::atomic<bool> cancel{false};
    std::vector<std::pair<std::string, std::uint64_t>> seen;
    const auto missing = output::copyAssets(
        s, drive,
        [&](const output::CopyProgress& p) {
            EXPECT_EQ(p.bytesTotal, 127u);
            seen.emplace_back(p.file, p.bytesDone);
            cancel = seen.size() == 3;  // the third copy completes, no further one starts
        },
        &cancel);

    EXPECT_EQ(
        seen,
        (decltype(seen){
            {s.iconPaths[1], 0}, {s.soundPaths[0], 100}, {"C:\\Gone\\Away.wav", 120}, {"", 120}}));
    ASSERT_EQ(missing.size(), 2u);
    EXPECT_TRUE(missing[0].starts_with("C:\\Gone\\Away.wav (")) << missing[0];
    EXPECT_EQ(missing[1], "C:\\Art\\Three.bmp (the copy was stopped)");
    EXPECT_EQ(drive.copies.size(), 12u) << "icons, logos and the sounds up to the fifth";
}

// A name Windows cannot take as a folder is refused before anything is made, with the reason.
TEST(CreateTheme, HostileNamesAreRefusedBeforeAnythingIsWritten) {
    const std::string bad =
        "It must not contain any of the characters \\ / : * ? \" < > | nor "
        "a control character such as a line break or a tab.";
    const std::string device =
        "It must not be a Windows device name: CON, PRN, AUX, NUL, COM1 to COM9 or LPT1 to LPT9 "
        "(also with the digits \u00B9 \u00B2 \u00B3), with or without an extension.";
    const std::string trailing =
        "It must not end with a dot or a blank, which Windows removes from names.";
    const std::string tooLong =
        "It is too long: with \".theme\" added it must fit in 255 characters, so a theme name "
        "can have at most 249 (and at most 249 bytes on this system, where an accented letter "
        "takes two).";
    std::string accents;  // 124 two-byte letters
    for (int i = 0; i < 124; ++i) accents += "\xC3\xA9";
    const std::pair<std::string, std::string> cases[] = {
        {"..\\x", bad},
        {"a/b", bad},
        {"line\nbreak", bad},
        {"..", "It must not be \".\" or \"..\"."},
        {"CON", device},
        {"lpt\xC2\xB3.txt", device},
        {"Theme.", trailing},
        {" ", trailing},
        {"\xFF", "It holds bytes that are not text."},
        {std::string(250, 'n'), tooLong},
        {accents + "\xC3\xA9", tooLong},
        {std::string(256, 'n'), "It is too long: a theme name can have at most 249 characters."},
        {"", ""},
        {std::string(249, 'n'), ""},
        {accents, ""},
        {"CONSOLE", ""},
        {"Caf\xC3\xA9 1%", ""}};
    for (const auto& [name, why] : cases) {
        SCOPED_TRACE(name);
        Drive drive;
        ThemeState s;
        s.themeName = name;
        drive.create(s);
        ASSERT_EQ(drive.messages.shown.size(), 1u);
        const auto& m = drive.messages.shown[0];
        if (why.empty() && !name.empty()) {
            EXPECT_EQ(m.title, "Done!");
            EXPECT_EQ(treeOf(drive.root),
                      (std::set<std::string>{"skinvault", "skinvault/" + name,
                                             "skinvault/" + name + "/" + name + ".theme",
                                             "skinvault/" + name + "/" + name + ".bat"}));
            continue;
        }
        EXPECT_EQ(m.text, name.empty()
                              ? "You must specify a name for the theme!"
                              : "The theme name cannot be used as a Windows folder name. " + why);
        EXPECT_EQ(m.title, "Fatal error...");
        EXPECT_EQ(m.icon, MessageIcon::Stop);
        EXPECT_EQ(m.buttons, platform::MessageButtons::Ok);
        EXPECT_TRUE(treeOf(drive.root).empty());
    }
}

// Each failing step is reported with what it leaves behind; a file is replaced only whole, so
// the earlier theme survives every failure.
TEST(CreateTheme, EveryInjectedFailureIsReportedAndKeepsTheEarlierTheme) {
    using Op = fakes::FaultyFileSystem::Op;
    enum Says { Done, Root, Vault, Folder, Theme, Batch, Copy };  // the first message
    const std::string folder = "The theme folder could not be made: c:\\";
    const std::string theme = "The file c:\\skinvault\\Keep\\Keep.theme could not be written.";
    const std::string batch = "The file c:\\skinvault\\Keep\\Keep.bat could not be written.";
    const std::string heads[] = {
        "", folder, folder + "skinvault\\", folder + "skinvault\\Keep\\", theme, batch};
    const std::string themeLost =
        "The theme was not created; an earlier file of that name is left as it was.";
    const std::string batchLost =
        "The theme file c:\\skinvault\\Keep\\Keep.theme was written, but the splash logos "
        "cannot be installed and the chosen files were not copied; an earlier batch file of "
        "that name is left as it was.";
    const std::string notMade = "The theme was not created.";
    const std::string tails[] = {"", notMade, notMade, notMade, themeLost, batchLost};
    std::vector<std::tuple<Op, int, Says>> faults = {
        {Op::ChangeDrive, 1, Root},     {Op::ChangeFolder, 1, Root},
        {Op::ChangeFolder, 2, Vault},   {Op::ChangeFolder, 3, Folder},
        {Op::CreateTextFile, 1, Theme}, {Op::Close, 1, Theme},
        {Op::CreateTextFile, 2, Batch}, {Op::WriteLine, 106, Batch},
        {Op::Close, 2, Batch},          {Op::MakeFolder, 1, Done},
        {Op::MakeFolder, 2, Done},      {Op::Copy, 1, Copy}};
    for (int k = 1; k <= 105; k += 26) faults.emplace_back(Op::WriteLine, k, Theme);

    for (const auto& [op, n, says] : faults) {
        SCOPED_TRACE("op " + std::to_string(static_cast<int>(op)) + " call " + std::to_string(n));
        Drive drive;
        ThemeState s;
        s.themeName = "Keep";
        s.logoPaths[1] = drive.art("Wait.sys", "w");
        s.iconPaths[0] = drive.art("A.ico", "a");
        drive.create(s);  // a good earlier theme
        const auto earlierTheme = readFile(drive.theme("Keep") / "Keep.theme");
        const auto earlierBatch = readFile(drive.theme("Keep") / "Keep.bat");
        const auto before = treeOf(drive.root);

        s.colors[3] = 0x030201;
        fakes::FaultyFileSystem faulty(drive, op, n);
        fakes::ScriptedMessageBoxes messages;
        output::createTheme(s, faulty, messages);
        ASSERT_TRUE(faulty.fired());

        ASSERT_EQ(messages.shown.size(), says == Copy ? 2u : 1u);
        const auto& first = messages.shown[0];
        EXPECT_EQ(first.title, says >= Root && says <= Batch ? "Fatal error..." : "Done!");
        if (says >= Root && says <= Batch) {
            EXPECT_TRUE(first.text.starts_with(heads[says] + "\r")) << first.text;
            EXPECT_TRUE(first.text.ends_with("\r" + tails[says])) << first.text;
        } else if (says == Copy) {
            EXPECT_EQ(messages.shown[1].text,
                      "These files could not be copied into c:\\skinvault\\Keep\\, so the theme "
                      "will lack them:\rC:\\Art\\A.ico (injected failure)");
            EXPECT_EQ(messages.shown[1].title, "Files not copied");
            EXPECT_EQ(messages.shown[1].icon, MessageIcon::Warning);
        }
        EXPECT_EQ(treeOf(drive.root), before) << "nothing new outside the theme folder's files";
        EXPECT_EQ(readFile(drive.theme("Keep") / "Keep.theme"),
                  says < Root || says >= Batch ? themeFileOf(s) : earlierTheme);
        EXPECT_EQ(readFile(drive.theme("Keep") / "Keep.bat"), earlierBatch);
    }
}

TEST(CreateTheme, AWriteThatFailsWithoutAReasonBlamesTheDisk) {
    Drive drive;
    drive.fullDisk = true;
    ThemeState s;
    s.themeName = "Full";
    drive.create(s);
    ASSERT_EQ(drive.messages.shown.size(), 1u);
    EXPECT_EQ(
        drive.messages.shown[0].text,
        "The file c:\\skinvault\\Full\\Full.theme could not be written.\rThe disk may be full "
        "or locked.\rThe theme was not created; an earlier file of that name is left as it "
        "was.");
    EXPECT_TRUE(drive.copies.empty());
}

// After the copies the user learns which chosen files the theme lost or Windows 98 cannot read.
TEST(CreateTheme, WarningsNameFilesLostToSharedNamesPngImagesAndUnquotableLogos) {
    Drive drive;
    ThemeState s;
    s.themeName = "Warn";
    s.pointerPaths[0] = drive.art("arrow.cur", "first");
    s.pointerPaths[1] = s.pointerPaths[2] = drive.art("b/ARROW.CUR", "second");  // twice: no loss
    std::string pngIcon("\0\0\1\0\1\0", 6);  // one image, stored as PNG at offset 22
    pngIcon += std::string("\x20\x20\0\0\1\0\x20\0\x10\0\0\0\x16\0\0\0", 16);
    pngIcon += std::string("\x89PNG\r\n\x1a\n\0\0\0\0\0\0\0\0", 16);
    s.iconPaths[2] = drive.art("Png.ico", pngIcon);
    s.iconPaths[3] = drive.art("Plain.ico", std::string("\0\0\1\0", 4));
    s.logoPaths[0] = "C:\\Art\\a\" & del /q *.* & \"b.sys";
    drive.create(s);

    const std::pair<std::string, std::string> expected[] = {
        {"Files not copied",  // the logo's copy fails first, for a reason the file system words
         "These files could not be copied into c:\\skinvault\\Warn\\, so the theme will lack "
         "them:\rC:\\Art\\a\" & del /q *.* & \"b.sys ("},
        {"Files sharing a name",
         "These chosen files share one name in c:\\skinvault\\Warn\\ (Windows does not tell "
         "capitals from small letters), so the theme lost all but the last of each:\r"
         "C:\\Art\\arrow.cur, C:\\Art\\b\\ARROW.CUR: the theme holds only C:\\Art\\b\\ARROW.CUR"},
        {"Pictures Windows 98 cannot read",
         "These icons or cursors hold PNG-compressed images, which Windows 95 and 98 cannot "
         "show:\rC:\\Art\\Png.ico"}};
    ASSERT_EQ(drive.messages.shown.size(), 1 + std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& [title, text] = expected[i];
        const auto& m = drive.messages.shown[i + 1];
        EXPECT_EQ(m.title, title);
        EXPECT_EQ(i == 0 ? m.text.substr(0, text.size()) : m.text, text);
        EXPECT_EQ(m.icon, MessageIcon::Warning);
    }
}
