// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fakes/MemoryTextFile.h"
#include "output/ThemeFile.h"

using state::ThemeState;

namespace {

std::string written(const ThemeState& s) {
    fakes::MemoryTextFile out;
    EXPECT_TRUE(output::writeThemeFile(s, out));
    return out.bytes();
}

// The file of the default state, typed independently of the writer.
std::string reference() {
    std::ifstream in(std::string(SKINSMITH_TEST_DATA) + "/default.theme", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Splits the file on CR LF; fails the test if any line ends otherwise.
std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < bytes.size(); start = end + 2) {
        end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "bytes after the last CR LF";
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
    }
    return lines;
}

}  // namespace

TEST(ThemeFile, DefaultStateMatchesTheReferenceFileByteForByte) {
    const std::string bytes = reference();
    ASSERT_EQ(bytes.size(), 4297u) << "reference file missing or damaged";
    EXPECT_EQ(written(ThemeState{}), bytes);
}

// Every slot a different value, so a swapped slot shows up as a wrong line; the file is the
// reference file with each slot's value on its own line and nothing else changed.
TEST(ThemeFile, EverySlotFeedsItsOwnLine) {
    ThemeState s;
    s.themeName = "Autumn";
    s.logoPaths = {"C:\\a.sys", "C:\\b.sys", "C:\\c.sys"};  // neither appears in the file
    s.wallpaperPath = "C:\\Pics\\wall.jpg";
    s.tileWallpaper = true;
    s.screenSaverPath = "C:\\Savers\\Blue Lines.scr";
    for (int i = 0; i < 4; ++i) s.iconPaths[i] = "D:\\Icons\\icon" + std::to_string(i) + ".ico";
    for (int i = 0; i < 12; ++i) s.pointerPaths[i] = "C:\\Cur\\p" + std::to_string(i) + ".cur";
    for (int i = 0; i < 20; ++i) s.soundPaths[i] = "C:\\Wav\\s" + std::to_string(i) + ".wav";
    for (unsigned i = 0; i < 25; ++i) s.colors[i] = i + 256 * (100 + i) + 65536 * (200 + i);

    std::vector<std::string> expected = linesOf(reference());
    ASSERT_EQ(expected.size(), 105u);
    auto at = [&](int line) -> std::string& { return expected[line - 1]; };
    for (int i = 0; i < 4; ++i)
        at(i < 2 ? 3 + 2 * i : 5 + i) += "icon" + std::to_string(i) + ".ico";
    // Colour slot of lines 10 to 32, then 35 and 36; colour i is (i, 100 + i, 200 + i).
    const int colourSlots[] = {1, 3,  11, 12, 21, 22, 24, 20, 14, 18, 23, 19,
                               0, 13, 2,  5,  8,  10, 9,  15, 6,  4,  7};
    auto colour = [&](int line, int i) {
        at(line).resize(at(line).find('=') + 1);
        at(line) +=
            " " + std::to_string(i) + " " + std::to_string(100 + i) + " " + std::to_string(200 + i);
    };
    for (int k = 0; k < 23; ++k) colour(10 + k, colourSlots[k]);
    colour(35, 16);
    colour(36, 17);
    const int cursorSlots[] = {0, 9, 1, 2, 5, 6, 7, 3, 4, 8, 11, 10};  // lines 38 to 49
    for (int k = 0; k < 12; ++k) at(38 + k) += "p" + std::to_string(cursorSlots[k]) + ".cur";
    at(52) += "wall.jpg";
    at(53) = "TileWallpaper=1";
    const int soundSlots[] = {4, 13, 8, 9, 10, 11, 12, 1, 15, 16, 17, 18, 0, 3, 6, 7, 2, 14, 19, 5};
    for (int k = 0; k < 20; ++k) at(57 + 2 * k) += "s" + std::to_string(soundSlots[k]) + ".wav";
    at(100) += "Blue Lines.scr";

    EXPECT_EQ(linesOf(written(s)), expected);
}

// A slot's text is written as the text after its last backslash, in Windows-1252, and can
// never start a line of its own.
TEST(ThemeFile, SlotTextBecomesOneLineInTheCodePage) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\WINDOWS\\MEDIA\\Chord.wav", "Chord.wav"},
        {"D:\\My Pics\\Big Sky.ICO", "Big Sky.ICO"},
        {"NoFolder.jpg", "NoFolder.jpg"},
        {"*.jpg", "*.jpg"},
        {"C:\\Art\\", ""},
        {"C:/Art/Sky.jpg", "C:/Art/Sky.jpg"},  // only a backslash separates
        {"C:\\Bilder\\M\xC3\xBCller \xE2\x82\xAC.jpg", "M\xFCller \x80.jpg"},
        {"C:\\\xE6\x97\xA5.jpg", "?.jpg"},  // not in the code page
        {"C:\\x\\a\r\nCrit=EVIL\r\n.jpg", "a??Crit=EVIL??.jpg"},
        {"C:\\x\\lf\nonly.jpg", "lf?only.jpg"},
    };
    for (const auto& [path, text] : cases) {
        ThemeState s;
        s.wallpaperPath = path;
        const auto lines = linesOf(written(s));
        ASSERT_EQ(lines.size(), 105u) << path;
        EXPECT_EQ(lines[51], "Wallpaper=%ThemeDir%" + text) << path;
    }
}

TEST(ThemeFile, FailingDeviceSkipsTheLineAndTellsTheCaller) {
    const std::string full = reference();
    // Room for the first three lines and part of the fourth: line 4 and all longer lines
    // fail, shorter later lines still fit, and the caller learns that something failed.
    const auto firstThree = full.find("[CLSID\\{208D");
    fakes::MemoryTextFile out(firstThree + 20);
    EXPECT_FALSE(output::writeThemeFile(ThemeState{}, out));
    EXPECT_EQ(out.writes(), 105) << "every line is tried";
    EXPECT_GT(out.failedWrites(), 0);
    EXPECT_EQ(out.bytes().substr(0, firstThree), full.substr(0, firstThree));
    EXPECT_EQ(linesOf(out.bytes()).size(), static_cast<std::size_t>(105 - out.failedWrites()));
}
