// SPDX-License-Identifier: MIT
#pragma once

// Writes wave files in the encodings a sound preview must play, from 16-bit source samples.
// The encoders are the textbook ones (G.711, IMA and Microsoft ADPCM), written here so the
// tests control every byte of the file.

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

namespace wavefiles {

enum class Encoding { Pcm8, Pcm16, MsAdpcm, ImaAdpcm, MuLaw, ALaw };

inline std::string name(Encoding e) {
    switch (e) {
        case Encoding::Pcm8:
            return "Pcm8";
        case Encoding::Pcm16:
            return "Pcm16";
        case Encoding::MsAdpcm:
            return "MsAdpcm";
        case Encoding::ImaAdpcm:
            return "ImaAdpcm";
        case Encoding::MuLaw:
            return "MuLaw";
        case Encoding::ALaw:
            return "ALaw";
    }
    return {};
}

// Names the encoding in test output.
inline void PrintTo(Encoding e, std::ostream* os) {
    *os << name(e);
}

/// Interleaved 16-bit samples.
struct Signal {
    int rate = 22050;
    int channels = 1;
    std::vector<std::int16_t> samples;
    int frames() const { return static_cast<int>(samples.size()) / channels; }
};

/// Two tones per channel, starting at a peak so the first frame is never silence.
inline Signal tones(int rate, int channels, int frames, double baseHz) {
    Signal s{rate, channels, {}};
    s.samples.reserve(static_cast<std::size_t>(frames) * static_cast<std::size_t>(channels));
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double t = static_cast<double>(i) / rate;
            const double f = baseHz * (c + 1);
            const double v = 0.5 * std::cos(2 * std::numbers::pi * f * t) +
                             0.2 * std::sin(2 * std::numbers::pi * 3.1 * f * t);
            s.samples.push_back(static_cast<std::int16_t>(std::lround(v * 32767)));
        }
    }
    return s;
}

namespace detail {

inline void u16(QByteArray& b, int v) {
    b.append(static_cast<char>(v & 0xFF));
    b.append(static_cast<char>((v >> 8) & 0xFF));
}
inline void u32(QByteArray& b, std::uint32_t v) {
    u16(b, static_cast<int>(v & 0xFFFF));
    u16(b, static_cast<int>(v >> 16));
}
inline std::int16_t clamp16(int v) {
    return static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
}

inline int segment(int v, const int (&ends)[8]) {
    for (int i = 0; i < 8; ++i)
        if (v <= ends[i]) return i;
    return 8;
}

inline std::uint8_t muLaw(std::int16_t sample) {
    static const int ends[8] = {0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF, 0x1FFF};
    int v = sample >> 2;
    int mask = 0xFF;
    if (v < 0) {
        v = -v;
        mask = 0x7F;
    }
    v = std::min(v, 8159) + (0x84 >> 2);
    const int seg = segment(v, ends);
    if (seg >= 8) return static_cast<std::uint8_t>(0x7F ^ mask);
    return static_cast<std::uint8_t>(((seg << 4) | ((v >> (seg + 1)) & 0xF)) ^ mask);
}

inline std::uint8_t aLaw(std::int16_t sample) {
    static const int ends[8] = {0x1F, 0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF};
    int v = sample >> 3;
    int mask = 0xD5;
    if (v < 0) {
        mask = 0x55;
        v = -v - 1;
    }
    const int seg = segment(v, ends);
    if (seg >= 8) return static_cast<std::uint8_t>(0x7F ^ mask);
    const int a = (seg << 4) | ((seg < 2 ? v >> 1 : v >> seg) & 0xF);
    return static_cast<std::uint8_t>(a ^ mask);
}

constexpr int kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kImaIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

// Mono IMA ADPCM: per block a 4-byte header (first sample, step index), then one nibble per
// further sample, low nibble first.
inline QByteArray imaBlocks(const std::vector<std::int16_t>& x, int blockAlign, int perBlock) {
    QByteArray out;
    int index = 0;
    for (std::size_t start = 0; start < x.size(); start += static_cast<std::size_t>(perBlock)) {
        auto at = [&](std::size_t i) { return start + i < x.size() ? x[start + i] : 0; };
        int predicted = at(0);
        u16(out, predicted);
        out.append(static_cast<char>(index));
        out.append('\0');
        std::uint8_t pending = 0;
        for (int i = 1; i < perBlock; ++i) {
            int step = kImaSteps[index];
            int diff = at(static_cast<std::size_t>(i)) - predicted;
            int nibble = 0;
            if (diff < 0) {
                nibble = 8;
                diff = -diff;
            }
            int change = step >> 3;
            for (int bit = 4; bit > 0; bit >>= 1, step >>= 1) {
                if (diff >= step) {
                    nibble |= bit;
                    diff -= step;
                    change += step;
                }
            }
            predicted = clamp16(predicted + ((nibble & 8) ? -change : change));
            index = std::clamp(index + kImaIndex[nibble], 0, 88);
            if (i % 2 == 1) {
                pending = static_cast<std::uint8_t>(nibble);
            } else {
                out.append(static_cast<char>(pending | (nibble << 4)));
            }
        }
        while (out.size() % blockAlign != 0) out.append('\0');
    }
    return out;
}

constexpr int kMsCoefficients[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                                       {240, 0}, {460, -208}, {392, -232}};
constexpr int kMsAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                   768, 614, 512, 409, 307, 230, 230, 230};

// One mono Microsoft ADPCM block with the given predictor; returns the squared error.
inline double msBlock(const std::vector<std::int16_t>& x, std::size_t start, int perBlock,
                      int predictor, QByteArray* out) {
    auto at = [&](int i) {
        return start + static_cast<std::size_t>(i) < x.size()
                   ? x[start + static_cast<std::size_t>(i)]
                   : 0;
    };
    const int c1 = kMsCoefficients[predictor][0];
    const int c2 = kMsCoefficients[predictor][1];
    int delta = std::max(16, std::abs(at(2) - at(1)) / 4);
    int s2 = at(0);  // played first
    int s1 = at(1);
    if (out) {
        out->append(static_cast<char>(predictor));
        u16(*out, delta);
        u16(*out, s1);
        u16(*out, s2);
    }
    double error = 0;
    std::uint8_t pending = 0;
    for (int i = 2; i < perBlock; ++i) {
        const int predicted = (s1 * c1 + s2 * c2) / 256;
        const int diff = at(i) - predicted;
        const int q = diff >= 0 ? (diff + delta / 2) / delta : -((-diff + delta / 2) / delta);
        const int nibble = std::clamp(q, -8, 7);
        const int decoded = clamp16(predicted + nibble * delta);
        error += static_cast<double>(at(i) - decoded) * (at(i) - decoded);
        const int code = nibble & 0xF;
        delta = std::clamp(delta * kMsAdaptation[code] / 256, 16, 65535);
        s2 = s1;
        s1 = decoded;
        if (out) {
            if (i % 2 == 0) {
                pending = static_cast<std::uint8_t>(code << 4);
            } else {
                out->append(static_cast<char>(pending | code));
            }
        }
    }
    return error;
}

inline QByteArray msBlocks(const std::vector<std::int16_t>& x, int perBlock) {
    QByteArray out;
    for (std::size_t start = 0; start < x.size(); start += static_cast<std::size_t>(perBlock)) {
        int best = 0;
        double bestError = std::numeric_limits<double>::max();
        for (int p = 0; p < 7; ++p) {
            const double e = msBlock(x, start, perBlock, p, nullptr);
            if (e < bestError) {
                bestError = e;
                best = p;
            }
        }
        msBlock(x, start, perBlock, best, &out);
    }
    return out;
}

}  // namespace detail

/// A complete RIFF WAVE file; ADPCM encodings take mono signals.
inline QByteArray encode(Encoding e, const Signal& s) {
    using namespace detail;
    int tag = 1, bits = 16, blockAlign = 2 * s.channels, perBlock = 1;
    QByteArray extra;  // fmt extension after cbSize
    QByteArray data;
    bool compressed = true;
    switch (e) {
        case Encoding::Pcm8:
            bits = 8;
            blockAlign = s.channels;
            for (auto v : s.samples) data.append(static_cast<char>((v >> 8) + 128));
            compressed = false;
            break;
        case Encoding::Pcm16:
            for (auto v : s.samples) u16(data, v);
            compressed = false;
            break;
        case Encoding::MuLaw:
        case Encoding::ALaw:
            tag = e == Encoding::MuLaw ? 7 : 6;
            bits = 8;
            blockAlign = s.channels;
            for (auto v : s.samples)
                data.append(static_cast<char>(e == Encoding::MuLaw ? muLaw(v) : aLaw(v)));
            break;
        case Encoding::ImaAdpcm:
            tag = 0x11;
            bits = 4;
            blockAlign = 256;
            perBlock = (blockAlign - 4) * 2 + 1;
            u16(extra, perBlock);
            data = imaBlocks(s.samples, blockAlign, perBlock);
            break;
        case Encoding::MsAdpcm:
            tag = 2;
            bits = 4;
            blockAlign = 256;
            perBlock = (blockAlign - 7) * 2 + 2;
            u16(extra, perBlock);
            u16(extra, 7);
            for (const auto& c : kMsCoefficients) {
                u16(extra, c[0]);
                u16(extra, c[1]);
            }
            data = msBlocks(s.samples, perBlock);
            break;
    }
    QByteArray fmt;
    u16(fmt, tag);
    u16(fmt, s.channels);
    u32(fmt, static_cast<std::uint32_t>(s.rate));
    u32(fmt, static_cast<std::uint32_t>(s.rate * blockAlign / perBlock));
    u16(fmt, blockAlign);
    u16(fmt, bits);
    if (compressed) {
        u16(fmt, static_cast<int>(extra.size()));
        fmt += extra;
    }

    QByteArray body = "WAVEfmt ";
    u32(body, static_cast<std::uint32_t>(fmt.size()));
    body += fmt;
    if (compressed) {
        body += "fact";
        u32(body, 4);
        u32(body, static_cast<std::uint32_t>(s.frames()));
    }
    body += "data";
    u32(body, static_cast<std::uint32_t>(data.size()));
    body += data;
    if (data.size() % 2) body.append('\0');  // RIFF chunks are word-aligned

    QByteArray file = "RIFF";
    u32(file, static_cast<std::uint32_t>(body.size()));
    return file + body;
}

}  // namespace wavefiles
