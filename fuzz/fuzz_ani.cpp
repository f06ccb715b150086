// SPDX-License-Identifier: MIT
// libFuzzer target: animated (and static) cursor bytes through the .ani reader, the picture
// loader's icon decoder, the inversion mask and the drawing of every frame.
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <cstdint>
#include <cstdlib>

#include "platform/DriveMap.h"
#include "platform/qt/QtPictureLoader.h"
#include "preview/AniReader.h"
#include "preview/PointerImages.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Qt finds its image plugins (the icon reader among them) through the application.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static platform::QtPictureLoader loader{platform::DriveMap{}};
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    preview::PointerAnimation animation;
    if (const auto ani = preview::readAni(bytes)) {
        animation = preview::decodeAnimation(*ani, loader);
    } else if (auto cursor = preview::decodeCursor(bytes, loader)) {
        animation.frames.push_back(std::move(*cursor));
    } else {
        (void)preview::inversionMask(bytes);
    }
    QImage screen(48, 48, QImage::Format_RGB32);
    screen.fill(Qt::gray);
    for (const auto& frame : animation.frames) preview::paintCursor(screen, QPoint(4, 4), frame);
    for (const auto& step : animation.steps)
        if (step.frame < 0 || static_cast<std::size_t>(step.frame) >= animation.frames.size())
            std::abort();
    return 0;
}
