// SPDX-License-Identifier: MIT
// The preview's checks of BMP, JPEG and ICO/CUR bytes, and the whole preview of a file
// holding the bytes, whole and a part of it (icon and cursor images are decoded by our own mask
// drawing).
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
    // And a part of it, as the theme preview asks for the part it shows.
    (void)platform::QtPictureLoader::loadHostRegion(path, [](QSize own) {
        return platform::PictureRegion{
            QRect(own.width() / 3, own.height() / 4, own.width() / 2 + 1, own.height() / 2 + 1),
            QSize(24, 18)};
    });
    return 0;
}
