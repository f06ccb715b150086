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
    // My Computer, Network Neighborhood and the Recycle Bin, top down, each with its own icon.
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
// records each request. While a test holds `open`, a decode waits inside the worker.
struct RecordingLoader : platform::PictureLoader {
    std::optional<QImage> load(const std::string& path, QSize box) override {
        ++iconLoads[path];
        return solid(box, qRgb(1, 2, 3));
    }
    std::optional<QImage> loadRegion(
        const std::string& path,
        const std::function<platform::PictureRegion(QSize)>& choose) override {
        entered.release();
        open.acquire();
        open.release();
        {
            const std::lock_guard lock(mutex);
            ++calls[path];
        }
        const auto own = sizes.find(path);
        if (own == sizes.end()) return std::nullopt;
        const platform::PictureRegion region = choose(own->second);
        const std::lock_guard lock(mutex);
        requests.emplace_back(path, region);
        return solid(region.size, colours.at(path));
    }
    std::size_t requestCount() {
        const std::lock_guard lock(mutex);
        return requests.size();
    }
    std::map<std::string, QSize> sizes;
    std::map<std::string, QRgb> colours;
    std::map<std::string, int> iconLoads;
    std::map<std::string, int> calls;
    std::mutex mutex;
    std::vector<std::pair<std::string, platform::PictureRegion>> requests;
    QSemaphore open{1};
    QSemaphore entered;
};

class PreviewPictureCacheTest : public ::testing::Test {
protected:
    // The pictures once the decode asked for (if any) has arrived.
    const preview::PreviewPictures& settled(QSize size) {
        cache.pictures(theme, size);
        if (cache.pending()) {
            EXPECT_TRUE(QSignalSpy(&cache, &Cache::wallpaperArrived).wait(10000));
        }
        return cache.pictures(theme, size);
    }
    using Cache = preview::PreviewPictureCache;
    RecordingLoader loader;
    Cache cache{loader};
    state::ThemeState theme;
};

TEST_F(PreviewPictureCacheTest, DecodesOnlyThePartShownAtTheSizeDrawnOnAWorker) {
    struct Case {
        QSize own, preview;
        bool tiled;
        QRect clip;
        QSize drawn;
    };
    // The preview stands for an 800 x 600 screen: a larger picture shows its middle (centred)
    // or its top left corner (tiled), whatever the preview's size.
    const Case cases[] = {
        {{400, 300}, {640, 480}, false, {0, 0, 400, 300}, {320, 240}},
        {{400, 300}, {1920, 1080}, true, {0, 0, 400, 300}, {960, 540}},
        {{1600, 1200}, {640, 480}, false, {400, 300, 800, 600}, {640, 480}},
        {{1600, 1200}, {640, 480}, true, {0, 0, 800, 600}, {640, 480}},
        {{6000, 4000}, {1920, 1080}, false, {2600, 1700, 800, 600}, {1920, 1080}},
        {{1000, 300}, {640, 480}, false, {100, 0, 800, 300}, {640, 240}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::string path = "C:\\wall" + std::to_string(i) + ".jpg";
        loader.sizes[path] = c.own;
        loader.colours[path] = qRgb(10, 20, int(i));
        theme.wallpaperPath = path;
        theme.tileWallpaper = c.tiled;
        EXPECT_TRUE(cache.pictures(theme, c.preview).wallpaper.isNull()) << "Background first";
        EXPECT_TRUE(cache.pending());
        const QImage shown = settled(c.preview).wallpaper;
        ASSERT_EQ(loader.requests.size(), i + 1) << "case " << i;
        EXPECT_EQ(loader.requests.back(),
                  std::make_pair(path, platform::PictureRegion{c.clip, c.drawn}))
            << "case " << i;
        EXPECT_EQ(shown.size(), c.drawn) << "case " << i;
        EXPECT_EQ(shown.pixel(0, 0), loader.colours[path]) << "case " << i;
        EXPECT_EQ(settled(c.preview).tiled.size(), c.tiled ? c.preview : QSize(0, 0)) << i;
    }
    // Icons load once per pick, at once; a pattern is no pick.
    theme.iconPaths[0] = "C:\\a.ico";
    theme.iconPaths[1] = std::string(state::kIconPattern);
    EXPECT_EQ(cache.pictures(theme, kSize).icons[0].size(), QSize(32, 32));
    cache.pictures(theme, QSize(800, 600));
    EXPECT_EQ(loader.iconLoads, (std::map<std::string, int>{{"C:\\a.ico", 1}}));
}

TEST_F(PreviewPictureCacheTest, TheLatestPickWinsAndAPictureThatDoesNotLoadIsNotAskedAgain) {
    loader.sizes = {{"C:\\a.jpg", {400, 300}}, {"C:\\b.jpg", {400, 300}}};
    loader.colours = {{"C:\\a.jpg", qRgb(255, 0, 0)}, {"C:\\b.jpg", qRgb(0, 0, 255)}};
    QSignalSpy arrived(&cache, &Cache::wallpaperArrived);
    loader.open.acquire();  // the worker waits inside the first decode
    theme.wallpaperPath = "C:\\a.jpg";
    cache.pictures(theme, kSize);
    ASSERT_TRUE(loader.entered.tryAcquire(1, 10000));
    theme.wallpaperPath = "C:\\b.jpg";
    cache.pictures(theme, kSize);
    loader.open.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !cache.pending(); }, 10000));
    QTest::qWait(20);  // the first decode's late answer, had it been let through
    EXPECT_EQ(cache.pictures(theme, kSize).wallpaper.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(arrived.size(), 1) << "the first pick's picture never arrives";

    theme.wallpaperPath = "C:\\gone.jpg";
    settled(kSize);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(settled(kSize).wallpaper.isNull());
    EXPECT_FALSE(cache.pending());
    EXPECT_EQ(loader.calls["C:\\gone.jpg"], 1) << "asked for once";
}

TEST_F(PreviewPictureCacheTest, AResizeScalesTheDecodedPartAndDecodesAgainOnlyWhenItGrows) {
    loader.sizes = {{"C:\\big.jpg", {1600, 1200}}, {"C:\\small.jpg", {400, 300}}};
    loader.colours = {{"C:\\big.jpg", qRgb(0, 200, 0)}, {"C:\\small.jpg", qRgb(9, 9, 9)}};
    theme.wallpaperPath = "C:\\big.jpg";
    settled(QSize(1000, 700));
    // Smaller and back: scaled from the decoded part, never read again.
    for (const QSize size : {QSize(990, 690), QSize(640, 480), QSize(1000, 700), QSize(700, 500)}) {
        EXPECT_EQ(cache.pictures(theme, size).wallpaper.size(), size);
        EXPECT_FALSE(cache.pending());
    }
    EXPECT_EQ(loader.requestCount(), 1u);
    // Larger: the smaller part is shown scaled until the sharper one arrives.
    EXPECT_EQ(cache.pictures(theme, QSize(1010, 700)).wallpaper.size(), QSize(1010, 700));
    EXPECT_TRUE(cache.pending());
    settled(QSize(1010, 700));
    ASSERT_EQ(loader.requestCount(), 2u);
    EXPECT_EQ(loader.requests.back().second.size, QSize(1010, 700));
    // The tile flag moves the part of a picture larger than the screen, not of a smaller one.
    theme.tileWallpaper = true;
    settled(QSize(1010, 700));
    ASSERT_EQ(loader.requestCount(), 3u);
    EXPECT_EQ(loader.requests.back().second.clip, QRect(0, 0, 800, 600));
    theme.wallpaperPath = "C:\\small.jpg";
    settled(kSize);
    theme.tileWallpaper = false;
    settled(kSize);
    EXPECT_EQ(loader.requestCount(), 4u);
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
