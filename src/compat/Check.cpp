// SPDX-License-Identifier: MIT
#include "compat/Check.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

#include "compat/Headers.h"
#include "compat/SourceFile.h"

namespace compat {
namespace {

using Kind = Slot::Kind;

// Icons, cursors and animated cursors are read whole (their directories point anywhere in
// them); for the rest the head holds every header the check reads.
constexpr std::size_t kWholeFileBytes = 4 * 1024 * 1024;
constexpr std::size_t kHeadBytes = 256 * 1024;

constexpr int kMaxWallpaperWidth = 1600;
constexpr int kMaxWallpaperHeight = 1200;
constexpr int kLogoWidth = 320;
constexpr int kLogoHeight = 400;

std::string trimCaption(std::string_view caption) {
    while (!caption.empty() && (caption.back() == '.' || caption.back() == ' '))
        caption.remove_suffix(1);
    return std::string(caption);
}

bool isPicture(FileKind kind) {
    switch (kind) {
        case FileKind::Bmp:
        case FileKind::Jpeg:
        case FileKind::Gif:
        case FileKind::Png:
        case FileKind::WebP:
        case FileKind::Tiff:
        case FileKind::Svg:
        case FileKind::Icon:
        case FileKind::Cursor:
            return true;
        default:
            return false;
    }
}

bool isSound(FileKind kind) {
    return kind == FileKind::Wave || kind == FileKind::Ogg || kind == FileKind::Flac ||
           kind == FileKind::Mp3;
}

struct Rules {
    Slot slot;
    const std::string& file;
    std::vector<Finding>& out;

    void add(std::string problem, Severity severity, Windows windows = Windows::Both,
             Conversion conversion = Conversion::None, std::string fix = {}) {
        out.push_back(
            {slot, file, std::move(problem), windows, severity, std::move(fix), conversion});
    }
};

// "a PNG file", "an icon file", "a file of unknown kind".
std::string fileOfKind(FileKind kind) {
    if (kind == FileKind::Unknown) return "a file of unknown kind";
    const std::string name(kindName(kind));
    const bool vowel = std::string_view("AEIOUaeiou").find(name.front()) != std::string_view::npos;
    return (vowel || name == "MP3" ? "an " : "a ") + name + " file";
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + " × " + std::to_string(height);
}

constexpr const char* kIconFix = "Convert it to an icon with 32 × 32 and 16 × 16 images.";
constexpr const char* kPointerFix = "Convert it to a 32 × 32 cursor.";
constexpr const char* kAnimatedFix = "Convert every frame to a 32 × 32 cursor.";
constexpr const char* kWallpaperFix = "Convert it to a 24-bit BMP.";
constexpr const char* kLogoFix = "Convert it to a 320 × 400 BMP of 256 colours.";
constexpr const char* kSoundFix = "Convert it to 16-bit PCM at 22,050 Hz.";

bool drawable(const IconImage& image) {
    return !image.png && !image.damaged &&
           (image.bits == 1 || image.bits == 4 || image.bits == 8 || image.bits == 24);
}

// What is wrong with an icon directory for Windows 95/98, or "" when nothing is. `square` is
// the size Windows draws it at; severity is set for the returned problem.
std::string iconProblem(const IconDirectory& dir, int square, Severity& severity) {
    const auto& images = dir.images;
    const bool anyDrawable = std::any_of(images.begin(), images.end(), drawable);
    const bool anyPng = std::any_of(images.begin(), images.end(), [](auto& i) { return i.png; });
    const bool anyDamaged =
        std::any_of(images.begin(), images.end(), [](auto& i) { return i.damaged; });
    severity = Severity::WillNotShow;
    if (!anyDrawable) {
        if (anyPng) return "holds only PNG-compressed images, which Windows draws from Vista on";
        if (anyDamaged) return "is damaged: its images lie outside the file";
        return "holds only " + std::to_string(images.front().bits) +
               "-bit images, which Windows draws from XP on (95 and 98 draw 1, 4, 8 and 24 bits)";
    }
    auto hasDrawn = [&](int size) {
        return std::any_of(images.begin(), images.end(), [&](const IconImage& i) {
            return drawable(i) && i.width == size && i.height == size;
        });
    };
    if (!hasDrawn(square)) {
        severity = Severity::MayLookWrong;
        const auto& first = *std::find_if(images.begin(), images.end(), drawable);
        return "has no " + sizeText(square, square) + " image Windows 95 and 98 can draw; they " +
               "scale its " + sizeText(first.width, first.height) + " image";
    }
    if (anyDamaged) {
        severity = Severity::MayLookWrong;
        return "holds a damaged image";
    }
    return {};
}

void checkIcon(Rules& r, FileKind kind, std::string_view bytes) {
    if (kind != FileKind::Icon) {
        r.add("is " + fileOfKind(kind) + ", not an icon", Severity::WillNotShow, Windows::Both,
              isPicture(kind) ? Conversion::Icon : Conversion::None,
              isPicture(kind) ? kIconFix : "");
        return;
    }
    const auto dir = readIconDirectory(bytes);
    if (!dir) {
        r.add("is damaged: its image list runs past its end", Severity::WillNotShow);
        return;
    }
    Severity severity{};
    if (const auto problem = iconProblem(*dir, 32, severity); !problem.empty()) {
        const bool damaged = problem.find("damaged") != std::string::npos;
        r.add(problem, severity, Windows::Both, damaged ? Conversion::None : Conversion::Icon,
              damaged ? "" : kIconFix);
        return;
    }
    const bool small = std::any_of(dir->images.begin(), dir->images.end(), [](auto& i) {
        return drawable(i) && i.width == 16 && i.height == 16;
    });
    if (!small)
        r.add("has no 16 × 16 image: small views shrink the 32 × 32 one", Severity::Note,
              Windows::Both, Conversion::Icon, kIconFix);
    if (std::any_of(dir->images.begin(), dir->images.end(),
                    [](auto& i) { return !i.damaged && !drawable(i); }))
        r.add(
            "also holds images only later Windows draw (PNG-compressed or 32-bit); 95 and 98 "
            "skip them",
            Severity::Note);
}

// The problem of one cursor (a file or an animation frame), or "".
std::string cursorProblem(std::string_view bytes, Severity& severity) {
    const auto dir = readIconDirectory(bytes);
    severity = Severity::WillNotShow;
    if (!dir) return "is damaged: its image list runs past its end";
    return iconProblem(*dir, 32, severity);
}

void checkPointer(Rules& r, FileKind kind, std::string_view bytes) {
    if (kind == FileKind::Cursor || kind == FileKind::Icon) {
        Severity severity{};
        if (const auto problem = cursorProblem(bytes, severity); !problem.empty()) {
            const bool damaged = problem.find("damaged") != std::string::npos;
            r.add(problem, severity, Windows::Both,
                  damaged ? Conversion::None : Conversion::Pointer, damaged ? "" : kPointerFix);
        }
        return;
    }
    if (kind == FileKind::Animated) {
        const auto ani = readAniChunks(bytes);
        if (!ani || !ani->hasHeader || ani->frames.empty()) {
            r.add("is damaged: it has no animation header or no frames", Severity::WillNotShow);
            return;
        }
        if (!(ani->flags & 1)) {
            r.add("stores its frames as raw bitmaps, which this check cannot read", Severity::Note);
            return;
        }
        bool damaged = false;
        std::vector<std::size_t> bad;
        std::string problem;
        Severity worst = Severity::Note;
        for (std::size_t i = 0; i < ani->frames.size(); ++i) {
            Severity severity{};
            const auto p = cursorProblem(ani->frames[i], severity);
            if (p.empty()) continue;
            if (problem.empty() || severity < worst) {
                problem = p;
                worst = severity;
            }
            damaged = damaged || p.find("damaged") != std::string::npos;
            bad.push_back(i + 1);
        }
        if (bad.empty()) return;
        std::string frames = bad.size() == 1 ? "frame " : "frames ";
        for (std::size_t i = 0; i < bad.size() && i < 5; ++i)
            frames += (i ? ", " : "") + std::to_string(bad[i]);
        if (bad.size() > 5) frames += ", ...";
        r.add(frames + " of " + std::to_string(ani->frames.size()) + ": " + problem, worst,
              Windows::Both, damaged ? Conversion::None : Conversion::AnimatedPointer,
              damaged ? "" : kAnimatedFix);
        return;
    }
    r.add("is " + fileOfKind(kind) + ", not a cursor", Severity::WillNotShow, Windows::Both,
          isPicture(kind) ? Conversion::Pointer : Conversion::None,
          isPicture(kind) ? kPointerFix : "");
}

void checkWallpaper(Rules& r, FileKind kind, std::string_view bytes) {
    if (kind == FileKind::Bmp) {
        const auto bmp = readBmpHeader(bytes);
        if (!bmp) {
            r.add("is a damaged BMP", Severity::WillNotShow);
            return;
        }
        if (bmp->compression == 4 || bmp->compression == 5) {
            r.add("is a BMP holding a JPEG or PNG image, which only printers take",
                  Severity::WillNotShow, Windows::Both, Conversion::Wallpaper, kWallpaperFix);
            return;
        }
        if (bmp->headerSize > 108)
            r.add("has a version 5 BMP header, which came with Windows 98", Severity::WillNotShow,
                  Windows::Win95, Conversion::Wallpaper, kWallpaperFix);
    } else if (kind == FileKind::Jpeg || kind == FileKind::Gif) {
        r.add("is " + fileOfKind(kind) + ", which Windows 95 shows only with the desktop update",
              Severity::WillNotShow, Windows::Win95, Conversion::Wallpaper, kWallpaperFix);
    } else if (isPicture(kind)) {
        r.add("is " + fileOfKind(kind) + ", which no Windows 95 or 98 desktop shows",
              Severity::WillNotShow, Windows::Both, Conversion::Wallpaper, kWallpaperFix);
        return;
    } else {
        r.add("is " + fileOfKind(kind) + ", not a picture", Severity::WillNotShow);
        return;
    }
    if (const auto size = readPictureSize(bytes);
        size && (size->width > kMaxWallpaperWidth || size->height > kMaxWallpaperHeight))
        r.add("is " + sizeText(size->width, size->height) + ", larger than any 95/98 screen (" +
                  sizeText(kMaxWallpaperWidth, kMaxWallpaperHeight) + ")",
              Severity::Note, Windows::Both, Conversion::Wallpaper,
              "Convert it: the copy is scaled down to fit 1600 × 1200.");
}

void checkLogo(Rules& r, FileKind kind, std::string_view bytes) {
    const auto bmp = kind == FileKind::Bmp ? readBmpHeader(bytes) : std::nullopt;
    if (!bmp) {
        const bool picture = isPicture(kind);
        r.add(kind == FileKind::Bmp
                  ? "is a damaged BMP"
                  : "is " + fileOfKind(kind) + "; the start-up and shut-down screens show only BMP",
              Severity::WillNotShow, Windows::Both,
              picture && kind != FileKind::Bmp ? Conversion::Logo : Conversion::None,
              picture && kind != FileKind::Bmp ? kLogoFix : "");
        return;
    }
    const int height = std::abs(std::max(bmp->height, -(1 << 30)));
    if (bmp->width != kLogoWidth || height != kLogoHeight) {
        r.add("is " + sizeText(bmp->width, height) + "; the start-up and shut-down screens are " +
                  sizeText(kLogoWidth, kLogoHeight) + " and show anything else garbled",
              Severity::WillNotShow, Windows::Both, Conversion::Logo, kLogoFix);
        return;
    }
    if (bmp->bits != 8)
        r.add("has " + std::to_string(bmp->bits) +
                  "-bit colour; the start-up and shut-down screens take 256 colours (8-bit)",
              Severity::WillNotShow, Windows::Both, Conversion::Logo, kLogoFix);
}

void checkSound(Rules& r, FileKind kind, std::string_view bytes) {
    if (kind != FileKind::Wave) {
        const bool sound = isSound(kind);
        r.add("is " + fileOfKind(kind) +
                  (sound ? "; Windows 95 and 98 play only wave files" : ", not a sound"),
              Severity::WillNotShow, Windows::Both, sound ? Conversion::Sound : Conversion::None,
              sound ? kSoundFix : "");
        return;
    }
    const auto format = readWaveFormat(bytes);
    if (!format) {
        r.add("is a damaged wave: it has no format chunk", Severity::WillNotShow);
        return;
    }
    auto fail = [&](std::string problem) {
        r.add(std::move(problem), Severity::WillNotShow, Windows::Both, Conversion::Sound,
              kSoundFix);
    };
    switch (format->formatTag) {
        case 1:
            if (format->bitsPerSample != 8 && format->bitsPerSample != 16)
                return fail("is " + std::to_string(format->bitsPerSample) +
                            "-bit PCM; Windows 95 and 98 play 8 and 16 bits");
            break;
        case 2:
        case 6:
        case 7:
        case 0x11:
        case 0x31:
            break;  // MS ADPCM, A-law, mu-law, IMA ADPCM, GSM 6.10: codecs both ship
        case 3:
            return fail("holds floating-point samples, which Windows plays from XP on");
        case 0xFFFE:
            return fail("uses the extensible wave format, which Windows plays from 2000 on");
        default: {
            char tag[8];
            std::snprintf(tag, sizeof tag, "0x%04X", static_cast<unsigned>(format->formatTag));
            return fail(std::string("is coded in format ") + tag +
                        ", which Windows 95 and 98 have no codec for");
        }
    }
    if (format->channels < 1 || format->channels > 2)
        return fail("has " + std::to_string(format->channels) +
                    " channels; Windows 95 and 98 play mono and stereo");
    if (format->sampleRate > 48000)
        return fail("is sampled at " + std::to_string(format->sampleRate) +
                    " Hz; Windows 95 and 98 play up to 48,000 Hz");
}

void checkScreenSaver(Rules& r, FileKind kind, std::string_view bytes) {
    if (kind != FileKind::Executable) {
        r.add("is " + fileOfKind(kind) + ", not a Windows program", Severity::WillNotShow);
        return;
    }
    const Executable exe = readExecutable(bytes);
    switch (exe.kind) {
        case Executable::Kind::NotAProgram:
        case Executable::Kind::Dos:
            r.add("is a DOS program, not a Windows screen saver", Severity::WillNotShow);
            return;
        case Executable::Kind::NewExecutable:
            return;  // a 16-bit Windows program: 95 and 98 run those
        case Executable::Kind::Portable:
            break;
    }
    if (exe.machine != 0x14C) {
        r.add(exe.machine == 0x8664 ? "is a 64-bit program" : "is not a program for x86 processors",
              Severity::WillNotShow);
        return;
    }
    const std::string needs = "needs Windows " + std::to_string(exe.subsystemMajor) + "." +
                              std::to_string(exe.subsystemMinor) + " or later";
    if (exe.subsystemMajor > 4)
        r.add(needs + " (95 is 4.0, 98 is 4.10)", Severity::WillNotShow);
    else if (exe.subsystemMajor == 4 && exe.subsystemMinor > 10)
        r.add(needs + " (98 is 4.10)", Severity::WillNotShow);
    else if (exe.subsystemMajor == 4 && exe.subsystemMinor > 0)
        r.add(needs + " (95 is 4.0)", Severity::WillNotShow, Windows::Win95);
}

// A name as a FAT disk compares it: ASCII and the Latin-1 letters without case.
std::string folded(std::string_view utf8) {
    std::string out(utf8);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 32);
        } else if (c == 0xC3 && i + 1 < out.size()) {
            const auto next = static_cast<unsigned char>(out[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7)
                out[i + 1] = static_cast<char>(next - 32);
            ++i;
        }
    }
    return out;
}

std::size_t headBytesFor(Kind kind) {
    return kind == Kind::Icon || kind == Kind::Pointer ? kWholeFileBytes : kHeadBytes;
}

}  // namespace

std::string slotName(Slot slot) {
    switch (slot.kind) {
        case Kind::Icon:
            return "Icon: " + std::string(state::kIconCaptions.at(slot.index));
        case Kind::Wallpaper:
            return "Wallpaper";
        case Kind::Pointer:
            return "Pointer: " + trimCaption(state::kPointerCaptions.at(slot.index));
        case Kind::Sound:
            return "Sound: " + std::string(state::kSoundCaptions.at(slot.index));
        case Kind::ScreenSaver:
            return "Screen saver";
        case Kind::Logo:
            return "Logo: " + trimCaption(state::kLogoCaptions.at(slot.index));
    }
    return {};
}

int pageOf(Slot slot) {
    switch (slot.kind) {
        case Kind::Icon:
            return 0;
        case Kind::Wallpaper:
            return 1;
        case Kind::Pointer:
            return 2;
        case Kind::Sound:
            return 3;
        case Kind::ScreenSaver:
            return 5;
        case Kind::Logo:
            return 7;
    }
    return 0;
}

const std::string& slotPath(const state::ThemeState& theme, Slot slot) {
    switch (slot.kind) {
        case Kind::Icon:
            return theme.iconPaths.at(slot.index);
        case Kind::Wallpaper:
            return theme.wallpaperPath;
        case Kind::Pointer:
            return theme.pointerPaths.at(slot.index);
        case Kind::Sound:
            return theme.soundPaths.at(slot.index);
        case Kind::ScreenSaver:
            return theme.screenSaverPath;
        case Kind::Logo:
            return theme.logoPaths.at(slot.index);
    }
    return theme.wallpaperPath;
}

std::string& slotPath(state::ThemeState& theme, Slot slot) {
    return const_cast<std::string&>(slotPath(std::as_const(theme), slot));
}

std::vector<Slot> chosenSlots(const state::ThemeState& theme) {
    std::vector<Slot> slots;
    auto add = [&](Kind kind, std::size_t count, std::string_view pattern) {
        for (std::size_t i = 0; i < count; ++i)
            if (state::holdsChoice(slotPath(theme, {kind, i}), pattern)) slots.push_back({kind, i});
    };
    add(Kind::Icon, state::kIconCount, state::kIconPattern);
    add(Kind::Logo, state::kLogoCount, state::kLogoPattern);
    add(Kind::Sound, state::kSoundCount, state::kSoundPattern);
    add(Kind::Pointer, state::kPointerCount, state::kPointerPattern);
    add(Kind::ScreenSaver, 1, state::kScreenSaverPattern);
    add(Kind::Wallpaper, 1, state::kWallpaperPattern);
    return slots;
}

std::string_view windowsText(Windows windows) {
    switch (windows) {
        case Windows::Win95:
            return "95";
        case Windows::Win98:
            return "98";
        case Windows::Both:
            return "95 and 98";
    }
    return {};
}

std::string_view severityText(Severity severity) {
    switch (severity) {
        case Severity::WillNotShow:
            return "will not show";
        case Severity::MayLookWrong:
            return "may look wrong";
        case Severity::Note:
            return "note";
    }
    return {};
}

std::string fileNameOf(std::string_view windowsPath) {
    const auto cut = windowsPath.rfind('\\');
    return std::string(cut == std::string_view::npos ? windowsPath : windowsPath.substr(cut + 1));
}

bool isShortName(std::string_view name) {
    const auto dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view ext = dot == std::string_view::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
    if (dot != std::string_view::npos && ext.empty()) return false;
    auto allowed = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
               std::string_view("!#$%&'()-@^_`{}~").find(c) != std::string_view::npos;
    };
    return std::all_of(base.begin(), base.end(), allowed) &&
           std::all_of(ext.begin(), ext.end(), allowed);
}

std::vector<Finding> checkBytes(Slot slot, const std::string& file, std::string_view bytes) {
    std::vector<Finding> out;
    Rules rules{slot, file, out};
    const FileKind kind = sniff(bytes);
    switch (slot.kind) {
        case Kind::Icon:
            checkIcon(rules, kind, bytes);
            break;
        case Kind::Pointer:
            checkPointer(rules, kind, bytes);
            break;
        case Kind::Wallpaper:
            checkWallpaper(rules, kind, bytes);
            break;
        case Kind::Logo:
            checkLogo(rules, kind, bytes);
            break;
        case Kind::Sound:
            checkSound(rules, kind, bytes);
            break;
        case Kind::ScreenSaver:
            checkScreenSaver(rules, kind, bytes);
            break;
    }
    return out;
}

std::vector<Finding> checkTheme(const state::ThemeState& theme, const platform::DriveMap& drives) {
    std::vector<Finding> out;
    const std::vector<Slot> slots = chosenSlots(theme);
    // The later copy of one name wins, as the copies run in this order.
    std::map<std::string, std::pair<Slot, std::string>> lastOfName;
    for (const Slot& slot : slots) {
        const std::string& file = slotPath(theme, slot);
        lastOfName[folded(fileNameOf(file))] = {slot, file};
    }
    for (const Slot& slot : slots) {
        const std::string& file = slotPath(theme, slot);
        Rules rules{slot, file, out};
        const auto& [winner, winnerFile] = lastOfName[folded(fileNameOf(file))];
        if (folded(winnerFile) != folded(file))
            rules.add("shares its name with " + winnerFile + " (" + slotName(winner) +
                          "): a FAT disk holds one of them, the later",
                      Severity::WillNotShow, Windows::Both, Conversion::None,
                      "Rename one of the two files.");
        const SourceFile source = readSource(drives, file, headBytesFor(slot.kind));
        if (source.status == SourceFile::Status::Missing) {
            rules.add("is not there", Severity::WillNotShow);
            continue;
        }
        if (source.status == SourceFile::Status::Unreadable) {
            rules.add("cannot be read: " + source.why, Severity::WillNotShow);
            continue;
        }
        auto found = checkBytes(slot, file, source.bytes);
        out.insert(out.end(), found.begin(), found.end());
        if (slot.kind == Kind::Logo && !isShortName(fileNameOf(file)))
            rules.add(
                "has a name DOS cannot use, so the logo batch file, run from DOS, cannot "
                "copy it",
                Severity::Note, Windows::Both, Conversion::None,
                "Rename it to at most 8 letters and a 3-letter extension.");
    }
    return out;
}

bool showsEverything(const std::vector<Finding>& findings) {
    return std::none_of(findings.begin(), findings.end(),
                        [](const Finding& f) { return f.severity == Severity::WillNotShow; });
}

}  // namespace compat
