// The preview loader on real files: formats by content, the largest icon image, decoding at
// the box's size, and files cut short refused instead of shown with garbage.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "pages/TestPictures.h"
#include "platform/qt/QtPictureLoader.h"

namespace {

using platform::QtPictureLoader;
using namespace testpictures;

class QtPictureLoaderTest : public ::testing::Test {
protected:
    std::string put(const QString& name, const QByteArray& bytes) {
        EXPECT_TRUE(writeBytes(m_dir.filePath(name), bytes));
        return "C:\\" + name.toStdString();
    }
    QTemporaryDir m_dir;
    platform::DriveMap m_drives = [this] {
        platform::DriveMap d;
        d.map('C', m_dir.path().toStdString());
        return d;
    }();
    QtPictureLoader m_loader{m_drives};
};

TEST_F(QtPictureLoaderTest, EmptyNameGivesAnEmptyPictureAndMissingFilesFail) {
    const auto empty = m_loader.load("");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isNull());
    EXPECT_FALSE(m_loader.load("C:\\nothing.ico").has_value());
    EXPECT_FALSE(m_loader.load("Q:\\unmapped.ico").has_value());
    EXPECT_FALSE(m_loader.load(put("text.jpg", "just words")).has_value());
}

TEST_F(QtPictureLoaderTest, MultiSizeIconShowsItsLargestImageWhereverItIsStored) {
    const auto path = put("multi.ico", iconFile({filled(16, 16, Qt::red), filled(48, 48, Qt::green),
                                                 filled(32, 32, Qt::blue)}));
    const auto picture = m_loader.load(path);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->size(), QSize(48, 48));
    EXPECT_EQ(picture->pixelColor(10, 10), QColor(Qt::green));
    // Stretched to a box without blurring its pixels.
    const auto boxed = m_loader.load(path, QSize(81, 73));
    ASSERT_TRUE(boxed.has_value());
    EXPECT_EQ(boxed->size(), QSize(81, 73));
}

TEST_F(QtPictureLoaderTest, StaticCursorAndBitmapUnderAnyExtensionLoad) {
    const auto cursor = m_loader.load(put("arrow.cur", iconFile({filled(32, 32, Qt::yellow)}, 2)));
    ASSERT_TRUE(cursor.has_value());
    EXPECT_EQ(cursor->size(), QSize(32, 32));
    const auto logo = m_loader.load(put("LOGO.SYS", encode(filled(320, 400, Qt::magenta), "bmp")));
    ASSERT_TRUE(logo.has_value());
    EXPECT_EQ(logo->size(), QSize(320, 400));
}

TEST_F(QtPictureLoaderTest, FilesCutShortAreRefused) {
    const QByteArray bmp = encode(filled(200, 150, Qt::cyan), "bmp");
    EXPECT_TRUE(m_loader.load(put("whole.bmp", bmp)).has_value());
    EXPECT_FALSE(m_loader.load(put("cut.bmp", bmp.left(bmp.size() - 7))).has_value());

    const QByteArray jpeg = encode(pattern(640, 480), "jpeg");
    EXPECT_TRUE(m_loader.load(put("whole.jpg", jpeg)).has_value());
    EXPECT_FALSE(m_loader.load(put("half.jpg", jpeg.left(jpeg.size() / 2))).has_value());
    EXPECT_FALSE(m_loader.load(put("short.jpg", jpeg.left(jpeg.size() - 2))).has_value());
    // Bytes after the end marker do not make a whole file look cut.
    EXPECT_TRUE(m_loader.load(put("padded.jpg", jpeg + QByteArray(100, '\0'))).has_value());

    const QByteArray ico = iconFile({filled(32, 32, Qt::red), filled(48, 48, Qt::blue)});
    EXPECT_FALSE(m_loader.load(put("cut.ico", ico.left(ico.size() - 40))).has_value());
}

TEST_F(QtPictureLoaderTest, StretchedPreviewIsDecodedAtTheBoxSize) {
    // A photograph read straight at the box's size.
    const auto path = put("big.jpg", encode(pattern(3000, 2000), "jpeg", 60));
    const auto picture = m_loader.load(path, QSize(327, 231));
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->size(), QSize(327, 231));
}

}  // namespace
