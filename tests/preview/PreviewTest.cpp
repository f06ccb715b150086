// SPDX-License-Identifier: MIT
// The preview renderer: every colour shows where its element is drawn, the wallpaper lies as
// the tile flag says, and pictures are decoded and scaled once per pick. Animated cursors made
// by tests/data/make-data.sh from red, green and blue cursors: play order with and without a
// seq chunk, rates, files that lie or are cut short, frames that are not icons, and the pixels
// a cursor inverts.
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/qt/QtPictureLoader.h"
#include "preview/PointerImages.h"
#include "preview/PreviewRenderer.h"
#include "support/TempDrive.h"

namespace {

constexpr QSize kSize(640, 480);

QImage solid(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(PreviewRenderer, ColoursShowWhereTheirElementIsAndTheWallpaperLiesAsTheTileFlagSays) {
    state::ThemeState theme;
    preview::PreviewRenderer renderer;
    const QImage before = renderer.render(theme, {}, kSize);
    for (std::size_t element = 0; element < state::kColorCount; ++element) {
        state::ThemeState changed = theme;
        changed.colors[element] = state::rgb(250, 10, 240);
        const QImage after = renderer.render(changed, {}, kSize);
        bool inElement = false;
        for (int y = 0; y < kSize.height() && !inElement; ++y)
            for (int x = 0; x < kSize.width() && !inElement; ++x)
                inElement = before.pixel(x, y) != after.pixel(x, y) &&
                            renderer.elementAt({x, y}) == static_cast<int>(element);
        EXPECT_TRUE(inElement) << state::kColorNames[element];
    }

    theme.colors[3] = state::rgb(0, 0, 128);
    const QRgb wall = qRgb(200, 180, 0);
    const QPoint lowerLeft(2, 477);  // bare desktop, away from icons and windows
    preview::PreviewPictures small;
    small.wallpaper = solid(QSize(24, 24), wall);
    // My Computer, Network Neighbourhood and the Recycle Bin, top down, each with its own icon.
    const QRgb icons[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(1, 1, 1), qRgb(0, 0, 255)};
    for (std::size_t i = 0; i < 4; ++i) small.icons[i] = solid({32, 32}, icons[i]);
    theme.tileWallpaper = true;
    const QImage tiled = renderer.render(theme, small, kSize);
    EXPECT_EQ(tiled.pixel(lowerLeft), wall);
    for (const int i : {0, 1, 3})
        EXPECT_EQ(tiled.pixel(46, 26 + 72 * (i == 3 ? 2 : i)), icons[i]) << "icon " << i;
    EXPECT_EQ(renderer.elementAt(lowerLeft), -1);
    theme.tileWallpaper = false;
    EXPECT_EQ(renderer.render(theme, small, kSize).pixel(lowerLeft), qRgb(0, 0, 128));
    EXPECT_EQ(renderer.elementAt(lowerLeft), 3);

    preview::PreviewPictures large;
    large.wallpaper = solid(QSize(600, 470), wall);  // centred: x 20..619, y 5..474
    const QImage centred = renderer.render(theme, large, kSize);
    EXPECT_EQ(centred.pixel(619, 474), wall);  // its lower right corner
    EXPECT_EQ(centred.pixel(lowerLeft), qRgb(0, 0, 128));
}

// Answers each wallpaper with a plain picture of the part asked for, in its own colour, and
// records each request (an empty region for a file it lacks). While a test holds `open`, a
// decode waits inside the worker.
struct RecordingLoader : platform::PictureLoader {
    std::optional<QImage> load(const std::string&, QSize box) override { return solid(box, 0); }
    std::optional<QImage> loadRegion(
        const std::string& path,
        const std::function<platform::PictureRegion(QSize)>& choose) override {
        entered.release();
        const std::lock_guard lock(open);
        const bool known = sizes.count(path) > 0;
        requests.emplace_back(path, known ? choose(sizes[path]) : platform::PictureRegion{});
        if (!known) return std::nullopt;
        return solid(requests.back().second.size, qRgb(10, 20, int(path.size())));
    }
    std::map<std::string, QSize> sizes;
    std::vector<std::pair<std::string, platform::PictureRegion>> requests;
    std::mutex open;
    QSemaphore entered;
};

class PreviewPictureCacheTest : public ::testing::Test {
protected:
    using Cache = preview::PreviewPictureCache;
    // The pictures once the decode asked for (if any) has arrived.
    const preview::PreviewPictures& settled(QSize size) {
        cache.pictures(theme, size);
        EXPECT_TRUE(!cache.pending() || QSignalSpy(&cache, &Cache::wallpaperArrived).wait(10000));
        return cache.pictures(theme, size);
    }
    RecordingLoader loader;
    Cache cache{loader};
    state::ThemeState theme;
};

TEST_F(PreviewPictureCacheTest, DecodesOnlyThePartShownAtTheSizeDrawnOnAWorker) {
    // The preview stands for an 800 x 600 screen: a larger picture shows its middle (centred)
    // or its top left corner (tiled), whatever the preview's size.
    const std::tuple<QSize, QSize, bool, platform::PictureRegion> cases[] = {
        {{400, 300}, {640, 480}, false, {{0, 0, 400, 300}, {320, 240}}},
        {{1600, 1200}, {640, 480}, false, {{400, 300, 800, 600}, {640, 480}}},
        {{1600, 1200}, {640, 480}, true, {{0, 0, 800, 600}, {640, 480}}},
        {{6000, 4000}, {1920, 1080}, false, {{2600, 1700, 800, 600}, {1920, 1080}}},
        {{1000, 300}, {640, 480}, false, {{100, 0, 800, 300}, {640, 240}}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [own, preview, tiled, region] = cases[i];
        theme.wallpaperPath = std::string(i + 1, 'w');
        loader.sizes[theme.wallpaperPath] = own;
        theme.tileWallpaper = tiled;
        EXPECT_TRUE(cache.pictures(theme, preview).wallpaper.isNull()) << "Background first";
        const preview::PreviewPictures& shown = settled(preview);
        EXPECT_EQ(loader.requests, (std::vector{std::pair(theme.wallpaperPath, region)})) << i;
        EXPECT_EQ(shown.wallpaper.size(), region.size) << i;
        EXPECT_EQ(shown.wallpaper.pixel(0, 0), qRgb(10, 20, int(i + 1))) << i;
        loader.requests.clear();
    }
}

TEST_F(PreviewPictureCacheTest, TheLatestPickWinsAndAResizeDecodesAgainOnlyWhenItGrows) {
    loader.sizes = {{"a", {1600, 1200}}, {"bb", {1600, 1200}}};
    QSignalSpy arrived(&cache, &Cache::wallpaperArrived);
    loader.open.lock();  // the worker waits inside the first decode
    theme.wallpaperPath = "a";
    cache.pictures(theme, QSize(1000, 700));
    ASSERT_TRUE(loader.entered.tryAcquire(1, 10000));
    theme.wallpaperPath = "bb";
    cache.pictures(theme, QSize(1000, 700));
    loader.open.unlock();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !cache.pending(); }, 10000));
    // One worker: the first decode's answer came before the second's, and was dropped.
    EXPECT_EQ(cache.pictures(theme, kSize).wallpaper.pixel(0, 0), qRgb(10, 20, 2));
    EXPECT_EQ(arrived.size(), 1);
    // Smaller and back: scaled from the decoded part, never read again.
    for (const QSize size : {QSize(990, 690), QSize(640, 480), QSize(1000, 700), QSize(700, 500)})
        EXPECT_EQ(settled(size).wallpaperSize, size);
    EXPECT_EQ(loader.requests.size(), 2u);
    // Larger: decoded again (the smaller part shows scaled meanwhile).
    EXPECT_EQ(settled(QSize(1010, 700)).wallpaper.size(), QSize(1010, 700));
    EXPECT_EQ(
        loader.requests.back(),
        std::pair(std::string("bb"), platform::PictureRegion{{400, 300, 800, 600}, {1010, 700}}));
    // The tile flag moves the part of a picture larger than the screen only.
    theme.tileWallpaper = true;
    EXPECT_EQ(settled(kSize).wallpaper.size(), kSize);
    EXPECT_EQ(loader.requests.back().second.clip, QRect(0, 0, 800, 600));
    theme.wallpaperPath = "gone";  // asked for once, not again at each draw
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(settled(kSize).wallpaper.isNull());
    EXPECT_EQ(loader.requests.size(), 5u);
}

// The colours the pointer shows, step by step, with each step's jiffies.
using Steps = std::vector<std::pair<QRgb, int>>;
const QRgb R = qRgb(255, 0, 0), G = qRgb(0, 128, 0), B = qRgb(0, 0, 255);

using AniTest = testsupport::TempDriveTest;
TEST_F(AniTest, FramesPlayInOrderAtTheirRatesDamagedFilesShowWhatIsGoodAndInvertedPixelsInvert) {
    platform::QtPictureLoader loader{m_drives};
    auto load = [&](const QByteArray& bytes) {
        return preview::loadPointer(put("p.ani", bytes), loader);
    };
    const QByteArray busy = testdata::bytes("busy.ani");
    // The second frame's chunk follows the header, the first frame and its own header.
    const qsizetype second = busy.indexOf("icon", busy.indexOf("icon") + 4);
    const std::pair<QByteArray, Steps> cases[] = {
        {testdata::bytes("ani-rate7.ani"), {{R, 7}, {G, 7}, {B, 7}}},
        {testdata::bytes("ani-rates.ani"), {{R, 5}, {G, 20}, {B, 40}}},
        {testdata::bytes("ani-seq.ani"), {{B, 3}, {R, 6}, {B, 9}, {G, 12}}},
        {testdata::bytes("ani-seq-rate4.ani"), {{G, 4}, {G, 4}, {R, 4}}},
        {busy.left(second + 30), {{R, 10}}},
        {busy.left(second), {{R, 10}}},
        {busy.left(40), {}},
        {busy.left(7), {}},
        {QByteArray("RIFF\x04\0\0\0ACON", 12), {}},
        {testdata::bytes("ani-huge-counts.ani"), {{R, 10}, {G, 10}, {B, 10}}},
        {testdata::bytes("ani-two-claimed.ani"), {{R, 10}, {G, 10}}},
        {testdata::bytes("ani-bad-seq.ani"), {{R, 10}, {B, 10}}},
        {testdata::bytes("ani-extreme-rates.ani"), {{R, 1}, {G, 3600}, {B, 30}}},
        {testdata::bytes("ani-not-icon.ani"), {{R, 10}, {B, 10}}},
        {testdata::bytes("ani-raw-frames.ani"), {}},
        {testdata::bytes("ani-riff-size.ani"), {{R, 10}, {G, 10}, {B, 10}}},
        {testdata::bytes("ani-list-size.ani"), {{R, 10}, {G, 10}, {B, 10}}},
        {testdata::bytes("ani-icon-size.ani"), {{R, 10}}},
        {testdata::bytes("ani-short-header.ani"), {}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto animation = load(cases[i].first);
        Steps shown;
        for (const preview::AniStep& step : animation.steps)
            shown.emplace_back(animation.frames.at(std::size_t(step.frame)).image.pixel(16, 16),
                               step.jiffies);
        EXPECT_EQ(shown, cases[i].second) << "case " << i;
    }

    // A static cursor whose left half inverts and right half is black, and the same image as
    // the only frame of an animated one.
    for (const char* file : {"invert.cur", "invert.ani"}) {
        const auto pointer = load(testdata::bytes(file));
        ASSERT_EQ(pointer.frames.size(), 1u) << file;
        QImage screen(32, 32, QImage::Format_RGB32);
        screen.fill(qRgb(10, 200, 30));
        preview::paintCursor(screen, QPoint(0, 0), pointer.frames[0]);
        EXPECT_EQ(screen.pixel(3, 5), qRgb(245, 55, 225)) << file;
        EXPECT_EQ(screen.pixel(28, 5), qRgb(0, 0, 0)) << file;
    }
}

}  // namespace
