// SPDX-License-Identifier: MIT
// The theme reader: themes the tool wrote come back exactly, theme files in the forms real
// packs use are read as Windows reads them, and anything that is no theme is refused.
#include <sys/stat.h>

#include <map>
#include <random>

#include "fakes/ScriptedMessageBoxes.h"
#include "input/ThemeReader.h"
#include "output/CreateTheme.h"
#include "platform/HostFileSystem.h"
#include "platform/HostFiles.h"
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
        // Colours the file does not set are Windows Standard's, which Windows keeps for them.
        expected.colors = state::kWindowsStandardColors;
        expected.colors[18] = state::rgb(1, 2, 3);  // the first of two equal keys counts
        // Lines no page takes are kept as read; an icon in a program file not found here too.
        expected.keptKeys = {
            {"Control Panel\\Colors", "GradientActiveTitle", "GradientActiveTitle=1 1 1", "", ""},
            {"CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon", "DefaultValue",
             "DefaultValue=%WinDir%SYSTEM\\shell32.dll,15", "", ""},
            {"CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon", "full",
             "full=shell32.dll,31", "", ""}};
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
        EXPECT_EQ(report.notKept, std::vector<std::string>{
                                      "[Control Panel\\Colors] Menu=9 9 9 (a second Menu in its "
                                      "section, which Windows does not read)"});
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

// Lines no page edits survive open and create byte for byte, in every kind of section: those
// the fixed lines write (keys added after theirs), sections they lack (after them, each once,
// a second copy of a section merged into the first as Windows reads it), and a fixed key
// whose opened value replaces the fixed one.
TEST_F(ThemeReaderTest, KeptKeysComeBackByteForByteInTheirSections) {
    const std::vector<std::string> sections = {
        "CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon",
        "Control Panel\\Colors",
        "Control Panel\\Cursors",
        "control panel\\desktop",
        "Control Panel\\Desktop\\WindowMetrics",
        "AppEvents\\Schemes\\Apps\\.Default\\Minimize\\.Current",
        "Metrics",
        "boot",
        "MasterThemeSelector",
        "Software\\Microsoft\\Plus!\\System\\Screen Saver",
        "CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}\\DefaultIcon",
    };
    std::mt19937 random(21);
    for (int round = 0; round < 8; ++round) {
        std::map<std::string, std::vector<std::string>> want;  // by section: its lines
        std::string text = "[boot]\r\n";
        for (int i = 0; i < 40; ++i) {
            const std::string& section = sections[random() % sections.size()];
            std::string key = "K" + std::to_string(round) + "x" + std::to_string(i);
            std::string value;
            for (int n = random() % 12; n > 0; --n) {
                const auto byte = static_cast<unsigned char>(0x20 + random() % 0xE0);
                // Windows-1252 leaves five bytes undefined; the reader cannot give them back.
                if (std::string_view("\x81\x8D\x8F\x90\x9D\x7F").find(static_cast<char>(byte)) ==
                    std::string_view::npos)
                    value += static_cast<char>(byte);
            }
            while (!value.empty() && value.back() == ' ') value.pop_back();
            while (!value.empty() && value.front() == ' ') value.erase(0, 1);
            if (value.find('%') != std::string::npos || value.empty()) value = "v" + value;
            const std::string line = key + (random() % 2 ? "=" : " = ") + value;
            text += "[" + section + "]\r\n" + line + "\r\n";
            want[platform::asciiLower(section)].push_back(line);
        }
        text += "[Metrics]\r\nIconMetrics=1 2 3\r\n[MasterThemeSelector]\r\nThemeColorBPP=16\r\n";
        want["metrics"].push_back("IconMetrics=1 2 3");
        want["masterthemeselector"].push_back("ThemeColorBPP=16");
        put("pack/Kept.theme", QByteArray::fromStdString(text));
        const auto opened = input::openTheme(m_drives, "C:\\pack\\Kept.theme");
        ASSERT_TRUE(opened.opened) << opened.error;
        platform::HostFileSystem files(m_drives);
        fakes::ScriptedMessageBoxes messages;
        output::createTheme(opened.opened->theme, files, messages);

        const std::string written =
            testdata::contents(m_dir.filePath("skinvault/Kept/Kept.theme")).toStdString();
        std::map<std::string, std::vector<std::string>> got;
        std::string current;
        std::size_t at = 0;
        for (std::size_t end; (end = written.find("\r\n", at)) != std::string::npos; at = end + 2) {
            const std::string line = written.substr(at, end - at);
            if (line.starts_with("[")) {
                current = platform::asciiLower(line.substr(1, line.size() - 2));
                EXPECT_EQ(got.count(current), 0u) << "a second [" << current << "]";
                got[current];
            } else {
                got[current].push_back(line);
            }
        }
        for (const auto& [section, lines] : want)
            for (const auto& line : lines) {
                const auto& in = got[section];
                EXPECT_NE(std::find(in.begin(), in.end(), line), in.end())
                    << "[" << section << "] " << line;
            }
        EXPECT_EQ(std::count(got["masterthemeselector"].begin(), got["masterthemeselector"].end(),
                             "ThemeColorBPP = 8"),
                  0);
    }
}

// A Plus! 98 theme: kept keys that name files are copied with the slots and name the copies,
// an icon inside a program file keeps its index, and opened fixed values replace the fixed ones.
TEST_F(ThemeReaderTest, KeptFilesAreCopiedAndNamedLikeSlots) {
    for (const char* file : {"p98/COOL.DLL", "p98/DOCS.ICO", "p98/UPARROW.CUR", "p98/PEN.ANI",
                             "p98/EXPLORE.WAV", "p98/SKY.JPG"})
        put(file, file);
    put("p98/Cool 98.theme",
        "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r\n"
        "DefaultValue=%ThemeDir%COOL.DLL,18\r\n"
        "[CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}\\DefaultIcon]\r\n"
        "DefaultValue=%ThemeDir%docs.ico,0\r\n"
        "[Control Panel\\Cursors]\r\nUpArrow=%ThemeDir%uparrow.cur\r\nNWPen=PEN.ANI\r\n"
        "[Control Panel\\Desktop]\r\nWallpaper=%ThemeDir%SKY.JPG\r\nWallpaperStyle=2\r\n"
        "ScreenSaveActive=0\r\n"
        "[AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.Current]\r\n"
        "DefaultValue=%ThemeDir%EXPLORE.WAV\r\n"
        "[MasterThemeSelector]\r\nThemeColorBPP=16\r\n");
    const auto opened = input::openTheme(m_drives, "C:\\p98\\Cool 98.theme");
    ASSERT_TRUE(opened.opened) << opened.error;
    platform::HostFileSystem files(m_drives);
    fakes::ScriptedMessageBoxes messages;
    output::createTheme(opened.opened->theme, files, messages);

    const QString folder = m_dir.filePath("skinvault/Cool 98/");
    const std::string written = testdata::contents(folder + "Cool 98.theme").toStdString();
    for (const char* line : {"[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r\n"
                             "DefaultValue=%ThemeDir%COOL.DLL,18\r\n",
                             "[CLSID\\{450D8FBA-AD25-11D0-98A8-0800361B1103}\\DefaultIcon]\r\n"
                             "DefaultValue=%ThemeDir%DOCS.ICO,0\r\n",
                             "DefaultValue=Windows default\r\nUpArrow=%ThemeDir%UPARROW.CUR\r\n"
                             "NWPen=%ThemeDir%PEN.ANI\r\n",
                             "TileWallpaper=0\r\nScreenSaveActive=0\r\nWallpaperStyle=2\r\n",
                             "[AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.Current]\r\n"
                             "DefaultValue=%ThemeDir%EXPLORE.WAV\r\n",
                             "MTSM = DABJDKT\r\nThemeColorBPP=16\r\nStretch = 1\r\n"})
        EXPECT_NE(written.find(line), std::string::npos) << line << "\nin\n" << written;
    for (const char* copy : {"COOL.DLL", "DOCS.ICO", "UPARROW.CUR", "PEN.ANI", "EXPLORE.WAV"})
        EXPECT_EQ(testdata::contents(folder + copy), QByteArray("p98/") + copy) << copy;
    EXPECT_EQ(opened.opened->report.embeddedIcons,
              std::vector<std::string>{"%ThemeDir%COOL.DLL,18"});
}
