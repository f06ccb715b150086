// SPDX-License-Identifier: MIT
// Test entry point: a QApplication on the offscreen platform unless one is set, so the
// suites run (and are discovered at build time) without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <cstdlib>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (std::getenv("SDL_AUDIODRIVER") == nullptr) setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Without a login session Qt warns about the runtime folder in every test and every tool
    // the tests start; a private one for the run keeps the output to the tests' own.
    QTemporaryDir runtime;
    if (std::getenv("XDG_RUNTIME_DIR") == nullptr && runtime.isValid())
        setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // Qt loads an image plugin on its first use, on whichever thread decodes first. Loading the
    // JPEG plugin here, on the main thread, keeps a worker's dlopen from racing the leak
    // checker's scan of thread-local storage at exit (which GCC 12's LeakSanitizer cannot
    // survive).
    QByteArray jpeg;
    QBuffer out(&jpeg);
    out.open(QIODevice::WriteOnly);
    QImageWriter(&out, "jpeg").write(QImage(8, 8, QImage::Format_RGB32));
    QBuffer in(&jpeg);
    in.open(QIODevice::ReadOnly);
    QImageReader(&in).read();
    return RUN_ALL_TESTS();
}
