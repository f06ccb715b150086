// SPDX-License-Identifier: MIT
#include "platform/Mtools.h"

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>

namespace platform {
namespace {

const char* const kPrograms[] = {"mcopy", "mmd", "mdir", "minfo"};

// mtools' messages name the program first ("mcopy: Disk full"); the user hears the reason.
std::string reasonIn(const std::string& err) {
    std::string reason;
    std::size_t start = 0;
    while (start < err.size()) {
        const std::size_t end = std::min(err.find('\n', start), err.size());
        std::string line = err.substr(start, end - start);
        start = end + 1;
        // Warnings about the other partitions of the disk are no reason.
        if (line.empty() || line.starts_with("Warning:") || line.starts_with("WARNING:")) continue;
        if (const auto colon = line.find(": "); colon != std::string::npos && colon < 8)
            line = line.substr(colon + 2);
        if (!reason.empty()) reason += ' ';
        reason += line;
    }
    if (reason.find("Disk full") != std::string::npos) return "The partition is full.";
    if (reason.find("non DOS media") != std::string::npos ||
        reason.find("Cannot initialize") != std::string::npos)
        return "The partition holds no FAT file system mtools can read (" + reason + ").";
    return reason.empty() ? std::string("it ended without saying why.") : reason;
}

}  // namespace

std::string mtoolsPath(const std::string& dosPath) {
    std::string path = dosPath;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.size() >= 2 && path[1] == ':') path[0] = 'c';
    return path;
}

Mtools::Mtools(std::filesystem::path image, std::uint64_t offset)
    : m_image(std::move(image)), m_offset(offset) {}

bool Mtools::available() {
    return std::all_of(std::begin(kPrograms), std::end(kPrograms), [](const char* name) {
        return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
    });
}

std::optional<Mtools::Output> Mtools::run(const std::string& program,
                                          const std::vector<std::string>& args) {
    if (m_cancel != nullptr && m_cancel->load()) {
        m_lastError = "The export was stopped.";
        return std::nullopt;
    }
    const QString path = QStandardPaths::findExecutable(QString::fromStdString(program));
    if (path.isEmpty()) {
        m_lastError = program + " was not found. Install mtools (apt install mtools).";
        return std::nullopt;
    }
    // A folder of this call's own: its configuration file, a link to the image (so no
    // quoting of the image's name is needed), and the HOME that hides ~/.mtoolsrc.
    QTemporaryDir home;
    if (!home.isValid()) {
        m_lastError = "No temporary folder could be made for mtools.";
        return std::nullopt;
    }
    const std::filesystem::path link = home.filePath(QStringLiteral("disk")).toStdString();
    std::error_code error;
    std::filesystem::create_symlink(std::filesystem::absolute(m_image, error), link, error);
    const std::string rcPath = home.filePath(QStringLiteral("mtoolsrc")).toStdString();
    {
        std::ofstream rc(rcPath);
        // Windows 98's short names are in the OEM code page of a US machine. The geometry
        // check refuses disks partitioned by other tools than DOS's own fdisk.
        rc << "mtools_skip_check=1\nmtools_no_vfat=0\ndefault_codepage=437\n"
           << "drive c: file=\"" << link.string() << "\" offset=" << m_offset << "\n";
        if (!rc.flush() || error) {
            m_lastError = "The mtools configuration could not be written.";
            return std::nullopt;
        }
    }
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"),
               qEnvironmentVariable("PATH", QStringLiteral("/usr/bin:/bin")));
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("MTOOLSRC"), QString::fromStdString(rcPath));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());  // never waits for an answer
    QStringList arguments;
    for (const auto& a : args) arguments << QString::fromStdString(a);
    process.start(path, arguments);
    if (!process.waitForStarted()) {
        m_lastError = program + " could not be started: " + process.errorString().toStdString();
        return std::nullopt;
    }
    while (!process.waitForFinished(50)) {
        if (process.state() == QProcess::NotRunning) break;
        if (m_cancel != nullptr && m_cancel->load()) {
            process.kill();
            process.waitForFinished();
            m_lastError = "The export was stopped.";
            return std::nullopt;
        }
    }
    Output output;
    output.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    output.out = process.readAllStandardOutput().toStdString();
    output.err = process.readAllStandardError().toStdString();
    return output;
}

bool Mtools::fail(const std::string& what, const Output& output) {
    m_lastError = what + ": " + reasonIn(output.err);
    return false;
}

bool Mtools::exists(const std::string& dosPath) {
    const auto out = run("mdir", {"-b", mtoolsPath(dosPath)});
    return out && out->exitCode == 0;
}

bool Mtools::makeFolder(const std::string& dosPath) {
    const auto out = run("mmd", {mtoolsPath(dosPath)});
    if (!out) return false;
    // A folder that is there already is asked after only then: one program less the first time.
    return out->exitCode == 0 || exists(dosPath) ||
           fail("The folder " + dosPath + " could not be made", *out);
}

bool Mtools::copyIn(const std::vector<std::filesystem::path>& sources,
                    const std::string& dosFolder) {
    std::vector<std::string> args = {"-s", "-Q", "-m", "-D", "o"};
    for (const auto& s : sources) args.push_back(s.string());
    args.push_back(mtoolsPath(dosFolder) + "/");
    const auto out = run("mcopy", args);
    if (!out) return false;
    return out->exitCode == 0 || fail("Copying into " + dosFolder + " failed", *out);
}

bool Mtools::copyInAs(const std::filesystem::path& source, const std::string& dosPath) {
    const auto out = run("mcopy", {"-Q", "-m", "-D", "o", source.string(), mtoolsPath(dosPath)});
    if (!out) return false;
    return out->exitCode == 0 || fail("Copying " + dosPath + " failed", *out);
}

bool Mtools::copyOut(const std::string& dosPath, const std::filesystem::path& target) {
    const auto out = run("mcopy", {"-n", "-m", mtoolsPath(dosPath), target.string()});
    if (!out) return false;
    return out->exitCode == 0 || fail("Reading " + dosPath + " failed", *out);
}

std::optional<std::uint64_t> Mtools::freeBytes() {
    const auto out = run("mdir", {"c:/"});
    if (!out) return std::nullopt;
    if (out->exitCode != 0) {
        fail("The partition could not be read", *out);
        return std::nullopt;
    }
    // "      15 300 608 bytes free": the digits are grouped by blanks.
    const auto at = out->out.rfind(" bytes free");
    if (at == std::string::npos) {
        m_lastError = "mdir did not say how much room the partition has.";
        return std::nullopt;
    }
    const auto lineStart = out->out.rfind('\n', at);
    std::string digits;
    for (std::size_t i = lineStart == std::string::npos ? 0 : lineStart + 1; i < at; ++i)
        if (out->out[i] >= '0' && out->out[i] <= '9') digits += out->out[i];
    if (digits.empty() || digits.size() > 19) {
        m_lastError = "mdir did not say how much room the partition has.";
        return std::nullopt;
    }
    return std::stoull(digits);
}

std::optional<std::uint64_t> Mtools::clusterBytes() {
    const auto out = run("minfo", {"c:"});
    if (!out) return std::nullopt;
    if (out->exitCode != 0) {
        fail("The partition could not be read", *out);
        return std::nullopt;
    }
    auto number = [&](const std::string& key) -> std::uint64_t {
        const auto at = out->out.find(key);
        if (at == std::string::npos) return 0;
        std::uint64_t value = 0;
        for (std::size_t i = at + key.size(); i < out->out.size() && value < (1u << 20); ++i) {
            const char c = out->out[i];
            if (c == ' ') continue;
            if (c < '0' || c > '9') break;
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        }
        return value;
    };
    const std::uint64_t sector = number("sector size:");
    const std::uint64_t perCluster = number("cluster size:");
    if (sector == 0 || perCluster == 0) {
        m_lastError = "minfo did not give the partition's cluster size.";
        return std::nullopt;
    }
    return sector * perCluster;
}

}  // namespace platform
