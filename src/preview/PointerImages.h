// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <optional>
#include <string>
#include <vector>

#include "platform/PictureLoader.h"
#include "preview/AniReader.h"

namespace preview {

/// One pointer image: its picture, and the pixels Windows draws by inverting the screen.
struct CursorImage {
    QImage image;
    /// Null, or an image of the same size whose opaque pixels are XORed onto the screen
    /// (white inverts it); Qt's reader leaves these pixels out of `image`.
    QImage inversion;
};

/// A pointer as the preview plays it: one step for a static cursor, the file's order and
/// rates for an animated one. No frames when nothing in the file could be decoded.
struct PointerAnimation {
    std::vector<CursorImage> frames;
    std::vector<AniStep> steps;
};

/// Animated cursor files larger than this are not read.
inline constexpr qint64 kMaxPointerFileBytes = 4 * 1024 * 1024;

/// The screen-inverting pixels of the largest image of an icon or cursor file in memory: a
/// null image when there are none or the data is damaged.
QImage inversionMask(QByteArrayView iconFile);

/// Decodes one icon or cursor file in memory with the picture loader, plus its inversion.
std::optional<CursorImage> decodeCursor(const QByteArray& iconFile,
                                        platform::PictureLoader& loader);

/// Decodes every frame of an animated cursor; steps whose frame does not decode are dropped.
/// When every step was dropped but a frame decoded, the first good frame stands alone.
PointerAnimation decodeAnimation(const AniFile& file, platform::PictureLoader& loader);

/// The pointer at a Windows path (a static cursor or an animated one); empty when the slot is
/// empty or the file cannot be read.
PointerAnimation loadPointer(const std::string& windowsPath, platform::PictureLoader& loader);

/// Draws a pointer image onto `target` with its top-left at `at`, inverting as Windows does.
void paintCursor(QImage& target, QPoint at, const CursorImage& cursor);

}  // namespace preview
