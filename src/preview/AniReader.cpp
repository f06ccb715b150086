// SPDX-License-Identifier: MIT
#include "preview/AniReader.h"

#include <algorithm>
#include <cstdint>

namespace preview {

namespace {

std::uint32_t le32(QByteArrayView b, qsizetype at) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

bool isId(QByteArrayView b, qsizetype at, const char (&id)[5]) {
    return b.sliced(at, 4) == QByteArrayView(id, 4);
}

// A chunk as found: its id's position and its data, cut to the bytes that are there.
struct Chunk {
    qsizetype at = 0;
    QByteArrayView data;
    bool whole = true;
};

// The chunk starting at `pos`, or nullopt when not even its header fits before `end`.
std::optional<Chunk> chunkAt(QByteArrayView b, qsizetype pos, qsizetype end) {
    if (pos < 0 || end - pos < 8) return std::nullopt;
    const qint64 length = le32(b, pos + 4);
    const qint64 room = end - pos - 8;
    Chunk chunk;
    chunk.at = pos;
    chunk.whole = length <= room;
    chunk.data = b.sliced(pos + 8, static_cast<qsizetype>(std::min(length, room)));
    return chunk;
}

// Chunks are padded to an even length.
qsizetype nextChunk(const Chunk& chunk) {
    const qsizetype size = chunk.data.size();
    return chunk.at + 8 + size + (size & 1);
}

std::vector<int> readCounts(QByteArrayView data) {
    const qsizetype count = std::min<qsizetype>(data.size() / 4, kMaxAniSteps);
    std::vector<int> values;
    values.reserve(static_cast<std::size_t>(count));
    for (qsizetype i = 0; i < count; ++i)
        values.push_back(static_cast<int>(std::min<std::uint32_t>(le32(data, 4 * i), INT32_MAX)));
    return values;
}

void readFrames(QByteArrayView list, std::vector<QByteArray>& frames) {
    // A "LIST" chunk of type "fram" holds one "icon" chunk per frame; nothing else nests.
    qsizetype pos = 4;
    while (static_cast<int>(frames.size()) < kMaxAniFrames) {
        const auto chunk = chunkAt(list, pos, list.size());
        if (!chunk || !chunk->whole) return;  // a cut-short frame is no frame
        if (isId(list, pos, "icon")) frames.emplace_back(chunk->data.toByteArray());
        pos = nextChunk(*chunk);
    }
}

int clampJiffies(int jiffies) {
    return std::clamp(jiffies, kMinAniJiffies, kMaxAniJiffies);
}

}  // namespace

std::optional<AniFile> readAni(QByteArrayView bytes) {
    if (bytes.size() < 12 || !isId(bytes, 0, "RIFF") || !isId(bytes, 8, "ACON"))
        return std::nullopt;
    // A RIFF size beyond the file is believed only as far as the file goes.
    const qsizetype end =
        static_cast<qsizetype>(std::min<qint64>(bytes.size(), qint64{8} + le32(bytes, 4)));

    AniFile file;
    bool haveHeader = false;
    std::uint32_t headerFrames = 0;
    std::uint32_t headerSteps = 0;
    int defaultJiffies = 10;
    std::vector<int> rates;
    std::vector<int> sequence;
    bool haveSequence = false;

    qsizetype pos = 12;
    while (true) {
        const auto chunk = chunkAt(bytes, pos, end);
        if (!chunk) break;
        const QByteArrayView data = chunk->data;
        if (isId(bytes, pos, "anih") && chunk->whole && data.size() >= 36 && !haveHeader) {
            haveHeader = true;
            headerFrames = le32(data, 4);
            headerSteps = le32(data, 8);
            defaultJiffies = static_cast<int>(std::min<std::uint32_t>(le32(data, 28), INT32_MAX));
            file.iconFrames = (le32(data, 32) & 1) != 0;
        } else if (isId(bytes, pos, "rate") && rates.empty()) {
            rates = readCounts(data);
        } else if (isId(bytes, pos, "seq ") && !haveSequence) {
            sequence = readCounts(data);
            haveSequence = true;
        } else if (isId(bytes, pos, "LIST") && data.size() >= 4 && isId(data, 0, "fram") &&
                   file.frames.empty()) {
            readFrames(data, file.frames);
        }
        if (!chunk->whole) break;
        pos = nextChunk(*chunk);
    }

    // A header claiming fewer frames than the file holds limits them; one claiming more is
    // believed only as far as the frames go.
    if (haveHeader && headerFrames > 0 && headerFrames < file.frames.size())
        file.frames.resize(headerFrames);
    const int frameCount = static_cast<int>(file.frames.size());

    if (!haveSequence) {
        sequence.clear();
        for (int i = 0; i < frameCount; ++i) sequence.push_back(i);
    } else if (haveHeader && headerSteps > 0 && headerSteps < sequence.size()) {
        sequence.resize(headerSteps);
    }
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        if (sequence[i] < 0 || sequence[i] >= frameCount) continue;  // names no frame
        const int jiffies = i < rates.size() ? rates[i] : defaultJiffies;
        file.steps.push_back({sequence[i], clampJiffies(jiffies)});
    }
    return file;
}

}  // namespace preview
