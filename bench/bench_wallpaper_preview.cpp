// Previewing a 6000 x 4000 JPEG wallpaper in Image2, the way a double-click does it, against a
// full-size decode of the same file (the floor), each in fresh processes run alternately:
// time of the operation and the peak memory it adds to the process.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ChildRuns.h"
#include "pages/PictureBox.h"
#include "pages/WallpaperPage.h"
#include "platform/CommonDialog.h"
#include "platform/DriveMap.h"
#include "platform/qt/QtPictureLoader.h"
#include "state/ThemeState.h"

namespace {

/// A dialog whose user always confirms the same file.
class AnsweringDialog : public platform::CommonDialog {
public:
    explicit AnsweringDialog(std::string answer) : m_answer(std::move(answer)) {}
    void ShowOpen() override { FileName = m_answer; }
    void ShowColor() override {}
    std::optional<std::string> acceptFile(const std::filesystem::path&) override {
        return std::nullopt;
    }

private:
    std::string m_answer;
};

int child(int argc, char** argv, const std::string& which, const std::string& hostFile) {
    QApplication app(argc, argv);
    // The full decode needs 96 MB; lift the limit so the floor can run at all.
    QImageReader::setAllocationLimit(1024);
    platform::DriveMap drives;
    drives.map('Z', "/");
    platform::QtPictureLoader loader(drives);
    state::ThemeState theme;
    AnsweringDialog dialog("Z:" +
                           QString::fromStdString(hostFile).replace('/', '\\').toStdString());
    pages::WallpaperPage page(theme, dialog, loader);
    page.resize(581, 305);
    page.show();
    QApplication::processEvents();

    const long before = bench::procStatusKb("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    bool ok = false;
    if (which == "full") {
        QImageReader reader(QString::fromStdString(hostFile));
        const QImage image = reader.read();
        ok = image.width() == 6000;
    } else {
        page.Image2_DblClick();
        ok = !page.findChild<pages::PictureBox*>("Image2")->picture().isNull();
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const long extra = bench::procStatusKb("VmHWM") - before;
    if (!ok) return 1;
    std::printf("%.3f %ld\n", ms, extra);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--child") == 0)
        return child(argc, argv, argv[2], argv[3]);

    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("Wallpaper.jpg"));
    {
        // A photograph-like picture: smooth gradients with fine detail, JPEG quality 85.
        QImage image(6000, 4000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb((x / 24 + (x * y) % 7) & 255, (y / 16) & 255, ((x + y) / 40) & 255);
        }
        QImageWriter writer(photo, "jpeg");
        writer.setQuality(85);
        if (!writer.write(image)) {
            std::printf("bench_wallpaper_preview: could not write the test JPEG\n");
            return 1;
        }
    }
    const std::string self = bench::selfPath();
    const std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen"};
    const int rounds = 7;
    std::vector<double> ms[2], kb[2];
    const char* kinds[2] = {"full", "preview"};
    int failures = 0;
    for (int r = 0; r < rounds; ++r) {
        for (int k = 0; k < 2; ++k) {
            const auto run = bench::runChild(self, {"--child", kinds[k], photo.toStdString()}, env);
            double t = 0, m = 0;
            if (!run.ok || std::sscanf(run.line.c_str(), "%lf %lf", &t, &m) != 2) {
                ++failures;
                continue;
            }
            ms[k].push_back(t);
            kb[k].push_back(m);
        }
    }
    const double fullMs = bench::median(ms[0]), previewMs = bench::median(ms[1]);
    const double fullKb = bench::median(kb[0]), previewKb = bench::median(kb[1]);
    std::printf("bench_wallpaper_preview: 6000 x 4000 JPEG, medians of %d fresh processes each\n",
                rounds);
    std::printf(
        "time:        full decode %.1f ms, Image2 preview %.1f ms, ratio %.2f "
        "(target <= 0.50)\n",
        fullMs, previewMs, fullMs > 0 ? previewMs / fullMs : 0.0);
    std::printf("extra peak:  full decode %.1f MB, Image2 preview %.1f MB (target < 40 MB)\n",
                fullKb / 1024, previewKb / 1024);
    if (failures) std::printf("%d child runs failed\n", failures);
    return failures ? 1 : 0;
}
