// SPDX-License-Identifier: MIT
// [Metrics] records: blobs laid out here by hand from the Windows structures decode to their
// fields, anything else is refused, and a changed font is written back into the same blob.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WindowsMetrics.h"

namespace {

// A record under construction: little-endian fields at the structures' offsets.
struct Blob {
    explicit Blob(std::size_t size) : bytes(size, 0) { int32(0, static_cast<std::int32_t>(size)); }
    void int32(std::size_t at, std::int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
    }
    // LOGFONTA: height, width, escapement, orientation, weight, italic ... face at 28.
    void font(std::size_t at, std::int32_t height, std::int32_t weight, bool italic,
              const std::string& face) {
        int32(at, height);
        int32(at + 16, weight);
        bytes[at + 20] = italic;
        for (std::size_t i = 0; i < face.size(); ++i)
            bytes[at + 28 + i] = static_cast<std::uint8_t>(face[i]);
    }
    std::string text() const {
        std::string t;
        for (auto b : bytes) t += (t.empty() ? "" : " ") + std::to_string(b);
        return t;
    }
    std::vector<std::uint8_t> bytes;
};

Blob plus98() {
    Blob b(340);
    for (auto [at, v] : {std::pair{4, 2},
                         {8, 17},
                         {12, 17},
                         {16, 22},
                         {20, 22},
                         {84, 15},
                         {88, 15},
                         {152, 20},
                         {156, 20}})
        b.int32(static_cast<std::size_t>(at), v);
    b.font(24, -16, 700, true, "Georgia");
    b.font(92, -11, 700, false, "Verdana");
    b.font(160, -13, 400, false, "Comic Sans MS");
    b.font(220, -12, 400, false, "Verdana");
    b.font(280, 16, 400, false, "Caf\xE9");  // a positive height is the cell height
    b.bytes[313] = 0x7A;                     // junk after a face's NUL, as Windows leaves it
    return b;
}

TEST(WindowsMetrics, RecordsLaidOutByHandDecodeToTheirFields) {
    const auto m = platform::decodeNonclientMetrics(plus98().text());
    ASSERT_TRUE(m);
    EXPECT_EQ((std::vector<int>{m->borderWidth, m->scrollWidth, m->scrollHeight, m->captionWidth,
                                m->captionHeight, m->smCaptionWidth, m->smCaptionHeight,
                                m->menuWidth, m->menuHeight}),
              (std::vector<int>{2, 17, 17, 22, 22, 15, 15, 20, 20}));
    const std::vector<std::tuple<std::int32_t, std::int32_t, bool, std::string, int>> fonts = {
        {-16, 700, true, "Georgia", 12},
        {-11, 700, false, "Verdana", 8},
        {-13, 400, false, "Comic Sans MS", 10},
        {-12, 400, false, "Verdana", 9},
        {16, 400, false, "Caf\u00e9", 12}};
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const auto& f = m->fonts[i];
        EXPECT_EQ(std::tuple(f.height, f.weight, f.italic, f.face, f.points()), fonts[i]) << i;
    }
    Blob icons(76);
    icons.int32(4, 75);
    icons.int32(8, 43);
    icons.int32(12, 1);
    icons.font(16, -11, 400, false, "Tahoma");
    const auto im = platform::decodeIconMetrics(icons.text());
    ASSERT_TRUE(im);
    EXPECT_EQ(std::tuple(im->horzSpacing, im->vertSpacing, im->font.face, im->font.height),
              std::tuple(75, 43, std::string("Tahoma"), -11));
}

TEST(WindowsMetrics, AnythingButAWholeRecordIsRefused) {
    const std::string good = plus98().text();
    Blob wrongSize = plus98();
    wrongSize.int32(0, 344);
    const std::string cases[] = {good.substr(0, good.rfind(' ')),  // one byte short
                                 wrongSize.text(),                 // a size Windows does not take
                                 "256 " + good,                    // not a byte
                                 good + " x",                      // not a number
                                 good + std::string(2 * platform::kMaxMetricsValues, ' ') +
                                     [] {
                                         std::string many;
                                         for (std::size_t i = 0; i < platform::kMaxMetricsValues;
                                              ++i)
                                             many += " 1";
                                         return many;
                                     }(),  // longer than any record
                                 ""};
    for (const auto& text : cases)
        EXPECT_FALSE(platform::decodeNonclientMetrics(text)) << text.size();
    EXPECT_FALSE(platform::decodeIconMetrics(good)) << "a NONCLIENTMETRICS is no ICONMETRICS";
}

TEST(WindowsMetrics, AChangedFontIsWrittenIntoTheSameBlob) {
    const Blob original = plus98();
    auto m = platform::decodeNonclientMetrics(original.text());
    ASSERT_TRUE(m);
    m->fonts[0].face = "Tahoma";
    m->fonts[0].height = platform::LogFont::heightForPoints(9);
    m->fonts[0].italic = false;
    Blob expected = original;
    expected.int32(24, -12);
    expected.bytes[44] = 0;
    for (std::size_t i = 0; i < 7; ++i) expected.bytes[52 + i] = std::string("Tahoma\0", 7)[i];
    EXPECT_EQ(platform::encodeNonclientMetrics(*m, original.text()), expected.text());
}

TEST(WindowsMetrics, AnUntouchedFontKeepsEveryByte) {
    Blob original = plus98();
    original.bytes[112] = 255;        // the small caption's italic flag, as some writers set it
    original.bytes[160 + 28] = 0x81;  // a byte Windows-1252 leaves unassigned, in the menu face
    const auto m = platform::decodeNonclientMetrics(original.text());
    ASSERT_TRUE(m);
    EXPECT_EQ(platform::encodeNonclientMetrics(*m, original.text()), original.text());
}

}  // namespace
