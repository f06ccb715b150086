// Skinsmith: builds the platform services, shows Form1 and runs the event loop.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "HostServices.h"
#include "window/Form1.h"

namespace {

bool platformChosen(int argc, char** argv) {
    if (const char* env = std::getenv("QT_QPA_PLATFORM"); env && *env) return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0)
            return true;
    return false;
}

/// Why no window can be shown, or "" when a display seems to be there. Qt itself would
/// abort with a core dump; a user deserves one plain line instead.
std::string missingDisplay(int argc, char** argv) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (platformChosen(argc, argv)) return {};
    if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland && *wayland) return {};
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        return "no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a "
               "desktop session, or under xvfb-run";
    // A local display ":N" has its socket in /tmp/.X11-unix; a remote one is left to Qt.
    const std::string name(display);
    if (name.front() == ':') {
        const std::string number = name.substr(1, name.find('.') - 1);
        std::error_code error;
        if (!std::filesystem::exists("/tmp/.X11-unix/X" + number, error))
            return "no X server is running on display " + name;
    }
#else
    (void)argc;
    (void)argv;
#endif
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::string why = missingDisplay(argc, argv); !why.empty()) {
        std::fprintf(stderr, "skinsmith: %s\n", why.c_str());
        return 2;
    }
    QApplication application(argc, argv);

    app::HostServices host;
    window::Form1 form(host.services());
    QObject::connect(&form, &window::Form1::exitRequested, &application, &QApplication::quit);
    form.show();
    return application.exec();
}
