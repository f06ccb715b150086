// SPDX-License-Identifier: MIT
// Previewing a big wallpaper in Image2, the way a double-click does it, against the fastest
// plain way to do the same job, measured in the same run: for JPEG and PNG, QImageReader with
// setScaledSize at the box's size; for a bitmap, reading only the rows the box samples (one
// source row per box row, read where it lies) and averaging the columns each box pixel
// covers, as the tool does. Each run is a fresh process, floor and preview alternately; Qt's
// allocation limit stays at its default (128 MB). Reports the time until the box shows the
// picture, how long the double-click itself keeps the window busy (big files decode on a
// worker), and the peak memory each adds.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "ChildRuns.h"
#include "Pack.h"
#include "Rows.h"
#include "pages/AsyncPreview.h"
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

std::uint32_t le32(const uchar* b) {
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

/// The plain way to show a big 24-bit bitmap in a box: for each box row, read the one source
/// row it samples where it lies in the file, and average the source columns of each box pixel.
QImage bareBmpRows(const std::string& path, QSize box) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    uchar head[54];
    QImage out;
    if (::pread(fd, head, sizeof head, 0) == sizeof head && head[28] == 24) {
        const qint64 offBits = le32(head + 10), width = le32(head + 18);
        const qint64 height = std::abs(static_cast<std::int32_t>(le32(head + 22)));
        const bool bottomUp = static_cast<std::int32_t>(le32(head + 22)) > 0;
        const qint64 rowBytes = (width * 3 + 3) & ~qint64(3);
        std::vector<uchar> row(static_cast<std::size_t>(rowBytes));
        out = QImage(box, QImage::Format_RGB32);
        for (int y = 0; y < box.height(); ++y) {
            const qint64 source = (2 * qint64(y) + 1) * height / (2 * box.height());
            const qint64 at = offBits + (bottomUp ? height - 1 - source : source) * rowBytes;
            if (::pread(fd, row.data(), static_cast<std::size_t>(rowBytes), at) != rowBytes) {
                out = QImage();
                break;
            }
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < box.width(); ++x) {
                const qint64 from = x * width / box.width();
                const qint64 to = std::max((x + 1) * width / box.width(), from + 1);
                int r = 0, g = 0, b = 0;
                for (qint64 c = from; c < to; ++c) {
                    b += row[static_cast<std::size_t>(3 * c)];
                    g += row[static_cast<std::size_t>(3 * c + 1)];
                    r += row[static_cast<std::size_t>(3 * c + 2)];
                }
                const int n = static_cast<int>(to - from);
                line[x] = qRgb(r / n, g / n, b / n);
            }
        }
    }
    ::close(fd);
    return out;
}

void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

int child(int argc, char** argv, const std::string& which, const std::string& hostFile) {
    QApplication app(argc, argv);
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
    auto* box = page.findChild<pages::PictureBox*>("Image2");
    const QSize boxSize = box->decodeSize();
    bench::warmUpDecoders(QFileInfo(QString::fromStdString(hostFile)).suffix().toLatin1());

    resetPeak();
    const long before = bench::procStatusKb("VmRSS");
    QElapsedTimer timer;
    timer.start();
    bool ok = false;
    double busyMs = 0;
    if (which == "floor") {
        QImageReader reader(QString::fromStdString(hostFile));
        reader.setScaledSize(boxSize);
        ok = !reader.read().isNull();
        busyMs = timer.nsecsElapsed() / 1e6;
    } else if (which == "rows") {
        ok = !bareBmpRows(hostFile, boxSize).isNull();
        busyMs = timer.nsecsElapsed() / 1e6;
    } else {
        auto* preview = box->findChild<pages::AsyncPreview*>();
        QEventLoop loop;
        QObject::connect(preview, &pages::AsyncPreview::settled, &loop, &QEventLoop::quit);
        page.Image2_DblClick();
        busyMs = timer.nsecsElapsed() / 1e6;
        if (preview->pending()) loop.exec();  // blocks, as the tool's own event loop does
        ok = !box->picture().isNull();
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    const long extra = bench::procStatusKb("VmHWM") - before;
    if (!ok) return 1;
    std::printf("%.3f %.3f %ld\n", ms, busyMs, extra);
    return 0;
}

bool writePicture(const QString& path, int width, int height, const char* format) {
    // A photograph-like picture: smooth gradients with fine detail.
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            line[3 * x] = static_cast<uchar>((x / 24 + (x * y) % 7) & 255);
            line[3 * x + 1] = static_cast<uchar>((y / 16) & 255);
            line[3 * x + 2] = static_cast<uchar>(((x + y) / 40) & 255);
        }
    }
    QImageWriter writer(path, format);
    if (std::strcmp(format, "jpeg") == 0) writer.setQuality(85);
    return writer.write(image);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "--child") == 0)
        return child(argc, argv, argv[2], argv[3]);

    QTemporaryDir dir;
    struct Case {
        const char* what;
        const char* file;
        int width, height;
        const char* format;
        const char* floorKind;
    };
    const Case cases[] = {
        {"6000 x 4000 JPEG", "Wallpaper.jpg", 6000, 4000, "jpeg", "floor"},
        {"6000 x 4000 PNG", "Wallpaper.png", 6000, 4000, "png", "floor"},
        {"6000 x 4000 BMP (72 MB)", "Wallpaper.bmp", 6000, 4000, "bmp", "rows"},
        {"8000 x 8000 BMP (192 MB)", "Huge.bmp", 8000, 8000, "bmp", "rows"},
    };
    const std::string self = bench::selfPath();
    const std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen"};
    const int rounds = 5;
    int failures = 0;
    std::printf("bench_wallpaper_preview: Image2 previews, medians of %d fresh processes each\n",
                rounds);
    for (const Case& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        if (!writePicture(path, c.width, c.height, c.format)) {
            std::printf("  %s: could not write the picture\n", c.what);
            return 1;
        }
        std::vector<double> ms[2], busy[2], kb[2];
        const char* kinds[2] = {c.floorKind, "preview"};
        for (int r = 0; r < rounds; ++r) {
            for (int k = 0; k < 2; ++k) {
                const auto run =
                    bench::runChild(self, {"--child", kinds[k], path.toStdString()}, env);
                double t = 0, b = 0, m = 0;
                if (!run.ok || std::sscanf(run.line.c_str(), "%lf %lf %lf", &t, &b, &m) != 3) {
                    ++failures;
                    continue;
                }
                ms[k].push_back(t);
                busy[k].push_back(b);
                kb[k].push_back(m);
            }
        }
        if (ms[0].empty() || ms[1].empty()) {
            std::printf("  %s: runs failed\n", c.what);
            continue;
        }
        const double f = bench::median(ms[0]), p = bench::median(ms[1]);
        const bool rows = std::strcmp(c.floorKind, "rows") == 0;
        std::printf(
            "  %-26s floor (%s) %7.1f ms %6.1f MB | Skinsmith %7.1f ms %6.1f MB, window busy "
            "%5.2f ms | ratio %.2f\n",
            c.what, rows ? "rows" : "Qt  ", f, bench::median(kb[0]) / 1024, p,
            bench::median(kb[1]) / 1024, bench::median(busy[1]), p / f);
        bench::row(
            std::string("Wallpaper page: ") + c.what + ", double-click until Image2 shows it",
            bench::format(
                "%.1f ms, %.1f MB (%s)", f, bench::median(kb[0]) / 1024,
                rows ? "plain reader of the sampled rows only" : "QImageReader at the box's size"),
            bench::format("%.1f ms, %.1f MB; window busy %.2f ms", p, bench::median(kb[1]) / 1024,
                          bench::median(busy[1])),
            p / f, rows ? "< 16 MB" : "");
        QFile::remove(path);
    }
    if (failures) std::printf("%d child runs failed\n", failures);
    return failures ? 1 : 0;
}
