// SPDX-License-Identifier: MIT
// The preview's checks of BMP, JPEG and ICO/CUR bytes, and the whole preview of a file
// holding the bytes (icon and cursor images are decoded by our own mask drawing).
#include <QByteArray>
#include <QGuiApplication>
#include <QString>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

#include "platform/qt/QtPictureLoader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const char* format : {"bmp", "jpeg", "ico"})
        (void)platform::isPictureDataCutShort(bytes, format);

    // The whole loader on a file of these bytes, at a small box size so Qt's own decoders
    // stay quick.
    static const int fd = memfd_create("picture", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        return 0;
    static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    (void)platform::QtPictureLoader::loadHostFile(path, QSize(32, 32));
    return 0;
}
