// SPDX-License-Identifier: MIT
#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
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

// The theme file of the default state, typed independently of the writer.
const std::string kReference = readFile(fs::path(SKINSMITH_TEST_DATA) / "default.theme");

// The lines of a file, each ended by CR LF.
std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(bytes.substr(at, end - at));
    return lines;
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
    EXPECT_TRUE(output::writeThemeFile(s, f));
    return f.bytes();
}

// Drive C: is a temporary folder. Copies are recorded by source; on a full disk the text files
// take no byte and give no reason.
struct Drive : QTemporaryDir, platform::HostFileSystem {
    Drive() : platform::HostFileSystem(testsupport::driveOn(path())) {}
    fs::path root{path().toStdString()};
    fakes::ScriptedMessageBoxes messages;
    std::vector<std::string> copies;
    bool fullDisk = false;
    bool copiesSucceed = false;  // whatever the real copy did

    fs::path theme(const std::string& name) const { return root / "skinvault" / name; }
    std::string art(std::string name, const std::string& bytes) {  // name: "folder/file"
        const fs::path path = root / "Art" / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        std::replace(name.begin(), name.end(), '/', '\\');
        return "C:\\Art\\" + name;
    }
    void create(const ThemeState& s) { output::createTheme(s, *this, messages); }
    std::vector<std::size_t> flushedAfter;  // copies made when the folder was flushed
    bool flushFolder() override {
        flushedAfter.push_back(copies.size());
        return HostFileSystem::flushFolder();
    }

    std::unique_ptr<platform::TextFile> createTextFile(std::string_view name) override {
        if (fullDisk) return std::make_unique<fakes::MemoryTextFile>(0);
        return HostFileSystem::createTextFile(name);
    }
    bool copyFile(std::string_view source, std::string_view target,
                  const platform::CopyWatch& watch = {}) override {
        copies.emplace_back(source);
        return HostFileSystem::copyFile(source, target, watch) || copiesSucceed;
    }
};

const std::string kThemeNotWritten =
    "The file c:\\skinvault\\Keep\\Keep.theme could not be written.";
const std::string kThemeLost =
    "The theme was not created; an earlier file of that name is left as it was.";

}  // namespace

// The default state gives the reference file; a slot's text is written in Windows-1252 and
// can never start a line of its own.
TEST(ThemeFile, MatchesTheReferenceAndKeepsEachSlotOnItsLine) {
    EXPECT_EQ(themeFileOf(ThemeState{}), kReference);
    ThemeState s;
    s.wallpaperPath = "C:\\Bilder\\M\xC3\xBCller \xE2\x82\xAC.jpg";
    s.screenSaverPath = "C:\\x\\a\r\nCrit=EVIL\r.scr";
    const auto lines = linesOf(themeFileOf(s));
    ASSERT_EQ(lines.size(), 105u);
    EXPECT_EQ(lines[51], "Wallpaper=%ThemeDir%M\xFCller \x80.jpg");
    EXPECT_EQ(lines[99], "SCRNSAVE.EXE=%WinDir%System\\a??Crit=EVIL?.scr");
}

// Both files, then the message, then every slot tried in the one order in which a later
// file of the same name wins; a slot at its pick pattern is tried and missed by no warning.
// ~/skinvault here is the user's own link to another disk, which is followed.
TEST(CreateTheme, WritesBothFilesThenTellsThenCopiesInTheFixedOrder) {
    Drive drive;
    QTemporaryDir disk;
    fs::create_symlink(disk.path().toStdString(), drive.root / "skinvault");
    ThemeState s;
    s.themeName = "Autumn";
    s.tileWallpaper = true;
    for (unsigned i = 0; i < 25; ++i) s.colors[i] = i;  // red i
    std::vector<std::string> order;  // each slot a file named after its place in the order
    auto next = [&] { return order.emplace_back(drive.art(std::to_string(order.size()), "x")); };
    for (auto& p : s.iconPaths) p = next();
    for (auto& p : s.logoPaths) p = next();
    for (auto& p : s.soundPaths) p = next();
    for (auto& p : s.pointerPaths) p = next();
    s.screenSaverPath = next();
    s.wallpaperPath = next();
    s.iconPaths[1] = order[1] = "*.ico";
    s.logoPaths[1] = order[5] = drive.art("5 %", "x");  // a batch file doubles a percent sign
    s.soundPaths[3] = order[10] = "";
    s.pointerPaths[5] = order[32] = "*.ani;*.cur";
    s.screenSaverPath = order[39] = "*.scr";
    std::set<std::string> atMessage;
    drive.messages.onShow = [&](const platform::Message&) {
        atMessage = treeOf(drive.theme("Autumn"));
    };
    drive.create(s);

    ASSERT_EQ(drive.messages.shown.size(), 1u) << drive.messages.shown.back().text;
    const auto& done = drive.messages.shown[0];
    EXPECT_EQ(done.text,
              "The theme file has been created and saved into c:\\skinvault\\Autumn\\\r"
              "Run Autumn.bat from c:\\skinvault\\Autumn\\ to change the splash logos.\r"
              "Remember to copy the screen saver if any to the Windows System directory");
    EXPECT_EQ(done.title, "Done!");
    EXPECT_EQ(done.icon, MessageIcon::None);
    EXPECT_EQ(atMessage, (std::set<std::string>{"Autumn.theme", "Autumn.bat"}));
    EXPECT_EQ(drive.copies, order);
    EXPECT_EQ(drive.flushedAfter, std::vector<std::size_t>{order.size()}) << "once, at the end";
    const auto folder = drive.theme("Autumn");
    EXPECT_EQ(readFile(folder / "Autumn.bat"),
              "copy \"4\" c:\\logo.sys\r\ncopy \"5 %%\" "
              "c:\\windows\\logow.sys\r\ncopy \"6\" c:\\windows\\logos.sys\r\n");
    EXPECT_EQ(treeOf(folder).size(), 2u + 37u) << "the copies, and nothing left behind";

    // The theme file is the reference file with each slot's value on its own line.
    std::vector<std::string> expected = linesOf(kReference);
    // Place in the copy order of the file each line names, by line number from 1.
    std::map<int, int> files = {{3, 0}, {5, 1}, {7, 2}, {8, 3}, {52, 40}, {100, 39}};
    const int cursors[] = {0, 9, 1, 2, 5, 6, 7, 3, 4, 8, 11, 10};  // lines 38 to 49
    const int sounds[] = {4, 13, 8, 9, 10, 11, 12, 1, 15, 16, 17, 18, 0, 3, 6, 7, 2, 14, 19, 5};
    for (int k = 0; k < 12; ++k) files[38 + k] = 27 + cursors[k];
    for (int k = 0; k < 20; ++k) files[57 + 2 * k] = 7 + sounds[k];  // lines 57, 59 ... 95
    for (const auto& [line, at] : files)
        expected[line - 1] += order[at].substr(order[at].rfind('\\') + 1);
    // The colour slot of lines 10 to 32, 35 and 36.
    const int colours[] = {1,  3, 11, 12, 21, 22, 24, 20, 14, 18, 23, 19, 0,
                           13, 2, 5,  8,  10, 9,  15, 6,  4,  7,  16, 17};
    for (int k = 0; k < 25; ++k) {
        std::string& text = expected[(k < 23 ? 9 : 11) + k];
        text = text.substr(0, text.find('=') + 1) + " " + std::to_string(colours[k]) + " 0 0";
    }
    expected[52] = "TileWallpaper=1";
    EXPECT_EQ(linesOf(readFile(folder / "Autumn.theme")), expected);
}

// A name Windows cannot take as a folder is refused before anything is made, with the reason.
TEST(CreateTheme, HostileNamesAreRefusedBeforeAnythingIsWritten) {
    const std::string tooLong =
        "It is too long: with \".theme\" added it must fit in 255 characters, so a theme name "
        "can have at most 249 (and at most 249 bytes on this system, where an accented letter "
        "takes two).";
    std::string accents;  // 124 two-byte letters
    for (int i = 0; i < 124; ++i) accents += "\xC3\xA9";
    const std::pair<std::string, std::string> cases[] = {
        {"..\\x",
         "It must not contain any of the characters \\ / : * ? \" < > | nor a control character "
         "such as a line break or a tab."},
        {"..", "It must not be \".\" or \"..\"."},
        {"lpt\xC2\xB3.txt",
         "It must not be a Windows device name: CON, PRN, AUX, NUL, COM1 to COM9 or LPT1 to LPT9 "
         "(also with the digits \u00B9 \u00B2 \u00B3), with or without an extension."},
        {"Theme.", "It must not end with a dot or a blank, which Windows removes from names."},
        {"\xFF", "It holds bytes that are not text."},
        {std::string(250, 'n'), tooLong},
        {accents + "\xC3\xA9", tooLong},
        {std::string(256, 'n'), "It is too long: a theme name can have at most 249 characters."},
        {"", ""},  // the one refusal the user is told in other words
        {std::string(249, 'n'), ""},
        {accents, ""}};
    for (const auto& [name, why] : cases) {
        SCOPED_TRACE(name);
        Drive drive;
        ThemeState s;
        s.themeName = name;
        drive.create(s);
        ASSERT_EQ(drive.messages.shown.size(), 1u);
        const auto& m = drive.messages.shown[0];
        const bool refused = !why.empty() || name.empty();
        EXPECT_EQ(m.title, refused ? "Fatal error..." : "Done!");
        if (!refused) continue;
        EXPECT_EQ(m.text, name.empty()
                              ? "You must specify a name for the theme!"
                              : "The theme name cannot be used as a Windows folder name. " + why);
        EXPECT_EQ(m.icon, MessageIcon::Stop);
        EXPECT_TRUE(treeOf(drive.root).empty());
    }
}

// Each failing step is reported with what it leaves behind; a file is replaced only whole, so
// the earlier theme survives every failure.
TEST(CreateTheme, EveryInjectedFailureIsReportedAndKeepsTheEarlierTheme) {
    using Op = fakes::FaultyFileSystem::Op;
    enum Says { Done, Root, Vault, Folder, Theme, Batch };  // the one message
    const std::string made = "The theme folder could not be made: c:\\";
    const std::string batch = "The file c:\\skinvault\\Keep\\Keep.bat could not be written.";
    const std::string notMade = "The theme was not created.";
    const std::string batchLost =
        "The theme file c:\\skinvault\\Keep\\Keep.theme was written, but the splash logos "
        "cannot be installed and the chosen files were not copied; an earlier batch file of "
        "that name is left as it was.";
    const std::string heads[] = {
        "", made, made + "skinvault\\", made + "skinvault\\Keep\\", kThemeNotWritten, batch};
    const std::string tails[] = {"", notMade, notMade, notMade, kThemeLost, batchLost};
    std::vector<std::tuple<Op, int, Says>> faults = {
        {Op::ChangeDrive, 1, Root},     {Op::ChangeFolder, 1, Root},
        {Op::ChangeFolder, 2, Vault},   {Op::ChangeFolder, 3, Folder},
        {Op::CreateTextFile, 1, Theme}, {Op::Close, 1, Theme},
        {Op::CreateTextFile, 2, Batch}, {Op::WriteLine, 106, Batch},
        {Op::Close, 2, Batch},          {Op::MakeFolder, 1, Done},
        {Op::MakeFolder, 2, Done}};
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

        ASSERT_EQ(messages.shown.size(), 1u);
        const auto& m = messages.shown[0];
        const bool failed = says >= Root && says <= Batch;
        EXPECT_EQ(m.title, failed ? "Fatal error..." : "Done!");
        EXPECT_TRUE(!failed || m.text.starts_with(heads[says] + "\r")) << m.text;
        EXPECT_TRUE(!failed || m.text.ends_with("\r" + tails[says])) << m.text;
        EXPECT_EQ(treeOf(drive.root), before) << "nothing new outside the theme folder's files";
        EXPECT_EQ(readFile(drive.theme("Keep") / "Keep.theme"),
                  failed && says != Batch ? earlierTheme : themeFileOf(s));
        EXPECT_EQ(readFile(drive.theme("Keep") / "Keep.bat"), earlierBatch);
    }
}

TEST(CreateTheme, AWriteThatFailsWithoutAReasonBlamesTheDisk) {
    Drive drive;
    drive.fullDisk = true;
    ThemeState s;
    s.themeName = "Keep";
    drive.create(s);
    ASSERT_EQ(drive.messages.shown.size(), 1u);
    EXPECT_EQ(drive.messages.shown[0].text,
              kThemeNotWritten + "\rThe disk may be full or locked.\r" + kThemeLost);
}

// After the copies the user learns which chosen files the theme lacks or Windows 98 cannot read.
TEST(CreateTheme, WarningsNameFilesLostToSharedNamesPngImagesAndUnquotableLogos) {
    Drive drive;
    drive.copiesSucceed = true;  // even the logo whose name its batch line cannot hold
    ThemeState s;
    s.themeName = "Warn";
    s.pointerPaths[0] = drive.art("\xC3\xA9t\xC3\xA0\xC3\xBE.cur", "first");  // "étàþ.cur"
    // The same file in two slots is no loss.
    s.pointerPaths[1] = s.pointerPaths[2] = drive.art("b/\xC3\x89T\xC3\x80\xC3\x9E.CUR", "2");
    s.iconPaths[2] = drive.art("Png.ico", testdata::bytes("png.ico").toStdString());
    s.iconPaths[3] = drive.art("Plain.ico", testdata::bytes("red.ico").toStdString());
    s.logoPaths[0] = "C:\\Art\\a\" & del /q *.* & \"b.sys";
    drive.create(s);

    const std::pair<std::string, std::string> expected[] = {
        {"Files not copied",
         "These files could not be copied into c:\\skinvault\\Warn\\, so the theme will lack "
         "them:\rC:\\Art\\a\" & del /q *.* & \"b.sys (its name cannot be written in the batch "
         "file)"},
        {"Files sharing a name",
         "These chosen files share one name in c:\\skinvault\\Warn\\ (Windows does not tell "
         "capitals from small letters), so the theme lost all but the last of each:\r"
         "C:\\Art\\\xC3\xA9t\xC3\xA0\xC3\xBE.cur, C:\\Art\\b\\\xC3\x89T\xC3\x80\xC3\x9E.CUR: the "
         "theme holds only C:\\Art\\b\\\xC3\x89T\xC3\x80\xC3\x9E.CUR"},
        {"Pictures Windows 98 cannot read",
         "These icons or cursors hold PNG-compressed images, which Windows 95 and 98 cannot "
         "show:\rC:\\Art\\Png.ico"}};
    ASSERT_EQ(drive.messages.shown.size(), 1 + std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(drive.messages.shown[i + 1].title, expected[i].first);
        EXPECT_EQ(drive.messages.shown[i + 1].text, expected[i].second);
        EXPECT_EQ(drive.messages.shown[i + 1].icon, MessageIcon::Warning);
    }
}
