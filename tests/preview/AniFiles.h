// SPDX-License-Identifier: MIT
#pragma once

// Animated and monochrome cursor files for tests, built byte by byte.
#include <QByteArray>
#include <QtEndian>
#include <optional>
#include <vector>

namespace anifiles {

inline QByteArray le32(quint32 value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(value, bytes.data());
    return bytes;
}

/// A RIFF chunk, padded to an even length; `claimed` overrides the length it states.
inline QByteArray chunk(const char* id, const QByteArray& data,
                        std::optional<quint32> claimed = {}) {
    QByteArray bytes =
        QByteArray(id, 4) + le32(claimed.value_or(static_cast<quint32>(data.size()))) + data;
    if (data.size() % 2) bytes += '\0';
    return bytes;
}

inline QByteArray values(const std::vector<quint32>& list) {
    QByteArray bytes;
    for (quint32 v : list) bytes += le32(v);
    return bytes;
}

struct AniSpec {
    std::vector<QByteArray> frames;
    std::optional<std::vector<quint32>> sequence;
    std::optional<std::vector<quint32>> rates;
    std::optional<quint32> headerFrames;  // default: the frames' count
    std::optional<quint32> headerSteps;   // default: the sequence's length, else the frames'
    quint32 defaultRate = 10;
    bool iconFlag = true;
};

inline QByteArray anih(const AniSpec& spec) {
    const auto frames = static_cast<quint32>(spec.frames.size());
    const quint32 steps = spec.sequence ? static_cast<quint32>(spec.sequence->size()) : frames;
    const quint32 flags = (spec.iconFlag ? 1u : 0u) | (spec.sequence ? 2u : 0u);
    return chunk(
        "anih", values({36, spec.headerFrames.value_or(frames), spec.headerSteps.value_or(steps), 0,
                        0, 0, 0, spec.defaultRate, flags}));
}

/// A whole ACON file: header, optional rate and seq chunks, then the frames.
inline QByteArray aniFile(const AniSpec& spec) {
    QByteArray body = QByteArray("ACON") + anih(spec);
    if (spec.rates) body += chunk("rate", values(*spec.rates));
    if (spec.sequence) body += chunk("seq ", values(*spec.sequence));
    QByteArray list("fram");
    for (const QByteArray& frame : spec.frames) list += chunk("icon", frame);
    body += chunk("LIST", list);
    return QByteArray("RIFF") + le32(static_cast<quint32>(body.size())) + body;
}

/// A 32 x 32 monochrome cursor: the left half inverts the screen (AND 1, XOR 1), the right
/// half is black (AND 0, XOR 0).
inline QByteArray invertingCursor() {
    constexpr int size = 32;
    QByteArray dib = values({40, size, 2 * size}) + QByteArray("\x01\x00\x01\x00", 4) +
                     values({0, 0, 0, 0, 2, 0});
    dib += values({0x000000, 0xFFFFFF});  // palette: black, white
    const QByteArray leftHalf("\xFF\xFF\x00\x00", 4);
    for (int row = 0; row < size; ++row) dib += leftHalf;  // XOR: white on the left
    for (int row = 0; row < size; ++row) dib += leftHalf;  // AND: set on the left
    QByteArray file("\0\0\2\0\1\0", 6);
    file += QByteArray("\x20\x20\x02\x00\x00\x00\x00\x00", 8) +
            le32(static_cast<quint32>(dib.size())) + le32(22);
    return file + dib;
}

}  // namespace anifiles
