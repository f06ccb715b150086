// SPDX-License-Identifier: MIT
#include "input/ThemePack.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <system_error>

#include "platform/HostFiles.h"
#include "platform/WindowsNames.h"

namespace input {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kManifestName = ".skinsmith-pack";
constexpr std::uint64_t kMaxArchiveBytes = 1ull << 30;

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

// libarchive turns names into the thread's locale; a UTF-8 locale on this thread alone makes
// every name arrive as UTF-8 whatever the process's locale is.
class Utf8Locale {
public:
    Utf8Locale() : m_locale(newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {
        if (m_locale) m_previous = uselocale(m_locale);
    }
    ~Utf8Locale() {
        if (!m_locale) return;
        uselocale(m_previous);
        freelocale(m_locale);
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

private:
    locale_t m_locale;
    locale_t m_previous = nullptr;
};

using ArchivePtr = std::unique_ptr<archive, decltype(&archive_read_free)>;

ArchivePtr newReader() {
    ArchivePtr a(archive_read_new(), &archive_read_free);
    // The kinds theme packs came in; tar and 7-Zip as well, since some were repacked later.
    archive_read_support_format_zip(a.get());
    archive_read_support_format_lha(a.get());
    archive_read_support_format_cab(a.get());
    archive_read_support_format_7zip(a.get());
    archive_read_support_format_tar(a.get());
    archive_read_support_filter_all(a.get());
    // Names without the archive's UTF-8 mark were written by DOS and Windows in code page 437.
    archive_read_set_options(a.get(), "hdrcharset=CP437");
    return a;
}

// Where an entry goes, or why it does not.
class Receiver {
public:
    virtual ~Receiver() = default;
    virtual bool makeFolder(const std::string& relative) = 0;
    virtual bool beginFile(const std::string& relative) = 0;
    virtual bool write(const char* data, std::size_t size) = 0;
    virtual bool endFile() = 0;
    std::string error;
};

struct WalkResult {
    std::vector<std::string> files;
    std::vector<std::string> skipped;
    std::vector<std::string> renamed;
    std::string error;
};

// Splits an entry name into the components of a path inside the pack's folder; the reason
// when it leads anywhere else or names something Windows cannot hold.
std::string safeComponents(std::string name, std::vector<std::string>& parts) {
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.starts_with('/') ||
        (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]))))
        return "an absolute path";
    std::size_t at = 0;
    while (at <= name.size()) {
        const auto slash = std::min(name.find('/', at), name.size());
        const std::string part = name.substr(at, slash - at);
        at = slash + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") return "it leads out of the folder (\"..\")";
        if (!platform::isValidWindowsName(part)) return "a name Windows cannot hold";
        parts.push_back(part);
    }
    if (parts.empty()) return "no name";
    return {};
}

// "name (2).ext": a free spelling for a file whose name another one has without regard to case.
std::string apart(const std::string& name, const std::map<std::string, std::string>& taken,
                  const std::string& folder) {
    const auto dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string ext = dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
    for (int n = 2;; ++n) {
        const std::string candidate = stem + " (" + std::to_string(n) + ")" + ext;
        if (!taken.count(lower(folder + candidate))) return candidate;
    }
}

WalkResult walk(archive* a, const PackLimits& limits, Receiver& receiver) {
    WalkResult result;
    // Lower-case path inside the pack to its spelling on disk; folders end with '/'.
    std::map<std::string, std::string> taken;
    std::uint64_t entries = 0;
    std::uint64_t total = 0;
    std::vector<char> buffer(64 * 1024);
    archive_entry* entry = nullptr;
    while (true) {
        const int status = archive_read_next_header(a, &entry);
        if (status == ARCHIVE_EOF) break;
        if (status < ARCHIVE_WARN) {
            const char* why = archive_error_string(a);
            result.error = std::string("The archive cannot be read: ") + (why ? why : "damaged");
            return result;
        }
        if (++entries > limits.maxEntries) {
            result.error = "The archive holds more than " + std::to_string(limits.maxEntries) +
                           " entries; a theme pack holds a few dozen.";
            return result;
        }
        const char* utf8 = archive_entry_pathname_utf8(entry);
        const char* raw = archive_entry_pathname(entry);
        const std::string shown = utf8 ? utf8 : raw ? raw : "(no name)";
        auto skip = [&](const std::string& why) {
            result.skipped.push_back(shown + " (" + why + ")");
            archive_read_data_skip(a);
        };
        if (!utf8) {
            skip("its name cannot be read");
            continue;
        }
        const auto type = archive_entry_filetype(entry);
        if (archive_entry_hardlink(entry) || type == AE_IFLNK) {
            skip("a link, which could point anywhere");
            continue;
        }
        if (type != AE_IFREG && type != AE_IFDIR) {
            skip("a device or special file");
            continue;
        }
        std::vector<std::string> parts;
        if (const auto why = safeComponents(utf8, parts); !why.empty()) {
            skip(why);
            continue;
        }
        if (archive_entry_is_encrypted(entry)) {
            skip("encrypted; packs with a password cannot be opened");
            continue;
        }
        // Folders equal but for letter case are one folder, as on Windows: the first spelling.
        std::string path;
        const std::size_t folders = type == AE_IFDIR ? parts.size() : parts.size() - 1;
        bool blocked = false;
        for (std::size_t i = 0; i < folders; ++i) {
            const std::string key = lower(path + parts[i]) + "/";
            auto found = taken.find(key);
            if (found == taken.end()) {
                if (taken.count(key.substr(0, key.size() - 1))) {
                    blocked = true;  // a file already has this name
                    break;
                }
                found = taken.emplace(key, path + parts[i] + "/").first;
                if (!receiver.makeFolder(found->second)) {
                    result.error = receiver.error;
                    return result;
                }
            }
            path = found->second;
        }
        if (blocked) {
            skip("a file of the pack has its folder's name");
            continue;
        }
        if (type == AE_IFDIR) continue;
        std::string name = parts.back();
        if (taken.count(lower(path + name)) || taken.count(lower(path + name) + "/")) {
            const std::string other = apart(name, taken, path);
            result.renamed.push_back(shown + " as " + path + other +
                                     " (another file has its name but for letter case)");
            name = other;
        }
        taken.emplace(lower(path + name), path + name);
        if (!receiver.beginFile(path + name)) {
            result.error = receiver.error;
            return result;
        }
        while (true) {
            const la_ssize_t got = archive_read_data(a, buffer.data(), buffer.size());
            if (got == 0) break;
            if (got < 0) {
                const char* why = archive_error_string(a);
                result.error =
                    "The archive cannot be read at " + shown + ": " + (why ? why : "damaged");
                return result;
            }
            total += static_cast<std::uint64_t>(got);
            const auto read =
                static_cast<std::uint64_t>(std::max<la_int64_t>(1, archive_filter_bytes(a, -1)));
            if (total > limits.maxTotalBytes) {
                result.error = "The archive unpacks to more than " +
                               std::to_string(limits.maxTotalBytes >> 20) +
                               " MB; it was stopped, since a theme pack is far smaller.";
                return result;
            }
            if (total > limits.ratioFloor && total / read > limits.maxRatio) {
                result.error = "The archive unpacks to more than " +
                               std::to_string(limits.maxRatio) +
                               " times its size, as a zip bomb does; it was stopped.";
                return result;
            }
            if (!receiver.write(buffer.data(), static_cast<std::size_t>(got))) {
                result.error = receiver.error;
                return result;
            }
        }
        if (!receiver.endFile()) {
            result.error = receiver.error;
            return result;
        }
        result.files.push_back(path + name);
    }
    return result;
}

class ListingReceiver : public Receiver {
public:
    bool makeFolder(const std::string&) override { return true; }
    bool beginFile(const std::string&) override { return true; }
    bool write(const char*, std::size_t) override { return true; }
    bool endFile() override { return true; }
};

// Writes into a fresh folder nothing else knows of: exclusive creates, never through a link.
class FolderReceiver : public Receiver {
public:
    explicit FolderReceiver(fs::path root) : m_root(std::move(root)) {}
    ~FolderReceiver() override {
        if (m_fd >= 0) ::close(m_fd);
    }
    bool makeFolder(const std::string& relative) override {
        if (::mkdir((m_root / relative).c_str(), 0755) == 0) return true;
        return fail(relative);
    }
    bool beginFile(const std::string& relative) override {
        m_fd = ::open((m_root / relative).c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        m_name = relative;
        return m_fd >= 0 || fail(relative);
    }
    bool write(const char* data, std::size_t size) override {
        while (size > 0) {
            const ssize_t n = ::write(m_fd, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return fail(m_name);
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }
    bool endFile() override {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || fail(m_name);
    }

private:
    bool fail(const std::string& relative) {
        error = relative + " could not be written: " +
                std::error_code(errno, std::generic_category()).message();
        return false;
    }
    fs::path m_root;
    int m_fd = -1;
    std::string m_name;
};

// FNV-1a of the archive's bytes: tells the same archive from another of the same name.
std::optional<std::string> fingerprint(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::uint64_t hash = 1469598103934665603ull;
    std::uint64_t size = 0;
    std::array<char, 65536> block{};
    while (in) {
        in.read(block.data(), block.size());
        const auto got = in.gcount();
        for (std::streamsize i = 0; i < got; ++i) {
            hash ^= static_cast<unsigned char>(block[static_cast<std::size_t>(i)]);
            hash *= 1099511628211ull;
        }
        size += static_cast<std::uint64_t>(got);
    }
    std::ostringstream out;
    out << std::hex << hash << ' ' << std::dec << size;
    return out.str();
}

struct Manifest {
    std::string fingerprint;
    std::vector<std::pair<std::string, std::string>> files;  // relative path, "size mtime"
};

std::string stamp(const fs::path& file) {
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "-";
    return std::to_string(st.st_size) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec);
}

std::optional<Manifest> readManifest(const fs::path& folder) {
    const auto bytes = platform::readRegularFile(folder / kManifestName, 1 << 20);
    if (!bytes) return std::nullopt;
    std::istringstream in(*bytes);
    Manifest m;
    if (!std::getline(in, m.fingerprint)) return std::nullopt;
    for (std::string stampLine, name; std::getline(in, stampLine) && std::getline(in, name);)
        m.files.emplace_back(name, stampLine);
    return m;
}

bool writeManifest(const fs::path& folder, const std::string& print,
                   const std::vector<std::string>& files) {
    std::ofstream out(folder / kManifestName, std::ios::binary | std::ios::trunc);
    out << print << '\n';
    for (const auto& f : files) out << stamp(folder / f) << '\n' << f << '\n';
    return static_cast<bool>(out.flush());
}

std::vector<fs::path> themesIn(const fs::path& folder) {
    std::vector<fs::path> themes;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::none, error), end;
    for (; !error && it != end; it.increment(error)) {
        if (it.depth() > 4) it.disable_recursion_pending();
        if (it->is_regular_file(error) && !it->is_symlink(error) &&
            lower(it->path().extension().string()) == ".theme")
            themes.push_back(it->path());
    }
    std::sort(themes.begin(), themes.end());
    return themes;
}

}  // namespace

bool isPackName(std::string_view fileName) {
    const std::string name = lower(fileName);
    for (std::string_view ext : {".zip", ".lzh", ".lha", ".cab"})
        if (name.size() > ext.size() && name.ends_with(ext)) return true;
    return false;
}

PackListing listThemePack(std::string_view bytes, const PackLimits& limits) {
    Utf8Locale utf8;
    PackListing listing;
    ArchivePtr a = newReader();
    if (archive_read_open_memory(a.get(), bytes.data(), bytes.size()) != ARCHIVE_OK) {
        listing.error = "The file is no archive this tool reads.";
        return listing;
    }
    ListingReceiver receiver;
    WalkResult walked = walk(a.get(), limits, receiver);
    listing.files = std::move(walked.files);
    listing.skipped = std::move(walked.skipped);
    listing.renamed = std::move(walked.renamed);
    listing.error = std::move(walked.error);
    return listing;
}

UnpackedPack unpackThemePack(const fs::path& archivePath, const fs::path& importRoot,
                             const PackLimits& limits) {
    UnpackedPack result;
    std::error_code error;
    struct stat st {};
    if (::stat(archivePath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.error = "It is not a file that can be read.";
        return result;
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxArchiveBytes) {
        result.error = "It is larger than 1 GB; a theme pack is far smaller.";
        return result;
    }
    const std::string name = archivePath.stem().string();
    if (!platform::isValidWindowsName(name)) {
        result.error = "Its name cannot name a Windows folder.";
        return result;
    }
    const auto print = fingerprint(archivePath);
    if (!print) {
        result.error = "It cannot be read.";
        return result;
    }
    fs::create_directories(importRoot, error);
    if (!fs::is_directory(importRoot)) {
        result.error = "The folder " + importRoot.string() + " cannot be made.";
        return result;
    }

    // The same archive's earlier folder is reused; any other folder of that name is left alone.
    fs::path target;
    for (int n = 1; n < 100; ++n) {
        const fs::path candidate =
            importRoot / (n == 1 ? name : name + " (" + std::to_string(n) + ")");
        if (!fs::exists(fs::symlink_status(candidate, error))) {
            target = candidate;
            break;
        }
        const auto manifest = readManifest(candidate);
        if (!manifest || manifest->fingerprint != *print) continue;
        result.folder = candidate;
        result.reused = true;
        for (const auto& [file, was] : manifest->files)
            if (stamp(candidate / file) != was) result.changed = true;
        result.themes = themesIn(candidate);
        return result;
    }
    if (target.empty()) {
        result.error =
            "There are too many folders named " + name + " in " + importRoot.string() + ".";
        return result;
    }

    std::string pattern = (importRoot / ("." + name + ".unpacking-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        result.error = "A folder in " + importRoot.string() + " cannot be made.";
        return result;
    }
    const fs::path temporary = pattern;
    auto abandon = [&](std::string why) {
        fs::remove_all(temporary, error);
        result.error = std::move(why);
        return result;
    };

    Utf8Locale utf8;
    ArchivePtr a = newReader();
    if (archive_read_open_filename(a.get(), archivePath.c_str(), 64 * 1024) != ARCHIVE_OK)
        return abandon("It is no archive this tool reads (zip, lzh, cab).");
    FolderReceiver receiver(temporary);
    WalkResult walked = walk(a.get(), limits, receiver);
    result.skipped = std::move(walked.skipped);
    result.renamed = std::move(walked.renamed);
    if (!walked.error.empty()) return abandon(walked.error);
    if (!writeManifest(temporary, *print, walked.files))
        return abandon("The folder " + temporary.string() + " cannot be written.");
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return abandon("The folder " + target.string() + " cannot be put in place.");
    result.folder = target;
    result.themes = themesIn(target);
    return result;
}

}  // namespace input
