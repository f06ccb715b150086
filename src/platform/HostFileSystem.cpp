#include "platform/HostFileSystem.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include <unistd.h>

#include "platform/WindowsNames.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

fs::path hostName(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// A short hidden name beside the target, unique to this process, so that writing it never
// touches a file of the user's and fits however long the target's own name is.
fs::path besideName(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    return target.parent_path() /
           (".skinsmith-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".part");
}

std::string reasonOf(const std::error_code& ec) {
    std::string text = ec.message();
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

class HostTextFile : public TextFile {
public:
    HostTextFile(fs::path target, fs::path temp)
        : m_target(std::move(target)),
          m_temp(std::move(temp)),
          m_out(m_temp, std::ios::binary | std::ios::trunc) {}
    ~HostTextFile() override {
        if (!m_closed) discard();
    }

    bool opened() const { return m_out.is_open(); }

    bool writeLine(std::string_view bytes) override {
        if (m_closed) return failWrite("the file is closed");
        m_out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        m_out.write("\r\n", 2);
        if (!m_out) {
            m_out.clear();  // later lines are still tried
            return failWrite(std::strerror(errno ? errno : EIO));
        }
        return true;
    }

    bool close() override {
        if (m_closed) return false;
        m_closed = true;
        m_out.flush();
        if (!m_out && m_error.empty()) m_error = std::strerror(errno ? errno : EIO);
        m_out.close();
        if (m_out.fail() && m_error.empty()) m_error = std::strerror(errno ? errno : EIO);
        if (!m_error.empty()) {
            discard();
            return false;
        }
        std::error_code ec;
        fs::rename(m_temp, m_target, ec);
        if (ec) {
            m_error = reasonOf(ec);
            discard();
            return false;
        }
        return true;
    }

    std::string lastError() const override { return m_error; }

private:
    bool failWrite(std::string reason) {
        if (m_error.empty()) m_error = std::move(reason);
        return false;
    }
    void discard() {
        if (m_out.is_open()) m_out.close();
        std::error_code ec;
        fs::remove(m_temp, ec);
    }

    fs::path m_target;
    fs::path m_temp;
    std::ofstream m_out;
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

bool HostFileSystem::changeFolder(std::string_view name) {
    if (name == "\\") {
        m_folders.clear();
        return true;
    }
    if (!checkName(name)) return false;
    std::error_code ec;
    const auto target = hostFolder() / hostName(name);
    if (!fs::is_directory(target, ec)) {
        return fail(fs::exists(target, ec) ? "a file of that name is in the way"
                                           : "the folder does not exist");
    }
    m_folders.emplace_back(name);
    return true;
}

bool HostFileSystem::makeFolder(std::string_view name) {
    if (!checkName(name)) return false;
    std::error_code ec;
    const auto target = hostFolder() / hostName(name);
    if (fs::create_directory(target, ec)) return true;
    if (ec) return fail(reasonOf(ec));
    return fail(fs::is_directory(target, ec) ? "the folder exists already"
                                             : "a file of that name is in the way");
}

std::unique_ptr<TextFile> HostFileSystem::createTextFile(std::string_view name) {
    if (!checkName(name)) return nullptr;
    const auto target = hostFolder() / hostName(name);
    std::error_code ec;
    if (fs::is_directory(target, ec)) {
        fail("a folder of that name is in the way");
        return nullptr;
    }
    errno = 0;
    auto file = std::make_unique<HostTextFile>(target, besideName(target));
    if (!file->opened()) {
        fail(std::strerror(errno ? errno : EACCES));
        return nullptr;
    }
    return file;
}

bool HostFileSystem::copyFile(std::string_view sourcePath, std::string_view targetName) {
    const auto source = m_drives.toHost(sourcePath);
    if (!source) return fail("\"" + std::string(sourcePath) + "\" is not a full Windows path");
    if (!checkName(targetName)) return false;
    const auto target = hostFolder() / hostName(targetName);
    std::error_code ec;
    if (!fs::is_regular_file(*source, ec)) {
        return fail(fs::exists(*source, ec) ? "it is not a file" : "the file does not exist");
    }
    if (fs::equivalent(*source, target, ec)) return true;  // already in place
    if (fs::is_directory(target, ec)) return fail("a folder of that name is in the way");

    // Copied in place, as copy_file does it (the kernel copies without a round trip through
    // user space). A new file that fails half-way is removed rather than left truncated; an
    // earlier copy is left to the caller's warning, since it may not have been touched.
    const bool existed = fs::exists(target, ec);
    if (!fs::copy_file(*source, target, fs::copy_options::overwrite_existing, ec) || ec) {
        const auto reason = reasonOf(ec);
        if (!existed) fs::remove(target, ec);
        return fail(reason);
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

}  // namespace platform
