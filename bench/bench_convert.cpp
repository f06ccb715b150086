// SPDX-License-Identifier: MIT
// Converting a theme of modern files for Windows 95/98 (compat::convertFile, as Create and
// the check window run it) against a floor of the same decodes, scalings and encodes done by
// bare library calls: QImageReader, QImage::scaled, QImageWriter, libsndfile and
// libsamplerate's src_simple. The theme: a 3840x2160 PNG wallpaper, four PNG-compressed 256 px
// icons, twelve 32-bit 64 px cursors, twenty three-second 48 kHz Ogg sounds and three
// 1920x1080 PNG logos, all written here by Qt's and libsndfile's own writers.
#include <samplerate.h>
#include <sndfile.h>

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "compat/Convert.h"

namespace {

using compat::Conversion;

struct Source {
    std::string path;
    Conversion conversion;
};

QImage picture(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           qRgba((x * 255) / width, (y * 255) / height, (x ^ y) & 255,
                                 (x + y) % 97 < 10 ? 0 : 255));
    return image;
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// An icon file whose one 256 px image is PNG-compressed.
QByteArray pngIcon(const QImage& image) {
    const QByteArray data = png(image);
    QByteArray out("\0\0\1\0\1\0", 6);
    out += QByteArray("\0\0\0\0\1\0\x20\0", 8);
    const auto size = static_cast<quint32>(data.size());
    out += QByteArray(reinterpret_cast<const char*>(&size), 4);
    const quint32 offset = 22;
    out += QByteArray(reinterpret_cast<const char*>(&offset), 4);
    return out + data;
}

void oggSound(const std::string& path) {
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 2;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<float> frames(48000 * 3 * 2);
    for (std::size_t i = 0; i < frames.size() / 2; ++i)
        frames[2 * i] = frames[2 * i + 1] = 0.5f * std::sin(static_cast<float>(i) * 0.05f);
    sf_writef_float(file, frames.data(), 48000 * 3);
    sf_close(file);
}

std::vector<Source> makeTheme(const QString& dir) {
    std::vector<Source> sources;
    auto add = [&](const QString& name, const QByteArray& bytes, Conversion conversion) {
        writeFile(dir + "/" + name, bytes);
        sources.push_back({(dir + "/" + name).toStdString(), conversion});
    };
    add("wall.png", png(picture(3840, 2160)), Conversion::Wallpaper);
    for (int i = 0; i < 4; ++i)
        add(QString("icon%1.ico").arg(i), pngIcon(picture(256, 256)), Conversion::Icon);
    for (int i = 0; i < 12; ++i) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture(64, 64).save(&buffer, "ICO");  // Qt writes 32-bit images
        bytes[2] = 2;                          // a cursor file
        add(QString("pointer%1.cur").arg(i), bytes, Conversion::Pointer);
    }
    for (int i = 0; i < 3; ++i)
        add(QString("logo%1.png").arg(i), png(picture(1920, 1080)), Conversion::Logo);
    for (int i = 0; i < 20; ++i) {
        const QString name = dir + QString("/sound%1.ogg").arg(i);
        oggSound(name.toStdString());
        sources.push_back({name.toStdString(), Conversion::Sound});
    }
    return sources;
}

// The floor: the same work by bare library calls.
std::size_t floorConvert(const Source& source) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    if (source.conversion == Conversion::Sound) {
        SF_INFO info{};
        SNDFILE* in = sf_open(source.path.c_str(), SFM_READ, &info);
        std::vector<float> frames(static_cast<std::size_t>(info.frames * info.channels));
        sf_readf_float(in, frames.data(), info.frames);
        sf_close(in);
        const double ratio = 22050.0 / info.samplerate;
        std::vector<float> resampled(
            static_cast<std::size_t>(static_cast<double>(info.frames) * ratio + 16) *
            static_cast<std::size_t>(info.channels));
        SRC_DATA data{};
        data.data_in = frames.data();
        data.input_frames = static_cast<long>(info.frames);
        data.data_out = resampled.data();
        data.output_frames = static_cast<long>(resampled.size()) / info.channels;
        data.src_ratio = ratio;
        src_simple(&data, SRC_SINC_MEDIUM_QUALITY, info.channels);
        std::vector<short> pcm(static_cast<std::size_t>(data.output_frames_gen * info.channels));
        src_float_to_short_array(resampled.data(), pcm.data(), static_cast<int>(pcm.size()));
        return pcm.size() * 2;
    }
    QImageReader reader(QString::fromStdString(source.path));
    QImage image;
    switch (source.conversion) {
        case Conversion::Wallpaper:
            reader.setScaledSize(reader.size().scaled(1600, 1200, Qt::KeepAspectRatio));
            QImageWriter(&buffer, "bmp")
                .write(reader.read().convertToFormat(QImage::Format_RGB888));
            break;
        case Conversion::Logo:
            image = reader.read().scaled(320, 400, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            QImageWriter(&buffer, "bmp").write(image.convertToFormat(QImage::Format_Indexed8));
            break;
        default:  // icons and pointers: each size and depth an icon holds
            image = reader.read();
            for (int size : {32, 16}) {
                const QImage small =
                    image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
                QImageWriter(&buffer, "bmp").write(small.convertToFormat(QImage::Format_Indexed8));
                if (source.conversion == Conversion::Pointer) break;
            }
    }
    return static_cast<std::size_t>(out.size());
}

}  // namespace

int main(int argc, char** argv) {
    // Pictures and sounds only: no display is needed, so none is asked for.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const auto sources = makeTheme(dir.path());
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    double best = 1e18, floorBest = 1e18;
    // Milliseconds by kind (wallpaper, icons, pointers, logos, sounds) in the last round.
    std::map<int, std::pair<double, double>> kinds;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        std::size_t bytes = 0;
        for (auto& [kind, times] : kinds) times = {0, 0};
        for (const auto& s : sources) {
            QElapsedTimer one;
            one.start();
            bytes += floorConvert(s);
            kinds[static_cast<int>(s.conversion)].second +=
                static_cast<double>(one.nsecsElapsed()) / 1e6;
        }
        floorBest = std::min(floorBest, static_cast<double>(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        for (const auto& s : sources) {
            QElapsedTimer one;
            one.start();
            std::string why;
            const auto out = compat::convertFile(
                s.conversion, s.path,
                QFileInfo(QString::fromStdString(s.path)).fileName().toStdString(), 0, &why);
            if (!out) std::fprintf(stderr, "%s: %s\n", s.path.c_str(), why.c_str());
            bytes += out ? out->bytes.size() : 0;
            kinds[static_cast<int>(s.conversion)].first +=
                static_cast<double>(one.nsecsElapsed()) / 1e6;
        }
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6);
        std::fprintf(stderr, "round %d: %zu bytes out\n", round + 1, bytes);
    }
    const char* names[] = {"", "icons", "pointers", "", "wallpaper", "logos", "sounds"};
    for (const auto& [kind, times] : kinds)
        std::printf("  %-9s %7.0f ms, floor %7.0f ms, ratio %.2f\n", names[kind], times.first,
                    times.second, times.first / times.second);
    std::printf("  convert modern theme (%zu files): %.0f ms, floor %.0f ms, ratio %.2f\n",
                sources.size(), best, floorBest, best / floorBest);
    return 0;
}
