// SPDX-License-Identifier: MIT
#include "platform/HostFileSystem.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/WindowsNames.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

fs::path hostName(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string reasonOf(int error) {
    std::string text = std::strerror(error);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string reasonOf(const std::error_code& ec) {
    return reasonOf(ec.value() ? ec.value() : EIO);
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

// A new file that replaces one name in a folder only when it is committed complete. It is
// written unnamed (O_TMPFILE) where the file system allows it, so even a killed process leaves
// nothing behind; elsewhere under an unguessable name created exclusively, never through a
// link. Committing links it under a fresh unguessable name and renames that over the target:
// a link planted at the target is replaced, never followed. Each object owns all its state,
// so copies may run on several threads at once.
class ReplacingFile {
public:
    ReplacingFile(int folder, std::string target) : m_folder(folder), m_target(std::move(target)) {}
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
        if (replaces && ::fchmod(m_fd.get(), earlier.st_mode & 07777) != 0) {
            const int error = errno;
            discard();
            errno = error;
            return false;
        }
        return true;
    }

    int fd() const { return m_fd.get(); }

    // Flushes (when asked), names and renames the file over the target. False with errno set;
    // then the target is as it was and nothing is left behind.
    bool commit(bool flush) {
        if (flush && ::fsync(m_fd.get()) != 0) return failCommit();
        if (m_temp.empty()) {
            const std::string self = "/proc/self/fd/" + std::to_string(m_fd.get());
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
        if (::close(m_fd.release()) != 0) return failCommit();
        if (::renameat(m_folder, m_temp.c_str(), m_folder, m_target.c_str()) != 0)
            return failCommit();
        m_temp.clear();
        return true;
    }

    void discard() {
        m_fd.reset();
        if (!m_temp.empty()) ::unlinkat(m_folder, m_temp.c_str(), 0);
        m_temp.clear();
    }

private:
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

// Copies the rest of `in` to `out`: in the kernel where it can (copy_file_range, then
// sendfile), through a buffer where neither works. False with errno set.
bool copyBytes(int in, int out) {
    bool kernelCopy = true;
    while (kernelCopy) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n == 0) return true;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP &&
            errno != EBADF && errno != EPERM)
            return false;
        kernelCopy = false;
    }
    for (;;) {
        const ssize_t n = ::sendfile(out, in, nullptr, 1 << 30);
        if (n == 0) return true;
        if (n > 0) continue;
        if (errno == EINTR) continue;
        if (errno != EINVAL && errno != ENOSYS) return false;
        break;
    }
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0) return true;
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (!writeAll(out, buffer.data(), static_cast<std::size_t>(n))) return false;
    }
}

class HostTextFile : public TextFile {
public:
    HostTextFile(Fd folder, std::string target)
        : m_folder(std::move(folder)), m_file(m_folder.get(), std::move(target)) {}

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
        // Flushed before the rename, so a power cut leaves the old file or the new one.
        if (!m_file.commit(true)) {
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

}  // namespace

HostFileSystem::HostFileSystem(DriveMap drives) : m_drives(std::move(drives)) {}

bool HostFileSystem::fail(std::string reason) {
    m_lastError = std::move(reason);
    return false;
}

bool HostFileSystem::checkName(std::string_view name) {
    if (isValidWindowsName(name)) return true;
    return fail("\"" + std::string(name) + "\" is not a valid Windows file name");
}

fs::path HostFileSystem::hostFolder() const {
    fs::path folder = *m_drives.root(m_drive);
    for (const auto& name : m_folders) folder /= hostName(name);
    return folder;
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
    m_folders.clear();
    return true;
}

// What stands at a name that should have been a folder, in words for the user.
std::string HostFileSystem::whatIsInTheWay(const fs::path& target) {
    std::error_code ec;
    const auto status = fs::symlink_status(target, ec);
    if (fs::is_symlink(status)) {
        return fs::exists(target, ec) ? "a link of that name is in the way"
                                      : "a link of that name to nothing is in the way";
    }
    if (!fs::exists(status)) return "the folder does not exist";
    return fs::is_directory(status) ? "the folder exists already"
                                    : "a file of that name is in the way";
}

bool HostFileSystem::changeFolder(std::string_view name) {
    if (name == "\\") {
        m_folders.clear();
        return true;
    }
    if (!checkName(name)) return false;
    std::error_code ec;
    const auto target = hostFolder() / hostName(name);
    // A link is never entered: it could lead anywhere, outside the mapped drives too.
    if (!fs::is_directory(fs::symlink_status(target, ec))) return fail(whatIsInTheWay(target));
    m_folders.emplace_back(name);
    return true;
}

bool HostFileSystem::makeFolder(std::string_view name) {
    if (!checkName(name)) return false;
    std::error_code ec;
    const auto target = hostFolder() / hostName(name);
    if (fs::create_directory(target, ec)) return true;
    if (ec && ec != std::errc::file_exists) return fail(reasonOf(ec));
    return fail(whatIsInTheWay(target));
}

std::optional<int> HostFileSystem::openFolder() {
    const int fd = ::open(hostFolder().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        fail(reasonOf(errno));
        return std::nullopt;
    }
    return fd;
}

std::unique_ptr<TextFile> HostFileSystem::createTextFile(std::string_view name) {
    if (!checkName(name)) return nullptr;
    const auto folderFd = openFolder();
    if (!folderFd) return nullptr;
    Fd folder(*folderFd);
    const std::string target(name);
    struct stat there {};
    if (::fstatat(folder.get(), target.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISDIR(there.st_mode)) {
        fail("a folder of that name is in the way");
        return nullptr;
    }
    auto file = std::make_unique<HostTextFile>(std::move(folder), target);
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

bool HostFileSystem::copyFile(std::string_view sourcePath, std::string_view targetName) {
    const auto source = m_drives.toHost(sourcePath);
    if (!source) return fail("\"" + std::string(sourcePath) + "\" is not a full Windows path");
    if (!checkName(targetName)) return false;

    // Opened without blocking, so a FIFO or a device never hangs the copy.
    Fd in(::open(source->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!in) return fail(errno == ENOENT ? "the file does not exist" : reasonOf(errno));
    struct stat from {};
    if (::fstat(in.get(), &from) != 0) return fail(reasonOf(errno));
    if (!S_ISREG(from.st_mode)) return fail("it is not a file");
    ::fcntl(in.get(), F_SETFL, ::fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);

    const auto folderFd = openFolder();
    if (!folderFd) return false;
    Fd folder(*folderFd);
    const std::string target(targetName);
    struct stat there {};
    if (::fstatat(folder.get(), target.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(there.st_mode)) return fail("a folder of that name is in the way");
        if (S_ISREG(there.st_mode) && there.st_dev == from.st_dev && there.st_ino == from.st_ino)
            return true;  // already in place
    }

    // Written beside the target and renamed over it, so a failed copy leaves an earlier one
    // untouched and a link at the target is replaced, never written through.
    ReplacingFile copy(folder.get(), target);
    if (!copy.open(from.st_mode & 0777) || !copyBytes(in.get(), copy.fd()) || !copy.commit(false)) {
        const int error = errno;
        copy.discard();
        return fail(reasonOf(error));
    }
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

std::optional<std::string> HostFileSystem::readStart(std::string_view name, std::size_t maxBytes) {
    if (!checkName(name)) return std::nullopt;
    const auto folderFd = openFolder();
    if (!folderFd) return std::nullopt;
    Fd folder(*folderFd);
    const std::string target(name);
    Fd in(::openat(folder.get(), target.c_str(),
                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat st {};
    if (!in || ::fstat(in.get(), &st) != 0) {
        fail(reasonOf(errno));
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        fail("it is not a file");
        return std::nullopt;
    }
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
