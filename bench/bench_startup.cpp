// SPDX-License-Identifier: MIT
// Start-up cost of Skinsmith's window: time from process start to the first painted frame of
// Form1, and peak memory at that moment, against a floor measured in the same run: a minimal
// Qt window holding an eight-page QTabWidget. Each figure is the median of fresh processes,
// run alternately, on the offscreen platform and under an Xvfb server started here.
#include <QApplication>
#include <QEvent>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ChildRuns.h"
#include "HostServices.h"
#include "Rows.h"
#include "window/Form1.h"

namespace {

/// Reports once the window has painted its first frame, then ends the process.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // After the frame is flushed, not in the middle of painting it.
            QTimer::singleShot(0, [] {
                std::printf("%ld\n", bench::procStatusKb("VmHWM"));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

int child(int argc, char** argv, const std::string& which) {
    QApplication app(argc, argv);
    FirstPaint watcher;
    if (which == "floor") {
        QWidget window;
        window.setWindowTitle(QStringLiteral("floor"));
        window.setFixedSize(581, 355);
        auto* tabs = new QTabWidget(&window);
        tabs->setGeometry(0, 0, 581, 305);
        for (int i = 0; i < 8; ++i) tabs->addTab(new QWidget, QStringLiteral("Page %1").arg(i));
        window.installEventFilter(&watcher);
        window.show();
        return app.exec();
    }
    // As app/main.cpp builds it.
    app::HostServices host;
    window::Form1 form(host.services());
    form.installEventFilter(&watcher);
    form.show();
    return app.exec();
}

struct Figures {
    double ms = 0;
    double kb = 0;
    int failures = 0;
};

void compare(const std::string& self, const std::string& label, const std::vector<std::string>& env,
             int rounds) {
    std::vector<double> ms[2], kb[2];
    int failures = 0;
    const char* kinds[2] = {"floor", "form1"};
    for (int r = 0; r < rounds; ++r) {
        for (int k = 0; k < 2; ++k) {
            const auto run = bench::runChild(self, {"--child", kinds[k]}, env);
            if (!run.ok) {
                ++failures;
                continue;
            }
            ms[k].push_back(run.wallMs);
            kb[k].push_back(std::stod(run.line));
        }
    }
    const double floorMs = bench::median(ms[0]), formMs = bench::median(ms[1]);
    const double floorKb = bench::median(kb[0]), formKb = bench::median(kb[1]);
    std::printf("%-10s first frame: floor %.1f ms, Form1 %.1f ms, ratio %.2f (target <= 1.30)\n",
                label.c_str(), floorMs, formMs, floorMs > 0 ? formMs / floorMs : 0.0);
    std::printf("%-10s peak memory: floor %.1f MB, Form1 %.1f MB, ratio %.2f (target <= 1.30)\n",
                label.c_str(), floorKb / 1024, formKb / 1024, floorKb > 0 ? formKb / floorKb : 0.0);
    bench::row(label + ": process start to the first painted frame",
               bench::format("%.1f ms (QTabWidget with 8 pages)", floorMs),
               bench::format("%.1f ms", formMs), floorMs > 0 ? formMs / floorMs : 0.0, "<= 1.3");
    bench::row(label + ": peak memory at the first frame", bench::format("%.1f MB", floorKb / 1024),
               bench::format("%.1f MB", formKb / 1024), floorKb > 0 ? formKb / floorKb : 0.0,
               "<= 1.3");
    if (failures) std::printf("%-10s %d child runs failed\n", label.c_str(), failures);
}

/// Starts Xvfb on a display of its own choosing; returns the display, or "" without one.
std::string startXvfb(pid_t& pid) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::string fd = "1";
    std::vector<std::string> args = {"Xvfb", "-displayfd",  fd,          "-screen",
                                     "0",    "1024x768x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string display;
    char c;
    if (spawned == 0)
        while (read(fds[0], &c, 1) == 1 && c != '\n') display += c;
    close(fds[0]);
    return display.empty() ? std::string() : ":" + display;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) return child(argc, argv, argv[2]);

    const std::string self = bench::selfPath();
    const int rounds = 15;
    std::printf("bench_startup: medians of %d fresh processes each\n", rounds);
    compare(self, "offscreen", {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy"}, rounds);

    pid_t xvfb = 0;
    const std::string display = startXvfb(xvfb);
    if (display.empty()) {
        std::printf("xcb        skipped: Xvfb could not be started\n");
        return 0;
    }
    compare(self, "xvfb", {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display, "SDL_AUDIODRIVER=dummy"},
            rounds);
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    return 0;
}
