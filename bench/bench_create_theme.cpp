// SPDX-License-Identifier: MIT
// Create Theme through the real button, with 512 MB of generated assets (wallpaper, screen
// saver, 20 sounds, 12 pointers): the longest the window's event loop goes without running,
// seen by a 1 ms heartbeat timer, and the time from the click until the last copy is done.
// Each is measured right after a plain 512 MB copy into the same folder (the dirty pages a
// flush may have to wait for), against the floor: the same theme files and copies written
// bare on a plain thread (copy_file_range, fsync, rename, one fsync of the folder), after the
// same plain copy into its own folder. The plain copy's own time shows what flushing costs.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ChildRuns.h"
#include "pages/MousePointersPage.h"
#include "pages/ScreenSaverPage.h"
#include "pages/SoundsPage.h"
#include "pages/WallpaperPage.h"
#include "platform/HostFileSystem.h"
#include "platform/qt/QtPictureLoader.h"
#include "window/AssetCopy.h"
#include "window/Form1.h"

namespace fs = std::filesystem;

namespace {

class AnswerAtOnce : public platform::MessageBoxes {
public:
    platform::MessageResult show(const platform::Message&) override {
        return platform::MessageResult::Ok;
    }
};

/// A dialog whose user picks the next file of a list.
class ListDialog : public platform::CommonDialog {
public:
    void ShowOpen() override {
        FileName = answers.empty() ? std::string() : answers.front();
        if (!answers.empty()) answers.pop_front();
    }
    void ShowColor() override {}
    std::optional<std::string> acceptFile(const std::filesystem::path&) override {
        return std::nullopt;
    }
    std::deque<std::string> answers;
};

class Silent : public platform::WavePlayer {
public:
    void setDeviceType(std::string_view) override {}
    void setFileName(std::string_view) override {}
    bool setCommand(std::string_view) override { return true; }
};

class NoLauncher : public platform::ProgramLauncher {
public:
    bool start(const std::string&, const std::vector<std::string>&) override { return true; }
    bool showFolder(const std::string&) override { return true; }
};

std::string makeFile(const fs::path& folder, const std::string& name, std::size_t bytes,
                     std::mt19937& rng) {
    std::vector<char> data(1 << 20);
    for (auto& c : data) c = static_cast<char>(rng());
    std::ofstream out(folder / name, std::ios::binary);
    for (std::size_t done = 0; done < bytes; done += data.size())
        out.write(data.data(), static_cast<std::streamsize>(std::min(data.size(), bytes - done)));
    return "C:\\assets\\" + name;
}

// Reads a whole file (the theme files the tool wrote, for the floor to write the same bytes).
std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The floor: what a competent programmer writes to do the same job durably, with no checks,
// no progress and no window: each file written beside its target, flushed, renamed over it;
// the folder flushed once at the end.
bool bareCreate(const fs::path& assets, const std::vector<std::string>& names,
                const fs::path& folder, const std::string& theme, const std::string& batch) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return false;
    bool ok = true;
    auto put = [&](const std::string& name, auto fill) {
        const std::string temp = "." + name + ".tmp";
        const int out = ::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ok = ok && out >= 0 && fill(out) && ::fsync(out) == 0;
        if (out >= 0) ::close(out);
        ok = ok && ::renameat(dir, temp.c_str(), dir, name.c_str()) == 0;
    };
    auto text = [](const std::string& bytes) {
        return [&bytes](int out) {
            return ::write(out, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        };
    };
    put("Bench.theme", text(theme));
    put("Bench.bat", text(batch));
    for (const auto& name : names) {
        put(name, [&](int out) {
            const int in = ::open((assets / name).c_str(), O_RDONLY | O_CLOEXEC);
            struct stat st {};
            if (in < 0 || ::fstat(in, &st) != 0) return false;
            for (off_t left = st.st_size; left > 0;) {
                const ssize_t n =
                    ::copy_file_range(in, nullptr, out, nullptr, static_cast<std::size_t>(left), 0);
                if (n <= 0) break;
                left -= n;
            }
            ::close(in);
            return true;
        });
    }
    ok = ok && ::fsync(dir) == 0;
    ::close(dir);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const fs::path root =
        fs::temp_directory_path() / ("skinsmith-bench-" + std::to_string(::getpid()));
    fs::create_directories(root / "assets");
    std::mt19937 rng(42);
    const std::size_t MB = 1024 * 1024;

    ListDialog dialog;
    std::vector<std::string> sources;
    auto add = [&](const std::string& name, std::size_t bytes) {
        dialog.answers.push_back(makeFile(root / "assets", name, bytes, rng));
        sources.push_back(name);
    };
    platform::DriveMap drives;
    drives.map('C', root);
    platform::HostFileSystem files(drives);
    platform::QtPictureLoader pictures(drives);
    AnswerAtOnce messages;
    Silent player;
    NoLauncher launcher;
    window::Services services{files, messages, dialog, pictures, player, launcher, drives};
    window::Form1 form(services);
    form.show();
    QApplication::processEvents();

    // Pick every file through the pages, as the user does.
    add("wallpaper.bmp", 200 * MB);
    form.findChild<pages::WallpaperPage*>()->Image2_DblClick();
    add("saver.scr", 150 * MB);
    form.findChild<pages::ScreenSaverPage*>()->Command4_Click();
    for (int i = 0; i < 20; ++i) {
        add("snd" + std::to_string(i) + ".wav", 8 * MB + 64 * 1024);
        form.findChild<pages::SoundsPage*>()->Command11_MouseDown(i, Qt::LeftButton);
    }
    for (int i = 0; i < 12; ++i) {
        add("ptr" + std::to_string(i) + ".cur", 64 * 1024);
        form.findChild<pages::MousePointersPage*>()->Command10_Click(i);
    }
    std::uintmax_t total = 0;
    for (const auto& s : sources) total += fs::file_size(root / "assets" / s);
    if (form.theme().wallpaperPath.empty() || form.theme().soundPaths[19].empty()) {
        std::printf("bench_create_theme: the picks did not reach the theme\n");
        return 1;
    }

    auto* create = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    auto* name = form.findChild<QWidget*>(QStringLiteral("Text2"));
    if (!create || !name) return 1;
    QMetaObject::invokeMethod(name, "setText", Q_ARG(QString, QStringLiteral("Bench")));

    QEventLoop copiesDone, idle, floorDone;
    QObject::connect(form.findChild<window::AssetCopy*>(), &window::AssetCopy::finished,
                     &copiesDone, &QEventLoop::quit);
    const fs::path floorDir = root / "floor";
    const fs::path toolDir = root / "skinvault" / "Bench";
    fs::create_directories(floorDir);
    fs::create_directories(toolDir);
    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::time_point a, Clock::time_point b) {
        return std::chrono::duration<double, std::milli>(b - a).count();
    };
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::vector<double> totalMs, floorMs, plainMs, gapMs, idleGapMs, floorGapMs, gapAtMs;
    std::string themeBytes, batchBytes;  // what the tool wrote, once it has
    bool floorOk = true;
    for (int run = 0; run <= rounds; ++run) {  // run 0 warms the page cache and the folders
        QElapsedTimer beat, since;
        double longest = 0, longestAt = 0;
        QTimer heartbeat;
        heartbeat.setInterval(1);
        heartbeat.setTimerType(Qt::PreciseTimer);
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            const double gap = beat.nsecsElapsed() / 1e6;
            if (gap > longest) {
                longest = gap;
                longestAt = since.nsecsElapsed() / 1e6 - gap;
            }
            beat.restart();
        });
        // Runs `work` on a plain thread while the heartbeat goes on; its time in ms.
        auto onThread = [&](auto work) {
            const auto t0 = Clock::now();
            std::thread worker([&] {
                work();
                QMetaObject::invokeMethod(&floorDone, "quit", Qt::QueuedConnection);
            });
            floorDone.exec();
            worker.join();
            return ms(t0, Clock::now());
        };
        auto plainCopy = [&](const fs::path& into) {
            for (const auto& s : sources)
                fs::copy_file(root / "assets" / s, into / s, fs::copy_options::overwrite_existing);
        };
        heartbeat.start();
        beat.start();
        since.start();
        QTimer::singleShot(200, &idle, &QEventLoop::quit);
        idle.exec();
        const double idleLongest = longest;

        // The floor, right after a plain create into its folder.
        onThread([&] { plainCopy(floorDir); });
        longest = 0;
        beat.restart();
        const double floorTime = onThread([&] {
            floorOk &= bareCreate(root / "assets", sources, floorDir, themeBytes, batchBytes);
        });
        const double floorLongest = longest;

        // The tool, right after a plain create into its folder; that copy's time is the same
        // job without any flush.
        const double plainTime = onThread([&] { plainCopy(toolDir); });
        longest = 0;
        beat.restart();
        since.restart();
        const auto t0 = Clock::now();
        QTimer::singleShot(0, create, [create] { create->click(); });
        // The click runs in the first pass; then the writes and copies, until they end, the
        // loop blocking between events as the tool's own does.
        QApplication::processEvents();
        if (form.copying()) copiesDone.exec();
        const auto t1 = Clock::now();
        heartbeat.stop();
        longest = std::max(longest, beat.nsecsElapsed() / 1e6);
        if (run == 0) {
            themeBytes = slurp(toolDir / "Bench.theme");
            batchBytes = slurp(toolDir / "Bench.bat");
            continue;
        }
        totalMs.push_back(ms(t0, t1));
        floorMs.push_back(floorTime);
        plainMs.push_back(plainTime);
        floorGapMs.push_back(floorLongest);
        gapMs.push_back(longest);
        idleGapMs.push_back(idleLongest);
        gapAtMs.push_back(longestAt);
    }
    const bool complete = fs::file_size(toolDir / "wallpaper.bmp") == 200 * MB &&
                          fs::exists(toolDir / "snd19.wav") && themeBytes.size() > 1000 && floorOk;
    fs::remove_all(root);

    const double tool = bench::median(totalMs), floor = bench::median(floorMs),
                 plain = bench::median(plainMs), gap = bench::median(gapMs),
                 floorGap = bench::median(floorGapMs);
    std::printf(
        "bench_create_theme: %zu files, %.1f MB, the real Create Theme button, median of %d, each "
        "right after a plain %.0f MB copy into the same folder\n",
        sources.size(), static_cast<double>(total) / MB, rounds, static_cast<double>(total) / MB);
    std::printf(
        "  total:  the same files written bare with fsync (floor) %.1f ms, click to last copy "
        "%.1f ms, ratio %.2f\n",
        floor, tool, tool / floor);
    std::printf(
        "  fsync:  the same copies without any flush (copy_file) %.1f ms: flushing costs the "
        "floor %.2fx, the tool %.2fx\n",
        plain, floor / plain, tool / plain);
    std::printf(
        "  window: longest event-loop gap, 1 ms heartbeat: idle %.1f ms, during the bare floor "
        "%.1f ms, during Create Theme %.1f ms (ratio %.2f, worst run %.1f ms, median start %.0f "
        "ms after the click; target < 50 ms)%s\n",
        bench::median(idleGapMs), floorGap, gap, gap / std::max(floorGap, 1.0),
        *std::max_element(gapMs.begin(), gapMs.end()), bench::median(gapAtMs),
        complete ? "" : "  [incomplete!]");
    return complete ? 0 : 1;
}
