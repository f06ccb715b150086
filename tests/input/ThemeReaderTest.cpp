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
#include "output/ThemeFile.h"
#include "platform/HostFileSystem.h"

namespace {

namespace fs = std::filesystem;

class ThemeReaderTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_home.isValid());
        m_root = fs::path(m_home.path().toStdString());
        m_drives.map('C', m_root);
    }

    void write(const fs::path& relative, std::string_view bytes) {
        const fs::path path = m_root / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    input::OpenResult open(std::string_view windowsPath) {
        return input::openTheme(m_drives, windowsPath);
    }

    QTemporaryDir m_home;
    fs::path m_root;
    platform::DriveMap m_drives;
};

// Any state the tool can hold comes back from the theme it creates: every chosen slot names
// its copy in the theme folder, colours, tile flag and name are unchanged, logos come back
// from the batch file.
TEST_F(ThemeReaderTest, CreatedThemesOpenAsTheStateThatMadeThem) {
    std::mt19937 random(20261207);
    auto chance = [&random](int percent) {
        return std::uniform_int_distribution<int>(0, 99)(random) < percent;
    };
    for (int run = 0; run < 40; ++run) {
        state::ThemeState original;
        state::ThemeState expected;
        original.themeName = expected.themeName =
            "Theme " + std::to_string(run) + (chance(30) ? " 100%" : "");
        const std::string themeFolder = "C:\\skinvault\\" + original.themeName;
        int fileNumber = 0;
        // A slot gets a file in its own source folder, or stays empty or at its pattern.
        auto fill = [&](std::string& slot, std::string& want, std::string_view pattern,
                        std::string_view extension) {
            const int kind = std::uniform_int_distribution<int>(0, 9)(random);
            if (kind == 0) slot = std::string(pattern);
            if (kind <= 1) return;
            const std::string name = "F" + std::to_string(run) + "_" +
                                     std::to_string(++fileNumber) + (chance(20) ? "%x" : "") +
                                     std::string(extension);
            write("src/" + std::to_string(fileNumber) + "/" + name, "data of " + name);
            slot = "C:\\src\\" + std::to_string(fileNumber) + "\\" + name;
            want = themeFolder + "\\" + name;
        };
        for (std::size_t i = 0; i < state::kIconCount; ++i)
            fill(original.iconPaths[i], expected.iconPaths[i], state::kIconPattern, ".ico");
        for (std::size_t i = 0; i < state::kPointerCount; ++i)
            fill(original.pointerPaths[i], expected.pointerPaths[i], state::kPointerPattern,
                 ".cur");
        for (std::size_t i = 0; i < state::kSoundCount; ++i)
            fill(original.soundPaths[i], expected.soundPaths[i], state::kSoundPattern, ".wav");
        for (std::size_t i = 0; i < state::kLogoCount; ++i)
            fill(original.logoPaths[i], expected.logoPaths[i], state::kLogoPattern, ".sys");
        fill(original.wallpaperPath, expected.wallpaperPath, state::kWallpaperPattern, ".bmp");
        fill(original.screenSaverPath, expected.screenSaverPath, state::kScreenSaverPattern,
             ".scr");
        for (std::size_t i = 0; i < state::kColorCount; ++i)
            original.colors[i] = expected.colors[i] =
                std::uniform_int_distribution<state::Color>(0, 0xFFFFFF)(random);
        original.tileWallpaper = expected.tileWallpaper = chance(50);

        platform::HostFileSystem files(m_drives);
        fakes::ScriptedMessageBoxes messages;
        output::createTheme(original, files, messages);
        ASSERT_EQ(messages.shown.size(), 1u);
        ASSERT_EQ(messages.shown[0].title, "Done!") << messages.shown[0].text;

        const auto result = open(themeFolder + "\\" + original.themeName + ".theme");
        ASSERT_TRUE(result.opened) << result.error;
        EXPECT_EQ(result.opened->theme, expected) << "run " << run;
        EXPECT_TRUE(result.opened->report.empty()) << "run " << run;
    }
}

struct PackCase {
    const char* what;
    std::string text;
    std::function<void(const state::ThemeState&, const input::OpenReport&)> check;
};

// Theme files written the ways real packs write them, over one folder of files whose names
// are upper-case 8.3, as packs unpacked from old discs hold them.
TEST_F(ThemeReaderTest, ReadsThemeFilesInTheFormsRealPacksUse) {
    for (const char* file : {"pack/ARROW.CUR", "pack/SKY.BMP", "pack/DING.WAV", "pack/MYCOMP.ICO",
                             "pack/BLUE.SCR", "art/Moon.ico", "WINDOWS/MEDIA/chord.wav"})
        write(file, "x");
    const std::string crlf = "\r\n";
    const std::vector<PackCase> cases = {
        {"mixed case, LF only, %ThemeDir% and %WinDir%, names in another case",
         "[control panel\\CURSORS]\nArrow=%ThemeDir%arrow.cur\n"
         "[CONTROL PANEL\\desktop]\nwallpaper=%themedir%Sky.bmp\ntilewallpaper=1\n"
         "[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]\n"
         "DefaultValue=%WinDir%media\\CHORD.WAV\n",
         [](const state::ThemeState& t, const input::OpenReport& report) {
             EXPECT_EQ(t.pointerPaths[0], "C:\\pack\\ARROW.CUR");
             EXPECT_EQ(t.wallpaperPath, "C:\\pack\\SKY.BMP");
             EXPECT_TRUE(t.tileWallpaper);
             EXPECT_EQ(t.soundPaths[0], "C:\\WINDOWS\\MEDIA\\chord.wav");
             EXPECT_TRUE(report.empty());
         }},
        {"CR only, duplicate keys (the first counts), absolute paths, quotes, icon index",
         "[Control Panel\\Colors]\rMenu=1 2 3\rMenu=9 9 9\r"
         "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r"
         "DefaultValue=\"C:\\art\\moon.ico\",0\r"
         "[CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon]\r"
         "DefaultValue=%WinDir%SYSTEM\\shell32.dll,15\r",
         [](const state::ThemeState& t, const input::OpenReport& report) {
             EXPECT_EQ(t.colors[18], state::rgb(1, 2, 3));
             EXPECT_EQ(t.iconPaths[0], "C:\\art\\Moon.ico");
             EXPECT_EQ(t.iconPaths[1], "");
             ASSERT_EQ(report.embeddedIcons.size(), 1u);
             EXPECT_EQ(report.embeddedIcons[0], "%WinDir%SYSTEM\\shell32.dll,15");
         }},
        {"Windows 98 and ME extras, comments, blanks, a bad colour and a missing file",
         "; made on a Windows 98 machine" + crlf + "[Control Panel\\Colors]" + crlf +
             "  ActiveTitle = 10 20 30  " + crlf + "GradientActiveTitle=1 1 1" + crlf +
             "Background=300 0 0" + crlf + "Window=1 2" + crlf + "HotTrackingColor=0 0 255" + crlf +
             "[boot]" + crlf + "SCRNSAVE.EXE=%WinDir%SYSTEM\\blue.scr" + crlf +
             "[Control Panel\\Cursors]" + crlf + "Wait=%ThemeDir%GONE.ANI" + crlf + "[Metrics]" +
             crlf + "IconMetrics=1 2 3" + crlf + "[VisualStyles]" + crlf + "Path=x" + crlf,
         [](const state::ThemeState& t, const input::OpenReport& report) {
             EXPECT_EQ(t.colors[1], state::rgb(10, 20, 30));
             EXPECT_EQ(t.colors[3], state::kDefaultColors[3]);
             EXPECT_EQ(t.colors[22], state::kDefaultColors[22]);
             EXPECT_EQ(report.badColors,
                       (std::vector<std::string>{"Background=300 0 0", "Window=1 2"}));
             // Named in the System folder, found beside the theme.
             EXPECT_EQ(t.screenSaverPath, "C:\\pack\\BLUE.SCR");
             EXPECT_EQ(t.pointerPaths[2], "C:\\pack\\GONE.ANI");
             EXPECT_EQ(report.missingFiles, std::vector<std::string>{"C:\\pack\\GONE.ANI"});
         }},
        {"UTF-8 with a byte-order mark, missing sections keep the start-up values",
         "\xEF\xBB\xBF[Control Panel\\Desktop]\r\nWallpaper=(None)\r\n"
         "[CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon]\r\nfull=MYCOMP.ICO\r\n"
         "empty=caf\xC3\xA9.ico\r\n",
         [](const state::ThemeState& t, const input::OpenReport& report) {
             state::ThemeState expected;
             expected.themeName = t.themeName;
             expected.iconPaths[2] = "C:\\pack\\MYCOMP.ICO";
             expected.iconPaths[3] = "C:\\pack\\caf\xC3\xA9.ico";
             EXPECT_EQ(t, expected);
             EXPECT_EQ(report.missingFiles, std::vector<std::string>{"C:\\pack\\caf\xC3\xA9.ico"});
         }},
        {"Windows-1252 bytes",
         "[AppEvents\\Schemes\\Apps\\.Default\\RingIn\\.Current]\r\nDefaultValue=%ThemeDir%"
         "D\xE9j\xE0.wav\r\n",
         [](const state::ThemeState& t, const input::OpenReport&) {
             EXPECT_EQ(t.soundPaths[17], "C:\\pack\\D\xC3\xA9j\xC3\xA0.wav");
         }},
    };
    for (const PackCase& c : cases) {
        SCOPED_TRACE(c.what);
        write("pack/Old Pack.THEME", c.text);
        const auto result = open("C:\\pack\\Old Pack.THEME");
        ASSERT_TRUE(result.opened) << result.error;
        EXPECT_EQ(result.opened->theme.themeName, "Old Pack");
        c.check(result.opened->theme, result.opened->report);
    }
}

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
    // Each with the reason the user reads.
    const std::vector<std::pair<const char*, const char*>> files = {
        {"notes", "none of the sections"}, {"binary", "binary data"},
        {"huge", "larger than 1 MiB"},     {"folder", "a folder"},
        {"pipe", "not a regular file"},    {"dangling", "No such file"},
        {"absent", "No such file"}};
    for (const auto& [name, reason] : files) {
        SCOPED_TRACE(name);
        const auto result = open("C:\\bad\\" + std::string(name) + ".theme");
        EXPECT_FALSE(result.opened);
        EXPECT_NE(result.error.find(reason), std::string::npos) << result.error;
    }
    EXPECT_FALSE(open("Q:\\unmapped.theme").opened);
}

}  // namespace
