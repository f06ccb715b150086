// SPDX-License-Identifier: MIT
// The check, rule by rule: each rule on a file that breaks it and one that just passes. The
// files are made by ImageMagick and sox (or written here where no tool writes them).
#include <gtest/gtest.h>

#include <algorithm>

#include "compat/Check.h"
#include "compat/Headers.h"
#include "compat/Shell.h"
#include "support/TempDrive.h"

namespace {

using compat::Conversion;
using compat::Severity;
using compat::Windows;
using Kind = compat::Slot::Kind;

struct Rule {
    const char* name;
    Kind slot;
    const char* make;     // shell command writing the file "f" ($DATA: tests/data)
    const char* problem;  // a part of the one finding's problem; "" when nothing is found
    Severity severity = Severity::WillNotShow;
    Windows windows = Windows::Both;
    Conversion conversion = Conversion::None;
};

const Rule kRules[] = {
    {"icon with 32 and 16", Kind::Icon,
     "convert \\( -size 32x32 gradient:red-blue \\) \\( -size 16x16 gradient:red-blue \\) "
     "-colors 200 -type palette ico:f",
     ""},
    {"icon only 32", Kind::Icon, "convert -size 32x32 xc:red -type palette ico:f",
     "no 16 × 16 image", Severity::Note, Windows::Both, Conversion::Icon},
    {"icon only 48", Kind::Icon, "convert -size 48x48 xc:red -type palette ico:f",
     "no 32 × 32 image", Severity::MayLookWrong, Windows::Both, Conversion::Icon},
    {"icon PNG-compressed", Kind::Icon, "convert -size 256x256 xc:red ico:f", "PNG-compressed",
     Severity::WillNotShow, Windows::Both, Conversion::Icon},
    {"icon 32-bit", Kind::Icon, "convert -size 32x32 gradient:red-blue ico:f", "32-bit images",
     Severity::WillNotShow, Windows::Both, Conversion::Icon},
    {"icon is a PNG", Kind::Icon, "convert -size 32x32 xc:red png:f", "a PNG file, not an icon",
     Severity::WillNotShow, Windows::Both, Conversion::Icon},
    {"icon cut short", Kind::Icon, "head -c 300 $DATA/multi.ico > f", "damaged"},
    {"cursor 4-bit", Kind::Pointer, "cp $DATA/beam4.cur f", ""},
    {"cursor 64 px 32-bit", Kind::Pointer,
     "convert -size 64x64 gradient:red-blue ico:f && printf '\\002' | dd of=f bs=1 seek=2 "
     "conv=notrunc 2>/dev/null",
     "32-bit images", Severity::WillNotShow, Windows::Both, Conversion::Pointer},
    {"cursor 48 px 8-bit", Kind::Pointer,
     "convert -size 48x48 xc:red -type palette ico:f && printf '\\002' | dd of=f bs=1 seek=2 "
     "conv=notrunc 2>/dev/null",
     "no 32 × 32 image", Severity::MayLookWrong, Windows::Both, Conversion::Pointer},
    {"cursor is a GIF", Kind::Pointer, "convert -size 32x32 xc:red gif:f", "a GIF file",
     Severity::WillNotShow, Windows::Both, Conversion::Pointer},
    {"animated 4-bit frames", Kind::Pointer,
     "python3 $DATA/binary.py animated f 10 $DATA/beam4.cur $DATA/beam8.cur", ""},
    {"animated PNG frame", Kind::Pointer,
     "convert -size 256x256 xc:red ico:p && python3 $DATA/binary.py animated f 10 "
     "$DATA/beam4.cur p",
     "frame 2 of 2: holds only PNG", Severity::WillNotShow, Windows::Both,
     Conversion::AnimatedPointer},
    {"wallpaper BMP 1600x1200", Kind::Wallpaper, "convert -size 1600x1200 xc:red bmp3:f", ""},
    {"wallpaper BMP 1601 wide", Kind::Wallpaper, "convert -size 1601x900 xc:red bmp3:f",
     "1601 × 900, larger", Severity::Note, Windows::Both, Conversion::Wallpaper},
    {"wallpaper BMP version 5", Kind::Wallpaper, "convert -size 8x8 xc:red bmp:f",
     "version 5 BMP header", Severity::WillNotShow, Windows::Win95, Conversion::Wallpaper},
    {"wallpaper JPEG", Kind::Wallpaper, "convert -size 8x8 xc:red jpeg:f", "JPEG",
     Severity::WillNotShow, Windows::Win95, Conversion::Wallpaper},
    {"wallpaper large JPEG", Kind::Wallpaper, "convert -size 1700x8 xc:red jpeg:f", "1700 × 8",
     Severity::Note, Windows::Both, Conversion::Wallpaper},
    {"wallpaper PNG", Kind::Wallpaper, "convert -size 8x8 xc:red png:f", "no Windows 95 or 98",
     Severity::WillNotShow, Windows::Both, Conversion::Wallpaper},
    {"wallpaper WebP", Kind::Wallpaper, "convert -size 8x8 xc:red webp:f", "a WebP file",
     Severity::WillNotShow, Windows::Both, Conversion::Wallpaper},
    {"wallpaper sound", Kind::Wallpaper, "sox -n f.wav synth 0.01 sine 440 && mv f.wav f",
     "not a picture"},
    {"logo 320x400 8-bit", Kind::Logo,
     "convert -size 320x400 gradient:red-blue -colors 256 -type palette -compress none bmp3:f", ""},
    {"logo 640x480", Kind::Logo, "convert -size 640x480 xc:red -type palette bmp3:f",
     "is 640 × 480", Severity::WillNotShow, Windows::Both, Conversion::Logo},
    {"logo 24-bit", Kind::Logo, "convert -size 320x400 gradient:red-blue -type truecolor bmp3:f",
     "24-bit colour", Severity::WillNotShow, Windows::Both, Conversion::Logo},
    {"logo damaged", Kind::Logo, "printf 'BM not a real picture, but a file' > f", "damaged BMP"},
    {"logo PNG", Kind::Logo, "convert -size 320x400 xc:red png:f", "show only BMP",
     Severity::WillNotShow, Windows::Both, Conversion::Logo},
    {"sound 16-bit PCM", Kind::Sound, "sox -n -r 48000 -b 16 f.wav synth 0.01 sine 440", ""},
    {"sound MS ADPCM", Kind::Sound, "sox -n -e ms-adpcm f.wav synth 0.01 sine 440", ""},
    {"sound 24-bit", Kind::Sound, "sox -n -b 24 -c 2 f.wav synth 0.01 sine 440",
     "extensible wave format", Severity::WillNotShow, Windows::Both, Conversion::Sound},
    {"sound float", Kind::Sound, "sox -n -e floating-point -b 32 f.wav synth 0.01 sine 440",
     "floating-point", Severity::WillNotShow, Windows::Both, Conversion::Sound},
    {"sound 96 kHz", Kind::Sound, "sox -n -r 96000 -b 16 f.wav synth 0.01 sine 440", "96000 Hz",
     Severity::WillNotShow, Windows::Both, Conversion::Sound},
    {"sound Ogg", Kind::Sound, "sox -n f.ogg synth 0.1 sine 440", "an Ogg file",
     Severity::WillNotShow, Windows::Both, Conversion::Sound},
    {"sound FLAC", Kind::Sound, "sox -n f.flac synth 0.1 sine 440", "a FLAC file",
     Severity::WillNotShow, Windows::Both, Conversion::Sound},
    {"sound MP3", Kind::Sound, "sox -n f.mp3 synth 0.1 sine 440", "an MP3 file",
     Severity::WillNotShow, Windows::Both, Conversion::Sound},
    {"sound picture", Kind::Sound, "convert -size 8x8 xc:red bmp3:f", "not a sound"},
};

class CheckRules : public testsupport::TempDriveTest, public ::testing::WithParamInterface<Rule> {};

TEST_P(CheckRules, FindsWhatTheRuleSays) {
    const Rule& rule = GetParam();
    bool made = false;
    const QString said = testsupport::shell(
        m_dir.path(),
        QString(rule.make) + " && for x in f.*; do [ -e \"$x\" ] && mv \"$x\" f; done; true",
        &made);
    ASSERT_TRUE(made) << said.toStdString();

    state::ThemeState theme;
    compat::slotPath(theme, {rule.slot, 0}) = "C:\\f";
    const auto findings = compat::checkTheme(theme, m_drives);
    if (!*rule.problem) {
        EXPECT_TRUE(findings.empty()) << findings.front().problem;
        return;
    }
    // A file may break other rules too (a large JPEG); this rule's finding must be there.
    const auto it = std::find_if(findings.begin(), findings.end(), [&](const auto& f) {
        return f.problem.find(rule.problem) != std::string::npos;
    });
    ASSERT_NE(it, findings.end()) << (findings.empty() ? "nothing" : findings.front().problem);
    const auto& f = *it;
    EXPECT_EQ(f.severity, rule.severity);
    EXPECT_EQ(f.windows, rule.windows);
    EXPECT_EQ(f.conversion, rule.conversion);
    EXPECT_EQ(f.file, "C:\\f");
    if (findings.size() == 1) {
        EXPECT_EQ(compat::showsEverything(findings), rule.severity != Severity::WillNotShow);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, CheckRules, ::testing::ValuesIn(kRules), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

// No tool here writes Windows programs: the headers are written byte by byte.
std::string program(std::uint16_t machine, std::uint16_t major, std::uint16_t minor,
                    const char* signature = "PE") {
    std::string bytes(0x200, '\0');
    bytes.replace(0, 2, "MZ");
    bytes[0x3C] = '\x80';
    bytes.replace(0x80, 2, signature);
    auto put16 = [&](std::size_t at, std::uint16_t v) {
        bytes[at] = static_cast<char>(v & 0xFF);
        bytes[at + 1] = static_cast<char>(v >> 8);
    };
    put16(0x84, machine);
    put16(0x80 + 24 + 48, major);
    put16(0x80 + 24 + 50, minor);
    return bytes;
}

TEST(CheckScreenSaver, JudgesTheProgramHeader) {
    const struct {
        std::string bytes;
        const char* problem;
        Windows windows;
    } cases[] = {
        {program(0x14C, 4, 0), "", Windows::Both},
        {program(0x14C, 4, 10), "needs Windows 4.10 or later", Windows::Win95},
        {program(0x14C, 6, 0), "needs Windows 6.0 or later", Windows::Both},
        {program(0x8664, 4, 0), "64-bit", Windows::Both},
        {program(0, 0, 0, "NE"), "", Windows::Both},
        {std::string("MZ") + std::string(0x100, '\0'), "DOS program", Windows::Both},
        {"#!/bin/sh\n", "a file of unknown kind, not a Windows program", Windows::Both},
    };
    for (const auto& c : cases) {
        const auto found = compat::checkBytes({Kind::ScreenSaver, 0}, "C:\\s.scr", c.bytes);
        if (!*c.problem) {
            EXPECT_TRUE(found.empty()) << found.front().problem;
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << c.problem;
        EXPECT_NE(found[0].problem.find(c.problem), std::string::npos) << found[0].problem;
        EXPECT_EQ(found[0].windows, c.windows);
        EXPECT_EQ(found[0].conversion, Conversion::None);
    }
}

class CheckTheme : public testsupport::TempDriveTest {};

TEST_F(CheckTheme, NamesMissingFilesSharedNamesAndLongLogoNames) {
    const QByteArray cursor = testdata::bytes("beam4.cur");
    state::ThemeState theme;
    theme.pointerPaths[0] = put("a/Beam.cur", cursor);
    theme.pointerPaths[1] = put("b/BEAM.CUR", cursor);
    theme.pointerPaths[2] = put("c/beam4.cur", cursor);
    theme.pointerPaths[3] = theme.pointerPaths[2];  // the same file twice is no clash
    theme.iconPaths[1] = "C:\\gone.ico";
    theme.logoPaths[0] = put("Start up.bmp", testdata::bytes("stripes-8.bmp"));
    theme.logoPaths[1] = put("LOGOW.SYS", testdata::bytes("stripes-8.bmp"));
    theme.soundPaths[0] = "*.wav";  // a pick pattern is no choice

    const auto findings = compat::checkTheme(theme, m_drives);
    std::vector<std::string> seen;
    for (const auto& f : findings) seen.push_back(compat::slotName(f.slot) + " | " + f.problem);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "Icon: Network Neighbourhood | is not there",
                        "Logo: Startup logo | has a name DOS cannot use, so the logo batch file, "
                        "run from DOS, cannot copy it",
                        "Pointer: Normal Select | shares its name with C:\\b\\BEAM.CUR (Pointer: "
                        "Working in background): a FAT disk holds one of them, the later",
                    }));
}

TEST(CheckNames, ShortNamesAreWhatDosKeeps) {
    for (const char* name : {"LOGO.SYS", "a", "logow.bmp", "A_B-C~1.X", "12345678.123"})
        EXPECT_TRUE(compat::isShortName(name)) << name;
    for (const char* name :
         {"", "123456789.bmp", "a.bmpx", "a b.bmp", "a.b.c", ".bmp", "a.", "é.bmp", "a+b.bmp"})
        EXPECT_FALSE(compat::isShortName(name)) << name;
}

}  // namespace
