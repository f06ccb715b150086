// SPDX-License-Identifier: MIT
// The theme reader: themes the tool wrote come back exactly, theme files in the forms real
// packs use are read as Windows reads them, and anything that is no theme is refused.
#include <sys/stat.h>

#include "fakes/ScriptedMessageBoxes.h"
#include "input/ThemeReader.h"
#include "output/CreateTheme.h"
#include "platform/HostFileSystem.h"
#include "support/TempDrive.h"

using ThemeReaderTest = testsupport::TempDriveTest;

// A state comes back from the theme the tool creates for it: every chosen slot names its copy
// in the theme folder, the rest is unchanged, logos come back from the batch file.
TEST_F(ThemeReaderTest, CreatedThemesOpenAsTheStateThatMadeThem) {
    state::ThemeState s;
    s.themeName = "Autumn 100%";
    s.tileWallpaper = true;
    for (unsigned i = 0; i < 25; ++i) s.colors[i] = 0x10305 * i + 0x70000;
    state::ThemeState expected = s;  // its paths are filled in below
    int file = 0;
    // Most slots get a file of their own; some stay empty or at their pattern (read back empty).
    auto fill = [&](std::string& slot, std::string& want, const char* pattern) {
        if (++file % 7 == 0) slot = pattern;
        if (file % 7 == 0 || file % 11 == 0) return;
        const std::string name = "F" + std::to_string(file) + (file % 3 ? "" : "%x") + ".f";
        put(QString::fromStdString("src/" + std::to_string(file) + "/" + name), name.c_str());
        slot = "C:\\src\\" + std::to_string(file) + "\\" + name;
        want = "C:\\skinvault\\Autumn 100%\\" + name;
    };
    for (int i = 0; i < 4; ++i) fill(s.iconPaths[i], expected.iconPaths[i], "*.ico");
    for (int i = 0; i < 12; ++i) fill(s.pointerPaths[i], expected.pointerPaths[i], "*.ani;*.cur");
    for (int i = 0; i < 20; ++i) fill(s.soundPaths[i], expected.soundPaths[i], "*.wav");
    for (int i = 0; i < 3; ++i) fill(s.logoPaths[i], expected.logoPaths[i], "*.sys");
    fill(s.wallpaperPath, expected.wallpaperPath, "*.jpg");
    fill(s.screenSaverPath, expected.screenSaverPath, "*.scr");
    platform::HostFileSystem files(m_drives);
    fakes::ScriptedMessageBoxes messages;
    output::createTheme(s, files, messages);

    const auto result = input::openTheme(m_drives, "C:\\skinvault\\Autumn 100%\\Autumn 100%.theme");
    ASSERT_TRUE(result.opened) << result.error;
    EXPECT_EQ(result.opened->theme, expected);
}

// One pack as real packs write it, in each line end and both encodings, over files whose
// names are upper-case 8.3, as packs unpacked from old discs hold them.
TEST_F(ThemeReaderTest, ReadsThemeFilesAsWindowsReadsThem) {
    for (const char* file : {"pack/ARROW,2", "pack/SKY.BMP", "pack/BLUE.SCR", "art/Moon.ico",
                             "WINDOWS/MEDIA/chord.wav", "pack/D\xC3\xA9j\xC3\xA0.wav",
                             "pack/LOGO1.SYS", "pack/wait 100%.sys"})
        put(file, "x");
    // Only the tool's own lines count: any other target or command is ignored.
    put("pack/OLD PACK.BAT",
        "copy \"logo1.sys\" c:\\logo.sys\r\ncopy \"wait 100%%.sys\" C:\\WINDOWS\\LOGOW.SYS\r\n"
        "copy \"a.sys\" c:\\autoexec.bat\r\ndel *.*\r\n");
    const std::pair<std::string, std::string> forms[] = {
        {"", "\r\n"}, {"", "\n"}, {"", "\r"}, {"\xEF\xBB\xBF", "\r\n"}};  // UTF-8 after its mark
    for (const auto& [mark, end] : forms) {
        const std::string deja = mark.empty() ? "D\xE9j\xE0" : "D\xC3\xA9j\xC3\xA0";
        const std::string text =
            "; made on a Windows 98 machine\n[control panel\\CURSORS]\n"
            "Arrow=%ThemeDir%arrow,2\nWait=%ThemeDir%GONE.ANI\n[CONTROL PANEL\\desktop]\n"
            "  wallpaper = %themedir%Sky.bmp \ntilewallpaper=1\n"
            "[AppEvents\\Schemes\\Apps\\.Default\\SystemAsterisk\\.Current]\n"
            "DefaultValue=%WinDir%media\\CHORD.WAV\n"
            "[AppEvents\\Schemes\\Apps\\.Default\\RingIn\\.Current]\nDefaultValue=" +
            deja +
            ".wav\n[Control Panel\\Colors]\nMenu=1 2 3\nMenu=9 9 9\nBackground=300 0 0\n"
            "Window=1 2\nGradientActiveTitle=1 1 1\n"
            "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\n"
            "DefaultValue=\"C:\\art\\moon.ico\",0\n"
            "[CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon]\n"
            "DefaultValue=%WinDir%SYSTEM\\shell32.dll,15\n"
            "[CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon]\nfull=shell32.dll,31\n"
            "empty=%ThemeDir%sky.bmp,-3\n[boot]\nSCRNSAVE.EXE=%WinDir%SYSTEM\\blue.scr";
        put("pack/Old Pack.THEME",
            QByteArray::fromStdString(mark + text).replace("\n", end.c_str()));
        const auto result = input::openTheme(m_drives, "C:\\pack\\Old Pack.THEME");
        ASSERT_TRUE(result.opened) << result.error;
        state::ThemeState expected;  // what the file does not name keeps its start-up value
        expected.themeName = "Old Pack";
        expected.pointerPaths[0] = "C:\\pack\\ARROW,2";   // only an icon has an index
        expected.pointerPaths[2] = "C:\\pack\\GONE.ANI";  // missing, kept and reported
        expected.wallpaperPath = "C:\\pack\\SKY.BMP";
        expected.tileWallpaper = true;
        expected.soundPaths[0] = "C:\\WINDOWS\\MEDIA\\chord.wav";
        expected.soundPaths[17] = "C:\\pack\\D\xC3\xA9j\xC3\xA0.wav";
        expected.colors[18] = state::rgb(1, 2, 3);  // the first of two equal keys counts
        expected.iconPaths[0] = "C:\\art\\Moon.ico";
        expected.iconPaths[3] = "C:\\pack\\SKY.BMP";
        expected.screenSaverPath = "C:\\pack\\BLUE.SCR";  // named in the System folder
        expected.logoPaths = {"C:\\pack\\LOGO1.SYS", "C:\\pack\\wait 100%.sys", ""};
        EXPECT_EQ(result.opened->theme, expected) << mark << end;
        const auto& report = result.opened->report;
        EXPECT_EQ(report.missingFiles, std::vector<std::string>{"C:\\pack\\GONE.ANI"});
        EXPECT_EQ(report.embeddedIcons,
                  (std::vector<std::string>{"%WinDir%SYSTEM\\shell32.dll,15", "shell32.dll,31"}));
        EXPECT_EQ(report.badColors, (std::vector<std::string>{"Background=300 0 0", "Window=1 2"}));
        EXPECT_EQ(report.outsideFiles,
                  (std::vector<std::string>{"C:\\art\\Moon.ico", "C:\\WINDOWS\\MEDIA\\chord.wav"}));
    }
}

TEST_F(ThemeReaderTest, AnythingThatIsNoThemeFileIsRefusedWithAReason) {
    auto refused = [&](const std::string& path, const std::string& reason) {
        const auto result = input::openTheme(m_drives, path);
        EXPECT_FALSE(result.opened) << path;
        EXPECT_NE(result.error.find(reason), std::string::npos) << result.error;
    };
    refused(put("bad/notes.theme", "Just some notes.\r\n[Things]\r\na=b\r\n"),
            "It holds none of the sections of a Windows theme file.");
    refused(put("bad/binary.theme", QByteArray("[boot]\r\n\0", 9)),
            "It holds binary data, not the text of a theme file.");
    refused(put("bad/huge.theme", "[boot]\r\n" + QByteArray(input::kMaxThemeFileBytes, ';')),
            "larger than 1 MiB");
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("bad/folder.theme"));
    refused("C:\\bad\\folder.theme", "a folder");
    ASSERT_EQ(mkfifo(QFile::encodeName(m_dir.filePath("bad/pipe.theme")).constData(), 0600), 0);
    refused("C:\\bad\\pipe.theme", "not a regular file");
    refused("Q:\\unmapped.theme", "The path cannot be reached on this machine.");
}
