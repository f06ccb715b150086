// SPDX-License-Identifier: MIT
#include "platform/HostFileSystem.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/HostFiles.h"
#include "platform/WindowsNames.h"

namespace platform {
namespace {

std::string reasonOf(int error) {
    std::string text = std::strerror(error);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

// A file descriptor closed when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    Fd(Fd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    explicit operator bool() const { return m_fd >= 0; }
    void reset() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

// Whether a name is one ReplacingFile gives its files while they are written.
bool isTemporaryName(std::string_view name) {
    constexpr std::string_view kHead = ".skinsmith-", kTail = ".part";
    if (name.size() != kHead.size() + 24 + kTail.size() || !name.starts_with(kHead) ||
        !name.ends_with(kTail))
        return false;
    for (char c : name.substr(kHead.size(), 24))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

// Removes the temporaries a killed process left in a folder. A file still being written is
// locked by its writer (flock), so only abandoned ones go.
void removeStaleTemporaries(int folder) {
    DIR* dir = ::fdopendir(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name)) continue;
        Fd file(::openat(folder, entry->d_name,
                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat st {};
        if (!file || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) continue;
        ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(dir);
}

// A new file that replaces one name in a folder only when it is committed complete. It is
// written unnamed (O_TMPFILE) where the file system and /proc allow it, so even a killed
// process leaves nothing behind; elsewhere under an unguessable name created exclusively,
// never through a link, and locked while it lives so a later cleaning spares it. Committing
// flushes it, links it under a fresh unguessable name and renames that over the target: a link
// planted at the target is replaced, never followed. Each object owns all its state, so copies
// may run on several threads at once.
class ReplacingFile {
public:
    ReplacingFile(int folder, std::string target, std::string openFiles)
        : m_folder(folder), m_target(std::move(target)), m_openFiles(std::move(openFiles)) {}
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile() { discard(); }

    // Creates the file with `newMode` (the umask applies), or with the mode of the regular
    // file it replaces. False with errno set on failure.
    bool open(mode_t newMode) {
        struct stat earlier {};
        const bool replaces =
            ::fstatat(m_folder, m_target.c_str(), &earlier, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(earlier.st_mode);
        m_fd = Fd(::openat(m_folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, newMode));
        struct stat self {};
        if (m_fd && ::fstatat(AT_FDCWD, selfLink().c_str(), &self, AT_SYMLINK_NOFOLLOW) != 0) {
            m_fd.reset();  // no /proc to name it through later
            errno = ENOENT;
        }
        if (!m_fd) {
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT)
                return false;
            for (int attempt = 0; attempt < 100 && !m_fd; ++attempt) {
                if (!freshName()) return false;
                m_fd = Fd(::openat(m_folder, m_temp.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, newMode));
                if (!m_fd && errno != EEXIST) {
                    m_temp.clear();
                    return false;
                }
                if (!m_fd) m_temp.clear();
            }
            if (!m_fd) return false;
        }
        ::flock(m_fd.get(), LOCK_EX);  // a new file: nobody else holds it
        if (replaces && ::fchmod(m_fd.get(), earlier.st_mode & 07777) != 0) {
            const int error = errno;
            discard();
            errno = error;
            return false;
        }
        return true;
    }

    int fd() const { return m_fd.get(); }

    // Flushes, names and renames the file over the target. False with errno set; then the
    // target is as it was and nothing is left behind.
    bool commit() {
        // Flushed before the rename, so a power cut leaves the old file or the new one whole.
        if (::fsync(m_fd.get()) != 0) return failCommit();
        if (m_temp.empty()) {
            const std::string self = selfLink();
            for (int attempt = 0; attempt < 100 && m_temp.empty(); ++attempt) {
                if (!freshName()) return failCommit();
                if (::linkat(AT_FDCWD, self.c_str(), m_folder, m_temp.c_str(), AT_SYMLINK_FOLLOW) !=
                    0) {
                    m_temp.clear();
                    if (errno != EEXIST) return failCommit();
                }
            }
            if (m_temp.empty()) return failCommit();
        }
        if (::renameat(m_folder, m_temp.c_str(), m_folder, m_target.c_str()) != 0)
            return failCommit();
        m_temp.clear();
        if (::close(m_fd.release()) != 0) return false;  // in place already; nothing to undo
        return true;
    }

    void discard() {
        if (!m_temp.empty()) ::unlinkat(m_folder, m_temp.c_str(), 0);
        m_temp.clear();
        m_fd.reset();
    }

private:
    std::string selfLink() const { return m_openFiles + "/" + std::to_string(m_fd.get()); }
    bool failCommit() {
        const int error = errno;
        discard();
        errno = error;
        return false;
    }
    bool freshName() {
        unsigned char random[12];
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
            return false;
        char name[40] = ".skinsmith-";
        for (std::size_t i = 0; i < sizeof random; ++i)
            std::snprintf(name + 11 + 2 * i, 3, "%02x", random[i]);
        m_temp = std::string(name) + ".part";
        return true;
    }

    int m_folder;
    std::string m_target;
    std::string m_openFiles;
    std::string m_temp;  // the file's name while it has one and is not yet the target
    Fd m_fd;
};

// Writes every byte, retrying short writes; false with errno set.
bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

enum class Copied { Whole, Failed, Stopped, CutShort };

// Copies `size` bytes of `in` to `out` a chunk at a time, telling `watch` after each: in the
// kernel where it can (copy_file_range, then sendfile), through a buffer where neither works.
// Never more than `size`, the length the file had when the copy began: a file that goes on
// growing cannot fill the disk. Failed leaves errno set.
Copied copyBytes(int in, int out, std::uint64_t size, const CopyWatch& watch) {
    enum { Kernel, SendFile, Buffer } how = Kernel;
    std::vector<char> buffer;
    std::uint64_t done = 0;
    while (done < size) {
        const auto want =
            static_cast<std::size_t>(std::min(HostFileSystem::kCopyChunk, size - done));
        ssize_t n = 0;
        if (how == Kernel) {
            n = ::copy_file_range(in, nullptr, out, nullptr, want, 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                          errno == EOPNOTSUPP || errno == EBADF || errno == EPERM)) {
                how = SendFile;
                continue;
            }
        } else if (how == SendFile) {
            n = ::sendfile(out, in, nullptr, want);
            if (n < 0 && (errno == EINVAL || errno == ENOSYS)) {
                how = Buffer;
                continue;
            }
        } else {
            buffer.resize(want);
            n = ::read(in, buffer.data(), want);
            if (n > 0 && !writeAll(out, buffer.data(), static_cast<std::size_t>(n)))
                return Copied::Failed;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Copied::Failed;
        if (n == 0) return Copied::CutShort;
        done += static_cast<std::uint64_t>(n);
        if (watch && !watch(done) && done < size) return Copied::Stopped;
    }
    return Copied::Whole;
}

class HostTextFile : public TextFile {
public:
    HostTextFile(Fd folder, std::string target, std::string openFiles)
        : m_folder(std::move(folder)),
          m_file(m_folder.get(), std::move(target), std::move(openFiles)) {}

    bool open() { return m_file.open(0666); }

    bool writeLine(std::string_view bytes) override {
        if (m_closed) return failWrite("the file is closed");
        m_buffer.append(bytes);
        m_buffer.append("\r\n");
        if (m_buffer.size() >= 64 * 1024) return flushBuffer();
        return true;
    }

    /// Bytes as they are, without a line end (a converted picture or sound).
    bool writeBytes(std::string_view bytes) {
        if (m_closed) return failWrite("the file is closed");
        m_buffer.append(bytes);
        return flushBuffer();
    }

    bool close() override {
        if (m_closed) return false;
        m_closed = true;
        flushBuffer();
        if (!m_error.empty()) {
            m_file.discard();
            return false;
        }
        if (!m_file.commit()) {
            m_error = reasonOf(errno);
            return false;
        }
        return true;
    }

    std::string lastError() const override { return m_error; }

private:
    bool flushBuffer() {
        const bool written = writeAll(m_file.fd(), m_buffer.data(), m_buffer.size());
        m_buffer.clear();
        if (!written) return failWrite(reasonOf(errno));  // later lines are still tried
        return true;
    }
    bool failWrite(std::string reason) {
        if (m_error.empty()) m_error = std::move(reason);
        return false;
    }

    Fd m_folder;
    ReplacingFile m_file;
    std::string m_buffer;
    std::string m_error;
    bool m_closed = false;
};

// What stands at a name in a folder that should have been a folder, in words for the user.
std::string whatIsInTheWay(int folder, const std::string& name) {
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return "the folder does not exist";
    if (S_ISLNK(st.st_mode)) {
        return ::fstatat(folder, name.c_str(), &st, 0) == 0
                   ? "a link of that name is in the way"
                   : "a link of that name to nothing is in the way";
    }
    return S_ISDIR(st.st_mode) ? "the folder exists already" : "a file of that name is in the way";
}

}  // namespace

HostFileSystem::HostFileSystem(DriveMap drives, std::string openFiles)
    : m_drives(std::move(drives)), m_openFiles(std::move(openFiles)) {}

HostFileSystem::~HostFileSystem() {
    if (m_folder >= 0) ::close(m_folder);
}

bool HostFileSystem::fail(std::string reason) {
    m_lastError = std::move(reason);
    return false;
}

bool HostFileSystem::checkName(std::string_view name) {
    if (isValidWindowsName(name)) return true;
    return fail("\"" + std::string(name) + "\" is not a valid Windows file name");
}

void HostFileSystem::hold(int fd) {
    if (m_folder >= 0) ::close(m_folder);
    m_folder = fd;
}

// The current folder's handle, opening the drive's root on first use; -1 after a failure.
int HostFileSystem::folder() {
    if (m_folder >= 0) return m_folder;
    m_folders.clear();
    const auto root = m_drives.root(m_drive);
    if (!root) {
        fail(std::string("there is no drive ") + m_drive + ":");
        return -1;
    }
    const int fd = ::open(root->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) fail(reasonOf(errno));
    m_folder = fd;
    return fd;
}

std::string HostFileSystem::currentFolder() const {
    std::string path(1, m_drive);
    path += ":";
    for (const auto& name : m_folders) path += "\\" + name;
    if (m_folders.empty()) path += "\\";
    return path;
}

bool HostFileSystem::changeDrive(char drive) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
    if (!m_drives.root(upper)) return fail(std::string("there is no drive ") + upper + ":");
    m_drive = upper;
    hold(-1);
    return folder() >= 0;
}

bool HostFileSystem::changeFolder(std::string_view name) {
    if (name == "\\") {
        hold(-1);
        return folder() >= 0;
    }
    return enter(name, false);
}

bool HostFileSystem::changeFolderThroughOwnLink(std::string_view name) {
    return enter(name, true);
}

// A link is never entered, since it could lead anywhere, outside the mapped drives too; only
// when asked, one owned by this user is followed once. The folder is held from here on.
bool HostFileSystem::enter(std::string_view name, bool throughOwnLink) {
    if (!checkName(name)) return false;
    const int dir = folder();
    if (dir < 0) return false;
    const std::string target(name);
    int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    struct stat link {};
    if (throughOwnLink && ::fstatat(dir, target.c_str(), &link, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(link.st_mode) && link.st_uid == ::geteuid())
        flags &= ~O_NOFOLLOW;
    const int fd = ::openat(dir, target.c_str(), flags);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR || errno == ELOOP)
            return fail(whatIsInTheWay(dir, target));
        return fail(reasonOf(errno));
    }
    removeStaleTemporaries(fd);
    hold(fd);
    m_folders.push_back(target);
    return true;
}

bool HostFileSystem::makeFolder(std::string_view name) {
    if (!checkName(name)) return false;
    const int dir = folder();
    if (dir < 0) return false;
    const std::string target(name);
    if (::mkdirat(dir, target.c_str(), 0777) == 0) return true;
    if (errno != EEXIST) return fail(reasonOf(errno));
    return fail(whatIsInTheWay(dir, target));
}

std::unique_ptr<TextFile> HostFileSystem::createTextFile(std::string_view name) {
    if (!checkName(name)) return nullptr;
    const int dir = folder();
    if (dir < 0) return nullptr;
    const std::string target(name);
    struct stat there {};
    if (::fstatat(dir, target.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISDIR(there.st_mode)) {
        fail("a folder of that name is in the way");
        return nullptr;
    }
    Fd own(::fcntl(dir, F_DUPFD_CLOEXEC, 0));  // the file may outlive a change of folder
    if (!own) {
        fail(reasonOf(errno));
        return nullptr;
    }
    auto file = std::make_unique<HostTextFile>(std::move(own), target, m_openFiles);
    if (!file->open()) {
        fail(reasonOf(errno));
        return nullptr;
    }
    return file;
}

bool HostFileSystem::writeFile(std::string_view name, std::string_view bytes) {
    auto file = createTextFile(name);
    if (!file) return false;
    auto& host = static_cast<HostTextFile&>(*file);
    const bool written = host.writeBytes(bytes);
    if (!host.close() || !written) return fail(host.lastError());
    return true;
}

bool HostFileSystem::copyFile(std::string_view sourcePath, std::string_view targetName,
                              const CopyWatch& watch) {
    const auto source = m_drives.toHost(sourcePath);
    if (!source) return fail("\"" + std::string(sourcePath) + "\" is not a full Windows path");
    if (!checkName(targetName)) return false;

    // Opened without blocking, so a FIFO or a device never hangs the copy.
    Fd in(::open(source->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!in) return fail(errno == ENOENT ? "the file does not exist" : reasonOf(errno));
    struct stat from {};
    if (::fstat(in.get(), &from) != 0) return fail(reasonOf(errno));
    if (!S_ISREG(from.st_mode)) return fail("it is not a file");
    // Judged on the file opened, not its name: /proc and the like are reached by links too.
    if (isSystemFileSystem(in.get()))
        return fail("it is one of the system's virtual files (/proc, /sys or the like)");
    ::fcntl(in.get(), F_SETFL, ::fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);

    const int dir = folder();
    if (dir < 0) return false;
    const std::string target(targetName);
    struct stat there {};
    if (::fstatat(dir, target.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(there.st_mode)) return fail("a folder of that name is in the way");
        if (S_ISREG(there.st_mode) && there.st_dev == from.st_dev && there.st_ino == from.st_ino)
            return true;  // already in place
    }

    // Written beside the target and renamed over it, so a failed or stopped copy leaves an
    // earlier one untouched and a link at the target is replaced, never written through.
    ReplacingFile copy(dir, target, m_openFiles);
    if (!copy.open(from.st_mode & 0777)) return fail(reasonOf(errno));
    switch (copyBytes(in.get(), copy.fd(), static_cast<std::uint64_t>(from.st_size), watch)) {
        case Copied::Whole:
            break;
        case Copied::Stopped:
            return fail("the copy was stopped");
        case Copied::CutShort:
            return fail("the file became shorter while it was copied");
        case Copied::Failed:
            return fail(reasonOf(errno));
    }
    if (!copy.commit()) return fail(reasonOf(errno));
    return true;
}

std::optional<std::uint64_t> HostFileSystem::fileSize(std::string_view sourcePath) const {
    const auto host = m_drives.toHost(sourcePath);
    if (!host) return std::nullopt;
    std::error_code error;
    const auto size = std::filesystem::file_size(*host, error);
    if (error) return std::nullopt;
    return size;
}

bool HostFileSystem::fileExists(std::string_view path) const {
    const auto host = m_drives.toHost(path);
    struct stat st {};
    return host && ::lstat(host->c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool HostFileSystem::flushFolder() {
    const int dir = folder();
    if (dir < 0) return false;
    if (::fsync(dir) != 0) return fail(reasonOf(errno));
    return true;
}

std::optional<std::string> HostFileSystem::readStart(std::string_view name, std::size_t maxBytes) {
    if (!checkName(name)) return std::nullopt;
    const int dir = folder();
    if (dir < 0) return std::nullopt;
    const std::string target(name);
    Fd in(::openat(dir, target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (!in || ::fstat(in.get(), &st) != 0) {
        fail(reasonOf(errno));
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        fail("it is not a file");
        return std::nullopt;
    }
    // Sized by the file, not the limit: the warnings after a create read a dozen small files.
    maxBytes = std::min(maxBytes, static_cast<std::size_t>(st.st_size));
    std::string bytes(maxBytes, '\0');
    std::size_t got = 0;
    while (got < maxBytes) {
        const ssize_t n = ::read(in.get(), bytes.data() + got, maxBytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            fail(reasonOf(errno));
            return std::nullopt;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace platform
