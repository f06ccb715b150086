// SPDX-License-Identifier: MIT
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
#include <algorithm>
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

namespace testpictures {

/// Little-endian fields appended to a byte array, for hand-built headers.
inline void put16(QByteArray& b, int v) {
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}
inline void put32(QByteArray& b, qint64 v) {
    put16(b, int(v & 0xFFFF));
    put16(b, int((v >> 16) & 0xFFFF));
}

/// The 16-colour palette index of a test bitmap's pixel (stripes and bands).
inline int stripeIndex(int x, int y) {
    return (x / 20 + y / 25) % 16;
}
inline QRgb stripeColour(int index) {
    return qRgb(index * 16, 255 - index * 16, (index * 40) & 255);
}

/// A 320 x 400 palette bitmap of stripeIndex: 4 or 8 bits, run-length encoded or not, with an
/// OS/2 core header or a Windows one. A run-length bitmap's image size says 2 bytes more than
/// its stream holds, as some encoders write it.
inline QByteArray paletteBitmap(int bits, bool runLength, bool os2 = false) {
    const int width = 320, height = 400, colours = 1 << bits;
    QByteArray pixels;
    for (int y = height - 1; y >= 0; --y) {  // rows bottom-up
        if (runLength) {
            // Four literal pixels, then runs of 20, 20, ... and 16.
            pixels.append(char(0)).append(char(4));
            if (bits == 8) {
                for (int x = 0; x < 4; ++x) pixels.append(char(stripeIndex(x, y)));
            } else {
                const int i = stripeIndex(0, y);
                pixels.append(char(i << 4 | i)).append(char(i << 4 | i));
            }
            for (int x = 4; x < width; x += 20) {
                const int run = std::min(20, width - x), i = stripeIndex(x, y);
                pixels.append(char(run)).append(char(bits == 8 ? i : (i << 4 | i)));
            }
            pixels.append(char(0)).append(char(y == 0 ? 1 : 0));  // end of line or bitmap
        } else {
            QByteArray row;
            for (int x = 0; x < width; x += 8 / bits) {
                int byte = 0;
                for (int k = 0; k < 8 / bits; ++k) byte = byte << bits | stripeIndex(x + k, y);
                row.append(char(byte));
            }
            while (row.size() % 4) row.append('\0');
            pixels += row;
        }
    }
    QByteArray palette;
    for (int i = 0; i < colours; ++i) {
        const QRgb c = stripeColour(i % 16);
        palette.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        if (!os2) palette.append('\0');
    }
    QByteArray info;
    if (os2) {
        put32(info, 12);
        put16(info, width);
        put16(info, height);
        put16(info, 1);
        put16(info, bits);
    } else {
        put32(info, 40);
        put32(info, width);
        put32(info, height);
        put16(info, 1);
        put16(info, bits);
        put32(info, runLength ? (bits == 8 ? 1 : 2) : 0);
        put32(info, pixels.size() + (runLength ? 2 : 0));
        put32(info, 2835);
        put32(info, 2835);
        put32(info, colours);
        put32(info, 0);
    }
    QByteArray file("BM");
    const qint64 offBits = 14 + info.size() + palette.size();
    put32(file, offBits + pixels.size());
    put32(file, 0);
    put32(file, offBits);
    return file + info + palette + pixels;
}

/// A cursor file with one 32 x 32 palette image of 1, 4 or 8 bits and its AND mask:
/// `index(x, y)` gives the colour, `clear(x, y)` sets the AND bit (keep the background).
template <typename Index, typename Clear>
QByteArray paletteCursor(int bits, const std::vector<QRgb>& palette, Index index, Clear clear) {
    const int size = 32;
    QByteArray image;
    put32(image, 40);
    put32(image, size);
    put32(image, 2 * size);
    put16(image, 1);
    put16(image, bits);
    for (int i = 0; i < 6; ++i) put32(image, 0);
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < int(palette.size()) ? palette[i] : 0;
        image.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    }
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; x += 8 / bits) {
            int byte = 0;
            for (int k = 0; k < 8 / bits; ++k) byte = byte << bits | index(x + k, y);
            image.append(char(byte));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; x += 8) {
            int byte = 0;
            for (int k = 0; k < 8; ++k) byte = byte << 1 | (clear(x + k, y) ? 1 : 0);
            image.append(char(byte));
        }
    }
    QByteArray file;
    put16(file, 0);
    put16(file, 2);
    put16(file, 1);
    file.append(char(size)).append(char(size)).append('\0').append('\0');
    put16(file, 4);  // hot spot
    put16(file, 4);
    put32(file, image.size());
    put32(file, 22);
    return file + image;
}

}  // namespace testpictures
