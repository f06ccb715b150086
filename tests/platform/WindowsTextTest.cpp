// SPDX-License-Identifier: MIT
// Windows text, names and paths: code page 1252, the names Windows refuses, and the drive map
// between Windows and host paths.
#include <gtest/gtest.h>

#include <string>

#include "platform/DriveMap.h"
#include "platform/Windows1252.h"
#include "platform/WindowsNames.h"

using platform::NameProblem;

TEST(WindowsText, RoundTripsCodePage1252AndRefusesTheNamesWindowsRefuses) {
    // Latin, euro, em dash and S caron; Cyrillic and an emoji (not in the code
    // page); malformed UTF-8 and a cut-off sequence.
    const std::pair<std::string, std::string> encodings[] = {
        {"Sky caf\xC3\xA9 \xE2\x82\xAC\xE2\x80\x94\xC5\xA0", "Sky caf\xE9 \x80\x97\x8A"},
        {"\xD0\x96\xF0\x9F\x98\x80x", "??x"},
        {"a\xFF!\xC3", "a?!?"}};
    for (const auto& [utf8, encoded] : encodings) EXPECT_EQ(platform::toWindows1252(utf8), encoded);
    for (int b = 1; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = platform::fromWindows1252(one);
        EXPECT_TRUE(platform::fitsWindows1252(utf8)) << b;
        EXPECT_EQ(platform::toWindows1252(utf8), one) << b;
    }
    EXPECT_FALSE(platform::fitsWindows1252("\xE6\x97\xA5"));

    // The hostile names: each list holds the names whose problem is the one it is
    // filed under.
    const std::pair<NameProblem, std::vector<std::string>> cases[] = {
        {NameProblem::None,
         {"Autumn", "a. b", "My Theme 2.0", "Caf\xC3\xA9",
          "\xD0\x9E\xD1\x81\xD0\xB5\xD0\xBD\xD1\x8C", "CONSOLE", "COM0", "LPT10",
          "COM\xC2\xBD" /* ½ is no port */, "\xF0\x9F\x98\x80", std::string(255, 'a')}},
        {NameProblem::TrailingDotOrBlank, {" ", "Theme.", "..."}},
        {NameProblem::Empty, {""}},
        {NameProblem::DotName, {".", ".."}},
        {NameProblem::ForbiddenCharacter,
         {"..\\x", "a/b", "a:b", "a*", "a?", "\"q\"", "<a>", "a|b"}},
        {NameProblem::ControlCharacter, {"a\tb", "a\r\nb"}},
        {NameProblem::ReservedDevice,
         {"CON", "con", "Nul.txt", "AUX .theme", "prn", "COM1", "com9.bat", "LPT1",
          "COM\xC2\xB9" /* COM¹ */, "lpt\xC2\xB3.txt"}},
        // Malformed UTF-8 (the first found by fuzzing): stray continuation bytes,
        // a cut sequence, an overlong "/", a surrogate.
        {NameProblem::NotText, {"\xB6\xBC\xBC", "a\xC3", "\xC0\xAF", "\xED\xA0\x80"}},
        {NameProblem::TooLong, {std::string(256, 'a'), std::string(300, 'a')}},
    };
    for (const auto& [problem, names] : cases)
        for (const std::string& name : names)
            EXPECT_EQ(platform::checkWindowsName(name), problem) << '"' << name << '"';
    // 200 Cyrillic letters are 400 bytes but 200 UTF-16 units: within the limit.
    std::string cyrillic;
    for (int i = 0; i < 200; ++i) cyrillic += "\xD0\x96";
    EXPECT_EQ(platform::windowsNameLength(cyrillic), 200u);
    EXPECT_EQ(platform::windowsNameLength("\xF0\x9F\x98\x80"), 2u) << "a surrogate pair";
}

// Windows paths become host paths under their drive and nothing escapes; host paths show on
// the closest drive or are refused with a reason.
TEST(DriveMap, PathsMapBothWaysAndNothingEscapes) {
    platform::DriveMap d;
    d.map('C', "/home/ann");
    d.map('z', "/");
    auto host = [&](const char* windows) { return d.toHost(windows).value_or("?").string(); };
    EXPECT_EQ(host("C:\\skinvault\\Autumn"), "/home/ann/skinvault/Autumn");
    EXPECT_EQ(host("c:\\Art\\Sky.ico"), "/home/ann/Art/Sky.ico");
    EXPECT_EQ(host("Z:\\usr\\share\\x.wav"), "/usr/share/x.wav");
    EXPECT_EQ(host("C:\\"), "/home/ann");
    EXPECT_EQ(host("C:\\a\\\\b"), "/home/ann/a/b");
    // Up and out, a slash (no separator, but no name either), an unmapped drive, relative and
    // drive-relative paths, a control character, a device.
    for (const char* outside : {"C:\\..\\etc\\passwd", "C:\\a\\..\\..\\b", "C:\\a/../../b",
                                "D:\\x.ico", "x.ico", "C:x.ico", "C:\\a\nb", "C:\\CON"})
        EXPECT_FALSE(d.toHost(outside)) << outside;

    auto windows = [&](const char* host) { return d.toWindows(host).value_or("?"); };
    EXPECT_EQ(windows("/home/ann/Art/Sky.ico"), "C:\\Art\\Sky.ico");
    EXPECT_EQ(windows("/home/ann"), "C:\\");
    EXPECT_EQ(windows("/usr/share/sounds/ding.wav"), "Z:\\usr\\share\\sounds\\ding.wav");
    EXPECT_EQ(windows("/home/annex/x.ico"), "Z:\\home\\annex\\x.ico") << "not under /home/ann";
    EXPECT_EQ(windows("/home/ann/./a/../b.ico"), "C:\\b.ico");
    EXPECT_EQ(windows("/home/ann/Caf\xC3\xA9.jpg"), "C:\\Caf\xC3\xA9.jpg");
    for (const auto& [host, reason] : {std::pair{"/home/ann/what?.ico", "what?.ico"},
                                       {"/home/ann/a\\b.ico", "a\\b.ico"},
                                       {"/home/ann/two\nlines.wav", "control character"},
                                       {"/home/ann/\xE6\x97\xA5.ico", "1252"},
                                       {"relative/x.ico", ""}}) {
        std::string why;
        EXPECT_FALSE(d.toWindows(host, &why)) << host;
        EXPECT_NE(why.find(reason), std::string::npos) << why;
    }
    platform::DriveMap onlyC;
    onlyC.map('C', "/home/ann");
    EXPECT_FALSE(onlyC.toWindows("/etc/x.ico"));
}
