// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

/// Runs the mtools programs (mcopy, mmd, mdir, minfo) on one FAT partition of a disk image,
/// shown to them as drive C:. Each call gets a configuration file of its own, and neither the
/// user's ~/.mtoolsrc nor MTOOLS_* variables reach the programs. Failures are reported by
/// return value, with lastError() in words for the user.
class Mtools {
public:
    /// The drive is the FAT file system starting `offset` bytes into the image (a partition's
    /// first sector times 512). mtools' own `partition=` refuses a file system that fills its
    /// partition to the last sector, as Windows' FORMAT makes them ("Big disks not supported").
    Mtools(std::filesystem::path image, std::uint64_t offset);

    /// True when the programs can be found on the PATH.
    static bool available();

    /// Whether a file or folder (a DOS path such as "C:\WINDOWS\LOGOW.SYS") exists.
    bool exists(const std::string& dosPath);
    /// Makes one folder; true when it exists afterwards.
    bool makeFolder(const std::string& dosPath);
    /// Copies host files or folders (folders with their contents) into a DOS folder,
    /// replacing files of the same names.
    bool copyIn(const std::vector<std::filesystem::path>& sources, const std::string& dosFolder);
    /// Copies one host file to a DOS file name, replacing it.
    bool copyInAs(const std::filesystem::path& source, const std::string& dosPath);
    /// Copies one DOS file out to a host file.
    bool copyOut(const std::string& dosPath, const std::filesystem::path& target);
    /// The free bytes on the drive (from mdir's last line).
    std::optional<std::uint64_t> freeBytes();
    /// The bytes in one cluster (from minfo).
    std::optional<std::uint64_t> clusterBytes();

    /// Stops a program under way and fails the calls that follow once it is set.
    void setCancelFlag(const std::atomic<bool>* cancel) { m_cancel = cancel; }
    std::string lastError() const { return m_lastError; }

private:
    struct Output {
        int exitCode = -1;
        std::string out;
        std::string err;
    };
    std::optional<Output> run(const std::string& program, const std::vector<std::string>& args);
    bool fail(const std::string& what, const Output& output);

    std::filesystem::path m_image;
    std::uint64_t m_offset;
    const std::atomic<bool>* m_cancel = nullptr;
    std::string m_lastError;
};

/// "C:\A\B" as mtools spells it: "c:/A/B".
std::string mtoolsPath(const std::string& dosPath);

}  // namespace platform
