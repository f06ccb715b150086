// SPDX-License-Identifier: MIT
#include "compat/SourceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/HostFiles.h"

namespace compat {

SourceFile readSource(const platform::DriveMap& drives, std::string_view windowsPath,
                      std::size_t maxBytes) {
    SourceFile file;
    const auto host = drives.toHost(windowsPath);
    const auto found = host ? platform::findFileIgnoringCase(*host) : std::nullopt;
    if (!found) return file;
    file.host = *found;
    file.status = SourceFile::Status::Unreadable;
    // O_NONBLOCK: a FIFO put in the file's place must not hang the check.
    const int fd = ::open(found->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        file.why = std::strerror(errno);
        return file;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        file.why = "it is not a regular file";
        ::close(fd);
        return file;
    }
    file.size = static_cast<std::uint64_t>(info.st_size);
    file.bytes.resize(std::min<std::uint64_t>(maxBytes, file.size));
    std::size_t done = 0;
    while (done < file.bytes.size()) {
        const ssize_t got = ::read(fd, file.bytes.data() + done, file.bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            file.why = std::strerror(errno);
            ::close(fd);
            return file;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    file.bytes.resize(done);
    file.status = SourceFile::Status::Read;
    return file;
}

}  // namespace compat
