// Create Theme with all 40 file slots filled (about 50 MB of generated assets) against
// copying the same files with std::filesystem::copy_file, measured in the same run.
// Prints the ratio of the medians for the safe copies alone (each written beside its target
// and renamed into place; the target is at most 1.25) and, for information, for the whole
// procedure, whose theme and batch files are flushed to disk (fsync) before they replace the
// earlier ones: on ext4 that flush waits for the copies of the run before.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "output/CreateTheme.h"
#include "platform/HostFileSystem.h"

namespace fs = std::filesystem;

namespace {

class AnswerAtOnce : public platform::MessageBoxes {
public:
    platform::MessageResult show(const platform::Message&) override {
        return platform::MessageResult::Ok;
    }
};

std::string makeFile(const fs::path& folder, const std::string& name, std::size_t bytes,
                     std::mt19937& rng) {
    std::vector<char> data(bytes);
    for (auto& c : data) c = static_cast<char>(rng());
    std::ofstream(folder / name, std::ios::binary)
        .write(data.data(), static_cast<std::streamsize>(bytes));
    return "C:\\assets\\" + name;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    const fs::path root =
        fs::temp_directory_path() / ("skinsmith-bench-" + std::to_string(::getpid()));
    fs::create_directories(root / "assets");
    std::mt19937 rng(42);

    state::ThemeState theme;
    theme.themeName = "Bench";
    std::vector<std::string> sources;
    auto add = [&](std::string& slot, const std::string& name, std::size_t kb) {
        slot = makeFile(root / "assets", name, kb * 1024, rng);
        sources.push_back(name);
    };
    add(theme.wallpaperPath, "wallpaper.jpg", 9 * 1024);
    for (int i = 0; i < 4; ++i) add(theme.iconPaths[i], "icon" + std::to_string(i) + ".ico", 25);
    for (int i = 0; i < 12; ++i)
        add(theme.pointerPaths[i], "ptr" + std::to_string(i) + (i % 3 ? ".cur" : ".ani"),
            i % 3 ? 3 : 60);
    for (int i = 0; i < 20; ++i)
        add(theme.soundPaths[i], "snd" + std::to_string(i) + ".wav", 600 + 150 * i);
    for (int i = 0; i < 3; ++i) add(theme.logoPaths[i], "logo" + std::to_string(i) + ".sys", 126);
    add(theme.screenSaverPath, "saver.scr", 4 * 1024);

    std::uintmax_t total = 0;
    for (const auto& s : sources) total += fs::file_size(root / "assets" / s);

    platform::DriveMap drives;
    drives.map('C', root);
    platform::HostFileSystem files(drives);
    AnswerAtOnce messages;
    const fs::path floorDir = root / "floor";
    fs::create_directories(floorDir);

    using Clock = std::chrono::steady_clock;
    std::vector<double> procedure, copies, floor;
    output::createTheme(theme, files, messages);  // warm the page cache and the folders
    for (int run = 0; run < 15; ++run) {
        auto t0 = Clock::now();
        output::createTheme(theme, files, messages);
        auto t1 = Clock::now();
        for (const auto& s : sources)
            fs::copy_file(root / "assets" / s, floorDir / s, fs::copy_options::overwrite_existing);
        auto t2 = Clock::now();
        output::copyAssets(theme, files);  // the folder is still current
        auto t3 = Clock::now();
        procedure.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        floor.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
        copies.push_back(std::chrono::duration<double, std::milli>(t3 - t2).count());
    }
    const bool complete =
        fs::file_size(root / "skinvault" / "Bench" / "wallpaper.jpg") == 9u * 1024 * 1024;
    fs::remove_all(root);

    std::printf("assets: %zu files, %.1f MB\n", sources.size(), static_cast<double>(total) / 1e6);
    std::printf("create theme (median of 15): %.2f ms\n", median(procedure));
    std::printf("safe copies alone (median of 15): %.2f ms\n", median(copies));
    std::printf("copy_file floor (median of 15): %.2f ms\n", median(floor));
    std::printf("ratio safe copies/floor: %.3f (target <= 1.25)%s\n",
                median(copies) / median(floor), complete ? "" : "  [copies incomplete!]");
    std::printf("ratio create/floor: %.3f (information)\n", median(procedure) / median(floor));
    return complete ? 0 : 1;
}
