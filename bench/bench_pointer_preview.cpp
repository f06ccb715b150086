// One pointer preview (a mouse move over a pointer button, as the page handles it) of a
// 32 x 32 static cursor, against a bare QImageReader decode of the same file, in the same run.
// Prints the ratio of the medians; the target is at most 1.5.
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pages/MousePointersPage.h"
#include "platform/qt/QtPictureLoader.h"

namespace {

class NoDialog : public platform::CommonDialog {
public:
    void ShowOpen() override {}
    void ShowColor() override {}
    std::optional<std::string> acceptFile(const std::filesystem::path&) override {
        return std::nullopt;
    }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QTemporaryDir home;

    // A cursor is an icon file whose type field says 2.
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int i = 0; i < 32; ++i) image.setPixelColor(i, i, Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "ico").write(image);
    bytes[2] = 2;
    const QString hostPath = home.filePath("Arrow.cur");
    QFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return 1;
    file.close();

    platform::DriveMap drives;
    drives.map('C', home.path().toStdString());
    platform::QtPictureLoader pictures(drives);
    NoDialog dialog;
    state::ThemeState theme;
    theme.pointerPaths[0] = "C:\\Arrow.cur";
    pages::MousePointersPage page(theme, dialog, pictures);
    page.resize(600, 320);
    page.show();
    auto* button = page.findChild<QPushButton*>(QStringLiteral("Command10_0"));
    if (!button) return 1;

    using Clock = std::chrono::steady_clock;
    auto micros = [](Clock::time_point a, Clock::time_point b) {
        return std::chrono::duration<double, std::micro>(b - a).count();
    };
    constexpr int kRounds = 31, kPerRound = 100;
    std::vector<double> preview, floor;
    for (int round = 0; round < kRounds; ++round) {
        auto t0 = Clock::now();
        for (int i = 0; i < kPerRound; ++i) {
            QMouseEvent move(QEvent::MouseMove, QPointF(10 + i % 5, 10),
                             button->mapToGlobal(QPointF(10, 10)), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QApplication::sendEvent(button, &move);
        }
        auto t1 = Clock::now();
        for (int i = 0; i < kPerRound; ++i) {
            QImageReader reader(hostPath);
            if (reader.read().isNull()) return 1;
        }
        auto t2 = Clock::now();
        preview.push_back(micros(t0, t1) / kPerRound);
        floor.push_back(micros(t1, t2) / kPerRound);
    }
    auto* image3 = page.findChild<QLabel*>(QStringLiteral("Image3"));
    const bool shown = image3 && !image3->pixmap().isNull();

    std::printf("pointer preview on mouse move (median of %d x %d): %.1f us\n", kRounds, kPerRound,
                median(preview));
    std::printf("bare QImageReader decode (median): %.1f us\n", median(floor));
    std::printf("ratio preview/decode: %.2f (target <= 1.5)%s\n", median(preview) / median(floor),
                shown ? "" : "  [preview did not show the cursor!]");
    return shown ? 0 : 1;
}
