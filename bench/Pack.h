// SPDX-License-Identifier: MIT
#pragma once

// A fully filled theme of the sizes a 1998 pack holds, written to a folder, and the services
// a benchmark drives Form1 with: a dialog that answers one file and message boxes that say OK.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QSize>
#include <QStringList>
#include <string>
#include <vector>

#include "pages/Layout.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBoxes.h"

namespace bench {

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

inline QImage gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    return image;
}

/// Decodes a small picture of `format` found by its content, as the tool reads files: Qt loads
/// its image plugins on the first such read, which the tool has done by its first frame (the
/// window icon). A benchmark calls this before timing either side.
inline void warmUpDecoders(const char* format) {
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    QImageWriter(&out, format).write(QImage(16, 16, QImage::Format_RGB32));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    QImageReader reader(&in);
    reader.setDecideFormatFromContent(true);
    reader.read();
}

/// A photograph-like picture: smooth gradients with fine detail.
inline QImage photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            line[3 * x] = static_cast<uchar>((x / 24 + (x * y) % 7) & 255);
            line[3 * x + 1] = static_cast<uchar>((y / 16) & 255);
            line[3 * x + 2] = static_cast<uchar>(((x + y) / 40) & 255);
        }
    }
    return image;
}

/// The pack's files: the theme, and the pictures its pages decode with the size each box
/// shows them at.
struct Pack {
    QString theme;
    QStringList pictures;
    std::vector<QSize> sizes;
};

/// Writes an 800 x 600 bitmap wallpaper, four 32 x 32 icons, twelve cursors, three 320 x 400
/// logos and the theme naming them into `folder`.
inline Pack writePack(const QString& folder) {
    Pack pack;
    QDir().mkpath(folder);
    QString theme = QStringLiteral("[Control Panel\\Desktop]\r\nWallpaper=%ThemeDir%SKY.BMP\r\n");
    writeFile(folder + QStringLiteral("/SKY.BMP"), encoded(gradient(800, 600), "bmp"));
    pack.pictures << folder + QStringLiteral("/SKY.BMP");
    pack.sizes.push_back(QSize(pages::pixels(4935) - 2, pages::pixels(3495) - 2));
    const char* iconSections[] = {
        "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r\nDefaultValue",
        "[CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon]\r\nDefaultValue",
        "[CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon]\r\nfull", "empty"};
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("ICON%1.ICO").arg(i);
        writeFile(folder + QLatin1Char('/') + name, encoded(gradient(32, 32), "ico"));
        pack.pictures << folder + QLatin1Char('/') + name;
        pack.sizes.push_back(QSize(pages::pixels(1215) - 2, pages::pixels(1095) - 2));
        theme += QString::fromLatin1(iconSections[i]) + QStringLiteral("=%ThemeDir%") + name +
                 QStringLiteral("\r\n");
    }
    theme += QStringLiteral("[Control Panel\\Cursors]\r\n");
    for (const char* key : {"Arrow", "Help", "AppStarting", "Wait", "No", "SizeNS", "SizeWE",
                            "Crosshair", "IBeam", "SizeNWSE", "SizeNESW", "SizeAll"}) {
        QByteArray cursor = encoded(gradient(32, 32), "ico");
        cursor[2] = 2;
        writeFile(folder + QStringLiteral("/%1.CUR").arg(QLatin1String(key)), cursor);
        theme += QStringLiteral("%1=%ThemeDir%%1.cur\r\n").arg(QLatin1String(key));
    }
    for (int i = 0; i < 3; ++i)
        writeFile(folder + QStringLiteral("/LOGO%1.SYS").arg(i),
                  encoded(gradient(320, 400), "bmp"));
    writeFile(folder + QStringLiteral("/Pack.bat"),
              "copy \"LOGO0.SYS\" c:\\logo.sys\r\ncopy \"LOGO1.SYS\" c:\\windows\\logow.sys\r\n"
              "copy \"LOGO2.SYS\" c:\\windows\\logos.sys\r\n");
    pack.theme = folder + QStringLiteral("/Pack.theme");
    writeFile(pack.theme, theme.toLatin1());
    return pack;
}

/// A dialog whose user always confirms the same file.
class AnsweringDialog : public platform::CommonDialog {
public:
    std::string answer;
    void ShowOpen() override { FileName = answer; }
    void ShowColor() override {}
    std::optional<std::string> acceptFile(const std::filesystem::path&) override {
        return std::nullopt;
    }
};

/// Message boxes whose user always says OK.
class OkMessageBoxes : public platform::MessageBoxes {
public:
    platform::MessageResult show(const platform::Message&) override {
        return platform::MessageResult::Ok;
    }
};

/// A host path as the tool names it on drive Z:.
inline std::string onDriveZ(const QString& hostPath) {
    return "Z:" + QString(hostPath).replace(QLatin1Char('/'), QLatin1Char('\\')).toStdString();
}

}  // namespace bench
