// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace compat {

/// What a file is, judged by its first bytes and never by its name.
enum class FileKind {
    Unknown,
    Bmp,
    Jpeg,
    Gif,
    Png,
    WebP,
    Tiff,
    Svg,
    Icon,      // an icon file (type 1)
    Cursor,    // a cursor file (type 2)
    Animated,  // RIFF ACON
    Wave,      // RIFF WAVE
    Ogg,       // Ogg: Vorbis or Opus
    Flac,
    Mp3,
    Executable  // starts with "MZ"
};

FileKind sniff(std::string_view head);
/// A short name for the kind, for messages: "PNG", "JPEG", "Ogg", ...
std::string_view kindName(FileKind kind);

/// One image of an icon or cursor file, as its directory entry and its image header say.
struct IconImage {
    int width = 0;
    int height = 0;
    int bits = 0;          // from the image's own header (the entry's count is often 0)
    bool png = false;      // PNG-compressed instead of a BMP-coded DIB
    bool damaged = false;  // lies outside the file or has no readable header
    int hotspotX = 0;      // cursors only
    int hotspotY = 0;
};

struct IconDirectory {
    bool cursor = false;
    std::vector<IconImage> images;
};

/// The directory of an icon or cursor file held whole in `bytes`; nullopt when the bytes are
/// not one. Entries are checked against the bytes present.
std::optional<IconDirectory> readIconDirectory(std::string_view bytes);

/// An animated cursor's chunks, pointing into the bytes given.
struct AniChunks {
    std::uint32_t frameCount = 0;  // anih
    std::uint32_t stepCount = 0;
    std::uint32_t displayRate = 0;
    std::uint32_t flags = 0;  // bit 0: frames are icon files; bit 1: a seq chunk orders them
    std::vector<std::string_view> frames;
    std::vector<std::uint32_t> rates;     // empty without a rate chunk
    std::vector<std::uint32_t> sequence;  // empty without a seq chunk
    bool hasHeader = false;
};

/// Walks a RIFF ACON file: nullopt when it is not one. A chunk cut short ends the walk.
std::optional<AniChunks> readAniChunks(std::string_view bytes);

/// A bitmap file's header.
struct BmpHeader {
    std::uint32_t headerSize = 0;  // 12 (OS/2), 40, 52, 56, 108 (V4), 124 (V5)
    int width = 0;
    int height = 0;  // negative for a top-down bitmap
    int bits = 0;
    std::uint32_t compression = 0;  // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields, 4 JPEG, 5 PNG
};
std::optional<BmpHeader> readBmpHeader(std::string_view head);

struct PictureSize {
    int width = 0;
    int height = 0;
};
/// The picture's size from the header of a BMP, PNG, GIF or JPEG (the first frame header
/// within the bytes given); nullopt for other kinds or when it is not found.
std::optional<PictureSize> readPictureSize(std::string_view head);

/// A RIFF WAVE file's format chunk.
struct WaveFormat {
    int formatTag = 0;  // 1 PCM, 2 MS ADPCM, 3 float, 6 A-law, 7 mu-law, 0x11 IMA, 0x31 GSM
    int channels = 0;
    std::uint32_t sampleRate = 0;
    int bitsPerSample = 0;
    int subFormatTag = 0;  // for WAVE_FORMAT_EXTENSIBLE (0xFFFE): the first two bytes of the GUID
};
/// Nullopt when the bytes are not a RIFF WAVE file or no fmt chunk is found within them.
std::optional<WaveFormat> readWaveFormat(std::string_view head);

/// What kind of program an "MZ" file holds.
struct Executable {
    enum class Kind { NotAProgram, Dos, NewExecutable, Portable } kind = Kind::NotAProgram;
    int machine = 0;  // PE: 0x14C for x86, 0x8664 for x64
    int subsystemMajor = 0;
    int subsystemMinor = 0;
};
Executable readExecutable(std::string_view head);

/// Little-endian reads that give 0 past the end.
std::uint32_t le16(std::string_view bytes, std::size_t at);
std::uint32_t le32(std::string_view bytes, std::size_t at);

}  // namespace compat
