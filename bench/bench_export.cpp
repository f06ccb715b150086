// SPDX-License-Identifier: MIT
// Export of one theme folder (a 6 MB wallpaper and 36 small files): the zip pack against
// `bsdtar -a -cf`, the CD image against `xorriso -as mkisofs -J`, and the disk image against
// `mmd` + `mcopy -s` of the folder into a copy of the same image; the disk export's own clone
// or copy of the image is timed apart. Medians of five runs, all in this run.
#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "export/DiskImage.h"
#include "export/Export.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

bool sh(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

double timed(const char* what, const std::function<bool()>& work) {
    const auto start = Clock::now();
    if (!work()) {
        std::fprintf(stderr, "bench_export: a run of %s failed\n", what);
        std::exit(1);
    }
    return ms(Clock::now() - start);
}

void write(const fs::path& file, std::size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::string data(bytes, '\0');
    // Pictures and sounds compress somewhat: runs of one byte between random ones.
    for (std::size_t i = 0; i < bytes; ++i)
        data[i] = (i / 64) % 3 ? char(i / 4096) : char(random());
    std::ofstream(file, std::ios::binary) << data;
}

void report(const char* what, double ours, double floor, const char* target) {
    std::printf("  %-10s %8.1f ms   %-28s %8.1f ms   ratio %.2f (target %s)\n", what, ours,
                "reference", floor, ours / floor, target);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const fs::path root =
        fs::temp_directory_path() / ("bench-export-" + std::to_string(::getpid()));
    const fs::path theme = root / "src" / "Autumn";
    fs::create_directories(theme);
    write(theme / "Autumn.jpg", 6 << 20, 1);
    for (unsigned i = 0; i < 36; ++i)
        write(theme / ("sound" + std::to_string(i) + ".wav"), 40000, i);
    std::ofstream(theme / "Autumn.theme")
        << "[Control Panel\\Desktop]\r\nWallpaper=%ThemeDir%Autumn.jpg\r\n";
    std::ofstream(theme / "Autumn.bat");
    const exporting::ThemeFolder folder{theme, "Autumn"};
    const std::string r = root.string();
    constexpr int kRuns = 5;

    std::vector<double> zipOurs, zipRef, isoOurs, isoRef, diskOurs, diskClone, diskRef;
    // A 128 MB disk with one FAT32 partition, as a Windows 98 installation's would be.
    if (!sh("cd '" + r +
            "' && truncate -s 128M base.img && printf 'label: dos\\nstart=2048, type=c\\n' | "
            "sfdisk -q base.img && truncate -s $(( (262144-2048)*512 )) p && "
            "mkfs.fat -F 32 -s 1 -h 2048 p >/dev/null && dd if=p of=base.img bs=512 seek=2048 "
            "conv=notrunc status=none && rm p && printf 'mtools_skip_check=1\\ndrive c: "
            "file=\"" +
            r + "/ref.img\" offset=1048576\\n' > rc")) {
        std::fprintf(stderr, "bench_export: the disk image could not be made\n");
        return 1;
    }
    for (int run = 0; run < kRuns; ++run) {
        zipOurs.push_back(
            timed("our zip", [&] { return exporting::writeZip(folder, root / "a.zip").ok; }));
        zipRef.push_back(timed(
            "bsdtar", [&] { return sh("cd '" + r + "/src' && bsdtar -a -cf ../b.zip Autumn"); }));
        isoOurs.push_back(
            timed("our iso", [&] { return exporting::writeIso(folder, root / "a.iso").ok; }));
        isoRef.push_back(timed("xorriso", [&] {
            return sh("xorriso -as mkisofs -quiet -J -o '" + r + "/b.iso' '" + r +
                      "/src' 2>/dev/null");
        }));
        sh("cp --sparse=always '" + r + "/base.img' '" + r + "/work.img' && cp --sparse=always '" +
           r + "/base.img' '" + r + "/ref.img'");
        Clock::time_point cloneEnd{};
        diskOurs.push_back(timed("our disk export", [&] {
            const auto start = Clock::now();
            const bool ok =
                exporting::writeDiskImage(folder, root / "work.img", {},
                                          [&](const exporting::Progress& p) {
                                              if (p.step.starts_with("Copying the theme"))
                                                  cloneEnd = Clock::now();
                                          })
                    .ok;
            diskClone.push_back(ms(cloneEnd - start));
            return ok;
        }));
        diskRef.push_back(timed("mcopy", [&] {
            return sh("cd '" + r +
                      "' && MTOOLSRC=rc mmd c:/SKINVAULT && MTOOLSRC=rc mcopy -s -Q src/Autumn "
                      "c:/SKINVAULT/");
        }));
    }
    std::printf("bench_export: %d runs, medians\n", kRuns);
    report("zip", median(zipOurs), median(zipRef), "<= 1.1, bsdtar -a -cf");
    report("iso", median(isoOurs), median(isoRef), "<= 1.2, xorriso -as mkisofs -J");
    std::vector<double> withoutClone;
    for (std::size_t i = 0; i < diskOurs.size(); ++i)
        withoutClone.push_back(diskOurs[i] - diskClone[i]);
    report("disk", median(withoutClone), median(diskRef), "<= 1.2, mmd + mcopy -s");
    std::printf(
        "  disk image: clone or copy of the 128 MB image before it %.1f ms (counted apart)\n",
        median(diskClone));
    fs::remove_all(root);
    return 0;
}
