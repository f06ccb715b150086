// SPDX-License-Identifier: MIT
#include "platform/HostFiles.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace platform {

namespace {

// Closes a descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

std::string sizeText(std::size_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    return std::to_string(bytes) + " bytes";
}

}  // namespace

bool isSystemFileSystem(int fd) {
    struct statfs where {};
    if (::fstatfs(fd, &where) != 0) return true;  // unknown: not to be trusted
    constexpr unsigned long kConfigFs = 0x62656570, kFuseControl = 0x65735543;
    switch (static_cast<unsigned long>(where.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case SELINUX_MAGIC:
        case SMACK_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case RDTGROUP_SUPER_MAGIC:
        case BPF_FS_MAGIC:
        case PSTOREFS_MAGIC:
        case EFIVARFS_MAGIC:
        case BINFMTFS_MAGIC:
        case DEVPTS_SUPER_MAGIC:
        case NSFS_MAGIC:
        case USBDEVICE_SUPER_MAGIC:
        case kConfigFs:
        case kFuseControl:
            return true;
        default:
            return false;
    }
}

std::optional<std::string> readRegularFile(const std::filesystem::path& hostPath,
                                           std::size_t maxBytes, std::string* whyNot) {
    auto fail = [whyNot](std::string why) -> std::optional<std::string> {
        if (whyNot) *whyNot = std::move(why);
        return std::nullopt;
    };
    // O_NONBLOCK: opening a FIFO for reading must not wait for a writer.
    Descriptor file{::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) return fail(std::strerror(errno));
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) return fail(std::strerror(errno));
    if (S_ISDIR(info.st_mode)) return fail("It is a folder, not a file.");
    if (!S_ISREG(info.st_mode)) return fail("It is not a regular file (a pipe, socket or device).");
    if (isSystemFileSystem(file.fd))
        return fail(
            "It is one of the system's virtual files (/proc, /sys or the like), not a file on a "
            "disk.");
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return fail("It is larger than " + sizeText(maxBytes) + ".");
    std::string content;
    content.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (true) {
        // Read one byte past the expected end, so a file that grew is caught.
        if (done == content.size()) {
            if (done > maxBytes) return fail("It is larger than " + sizeText(maxBytes) + ".");
            content.resize(done + 4096);
        }
        const ssize_t got = ::read(file.fd, content.data() + done, content.size() - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return fail(std::strerror(errno));
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    content.resize(done);
    if (content.size() > maxBytes) return fail("It is larger than " + sizeText(maxBytes) + ".");
    return content;
}

std::string asciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::optional<std::filesystem::path> findFileIgnoringCase(const std::filesystem::path& hostPath) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_regular_file(hostPath, error)) return hostPath;
    if (!hostPath.is_absolute()) return std::nullopt;
    fs::path found = hostPath.root_path();
    for (const fs::path& part : hostPath.relative_path()) {
        const fs::path exact = found / part;
        if (fs::exists(fs::symlink_status(exact, error))) {
            found = exact;
            continue;
        }
        const std::string wanted = asciiLower(part.string());
        bool matched = false;
        for (fs::directory_iterator it(found, error), end; !error && it != end;
             it.increment(error)) {
            if (asciiLower(it->path().filename().string()) == wanted) {
                found = it->path();
                matched = true;
                break;
            }
        }
        if (!matched) return std::nullopt;
    }
    if (!fs::is_regular_file(found, error)) return std::nullopt;
    return found;
}

}  // namespace platform
