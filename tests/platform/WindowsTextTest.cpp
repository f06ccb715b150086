// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "platform/Windows1252.h"
#include "platform/WindowsNames.h"

using platform::NameProblem;

TEST(Windows1252, EncodesLatinAndTheHighPunctuation) {
    EXPECT_EQ(platform::toWindows1252("Sky.ico"), "Sky.ico");
    EXPECT_EQ(platform::toWindows1252("caf\xC3\xA9"), "caf\xE9");
    EXPECT_EQ(platform::toWindows1252("\xE2\x82\xAC\xE2\x80\x94\xC5\xA0"), "\x80\x97\x8A");
    EXPECT_EQ(platform::toWindows1252("\xD0\x96"), "?") << "Cyrillic is not in the code page";
    EXPECT_EQ(platform::toWindows1252("\xF0\x9F\x98\x80x"), "?x");
    EXPECT_EQ(platform::toWindows1252("a\xFF"
                                      "b"),
              "a?b")
        << "malformed UTF-8";
    EXPECT_EQ(platform::toWindows1252("\xC3"), "?") << "cut-off sequence";
}

TEST(Windows1252, RoundTripsEveryAssignedByte) {
    for (int b = 1; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
        const std::string one(1, static_cast<char>(b));
        const std::string utf8 = platform::fromWindows1252(one);
        EXPECT_TRUE(platform::fitsWindows1252(utf8)) << b;
        EXPECT_EQ(platform::toWindows1252(utf8), one) << b;
    }
    EXPECT_FALSE(platform::fitsWindows1252("\xE6\x97\xA5"));
}

TEST(WindowsNames, RefusesWhatWindowsRefuses) {
    struct Case {
        std::string name;
        NameProblem problem;
    };
    const Case cases[] = {
        {"Autumn", NameProblem::None},
        {" ", NameProblem::TrailingDotOrBlank},
        {"Theme.", NameProblem::TrailingDotOrBlank},
        {"a. b", NameProblem::None},
        {"My Theme 2.0", NameProblem::None},
        {"Caf\xC3\xA9", NameProblem::None},
        {"\xD0\x9E\xD1\x81\xD0\xB5\xD0\xBD\xD1\x8C", NameProblem::None},
        {"CONSOLE", NameProblem::None},
        {"COM0", NameProblem::None},
        {"LPT10", NameProblem::None},
        {"...", NameProblem::TrailingDotOrBlank},
        {"", NameProblem::Empty},
        {".", NameProblem::DotName},
        {"..", NameProblem::DotName},
        {"..\\x", NameProblem::ForbiddenCharacter},
        {"a/b", NameProblem::ForbiddenCharacter},
        {"a:b", NameProblem::ForbiddenCharacter},
        {"a*", NameProblem::ForbiddenCharacter},
        {"a?", NameProblem::ForbiddenCharacter},
        {"\"q\"", NameProblem::ForbiddenCharacter},
        {"<a>", NameProblem::ForbiddenCharacter},
        {"a|b", NameProblem::ForbiddenCharacter},
        {"a\tb", NameProblem::ControlCharacter},
        {"a\r\nb", NameProblem::ControlCharacter},
        {"CON", NameProblem::ReservedDevice},
        {"con", NameProblem::ReservedDevice},
        {"Nul.txt", NameProblem::ReservedDevice},
        {"AUX .theme", NameProblem::ReservedDevice},
        {"prn", NameProblem::ReservedDevice},
        {"COM1", NameProblem::ReservedDevice},
        {"com9.bat", NameProblem::ReservedDevice},
        {"LPT1", NameProblem::ReservedDevice},
        {"COM\xC2\xB9", NameProblem::ReservedDevice},  // COM¹
        {"lpt\xC2\xB3.txt", NameProblem::ReservedDevice},
        {"COM\xC2\xBD", NameProblem::None},  // ½ is no port
        // Malformed UTF-8 (the first found by fuzzing): stray continuation bytes, a cut
        // sequence, an overlong "/", a surrogate.
        {"\xB6\xBC\xBC", NameProblem::NotText},
        {"a\xC3", NameProblem::NotText},
        {"\xC0\xAF", NameProblem::NotText},
        {"\xED\xA0\x80", NameProblem::NotText},
        {"\xF0\x9F\x98\x80", NameProblem::None},
        {std::string(255, 'a'), NameProblem::None},
        {std::string(256, 'a'), NameProblem::TooLong},
        {std::string(300, 'a'), NameProblem::TooLong},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::checkWindowsName(c.name), c.problem) << '"' << c.name << '"';
    }
    // 200 Cyrillic letters are 400 bytes but 200 UTF-16 units: within the limit.
    std::string cyrillic;
    for (int i = 0; i < 200; ++i) cyrillic += "\xD0\x96";
    EXPECT_EQ(platform::windowsNameLength(cyrillic), 200u);
    EXPECT_EQ(platform::windowsNameLength("\xF0\x9F\x98\x80"), 2u) << "a surrogate pair";
}
