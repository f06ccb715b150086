#pragma once

// Picture files for tests, written into a folder: icons of one or several sizes, a static
// cursor, bitmaps and JPEGs, whole or cut short.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QString>
#include <QtEndian>
#include <vector>

namespace testpictures {

inline QImage filled(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray encode(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0) writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

/// An icon file holding every image, in the given order; type 2 makes it a cursor.
inline QByteArray iconFile(const std::vector<QImage>& images, quint16 type = 1) {
    QByteArray directory(6 + 16 * static_cast<int>(images.size()), '\0');
    qToLittleEndian<quint16>(type, directory.data() + 2);
    qToLittleEndian<quint16>(static_cast<quint16>(images.size()), directory.data() + 4);
    QByteArray data;
    for (std::size_t i = 0; i < images.size(); ++i) {
        // Qt writes a single-image icon; keep its entry and move its image data along.
        const QByteArray single = encode(images[i], "ico");
        const quint32 size = qFromLittleEndian<quint32>(single.constData() + 6 + 8);
        const quint32 offset = qFromLittleEndian<quint32>(single.constData() + 6 + 12);
        char* entry = directory.data() + 6 + 16 * i;
        memcpy(entry, single.constData() + 6, 16);
        qToLittleEndian<quint32>(static_cast<quint32>(directory.size() + data.size()), entry + 12);
        data += single.mid(offset, size);
    }
    return directory + data;
}

/// A JPEG with detail in it, so it is not all one colour.
inline QImage pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) line[x] = qRgb((x * 7) & 255, (y * 5) & 255, (x ^ y) & 255);
    }
    return image;
}

}  // namespace testpictures
