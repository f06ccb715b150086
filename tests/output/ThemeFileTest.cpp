// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/MemoryTextFile.h"
#include "output/ThemeFile.h"

using output::strip;
using state::rgb;
using state::ThemeState;

namespace {

std::string readReference(const std::string& name) {
    std::ifstream in(std::string(SKINSMITH_TEST_DATA) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string written(const ThemeState& s) {
    fakes::MemoryTextFile out;
    EXPECT_TRUE(output::writeThemeFile(s, out));
    return out.bytes();
}

// Splits the file on CR LF; fails the test if any line ends otherwise.
std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "bytes after the last CR LF";
            break;
        }
        const std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break: " << line;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

// Every slot a different file name, so a swapped slot shows up as a wrong name.
ThemeState fullyChosen() {
    ThemeState s;
    s.themeName = "Autumn";
    s.wallpaperPath = "C:\\Pics\\wall.jpg";
    s.tileWallpaper = true;
    for (int i = 0; i < 4; ++i) s.iconPaths[i] = "D:\\Icons\\icon" + std::to_string(i) + ".ico";
    for (int i = 0; i < 12; ++i) s.pointerPaths[i] = "C:\\Cur\\ptr" + std::to_string(i) + ".cur";
    for (int i = 0; i < 20; ++i) s.soundPaths[i] = "C:\\Wav\\snd" + std::to_string(i) + ".wav";
    for (int i = 0; i < 25; ++i) s.colors[i] = rgb(i, 100 + i, 200 + i);
    s.screenSaverPath = "C:\\Savers\\Blue Lines.scr";
    s.logoPaths = {"C:\\a.sys", "C:\\b.sys", "C:\\c.sys"};
    return s;
}

}  // namespace

TEST(ThemeFile, DefaultStateMatchesTheReferenceFileByteForByte) {
    const std::string reference = readReference("default.theme");
    ASSERT_EQ(reference.size(), 4297u) << "reference file missing or damaged";
    EXPECT_EQ(written(ThemeState{}), reference);
}

TEST(ThemeFile, EverySlotFeedsItsOwnLine) {
    const auto lines = linesOf(written(fullyChosen()));
    ASSERT_EQ(lines.size(), 105u);
    auto line = [&](int n) { return lines[n - 1]; };
    EXPECT_EQ(line(3), "DefaultValue=%ThemeDir%icon0.ico");
    EXPECT_EQ(line(5), "DefaultValue=%ThemeDir%icon1.ico");
    EXPECT_EQ(line(7), "full=%ThemeDir%icon2.ico");
    EXPECT_EQ(line(8), "empty=%ThemeDir%icon3.ico");

    // Colour lines: key and slot; colour i is (i, 100 + i, 200 + i).
    const std::vector<std::pair<int, std::pair<std::string, int>>> colours = {
        {10, {"ActiveTitle=", 1}},    {11, {"Background=", 3}},
        {12, {"Hilight=", 11}},       {13, {"HilightText=", 12}},
        {14, {"TitleText=", 21}},     {15, {"Window=", 22}},
        {16, {"WindowText=", 24}},    {17, {"Scrollbar=", 20}},
        {18, {"InactiveTitle=", 14}}, {19, {"Menu=", 18}},
        {20, {"WindowFrame=", 23}},   {21, {"MenuText=", 19}},
        {22, {"ActiveBorder=", 0}},   {23, {"InactiveBorder=", 13}},
        {24, {"AppWorkspace=", 2}},   {25, {"ButtonFace=", 5}},
        {26, {"ButtonShadow=", 8}},   {27, {"GrayText=", 10}},
        {28, {"ButtonText=", 9}},     {29, {"InactiveTitleText=", 15}},
        {30, {"ButtonHilight=", 6}},  {31, {"ButtonDkShadow=", 4}},
        {32, {"ButtonLight=", 7}},    {35, {"InfoText=", 16}},
        {36, {"InfoWindow=", 17}}};
    for (const auto& [n, keySlot] : colours) {
        const int i = keySlot.second;
        EXPECT_EQ(line(n), keySlot.first + " " + std::to_string(i) + " " + std::to_string(100 + i) +
                               " " + std::to_string(200 + i))
            << "line " << n;
    }
    EXPECT_EQ(line(33), "MessageBox=255 0 0");
    EXPECT_EQ(line(34), "MessageBoxText=0 0 0");

    const std::vector<std::pair<int, std::string>> cursors = {
        {38, "Arrow=%ThemeDir%ptr0.cur"},       {39, "Help=%ThemeDir%ptr9.cur"},
        {40, "AppStarting=%ThemeDir%ptr1.cur"}, {41, "Wait=%ThemeDir%ptr2.cur"},
        {42, "No=%ThemeDir%ptr5.cur"},          {43, "SizeNS=%ThemeDir%ptr6.cur"},
        {44, "SizeWE=%ThemeDir%ptr7.cur"},      {45, "Crosshair=%ThemeDir%ptr3.cur"},
        {46, "IBeam=%ThemeDir%ptr4.cur"},       {47, "SizeNWSE=%ThemeDir%ptr8.cur"},
        {48, "SizeNESW=%ThemeDir%ptr11.cur"},   {49, "SizeAll=%ThemeDir%ptr10.cur"}};
    for (const auto& [n, text] : cursors) EXPECT_EQ(line(n), text) << "line " << n;

    EXPECT_EQ(line(52), "Wallpaper=%ThemeDir%wall.jpg");
    EXPECT_EQ(line(53), "TileWallpaper=1");
    EXPECT_EQ(line(54), "ScreenSaveActive=1");

    // Sound value lines 57, 59, ... 95 and the slot each one carries.
    const int soundSlots[20] = {4,  13, 8, 9, 10, 11, 12, 1,  15, 16,
                                17, 18, 0, 3, 6,  7,  2,  14, 19, 5};
    for (int k = 0; k < 20; ++k) {
        EXPECT_EQ(line(57 + 2 * k),
                  "DefaultValue=%ThemeDir%snd" + std::to_string(soundSlots[k]) + ".wav")
            << "line " << 57 + 2 * k;
    }
    EXPECT_EQ(line(88), "[AppEvents\\Schemes\\Apps\\.Default\\SystemHand\\.Current]");
    EXPECT_EQ(line(89), "DefaultValue=%ThemeDir%snd2.wav") << "Critical stop";
    EXPECT_EQ(line(100), "SCRNSAVE.EXE=%WinDir%System\\Blue Lines.scr");

    // Neither the name nor the logos appear in the file.
    for (const auto& l : lines) {
        EXPECT_EQ(l.find("Autumn"), std::string::npos);
        EXPECT_EQ(l.find(".sys"), std::string::npos);
    }
}

TEST(ThemeFile, ColourTextPutsOneBlankBeforeEachValue) {
    EXPECT_EQ("Window=" + output::colorText(32768), "Window= 0 128 0");
    EXPECT_EQ("Window=" + output::colorText(8421504), "Window= 128 128 128");
    EXPECT_EQ("Window=" + output::colorText(65535), "Window= 255 255 0");
    EXPECT_EQ(output::colorText(0), " 0 0 0");
    EXPECT_EQ(output::colorText(255), " 255 0 0");
    EXPECT_EQ(output::colorText(255 * 65536), " 0 0 255");
    EXPECT_EQ(output::colorText(16777215), " 255 255 255");
}

TEST(ThemeFile, StripKeepsTheTextAfterTheLastBackslash) {
    EXPECT_EQ(strip("C:\\WINDOWS\\MEDIA\\Chord.wav"), "Chord.wav");
    EXPECT_EQ(strip("Chord.wav"), "Chord.wav");
    EXPECT_EQ(strip("*.wav"), "*.wav");
    EXPECT_EQ(strip(""), "");
    EXPECT_EQ(strip("C:\\Art\\"), "");
    EXPECT_EQ(strip("\\"), "");
    EXPECT_EQ(strip("C:/Art/Sky.ico"), "C:/Art/Sky.ico") << "the slash does not separate";
    EXPECT_EQ(strip("C:Sky.ico"), "C:Sky.ico") << "the colon does not separate";
    EXPECT_EQ(strip("D:\\My Pics\\Big Sky.ICO"), "Big Sky.ICO");
}

TEST(ThemeFile, OddSlotValuesAreWrittenUnchanged) {
    ThemeState s;
    s.soundPaths[2] = "*.wav";
    s.iconPaths[0] = "*.ico";
    s.wallpaperPath = "*.jpg";
    s.screenSaverPath = "*.scr";
    s.pointerPaths[0] = "C:\\Cur\\";  // ends with a backslash
    s.iconPaths[1] = "NoFolder.ico";
    s.soundPaths[0] = "C:\\a\\same.wav";
    s.soundPaths[1] = "D:\\b\\same.wav";
    const auto lines = linesOf(written(s));
    ASSERT_EQ(lines.size(), 105u);
    EXPECT_EQ(lines[88], "DefaultValue=%ThemeDir%*.wav");
    EXPECT_EQ(lines[2], "DefaultValue=%ThemeDir%*.ico");
    EXPECT_EQ(lines[4], "DefaultValue=%ThemeDir%NoFolder.ico");
    EXPECT_EQ(lines[51], "Wallpaper=%ThemeDir%*.jpg");
    EXPECT_EQ(lines[99], "SCRNSAVE.EXE=%WinDir%System\\*.scr");
    EXPECT_EQ(lines[37], "Arrow=%ThemeDir%");
    EXPECT_EQ(lines[80], "DefaultValue=%ThemeDir%same.wav");
    EXPECT_EQ(lines[70], "DefaultValue=%ThemeDir%same.wav");
}

TEST(ThemeFile, SecondWriteGivesIdenticalBytes) {
    const auto s = fullyChosen();
    EXPECT_EQ(written(s), written(s));
}

TEST(ThemeFile, NonAsciiSlotTextIsWrittenInWindows1252) {
    ThemeState s;
    s.wallpaperPath =
        "C:\\Bilder\\M\xC3\xBC"
        "ller \xE2\x82\xAC.jpg";              // "Müller €.jpg"
    s.iconPaths[0] = "C:\\\xE6\x97\xA5.ico";  // a CJK letter
    const auto lines = linesOf(written(s));
    EXPECT_EQ(lines[51], "Wallpaper=%ThemeDir%M\xFCller \x80.jpg");
    EXPECT_EQ(lines[2], "DefaultValue=%ThemeDir%?.ico") << "not in the code page";
}

TEST(ThemeFile, LineBreaksInASlotCannotAddLines) {
    ThemeState s;
    s.soundPaths[0] = "C:\\x\\a\r\nCrit=EVIL\r\n.wav";
    s.wallpaperPath = "C:\\x\\lf\nonly.jpg";
    s.screenSaverPath = "C:\\x\\cr\ronly.scr";
    const auto bytes = written(s);
    const auto lines = linesOf(bytes);
    ASSERT_EQ(lines.size(), 105u);
    EXPECT_EQ(lines[80], "DefaultValue=%ThemeDir%a??Crit=EVIL??.wav");
    EXPECT_EQ(lines[51], "Wallpaper=%ThemeDir%lf?only.jpg");
    EXPECT_EQ(lines[99], "SCRNSAVE.EXE=%WinDir%System\\cr?only.scr");
    EXPECT_EQ(lines[104], "Crit=ORVO");
}

TEST(ThemeFile, FailingDeviceSkipsTheLineAndTellsTheCaller) {
    const std::string full = written(ThemeState{});
    // Room for the first three lines and part of the fourth: line 4 and all longer lines
    // fail, shorter later lines still fit, and the caller learns that something failed.
    const auto firstThree = full.find("[CLSID\\{208D");
    fakes::MemoryTextFile out(firstThree + 20);
    EXPECT_FALSE(output::writeThemeFile(ThemeState{}, out));
    EXPECT_EQ(out.writes(), 105) << "every line is tried";
    EXPECT_GT(out.failedWrites(), 0);
    EXPECT_EQ(out.bytes().substr(0, firstThree), full.substr(0, firstThree));
    const auto lines = linesOf(out.bytes());
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(105 - out.failedWrites()));

    fakes::MemoryTextFile none(0);
    EXPECT_FALSE(output::writeThemeFile(ThemeState{}, none));
    EXPECT_EQ(none.writes(), 105);
    EXPECT_EQ(none.bytes(), "");
}
