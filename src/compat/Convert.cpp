// SPDX-License-Identifier: MIT
#include "compat/Convert.h"

#include <samplerate.h>
#include <sndfile.h>

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <unordered_map>

#include "compat/Headers.h"
#include "compat/SourceFile.h"

namespace compat {
namespace {

constexpr int kMaxWallpaperWidth = 1600;
constexpr int kMaxWallpaperHeight = 1200;
constexpr int kSoundRate = 22050;
constexpr std::size_t kMaxPictureBytes = 256 * 1024 * 1024;

void put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

bool fail(std::string* why, std::string text) {
    if (why) *why = std::move(text);
    return false;
}

// ---- colours

struct Box {
    std::size_t begin, end;  // into the colour list
};

int channel(QRgb c, int which) {
    return which == 0 ? qRed(c) : which == 1 ? qGreen(c) : qBlue(c);
}

// The channel with the widest range in a box, and that range.
std::pair<int, int> widest(const std::vector<QRgb>& colours, const Box& box) {
    std::array<int, 3> low{255, 255, 255}, high{0, 0, 0};
    for (std::size_t i = box.begin; i < box.end; ++i)
        for (int ch = 0; ch < 3; ++ch) {
            low[ch] = std::min(low[ch], channel(colours[i], ch));
            high[ch] = std::max(high[ch], channel(colours[i], ch));
        }
    int best = 0;
    for (int ch = 1; ch < 3; ++ch)
        if (high[ch] - low[ch] > high[best] - low[best]) best = ch;
    return {best, high[best] - low[best]};
}

// Nearest palette entry by squared distance, remembered per colour. The entries are searched
// outwards from the colour's red value, stopping once red alone is farther than the best.
class Mapper {
public:
    explicit Mapper(const std::vector<QRgb>& palette) : m_palette(palette) {
        for (std::size_t i = 0; i < palette.size(); ++i) m_byRed.push_back(static_cast<int>(i));
        std::sort(m_byRed.begin(), m_byRed.end(),
                  [&](int a, int b) { return qRed(palette[a]) < qRed(palette[b]); });
    }
    int index(QRgb c) {
        c |= 0xFF000000u;
        if (auto it = m_known.find(c); it != m_known.end()) return it->second;
        const auto start =
            std::lower_bound(m_byRed.begin(), m_byRed.end(), qRed(c), [&](int entry, int red) {
                return qRed(m_palette[static_cast<std::size_t>(entry)]) < red;
            });
        int best = m_byRed.empty() ? 0 : m_byRed.front();
        long bestDistance = -1;
        auto consider = [&](int entry) {
            const QRgb p = m_palette[static_cast<std::size_t>(entry)];
            const long dr = qRed(c) - qRed(p);
            if (bestDistance >= 0 && dr * dr >= bestDistance) return false;
            const long dg = qGreen(c) - qGreen(p), db = qBlue(c) - qBlue(p);
            const long d = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || d < bestDistance || (d == bestDistance && entry < best)) {
                bestDistance = d;
                best = entry;
            }
            return true;
        };
        for (auto it = start; it != m_byRed.end() && consider(*it); ++it) {
        }
        for (auto it = start; it != m_byRed.begin() && consider(*(it - 1)); --it) {
        }
        m_known.emplace(c, best);
        return best;
    }

private:
    const std::vector<QRgb>& m_palette;
    std::vector<int> m_byRed;
    std::unordered_map<QRgb, int> m_known;
};

// ---- pictures

// An icon-sized image: the picture scaled to fit size x size (keeping its aspect, centred),
// alpha straight (not premultiplied).
QImage fitted(const QImage& picture, int size, bool centred = true) {
    QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    const QImage scaled = picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&out);
    painter.drawImage(centred ? (size - scaled.width()) / 2 : 0,
                      centred ? (size - scaled.height()) / 2 : 0, scaled);
    painter.end();
    return out.convertToFormat(QImage::Format_ARGB32);
}

// Opaque pixels (alpha at or above one half) blended on the background; the rest marked by
// alpha 0. With `blend` false the colour is kept as it is.
QImage masked(QImage image, QRgb background, bool blend) {
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = row[x];
            const int a = qAlpha(c);
            if (a < 128) {
                row[x] = 0;
                continue;
            }
            if (!blend || a == 255) {
                row[x] = c | 0xFF000000u;
                continue;
            }
            auto mix = [&](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
            row[x] = qRgb(mix(qRed(c), qRed(background)), mix(qGreen(c), qGreen(background)),
                          mix(qBlue(c), qBlue(background)));
        }
    }
    return image;
}

// One BMP-coded icon image (header, colour table, XOR and AND bitmaps) of an image whose
// transparent pixels have alpha 0.
std::string iconDib(const QImage& image, int bits) {
    const int w = image.width(), h = image.height();
    const bool anyClear = [&] {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (qAlpha(image.pixel(x, y)) == 0) return true;
        return false;
    }();
    // A transparent pixel is black in the XOR bitmap and set in the AND mask: the screen shows
    // through unchanged. Black gets the first entry then.
    std::vector<QRgb> palette = medianCut(image, (1 << bits) - (anyClear ? 1 : 0));
    if (anyClear) palette.insert(palette.begin(), qRgb(0, 0, 0));
    palette.resize(static_cast<std::size_t>(1) << bits, qRgb(0, 0, 0));
    Mapper mapper(palette);
    const int xorRow = (w * bits + 31) / 32 * 4, andRow = (w + 31) / 32 * 4;
    std::string out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(w));
    put32(out, static_cast<std::uint32_t>(2 * h));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(bits));
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>((xorRow + andRow) * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (QRgb c : palette) {
        out += static_cast<char>(qBlue(c));
        out += static_cast<char>(qGreen(c));
        out += static_cast<char>(qRed(c));
        out += '\0';
    }
    std::string xorBits, andBits;
    for (int y = h - 1; y >= 0; --y) {  // bottom-up
        std::string xr(static_cast<std::size_t>(xorRow), '\0'),
            ar(static_cast<std::size_t>(andRow), '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb c = image.pixel(x, y);
            const bool clear = qAlpha(c) == 0;
            const int index = clear ? 0 : mapper.index(c);
            if (bits == 8) {
                xr[static_cast<std::size_t>(x)] = static_cast<char>(index);
            } else {
                auto& byte = xr[static_cast<std::size_t>(x / 2)];
                byte = static_cast<char>(byte | (x % 2 ? index : index << 4));
            }
            if (clear) {
                auto& mask = ar[static_cast<std::size_t>(x / 8)];
                mask = static_cast<char>(mask | (0x80 >> (x % 8)));
            }
        }
        xorBits += xr;
        andBits += ar;
    }
    return out + xorBits + andBits;
}

struct IconPart {
    std::string dib;
    int size;
    int bits;
    QPoint hotspot;
};

std::string iconDirectory(const std::vector<IconPart>& parts, bool cursor) {
    std::string out;
    put16(out, 0);
    put16(out, cursor ? 2 : 1);
    put16(out, static_cast<std::uint32_t>(parts.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * parts.size());
    for (const auto& p : parts) {
        out += static_cast<char>(p.size);
        out += static_cast<char>(p.size);
        out += static_cast<char>(p.bits == 4 ? 16 : 0);
        out += '\0';
        put16(out, cursor ? static_cast<std::uint32_t>(p.hotspot.x()) : 1);
        put16(out, cursor ? static_cast<std::uint32_t>(p.hotspot.y())
                          : static_cast<std::uint32_t>(p.bits));
        put32(out, static_cast<std::uint32_t>(p.dib.size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(p.dib.size());
    }
    for (const auto& p : parts) out += p.dib;
    return out;
}

std::string bitmapFile(const QImage& picture, int bits, const std::vector<QRgb>& palette,
                       Mapper* mapper) {
    const int w = picture.width(), h = picture.height();
    const int stride = (w * bits + 31) / 32 * 4;
    const std::uint32_t colours = static_cast<std::uint32_t>(palette.size());
    const std::uint32_t offset = 14 + 40 + 4 * colours;
    const std::uint64_t pixels = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(h);
    std::string out;
    out.reserve(offset + pixels);
    out += "BM";
    put32(out, static_cast<std::uint32_t>(offset + pixels));
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(w));
    put32(out, static_cast<std::uint32_t>(h));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(bits));
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(pixels));
    put32(out, 2835);  // 72 dpi
    put32(out, 2835);
    put32(out, colours);
    put32(out, 0);
    for (QRgb c : palette) {
        out += static_cast<char>(qBlue(c));
        out += static_cast<char>(qGreen(c));
        out += static_cast<char>(qRed(c));
        out += '\0';
    }
    std::string row(static_cast<std::size_t>(stride), '\0');
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (bits == 8) {
                row[static_cast<std::size_t>(x)] = static_cast<char>(mapper->index(line[x]));
            } else {
                row[static_cast<std::size_t>(3 * x)] = static_cast<char>(qBlue(line[x]));
                row[static_cast<std::size_t>(3 * x + 1)] = static_cast<char>(qGreen(line[x]));
                row[static_cast<std::size_t>(3 * x + 2)] = static_cast<char>(qRed(line[x]));
            }
        }
        out += row;
    }
    return out;
}

// The picture in the bytes (the largest image of an icon) as 32-bit ARGB, or a null image.
// An SVG is drawn at 256 pixels on its longer side. A JPEG larger than maxSize, or a picture
// past Qt's allocation limit, is decoded scaled to fit; other pictures are decoded whole and
// scaled afterwards, since Qt's scaled decode of a 1-bit PNG loses its colours. Pictures
// are made 32-bit at once for the same reason: Qt scales 1-bit images without their colours.
QImage decodePicture(const QByteArray& bytes, QSize maxSize = {}) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (reader.format() == "svg") {
        const QSize size = reader.size().isValid() ? reader.size() : QSize(256, 256);
        reader.setScaledSize(size.scaled(256, 256, Qt::KeepAspectRatio));
        return reader.read().convertToFormat(QImage::Format_ARGB32);
    }
    const QSize full = reader.size();
    const bool tooLarge = maxSize.isValid() && full.isValid() &&
                          (full.width() > maxSize.width() || full.height() > maxSize.height());
    const bool pastLimit =
        full.isValid() && static_cast<qint64>(full.width()) * full.height() * 4 >
                              static_cast<qint64>(QImageReader::allocationLimit()) * 1024 * 1024;
    if (tooLarge && (reader.format() == "jpeg" || pastLimit))
        reader.setScaledSize(full.scaled(maxSize, Qt::KeepAspectRatio));
    else if (pastLimit)
        reader.setScaledSize(full.scaled(4096, 4096, Qt::KeepAspectRatio));
    QImage best;
    do {
        QImage image = reader.read();
        if (!image.isNull() && image.width() * image.height() > best.width() * best.height())
            best = std::move(image);
    } while (reader.imageCount() > 1 && reader.jumpToNextImage());
    if (best.isNull()) return best;
    best = best.convertToFormat(QImage::Format_ARGB32);
    if (tooLarge && (best.width() > maxSize.width() || best.height() > maxSize.height()))
        best = best.scaled(maxSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return best;
}

// The hot spot of a cursor file's largest image, scaled to 32x32.
QPoint scaledHotspot(std::string_view bytes, const QImage& picture) {
    const auto dir = readIconDirectory(bytes);
    if (!dir || !dir->cursor || dir->images.empty()) return {};
    const auto largest = std::max_element(dir->images.begin(), dir->images.end(),
                                          [](const IconImage& a, const IconImage& b) {
                                              return a.width * a.height < b.width * b.height;
                                          });
    const int longer = std::max(std::max(picture.width(), picture.height()), 1);
    const int sx = std::clamp(largest->hotspotX * 32 / longer, 0, 31);
    const int sy = std::clamp(largest->hotspotY * 32 / longer, 0, 31);
    return {sx, sy};
}

std::optional<std::string> convertCursor(std::string_view bytes, std::string* why) {
    const QImage picture =
        decodePicture(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (picture.isNull()) {
        fail(why, "it holds no picture that can be read");
        return std::nullopt;
    }
    return curFile(picture, scaledHotspot(bytes, picture));
}

std::string chunk(std::string_view id, const std::string& data) {
    std::string out(id);
    put32(out, static_cast<std::uint32_t>(data.size()));
    out += data;
    if (data.size() % 2) out += '\0';
    return out;
}

std::optional<std::string> convertAnimated(std::string_view bytes, std::string* why) {
    const auto ani = readAniChunks(bytes);
    if (!ani || !ani->hasHeader || ani->frames.empty() || !(ani->flags & 1)) {
        fail(why, "it is no animated cursor with icon frames");
        return std::nullopt;
    }
    std::string frames = "fram";
    for (std::size_t i = 0; i < ani->frames.size(); ++i) {
        const auto frame = convertCursor(ani->frames[i], why);
        if (!frame) {
            if (why) *why = "frame " + std::to_string(i + 1) + ": " + *why;
            return std::nullopt;
        }
        frames += chunk("icon", *frame);
    }
    const auto frameCount = static_cast<std::uint32_t>(ani->frames.size());
    std::string header;
    put32(header, 36);
    put32(header, frameCount);
    put32(header, ani->stepCount ? ani->stepCount : frameCount);
    for (int i = 0; i < 4; ++i) put32(header, 0);
    put32(header, ani->displayRate);
    put32(header, 1 | (ani->sequence.empty() ? 0 : 2));
    std::string body = "ACON" + chunk("anih", header);
    auto numbers = [](const std::vector<std::uint32_t>& list) {
        std::string out;
        for (std::uint32_t n : list) put32(out, n);
        return out;
    };
    if (!ani->rates.empty()) body += chunk("rate", numbers(ani->rates));
    if (!ani->sequence.empty()) body += chunk("seq ", numbers(ani->sequence));
    body += chunk("LIST", frames);
    std::string out = "RIFF";
    put32(out, static_cast<std::uint32_t>(body.size()));
    return out + body;
}

// ---- sounds

struct SoundFileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
struct ResamplerCloser {
    void operator()(SRC_STATE* s) const { src_delete(s); }
};

std::optional<std::string> convertSound(const std::filesystem::path& source, std::string* why) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SoundFileCloser> in(sf_open(source.c_str(), SFM_READ, &info));
    if (!in || info.channels < 1 || info.samplerate < 1) {
        fail(why, in ? "it holds no sound" : sf_strerror(nullptr));
        return std::nullopt;
    }
    // Windows 95 and 98 play mono and stereo: more channels are mixed down to two.
    const int outChannels = std::min(info.channels, 2);
    int error = 0;
    std::unique_ptr<SRC_STATE, ResamplerCloser> resampler(
        src_new(SRC_SINC_MEDIUM_QUALITY, outChannels, &error));
    if (!resampler) {
        fail(why, src_strerror(error));
        return std::nullopt;
    }
    const double ratio = static_cast<double>(kSoundRate) / info.samplerate;
    constexpr sf_count_t kBlock = 4096;
    std::vector<float> block(static_cast<std::size_t>(kBlock * info.channels));
    std::vector<float> mixed(static_cast<std::size_t>(kBlock * outChannels));
    std::vector<float> resampled(
        static_cast<std::size_t>((static_cast<double>(kBlock) * ratio + 64) * outChannels));
    std::vector<short> frames;
    bool ended = false;
    while (!ended) {
        const sf_count_t got = sf_readf_float(in.get(), block.data(), kBlock);
        ended = got < kBlock;
        for (sf_count_t f = 0; f < got; ++f) {
            for (int ch = 0; ch < outChannels; ++ch) {
                float sum = 0;
                int count = 0;
                for (int from = ch; from < info.channels; from += outChannels, ++count)
                    sum += block[static_cast<std::size_t>(f * info.channels + from)];
                mixed[static_cast<std::size_t>(f * outChannels + ch)] =
                    sum / static_cast<float>(count);
            }
        }
        SRC_DATA data{};
        data.data_in = mixed.data();
        data.input_frames = static_cast<long>(got);
        data.src_ratio = ratio;
        data.end_of_input = ended ? 1 : 0;
        // The resampler may hold input back; call it until it has taken all and given all.
        do {
            data.data_out = resampled.data();
            data.output_frames = static_cast<long>(resampled.size()) / outChannels;
            if ((error = src_process(resampler.get(), &data)) != 0) {
                fail(why, src_strerror(error));
                return std::nullopt;
            }
            const std::size_t old = frames.size();
            frames.resize(old + static_cast<std::size_t>(data.output_frames_gen * outChannels));
            src_float_to_short_array(resampled.data(), frames.data() + old,
                                     static_cast<int>(data.output_frames_gen * outChannels));
            data.data_in += data.input_frames_used * outChannels;
            data.input_frames -= data.input_frames_used;
        } while (data.input_frames > 0 || (ended && data.output_frames_gen > 0));
    }
    return waveFile(frames, outChannels, kSoundRate);
}

std::string lowerExtension(std::string_view name) {
    const auto dot = name.rfind('.');
    std::string ext(dot == std::string_view::npos ? "" : name.substr(dot));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

}  // namespace

std::vector<QRgb> medianCut(const QImage& image, int maxColours) {
    std::vector<QRgb> colours;
    {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        std::unordered_map<QRgb, bool> seen;
        for (int y = 0; y < argb.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x)
                if (qAlpha(line[x]) != 0) colours.push_back(line[x] | 0xFF000000u);
        }
    }
    if (colours.empty() || maxColours < 1) return {};
    std::vector<QRgb> distinct = colours;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    if (static_cast<int>(distinct.size()) <= maxColours) return distinct;

    // Each box keeps its widest channel and that channel's range, measured once when made.
    struct Measured {
        Box box;
        int channel;
        int range;
    };
    auto measure = [&](Box box) {
        const auto [ch, range] = widest(colours, box);
        return Measured{box, ch, range};
    };
    std::vector<Measured> boxes{measure({0, colours.size()})};
    while (static_cast<int>(boxes.size()) < maxColours) {
        // Split the box whose widest channel spans most.
        auto pick = boxes.end();
        for (auto it = boxes.begin(); it != boxes.end(); ++it)
            if (it->box.end - it->box.begin >= 2 && it->range > 0 &&
                (pick == boxes.end() || it->range > pick->range))
                pick = it;
        if (pick == boxes.end()) break;
        const Box box = pick->box;
        const int ch = pick->channel;
        const auto first = colours.begin() + static_cast<std::ptrdiff_t>(box.begin);
        const auto last = colours.begin() + static_cast<std::ptrdiff_t>(box.end);
        const auto middle = first + (last - first) / 2;
        std::nth_element(first, middle, last,
                         [ch](QRgb a, QRgb b) { return channel(a, ch) < channel(b, ch); });
        const std::size_t cut = static_cast<std::size_t>(middle - colours.begin());
        *pick = measure({box.begin, cut});
        boxes.push_back(measure({cut, box.end}));
    }
    std::vector<QRgb> palette;
    for (const auto& [box, ch, range] : boxes) {
        std::uint64_t r = 0, g = 0, b = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            r += static_cast<std::uint64_t>(qRed(colours[i]));
            g += static_cast<std::uint64_t>(qGreen(colours[i]));
            b += static_cast<std::uint64_t>(qBlue(colours[i]));
        }
        const std::uint64_t n = box.end - box.begin;
        palette.push_back(qRgb(static_cast<int>((r + n / 2) / n), static_cast<int>((g + n / 2) / n),
                               static_cast<int>((b + n / 2) / n)));
    }
    return palette;
}

std::string icoFile(const QImage& picture, QRgb background) {
    std::vector<IconPart> parts;
    for (int bits : {4, 8})
        for (int size : {32, 16})
            parts.push_back(
                {iconDib(masked(fitted(picture, size), background, true), bits), size, bits, {}});
    return iconDirectory(parts, false);
}

std::string curFile(const QImage& picture, QPoint hotspot) {
    // Top-left aligned, so the hot spot scales with the picture.
    const QImage image = masked(fitted(picture, 32, false), 0, false);
    return iconDirectory({{iconDib(image, 8), 32, 8, hotspot}}, true);
}

std::string bmp24File(const QImage& picture) {
    return bitmapFile(picture.convertToFormat(QImage::Format_RGB32), 24, {}, nullptr);
}

std::string bmp8File(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<QRgb> palette = medianCut(rgb, 256);
    Mapper mapper(palette);
    return bitmapFile(rgb, 8, palette, &mapper);
}

QImage logoPicture(const QImage& picture) {
    // The boot screen shows the 320x400 logo on a 4:3 screen: fit the picture in a 640x480
    // view, then map that view onto the logo's pixels (half as wide, 400/480 as high).
    QImage logo(320, 400, QImage::Format_RGB32);
    logo.fill(Qt::black);
    if (picture.isNull()) return logo;
    const QSize view = picture.size().scaled(640, 480, Qt::KeepAspectRatio);
    const QSize size(std::max(1, view.width() / 2), std::max(1, view.height() * 400 / 480));
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint((320 - size.width()) / 2, (400 - size.height()) / 2), size),
                      picture);
    return logo;
}

std::string waveFile(const std::vector<short>& frames, int channels, int rate) {
    const auto dataBytes = static_cast<std::uint32_t>(frames.size() * 2);
    std::string out = "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(channels));
    put32(out, static_cast<std::uint32_t>(rate));
    put32(out, static_cast<std::uint32_t>(rate * channels * 2));
    put16(out, static_cast<std::uint32_t>(channels * 2));
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    out.reserve(out.size() + dataBytes);
    for (short s : frames) put16(out, static_cast<std::uint16_t>(s));
    return out;
}

std::string convertedName(std::string_view fileName, Conversion conversion) {
    std::string_view ext;
    switch (conversion) {
        case Conversion::Icon:
            ext = ".ico";
            break;
        case Conversion::Pointer:
            ext = ".cur";
            break;
        case Conversion::AnimatedPointer:
            ext = ".ani";
            break;
        case Conversion::Wallpaper:
            ext = ".bmp";
            break;
        case Conversion::Logo:
            // The batch file copies a logo to its .sys name, so a .sys source keeps its name.
            if (lowerExtension(fileName) == ".sys") return std::string(fileName);
            ext = ".bmp";
            break;
        case Conversion::Sound:
            ext = ".wav";
            break;
        case Conversion::None:
            return std::string(fileName);
    }
    if (lowerExtension(fileName) == ext) return std::string(fileName);
    const auto dot = fileName.rfind('.');
    return std::string(dot == std::string_view::npos || dot == 0 ? fileName
                                                                 : fileName.substr(0, dot)) +
           std::string(ext);
}

std::optional<Converted> convertFile(Conversion conversion, const std::filesystem::path& source,
                                     std::string_view fileName, state::Color background,
                                     std::string* why) {
    Converted result{convertedName(fileName, conversion), {}};
    if (conversion == Conversion::Sound) {
        auto bytes = convertSound(source, why);
        if (!bytes) return std::nullopt;
        result.bytes = std::move(*bytes);
        return result;
    }
    const platform::DriveMap none;
    std::string readWhy;
    const std::optional<std::string> raw = [&]() -> std::optional<std::string> {
        // Pictures are read whole; the host path is already resolved.
        platform::DriveMap drives;
        drives.map('Z', "/");
        std::string path = "Z:" + source.string();
        for (char& c : path)
            if (c == '/') c = '\\';
        SourceFile file = readSource(drives, path, kMaxPictureBytes);
        if (file.status != SourceFile::Status::Read) {
            readWhy = file.status == SourceFile::Status::Missing ? "it is not there" : file.why;
            return std::nullopt;
        }
        return std::move(file.bytes);
    }();
    if (!raw) {
        fail(why, readWhy);
        return std::nullopt;
    }
    const QByteArray bytes(raw->data(), static_cast<qsizetype>(raw->size()));
    if (conversion == Conversion::AnimatedPointer || conversion == Conversion::Pointer) {
        auto out = sniff(*raw) == FileKind::Animated ? convertAnimated(*raw, why)
                                                     : convertCursor(*raw, why);
        if (!out) return std::nullopt;
        if (sniff(*raw) == FileKind::Animated)
            result.name = convertedName(fileName, Conversion::AnimatedPointer);
        result.bytes = std::move(*out);
        return result;
    }
    const QImage picture = decodePicture(bytes, conversion == Conversion::Wallpaper
                                                    ? QSize(kMaxWallpaperWidth, kMaxWallpaperHeight)
                                                    : QSize());
    if (picture.isNull()) {
        fail(why, "it holds no picture that can be read");
        return std::nullopt;
    }
    const QRgb ground =
        qRgb(static_cast<int>(state::red(background)), static_cast<int>(state::green(background)),
             static_cast<int>(state::blue(background)));
    switch (conversion) {
        case Conversion::Icon:
            result.bytes = icoFile(picture, ground);
            break;
        case Conversion::Wallpaper: {
            // A transparent part shows the desktop's Background colour, as Windows would.
            QImage flat(picture.size(), QImage::Format_RGB32);
            flat.fill(ground);
            QPainter(&flat).drawImage(0, 0, picture);
            result.bytes = bmp24File(flat);
            break;
        }
        case Conversion::Logo:
            result.bytes = bmp8File(logoPicture(picture));
            break;
        default:
            break;
    }
    return result;
}

}  // namespace compat
