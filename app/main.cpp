// Skinsmith: builds the platform services, shows Form1 and runs the event loop.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/DriveMap.h"
#include "platform/HostFileSystem.h"
#include "platform/qt/QtCommonDialog.h"
#include "platform/qt/QtMessageBoxes.h"
#include "platform/qt/QtPictureLoader.h"
#include "platform/qt/QtProgramLauncher.h"
#include "platform/qt/SdlWavePlayer.h"
#include "window/Form1.h"
#include "window/Services.h"

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
    QApplication app(argc, argv);

    // Nothing here touches audio, a dialog or a picture file: each starts on first use.
    const platform::DriveMap drives = platform::DriveMap::forHost();
    platform::HostFileSystem fileSystem(drives);
    platform::QtMessageBoxes messageBoxes;
    platform::QtCommonDialog commonDialog(drives, messageBoxes);
    platform::QtPictureLoader pictureLoader(drives);
    platform::SdlWavePlayer wavePlayer(drives);
    platform::QtProgramLauncher programLauncher(drives);
    window::Services services{fileSystem,    messageBoxes, commonDialog,
                              pictureLoader, wavePlayer,   programLauncher};

    window::Form1 form(services);
    QObject::connect(&form, &window::Form1::exitRequested, &app, &QApplication::quit);
    form.show();
    return app.exec();
}
