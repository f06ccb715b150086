// SPDX-License-Identifier: MIT
// Theme packs: the archive kinds of the era unpack into their import folder, hostile entries
// are skipped and listed without a byte written outside it, and a folder is never written over.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <set>

#include "input/ThemePack.h"
#include "support/TestData.h"

namespace {

namespace fs = std::filesystem;

fs::path pack(const char* name) {
    return fs::path(SKINSMITH_TEST_DATA) / name;
}

// Every file below a folder, as relative paths, the unpack's own record left out.
std::set<std::string> filesIn(const fs::path& root) {
    std::set<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (!e.is_directory() && e.path().filename() != ".skinsmith-pack")
            files.insert(e.path().lexically_relative(root).generic_string());
    return files;
}

bool listedWith(const std::vector<std::string>& list, const std::string& entry,
                const std::string& reason) {
    for (const auto& item : list)
        if (item.starts_with(entry + " (") && item.find(reason) != std::string::npos) return true;
    return false;
}

class ThemePackTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    fs::path m_root = fs::path(m_dir.path().toStdString()) / "Imported";
};

// Zip, LHA and cabinet packs open; names without the UTF-8 mark are code page 437.
TEST_F(ThemePackTest, PacksOfTheEraUnpackWithTheirThemes) {
    const std::pair<const char*, std::set<std::string>> packs[] = {
        {"COOL98.ZIP",
         {"Cool (High Color).theme", "Cool (256 Color).theme", "COOL.BMP", "CAF\u00c9.WAV"}},
        {"OLD95.LZH", {"OLD95.THEME", "COOL.BMP"}},
        {"PLUS.CAB", {"PLUS.THEME", "COOL.BMP"}},
    };
    for (const auto& [name, files] : packs) {
        const auto result = input::unpackThemePack(pack(name), m_root);
        ASSERT_EQ(result.error, "") << name;
        EXPECT_EQ(result.folder, m_root / fs::path(name).stem());
        EXPECT_EQ(filesIn(result.folder), files) << name;
        EXPECT_EQ(result.themes.size(), std::string(name) == "COOL98.ZIP" ? 2u : 1u) << name;
        EXPECT_EQ(testdata::contents(QString::fromStdString((result.folder / "COOL.BMP").string())),
                  QByteArray("BM") + QByteArray(60, '\0'))
            << name;
    }
}

TEST_F(ThemePackTest, HostileEntriesAreSkippedAndListedAndNothingLeavesTheFolder) {
    const auto result = input::unpackThemePack(pack("hostile.zip"), m_root);
    ASSERT_EQ(result.error, "");
    for (const auto& [entry, reason] : std::vector<std::pair<std::string, std::string>>{
             {"/ABS.TXT", "an absolute path"},
             {"C:/WINDOWS/WIN.INI", "an absolute path"},
             {"../UP.TXT", "\"..\""},
             {"SUB/../../UP2.TXT", "\"..\""},
             {"LINK", "a link"},
             {"AUX.TXT", "a name Windows cannot hold"}})
        EXPECT_TRUE(listedWith(result.skipped, entry, reason)) << entry;
    EXPECT_EQ(result.skipped.size(), 6u);
    // UTF-8 where the archive says so, code page 437 elsewhere; letter-case twins kept apart,
    // folders of one name in two spellings made one, as on Windows.
    EXPECT_EQ(filesIn(result.folder),
              (std::set<std::string>{"\u65e5\u672c.theme", "D\u00c9J\u00c0.TXT", "README.TXT",
                                     "readme (2).txt", "Sounds/A.WAV", "Sounds/B.WAV"}));
    EXPECT_EQ(result.renamed.size(), 1u);
    EXPECT_EQ(filesIn(m_root.parent_path()).size(), filesIn(result.folder).size())
        << "nothing beside the pack's folder";
}

TEST_F(ThemePackTest, DevicesLinksAndEncryptedEntriesAreRefused) {
    auto result = input::unpackThemePack(pack("devices.tar"), m_root);
    ASSERT_EQ(result.error, "");
    for (const char* entry : {"NULL", "PIPE"})
        EXPECT_TRUE(listedWith(result.skipped, entry, "a device or special file")) << entry;
    for (const char* entry : {"HARD", "SOFT"})
        EXPECT_TRUE(listedWith(result.skipped, entry, "a link")) << entry;
    EXPECT_EQ(filesIn(result.folder), std::set<std::string>{"OK.THEME"});

    result = input::unpackThemePack(pack("secret.zip"), m_root);
    EXPECT_TRUE(listedWith(result.skipped, "SECRET.THEME", "encrypted")) << result.error;
    EXPECT_TRUE(result.themes.empty());
}

// A zip bomb stops at either limit, early, and leaves no folder and no temporary behind.
TEST_F(ThemePackTest, ZipBombsStopAtTheSizeOrRatioLimitAndLeaveNothing) {
    input::PackLimits bySize;
    bySize.maxTotalBytes = 1 << 20;
    input::PackLimits byRatio;
    byRatio.ratioFloor = 1 << 20;
    byRatio.maxRatio = 50;
    for (const auto& [limits, words] :
         {std::pair{bySize, "more than 1 MB"}, std::pair{byRatio, "more than 50 times"}}) {
        const auto result = input::unpackThemePack(pack("bomb.zip"), m_root, limits);
        EXPECT_NE(result.error.find(words), std::string::npos) << result.error;
        EXPECT_TRUE(fs::is_empty(m_root)) << "temporary folder left behind";
        const auto listed = input::listThemePack(
            testdata::contents(QString::fromStdString(pack("bomb.zip").string())).toStdString(),
            limits);
        EXPECT_NE(listed.error.find(words), std::string::npos);
    }
}

// The same archive again reuses its folder, even changed by the user; another archive of the
// same name never writes over it.
TEST_F(ThemePackTest, OpeningAgainReusesTheFolderAndNeverWritesOverAnother) {
    const auto first = input::unpackThemePack(pack("OLD95.LZH"), m_root);
    ASSERT_EQ(first.error, "");
    EXPECT_FALSE(first.reused);
    auto again = input::unpackThemePack(pack("OLD95.LZH"), m_root);
    EXPECT_TRUE(again.reused);
    EXPECT_FALSE(again.changed);
    EXPECT_EQ(again.folder, first.folder);

    ASSERT_TRUE(testdata::write(QString::fromStdString((first.folder / "COOL.BMP").string()),
                                "the user's own picture"));
    again = input::unpackThemePack(pack("OLD95.LZH"), m_root);
    EXPECT_TRUE(again.reused);
    EXPECT_TRUE(again.changed);

    // Another pack under the same name.
    const fs::path other = m_root.parent_path() / "OLD95.LZH";
    fs::copy_file(pack("PLUS.CAB"), other);
    const auto second = input::unpackThemePack(other, m_root);
    ASSERT_EQ(second.error, "");
    EXPECT_EQ(second.folder, m_root / "OLD95 (2)");
    EXPECT_EQ(testdata::contents(QString::fromStdString((first.folder / "COOL.BMP").string())),
              QByteArray("the user's own picture"));
}

}  // namespace
