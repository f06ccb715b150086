// SPDX-License-Identifier: MIT
// Files into a hard disk image through mtools, on a clone or copy renamed over the image
// only when complete: the image is the user's whole Windows installation.
#include "export/DiskImage.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/Mtools.h"
#include "platform/Windows1252.h"

namespace exporting {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kSlowCopyBytes = 1ull << 30;  // about ten seconds on a hard disk
constexpr std::array<const char*, 3> kLogoTargets = {"C:\\LOGO.SYS", "C:\\WINDOWS\\LOGOW.SYS",
                                                     "C:\\WINDOWS\\LOGOS.SYS"};
constexpr const char* kPlusThemes = "C:\\Program Files\\Plus!\\Themes";

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

std::string errnoText() {
    return std::strerror(errno);
}

std::string megabytes(std::uint64_t bytes) {
    std::ostringstream out;
    out.precision(bytes >= (10ull << 20) ? 0 : 1);
    out << std::fixed << static_cast<double>(bytes) / (1 << 20) << " MB";
    return out.str();
}

// Another program (QEMU takes OFD locks on its images) holds a lock on the file.
bool lockedByOthers(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

const char* const kInUse =
    "The disk image is in use: another program holds it open (an emulator locks the image "
    "of a running machine). Shut the virtual machine down, close the emulator, and export "
    "again.";

bool readAt(int fd, std::string& into, std::size_t bytes, off_t at) {
    into.resize(bytes);
    std::size_t got = 0;
    while (got < bytes) {
        const ssize_t n = ::pread(fd, into.data() + got, bytes - got, at + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    into.resize(got);
    return got == bytes;
}

struct Stamp {
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    bool operator==(const Stamp&) const = default;
};

std::optional<Stamp> stampOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return Stamp{static_cast<std::uint64_t>(info.st_size),
                 info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
}

std::uint64_t clustersFor(std::uint64_t bytes, std::uint64_t cluster) {
    return (bytes + cluster - 1) / cluster * cluster;
}

// Copies the image's data (holes stay holes) into `out`, with progress; false on failure or
// cancel, with the reason.
bool copyImage(int in, int out, std::uint64_t size, const ProgressFn& progress,
               const std::atomic<bool>* cancel, std::string& error) {
    Progress where{"Copying the disk image (the original stays as it is until the end)", 0, size};
    off_t pos = 0;
    const auto end = static_cast<off_t>(size);
    while (pos < end) {
        off_t data = ::lseek(in, pos, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) break;  // only a hole is left
            data = pos;
        }
        off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0 || hole > end) hole = end;
        off_t from = data;
        while (from < hole) {
            if (cancel != nullptr && cancel->load()) {
                error = "The export was stopped; the disk image was not changed.";
                return false;
            }
            off_t to = from;
            const auto chunk = static_cast<std::size_t>(std::min<off_t>(hole - from, 16 << 20));
            const ssize_t n = ::copy_file_range(in, &from, out, &to, chunk, 0);
            if (n <= 0) {
                error = "The disk image could not be copied: " +
                        (n < 0 ? errnoText() : std::string("it became shorter")) + ".";
                return false;
            }
            where.done = static_cast<std::uint64_t>(from);
            if (progress) progress(where);
        }
        pos = hole;
    }
    if (::ftruncate(out, end) != 0) {
        error = "The disk image could not be copied: " + errnoText() + ".";
        return false;
    }
    return true;
}

// The theme file as it must read from Plus!'s Themes folder: %ThemeDir% would name that
// folder, so the theme's own folder is written out.
std::optional<fs::path> themeForPlusFolder(const ThemeFolder& theme, const fs::path& scratch) {
    std::ifstream in(theme.host / (theme.name + ".theme"), std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string folder = platform::toWindows1252("C:\\SKINVAULT\\" + theme.name + "\\");
    const std::string placeholder = "%ThemeDir%";
    for (std::size_t at = 0; (at = text.find(placeholder, at)) != std::string::npos;
         at += folder.size())
        text.replace(at, placeholder.size(), folder);
    const fs::path out = scratch / (theme.name + ".theme");
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    if (!(file << text) || !file.flush()) return std::nullopt;
    return out;
}

struct ScratchFolder {
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "skinsmith-export-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    fs::path path;
};

std::string oldName(const std::string& target) {
    return target.substr(0, target.rfind('.')) + ".OLD";
}

}  // namespace

bool DiskCheck::copyIsSlow() const {
    return !reflinks && bytes >= kSlowCopyBytes;
}

std::string inPlaceRisk(const DiskCheck& check) {
    return "This file system cannot clone the " + megabytes(check.bytes) +
           " image, so a safe export first copies all of it beside the original, which takes "
           "a while and needs as much free room. \"Write in place\" writes straight into the "
           "image instead: quick, but if the export stops half way (a crash, a power cut) "
           "Windows on that image may not start again. Keep a backup if you choose it.";
}

DiskCheck checkDiskImage(const fs::path& image) {
    DiskCheck check;
    Fd fd(::open(image.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        check.refusal = "The disk image " + image.string() + " cannot be opened: " + errnoText() +
                        ". Create the image with the emulator first, then export into it.";
        return check;
    }
    if (!S_ISREG(info.st_mode)) {
        check.refusal = image.string() + " is not a disk image file.";
        return check;
    }
    check.bytes = static_cast<std::uint64_t>(info.st_size);
    if (lockedByOthers(fd.get())) {
        check.refusal = kInUse;
        return check;
    }
    std::string head;
    std::string tail;
    readAt(fd.get(), head, static_cast<std::size_t>(std::min<std::uint64_t>(check.bytes, 65536)),
           0);
    if (check.bytes >= 512) readAt(fd.get(), tail, 512, static_cast<off_t>(check.bytes - 512));
    check.layout = readDiskLayout(head, tail, check.bytes);
    check.refusal = check.layout.refusal;
    // An unnamed file beside the image that vanishes on close tells whether clones are free.
    Fd probe(::open(image.parent_path().empty() ? "." : image.parent_path().c_str(),
                    O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    check.reflinks = probe.get() >= 0 && ::ioctl(probe.get(), FICLONE, fd.get()) == 0;
    return check;
}

Result writeDiskImage(const ThemeFolder& theme, const fs::path& image, const DiskOptions& options,
                      const ProgressFn& progress, const std::atomic<bool>* cancel) {
    Result result;
    auto step = [&](const std::string& what) {
        if (progress) progress({what, 0, 0});
    };
    const auto before = stampOf(image);
    const DiskCheck check = checkDiskImage(image);
    if (!check.refusal.empty() || !before) {
        result.error = check.refusal.empty() ? "The disk image cannot be read." : check.refusal;
        return result;
    }
    const auto fat = check.layout.fatPartitions();
    Partition partition = fat.front();
    if (options.partition != 0) {
        const auto chosen = std::find_if(fat.begin(), fat.end(), [&](const Partition& p) {
            return p.number == options.partition;
        });
        if (chosen == fat.end()) {
            result.error = "Partition " + std::to_string(options.partition) +
                           " of the image is no FAT partition.";
            return result;
        }
        partition = *chosen;
    }
    if (!platform::Mtools::available()) {
        result.error =
            "mtools is not installed; it writes into disk images. Install it "
            "(sudo apt install mtools) and export again.";
        return result;
    }

    // What goes in, measured before anything is written.
    platform::Mtools disk(image, partition.firstSector * 512);
    step("Reading " + partition.description());
    const auto freeBytes = disk.freeBytes();
    const auto cluster = disk.clusterBytes();
    if (!freeBytes || !cluster) {
        result.error =
            "The disk image's " + partition.description() + " cannot be read: " + disk.lastError();
        return result;
    }
    std::uint64_t needed = 0;
    std::uint64_t entries = 2;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(theme.host, ec), end; !ec && it != end;
         it.increment(ec)) {
        ++entries;
        if (it->is_regular_file(ec)) needed += clustersFor(it->file_size(ec), *cluster);
    }
    // Long names take several directory entries of 32 bytes each.
    needed += clustersFor(entries * 4 * 32, *cluster) + *cluster;
    const bool plusThemes = disk.exists(kPlusThemes);
    const std::uint64_t themeFileBytes = fs::file_size(theme.host / (theme.name + ".theme"), ec);
    if (plusThemes) needed += clustersFor(themeFileBytes + 4096, *cluster);
    ScratchFolder scratch;
    if (scratch.path.empty()) {
        result.error = "No temporary folder could be made.";
        return result;
    }
    struct LogoStep {
        std::string target;
        fs::path source;
        fs::path saved;  // the file it replaces, read out, when no .OLD exists yet
    };
    std::vector<LogoStep> logos;
    if (options.installLogos) {
        const bool windows = disk.exists("C:\\WINDOWS");
        for (std::size_t slot = 0; slot < kLogoTargets.size(); ++slot) {
            if (options.logoFiles[slot].empty()) continue;
            LogoStep logo{kLogoTargets[slot], theme.host / options.logoFiles[slot], {}};
            if (slot > 0 && !windows) {
                result.error =
                    "The partition has no C:\\WINDOWS folder, so the logos cannot be "
                    "put in place. Install Windows 98 on it first, or export "
                    "without \"Put the logos in place\".";
                return result;
            }
            needed += clustersFor(fs::file_size(logo.source, ec), *cluster);
            if (disk.exists(logo.target) && !disk.exists(oldName(logo.target))) {
                logo.saved = scratch.path / ("old" + std::to_string(slot));
                if (!disk.copyOut(logo.target, logo.saved)) {
                    result.error = disk.lastError();
                    return result;
                }
                needed += clustersFor(fs::file_size(logo.saved, ec), *cluster);
            }
            logos.push_back(std::move(logo));
        }
    }
    if (needed > *freeBytes) {
        result.error = "The disk image's " + partition.description() + " has " +
                       megabytes(*freeBytes) + " free, but the theme needs " + megabytes(needed) +
                       ". Nothing was written. Free some room on that drive (delete files from "
                       "Windows, or enlarge the image with qemu-img resize and the partition "
                       "with a partition tool), or leave out big files such as the wallpaper.";
        return result;
    }

    // The work file: a clone or a copy beside the image, or the image itself.
    fs::path work = image;
    Fd original(::open(image.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (original.get() < 0 || ::fstat(original.get(), &info) != 0) {
        result.error = "The disk image cannot be opened: " + errnoText() + ".";
        return result;
    }
    bool keepWork = false;
    struct WorkCleanup {
        const fs::path& work;
        const fs::path& image;
        bool& keep;
        ~WorkCleanup() {
            if (!keep && work != image) ::unlink(work.c_str());
        }
    } cleanup{work, image, keepWork};
    if (!options.inPlace) {
        // Held while the copy is made and filled: an emulator that starts meanwhile cannot
        // take the image for writing, and the rename cannot drop its work.
        struct flock lock {};
        lock.l_type = F_RDLCK;
        lock.l_whence = SEEK_SET;
        if (::fcntl(original.get(), F_OFD_SETLK, &lock) != 0) {
            result.error = kInUse;
            return result;
        }
        std::string name =
            (image.parent_path() / ("." + image.filename().string() + ".XXXXXX")).string();
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) {
            result.error = "No copy of the image can be made beside it (" + errnoText() +
                           "). The folder must be writable.";
            return result;
        }
        work = name;
        Fd copy(fd);
        if (::ioctl(copy.get(), FICLONE, original.get()) != 0) {
            struct statvfs room {};
            if (::fstatvfs(copy.get(), &room) == 0 &&
                static_cast<std::uint64_t>(room.f_bavail) * room.f_frsize < check.bytes) {
                result.error =
                    "There is not room beside the disk image for the copy that keeps "
                    "it safe (" +
                    megabytes(check.bytes) +
                    " needed). Free some room "
                    "there, or choose \"Write in place\".";
                return result;
            }
            if (!copyImage(original.get(), copy.get(), check.bytes, progress, cancel, result.error))
                return result;
        }
        if (::fchmod(copy.get(), info.st_mode & 07777) != 0 || ::fsync(copy.get()) != 0 ||
            !copy.close()) {
            result.error = "The copy of the disk image could not be written: " + errnoText() + ".";
            return result;
        }
    }

    platform::Mtools target(work, partition.firstSector * 512);
    // Writing in place, a program stopped half way would leave the image damaged: the steps
    // run to their end, and Cancel stops between them.
    if (!options.inPlace) target.setCancelFlag(cancel);
    auto stopped = [&] { return cancel != nullptr && cancel->load(); };
    auto failed = [&](std::string why) {
        result.error = std::move(why) + (options.inPlace ? " The image was written in place and "
                                                           "may hold part of the theme."
                                                         : " The disk image was not changed.");
        return result;
    };
    const std::string folder = "C:\\SKINVAULT\\" + theme.name;
    step("Copying the theme to " + folder);
    if (stopped()) return failed("The export was stopped.");
    if (!target.makeFolder("C:\\SKINVAULT") || !target.copyIn({theme.host}, "C:\\SKINVAULT"))
        return failed(target.lastError());
    result.written.push_back(folder + "\\ on " + partition.description());
    if (plusThemes) {
        const auto rewritten = themeForPlusFolder(theme, scratch.path);
        if (!rewritten)
            return failed("The theme file could not be prepared for " + std::string(kPlusThemes) +
                          ".");
        if (stopped()) return failed("The export was stopped.");
        if (!target.copyInAs(*rewritten, std::string(kPlusThemes) + "\\" + theme.name + ".theme"))
            return failed(target.lastError());
        result.written.push_back(std::string(kPlusThemes) + "\\" + theme.name + ".theme");
    }
    for (const auto& logo : logos) {
        if (stopped()) return failed("The export was stopped.");
        if (!logo.saved.empty()) {
            if (!target.copyInAs(logo.saved, oldName(logo.target)))
                return failed(target.lastError());
            result.written.push_back(oldName(logo.target) + " (the logo it replaces)");
        }
        if (!target.copyInAs(logo.source, logo.target)) return failed(target.lastError());
        result.written.push_back(logo.target);
    }

    if (!options.inPlace) {
        if (stopped()) return failed("The export was stopped.");
        // Another program may have written the image meanwhile without a lock.
        if (stampOf(image) != before || lockedByOthers(original.get()))
            return failed(
                "The disk image changed while the theme was being written, so "
                "another program is using it. Close that program and export again.");
        if (::rename(work.c_str(), image.c_str()) != 0)
            return failed("The finished copy could not replace the image: " + errnoText() + ".");
        keepWork = true;
        const Fd dir(::open(image.parent_path().empty() ? "." : image.parent_path().c_str(),
                            O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() >= 0) ::fsync(dir.get());
    }
    result.ok = true;
    result.written.insert(result.written.begin(), image.string() + " (disk image, " +
                                                      (options.inPlace  ? "written in place"
                                                       : check.reflinks ? "through a clone"
                                                                        : "through a full copy") +
                                                      "):");
    return result;
}

}  // namespace exporting
