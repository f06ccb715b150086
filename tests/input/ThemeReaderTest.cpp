// SPDX-License-Identifier: MIT
// The theme reader: themes the tool wrote come back exactly, theme files in the forms real
// packs use are read as Windows reads them, and anything that is no theme is refused.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <random>

#include "fakes/ScriptedMessageBoxes.h"
#include "input/ThemeReader.h"
#include "output/CreateTheme.h"
#include "platform/HostFileSystem.h"

namespace {

namespace fs = std::filesystem;

class ThemeReaderTest : public testing::Test {
protected:
    void SetUp() override { m_drives.map('C', m_root); }

    void write(const fs::path& relative, std::string_view bytes) {
        fs::create_directories((m_root / relative).parent_path());
        std::ofstream(m_root / relative, std::ios::binary) << bytes;
    }
    input::OpenResult open(std::string_view windowsPath) {
        return input::openTheme(m_drives, windowsPath);
    }

    QTemporaryDir m_home;
    fs::path m_root{m_home.path().toStdString()};
    platform::DriveMap m_drives;
};

// Any state the tool can hold comes back from the theme it creates: every chosen slot names
// its copy in the theme folder, the rest is unchanged, logos come back from the batch file.
TEST_F(ThemeReaderTest, CreatedThemesOpenAsTheStateThatMadeThem) {
    std::mt19937 random(20261207);
    auto pick = [&random](int below) {
        return std::uniform_int_distribution<int>(0, below - 1)(random);
    };
    for (int run = 0; run < 40; ++run) {
        state::ThemeState original;
        original.themeName = "Theme " + std::to_string(run) + (pick(3) ? "" : " 100%");
        original.tileWallpaper = pick(2);
        for (auto& c : original.colors) c = static_cast<state::Color>(pick(0x1000000));
        state::ThemeState expected = original;  // its paths are filled in below
        const std::string folder = "C:\\skinvault\\" + original.themeName + "\\";
        int file = 0;
        // A slot gets a file of its own, or stays empty or at its pattern (read back empty).
        auto fill = [&](std::string& slot, std::string& want, const char* pattern) {
            const int kind = pick(10);
            if (kind == 0) slot = pattern;
            if (kind <= 1) return;
            const std::string name = "F" + std::to_string(++file) + (pick(5) ? "" : "%x") + ".f";
            write("src/" + std::to_string(file) + "/" + name, name);
            slot = "C:\\src\\" + std::to_string(file) + "\\" + name;
            want = folder + name;
        };
        for (int i = 0; i < 4; ++i) fill(original.iconPaths[i], expected.iconPaths[i], "*.ico");
        for (int i = 0; i < 12; ++i)
            fill(original.pointerPaths[i], expected.pointerPaths[i], "*.ani;*.cur");
        for (int i = 0; i < 20; ++i) fill(original.soundPaths[i], expected.soundPaths[i], "*.wav");
        for (int i = 0; i < 3; ++i) fill(original.logoPaths[i], expected.logoPaths[i], "*.sys");
        fill(original.wallpaperPath, expected.wallpaperPath, "*.jpg");
        fill(original.screenSaverPath, expected.screenSaverPath, "*.scr");

        platform::HostFileSystem files(m_drives);
        fakes::ScriptedMessageBoxes messages;
        output::createTheme(original, files, messages);
        ASSERT_EQ(messages.shown.size(), 1u) << messages.shown.back().text;

        const auto result = open(folder + original.themeName + ".theme");
        ASSERT_TRUE(result.opened) << result.error;
        EXPECT_EQ(result.opened->theme, expected) << "run " << run;
        EXPECT_TRUE(result.opened->report.empty()) << "run " << run;
    }
}
// One pack written the ways real packs write it, over files whose names are upper-case 8.3, as
// packs unpacked from old discs hold them.
TEST_F(ThemeReaderTest, ReadsThemeFilesAsWindowsReadsThem) {
    for (const char* file : {"pack/ARROW.CUR", "pack/SKY.BMP", "pack/BLUE.SCR", "art/Moon.ico",
                             "WINDOWS/MEDIA/chord.wav"})
        write(file, "x");
    write("pack/Old Pack.THEME",
          "; made on a Windows 98 machine\r\n[control "
          "panel\\CURSORS]\r\nArrow=%ThemeDir%arrow.cur\r\n"
          "Wait=%ThemeDir%GONE.ANI\r\n[CONTROL PANEL\\desktop]\r\n  wallpaper = %themedir%Sky.bmp "
          "\r\n"
          "tilewallpaper=1\r\n[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]\r\n"
          "DefaultValue=%WinDir%media\\CHORD.WAV\r\n[Control Panel\\Colors]\r\nMenu=1 2 3\r\n"
          "Menu=9 9 9\r\nBackground=300 0 0\r\nWindow=1 2\r\nGradientActiveTitle=1 1 1\r\n"
          "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r\n"
          "DefaultValue=\"C:\\art\\moon.ico\",0\r\n"
          "[CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon]\r\n"
          "DefaultValue=%WinDir%SYSTEM\\shell32.dll,15\r\n"
          "[boot]\r\nSCRNSAVE.EXE=%WinDir%SYSTEM\\blue.scr\r\n[VisualStyles]\r\nPath=x\r\n");
    const auto result = open("C:\\pack\\Old Pack.THEME");
    ASSERT_TRUE(result.opened) << result.error;
    state::ThemeState expected;  // what the file does not name keeps its start-up value
    expected.themeName = "Old Pack";
    expected.pointerPaths[0] = "C:\\pack\\ARROW.CUR";
    expected.pointerPaths[2] = "C:\\pack\\GONE.ANI";  // missing, kept and reported
    expected.wallpaperPath = "C:\\pack\\SKY.BMP";
    expected.tileWallpaper = true;
    expected.soundPaths[0] = "C:\\WINDOWS\\MEDIA\\chord.wav";
    expected.colors[18] = state::rgb(1, 2, 3);  // the first of two equal keys counts
    expected.iconPaths[0] = "C:\\art\\Moon.ico";
    expected.screenSaverPath = "C:\\pack\\BLUE.SCR";  // named in the System folder, found here
    EXPECT_EQ(result.opened->theme, expected);
    const auto& report = result.opened->report;
    EXPECT_EQ(report.missingFiles, std::vector<std::string>{"C:\\pack\\GONE.ANI"});
    EXPECT_EQ(report.embeddedIcons, std::vector<std::string>{"%WinDir%SYSTEM\\shell32.dll,15"});
    EXPECT_EQ(report.badColors, (std::vector<std::string>{"Background=300 0 0", "Window=1 2"}));
}

TEST_F(ThemeReaderTest, ReadsEveryLineEndAndBothEncodings) {
    write("pack/D\xC3\xA9j\xC3\xA0.wav", "x");
    const std::pair<std::string, std::string> cases[] = {
        {"", "\r\n"}, {"", "\n"}, {"", "\r"}, {"\xEF\xBB\xBF", "\r\n"}};
    for (const auto& [mark, end] : cases) {
        const std::string name = mark.empty() ? "D\xE9j\xE0" : "D\xC3\xA9j\xC3\xA0";
        write("pack/t.theme", mark + "[AppEvents\\Schemes\\Apps\\.Default\\RingIn\\.Current]" +
                                  end + "DefaultValue=" + name + ".wav" + end + "[boot]" + end +
                                  "SCRNSAVE.EXE=" + name + ".wav");
        const auto result = open("C:\\pack\\t.theme");
        ASSERT_TRUE(result.opened) << result.error;
        EXPECT_EQ(result.opened->theme.soundPaths[17], "C:\\pack\\D\xC3\xA9j\xC3\xA0.wav");
        EXPECT_EQ(result.opened->theme.screenSaverPath, result.opened->theme.soundPaths[17]);
    }
}

// Only the tool's own lines count: any other target or command in the batch file is ignored.
TEST_F(ThemeReaderTest, LogosComeFromABatchFileWrittenTheToolsWay) {
    write("t/LOGO1.SYS", "x");
    write("t/wait 100%.sys", "x");
    write("t/Night.theme", "[boot]\r\nSCRNSAVE.EXE=\r\n");
    write("t/NIGHT.BAT",
          "copy \"logo1.sys\" c:\\logo.sys\r\ncopy \"wait 100%%.sys\" C:\\WINDOWS\\LOGOW.SYS\r\n"
          "copy \"a.sys\" c:\\autoexec.bat\r\ndel *.*\r\n");
    const auto result = open("C:\\t\\Night.theme");
    ASSERT_TRUE(result.opened) << result.error;
    EXPECT_EQ(result.opened->theme.logoPaths,
              (std::array<std::string, 3>{"C:\\t\\LOGO1.SYS", "C:\\t\\wait 100%.sys", ""}));
}

TEST_F(ThemeReaderTest, AnythingThatIsNoThemeFileIsRefusedWithAReason) {
    write("bad/notes.theme", "Just some notes.\r\n[Things]\r\na=b\r\n");
    write("bad/binary.theme", std::string("[boot]\r\n\0\x01\x02", 11));
    write("bad/huge.theme", "[boot]\r\n" + std::string(input::kMaxThemeFileBytes, ';'));
    fs::create_directories(m_root / "bad/folder.theme");
    ASSERT_EQ(mkfifo((m_root / "bad/pipe.theme").c_str(), 0600), 0);
    fs::create_symlink(m_root / "nowhere", m_root / "bad/dangling.theme");
    const std::pair<const char*, const char*> files[] = {
        {"notes", "It holds none of the sections of a Windows theme file."},
        {"binary", "It holds binary data, not the text of a theme file."},
        {"huge", "larger than 1 MiB"},
        {"folder", "a folder"},
        {"pipe", "not a regular file"},
        {"dangling", "No such file"},
        {"absent", "No such file"}};
    for (const auto& [name, reason] : files) {
        const auto result = open("C:\\bad\\" + std::string(name) + ".theme");
        EXPECT_FALSE(result.opened) << name;
        EXPECT_NE(result.error.find(reason), std::string::npos) << result.error;
    }
    EXPECT_EQ(open("Q:\\unmapped.theme").error, "The path cannot be reached on this machine.");
}

}  // namespace
