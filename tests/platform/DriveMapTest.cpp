// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "platform/DriveMap.h"

using platform::DriveMap;

namespace {
DriveMap linuxLike() {
    DriveMap d;
    d.map('C', "/home/ann");
    d.map('z', "/");
    return d;
}
}  // namespace

TEST(DriveMap, WindowsPathsBecomeHostPathsUnderTheirDrive) {
    const auto d = linuxLike();
    EXPECT_EQ(d.toHost("C:\\skinvault\\Autumn"),
              std::filesystem::path("/home/ann/skinvault/Autumn"));
    EXPECT_EQ(d.toHost("c:\\Art\\Sky.ico"), std::filesystem::path("/home/ann/Art/Sky.ico"));
    EXPECT_EQ(d.toHost("Z:\\usr\\share\\x.wav"), std::filesystem::path("/usr/share/x.wav"));
    EXPECT_EQ(d.toHost("C:\\"), std::filesystem::path("/home/ann"));
    EXPECT_EQ(d.toHost("C:\\a\\\\b"), std::filesystem::path("/home/ann/a/b"));
}

TEST(DriveMap, NothingEscapesTheMappedDrives) {
    const auto d = linuxLike();
    EXPECT_FALSE(d.toHost("C:\\..\\etc\\passwd"));
    EXPECT_FALSE(d.toHost("C:\\a\\..\\..\\b"));
    EXPECT_FALSE(d.toHost("C:\\a/../../b")) << "a slash is no separator but no name either";
    EXPECT_FALSE(d.toHost("D:\\x.ico")) << "unmapped drive";
    EXPECT_FALSE(d.toHost("x.ico")) << "relative";
    EXPECT_FALSE(d.toHost("C:x.ico")) << "drive-relative";
    EXPECT_FALSE(d.toHost("C:\\a\nb"));
    EXPECT_FALSE(d.toHost("C:\\CON"));
}

TEST(DriveMap, HostPathsShowOnTheClosestDrive) {
    const auto d = linuxLike();
    EXPECT_EQ(d.toWindows("/home/ann/Art/Sky.ico"), "C:\\Art\\Sky.ico");
    EXPECT_EQ(d.toWindows("/home/ann"), "C:\\");
    EXPECT_EQ(d.toWindows("/usr/share/sounds/ding.wav"), "Z:\\usr\\share\\sounds\\ding.wav");
    EXPECT_EQ(d.toWindows("/home/annex/x.ico"), "Z:\\home\\annex\\x.ico") << "not under /home/ann";
    EXPECT_EQ(d.toWindows("/home/ann/./a/../b.ico"), "C:\\b.ico");
    EXPECT_EQ(d.toWindows("/home/ann/Caf\xC3\xA9.jpg"), "C:\\Caf\xC3\xA9.jpg");
}

TEST(DriveMap, HostNamesWindowsCannotHoldAreRefusedWithAReason) {
    const auto d = linuxLike();
    std::string why;
    EXPECT_FALSE(d.toWindows("/home/ann/what?.ico", &why));
    EXPECT_NE(why.find("what?.ico"), std::string::npos) << why;
    EXPECT_FALSE(d.toWindows("/home/ann/a\\b.ico", &why));
    EXPECT_FALSE(d.toWindows("/home/ann/two\nlines.wav", &why));
    EXPECT_NE(why.find("control character"), std::string::npos) << why;
    EXPECT_FALSE(d.toWindows("/home/ann/\xE6\x97\xA5.ico", &why));
    EXPECT_NE(why.find("1252"), std::string::npos) << why;
    EXPECT_FALSE(d.toWindows("relative/x.ico", &why));

    DriveMap onlyC;
    onlyC.map('C', "/home/ann");
    EXPECT_FALSE(onlyC.toWindows("/etc/x.ico", &why));
}
