// SPDX-License-Identifier: MIT
#pragma once

#include <QIODevice>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

namespace platform {

/// Reads a big uncompressed BMP (1, 4, 8, 16, 24 or 32 bits a pixel, bottom-up or top-down)
/// straight to `size`, a row at a time: only the rows the smaller picture samples are read and
/// only one row is held, so a picture of any size, beyond Qt's allocation limit too, previews
/// in well under a megabyte of working memory. Each output row is one source row, its pixels
/// the average of the source columns they cover. Nullopt when the file is not such a BMP, or
/// is small enough that a full decode costs little: the caller's decoder reads it then.
std::optional<QImage> readBmpScaled(const QString& hostPath, QSize size, QRect clip = {});
/// The same from a file already open (read from its start), so that what was checked is
/// what is read. With a clip (in the picture's own pixels) only that part is read and scaled
/// to `size`.
std::optional<QImage> readBmpScaled(QIODevice& file, QSize size, QRect clip = {});

}  // namespace platform
