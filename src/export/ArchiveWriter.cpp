// SPDX-License-Identifier: MIT
// The zip pack and the CD image, both written by libarchive from the theme folder.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "export/Export.h"

namespace exporting {
namespace {

namespace fs = std::filesystem;

struct Item {
    fs::path host;     // empty for a text made here
    std::string name;  // the name inside the archive, '/' between folders
    bool folder = false;
    std::string text;  // for INSTALL.BAT and README.TXT
    std::uint64_t size = 0;
    struct stat info {};
};

// libarchive converts names from the thread's locale to code page 437 (zip) or UTF-16
// (Joliet); names on disk are UTF-8 whatever the user's locale says.
class Utf8Names {
public:
    Utf8Names() : m_locale(newlocale(LC_ALL_MASK, "C.UTF-8", nullptr)) {
        if (m_locale != nullptr) m_previous = uselocale(m_locale);
    }
    ~Utf8Names() {
        if (m_locale == nullptr) return;
        uselocale(m_previous);
        freelocale(m_locale);
    }
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

private:
    locale_t m_locale;
    locale_t m_previous = nullptr;
};

// The theme folder's files and folders, sorted, each under "<name>/".
std::optional<std::vector<Item>> listFolder(const ThemeFolder& theme, std::string& error) {
    std::vector<Item> items;
    Item top;
    top.name = theme.name + "/";
    top.folder = true;
    if (::stat(theme.host.c_str(), &top.info) != 0 || !S_ISDIR(top.info.st_mode)) {
        error = "The theme folder " + theme.host.string() + " is not there.";
        return std::nullopt;
    }
    items.push_back(top);
    std::error_code ec;
    std::vector<fs::path> paths;
    for (fs::recursive_directory_iterator it(theme.host, ec), end; !ec && it != end;
         it.increment(ec))
        paths.push_back(it->path());
    if (ec) {
        error = "The theme folder could not be read: " + ec.message();
        return std::nullopt;
    }
    std::sort(paths.begin(), paths.end());
    for (const auto& p : paths) {
        Item item;
        item.host = p;
        if (::lstat(p.c_str(), &item.info) != 0) continue;
        if (S_ISLNK(item.info.st_mode)) continue;  // a link could lead anywhere: never packed
        item.folder = S_ISDIR(item.info.st_mode);
        if (!item.folder && !S_ISREG(item.info.st_mode)) continue;
        item.name = theme.name + "/" + p.lexically_relative(theme.host).generic_string() +
                    (item.folder ? "/" : "");
        item.size = item.folder ? 0 : static_cast<std::uint64_t>(item.info.st_size);
        items.push_back(std::move(item));
    }
    return items;
}

Item textItem(const std::string& name, std::string text, time_t when) {
    Item item;
    item.name = name;
    item.text = std::move(text);
    item.size = item.text.size();
    item.info.st_mode = S_IFREG | 0644;
    item.info.st_mtime = when;
    return item;
}

struct ArchiveDeleter {
    void operator()(archive* a) const { archive_write_free(a); }
};

Result writeArchive(Kind kind, const ThemeFolder& theme, const fs::path& target,
                    const ProgressFn& progress, const std::atomic<bool>* cancel) {
    Result result;
    auto items = listFolder(theme, result.error);
    if (!items) return result;
    const time_t now = ::time(nullptr);
    items->insert(items->begin(), textItem("INSTALL.BAT", installBatch(theme.name), now));
    if (kind == Kind::Zip)
        items->insert(items->begin() + 1,
                      textItem("README.TXT", readmeText(theme.name, kind), now));

    Progress where;
    for (const auto& item : *items) where.total += item.size;

    Utf8Names utf8;
    std::unique_ptr<archive, ArchiveDeleter> a(archive_write_new());
    int status = ARCHIVE_OK;
    if (kind == Kind::Zip) {
        status = archive_write_set_format_zip(a.get());
        if (status == ARCHIVE_OK)
            status =
                archive_write_set_options(a.get(), "zip:compression=deflate,zip:hdrcharset=CP437");
    } else {
        status = archive_write_set_format_iso9660(a.get());
        // Level 1 keeps the ISO names 8.3 for DOS; Joliet carries the long ones.
        const std::string options =
            "iso9660:joliet,iso9660:iso-level=1,iso9660:!rockridge,"
            "iso9660:volume-id=" +
            volumeLabel(theme.name);
        if (status == ARCHIVE_OK) status = archive_write_set_options(a.get(), options.c_str());
    }
    if (status != ARCHIVE_OK) {
        result.error =
            std::string("libarchive cannot write this kind: ") + archive_error_string(a.get());
        return result;
    }

    // A temporary file beside the target, renamed over it only when whole.
    std::string temp =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        result.error = "The file " + target.string() +
                       " cannot be written there: " + std::strerror(errno) + ".";
        return result;
    }
    auto failWith = [&](std::string why) {
        a.reset();
        ::close(fd);
        ::unlink(temp.c_str());
        result.error = std::move(why);
        return result;
    };
    if (archive_write_open_fd(a.get(), fd) != ARCHIVE_OK)
        return failWith(std::string("The archive could not be started: ") +
                        archive_error_string(a.get()));

    std::vector<char> buffer(1 << 20);
    for (const auto& item : *items) {
        if (cancel != nullptr && cancel->load()) return failWith("The export was stopped.");
        std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(),
                                                                            archive_entry_free);
        archive_entry_copy_pathname(entry.get(), item.name.c_str());
        archive_entry_set_filetype(entry.get(), item.folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(entry.get(), item.folder ? 0755 : 0644);
        archive_entry_set_mtime(entry.get(), item.info.st_mtime, 0);
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(item.size));
        const int header = archive_write_header(a.get(), entry.get());
        if (header != ARCHIVE_OK) {
            // A warning here is a name the code page cannot hold.
            return failWith("The name " + item.name + " cannot be written in " +
                            (kind == Kind::Zip ? "the zip pack's DOS character set (code page 437)"
                                               : "the CD image") +
                            ": " + archive_error_string(a.get()) +
                            ". Rename the file and create the theme again.");
        }
        where.step = item.name;
        if (progress) progress(where);
        if (item.folder) continue;
        if (item.host.empty()) {
            if (archive_write_data(a.get(), item.text.data(), item.text.size()) !=
                static_cast<la_ssize_t>(item.text.size()))
                return failWith(std::string("Writing failed: ") + archive_error_string(a.get()));
            where.done += item.size;
            continue;
        }
        const int in = ::open(item.host.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (in < 0)
            return failWith("The file " + item.host.string() +
                            " could not be read: " + std::strerror(errno) + ".");
        std::uint64_t left = item.size;
        while (left > 0) {
            if (cancel != nullptr && cancel->load()) {
                ::close(in);
                return failWith("The export was stopped.");
            }
            const ssize_t got =
                ::read(in, buffer.data(), std::min<std::uint64_t>(left, buffer.size()));
            if (got <= 0) {
                ::close(in);
                return failWith("The file " + item.host.string() +
                                " changed or could not be read while it was packed.");
            }
            if (archive_write_data(a.get(), buffer.data(), static_cast<std::size_t>(got)) != got) {
                ::close(in);
                return failWith(std::string("Writing failed: ") + archive_error_string(a.get()));
            }
            left -= static_cast<std::uint64_t>(got);
            where.done += static_cast<std::uint64_t>(got);
            if (progress) progress(where);
        }
        ::close(in);
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK)
        return failWith(std::string("The archive could not be finished: ") +
                        archive_error_string(a.get()));
    a.reset();
    if (::fchmod(fd, 0644) != 0 || ::fsync(fd) != 0 || ::close(fd) != 0) {
        ::unlink(temp.c_str());
        result.error =
            "The file " + target.string() + " could not be written: " + std::strerror(errno) + ".";
        return result;
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        result.error = "The file " + target.string() +
                       " could not be put in place: " + std::strerror(errno) + ".";
        return result;
    }
    result.ok = true;
    result.written.push_back(
        target.string() + " (" + std::to_string(items->size()) + " entries, " +
        (kind == Kind::Zip ? "zip pack" : "CD image, label " + volumeLabel(theme.name)) + ")");
    return result;
}

}  // namespace

Result writeZip(const ThemeFolder& theme, const fs::path& target, const ProgressFn& progress,
                const std::atomic<bool>* cancel) {
    return writeArchive(Kind::Zip, theme, target, progress, cancel);
}

Result writeIso(const ThemeFolder& theme, const fs::path& target, const ProgressFn& progress,
                const std::atomic<bool>* cancel) {
    return writeArchive(Kind::Iso, theme, target, progress, cancel);
}

}  // namespace exporting
