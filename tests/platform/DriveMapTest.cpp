// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "platform/DriveMap.h"

namespace {

platform::DriveMap linuxLike() {
    platform::DriveMap d;
    d.map('C', "/home/ann");
    d.map('z', "/");
    return d;
}

TEST(DriveMap, WindowsPathsBecomeHostPathsUnderTheirDriveAndNothingEscapes) {
    const auto d = linuxLike();
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
}

TEST(DriveMap, HostPathsShowOnTheClosestDriveOrAreRefusedWithAReason) {
    const auto d = linuxLike();
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

}  // namespace
