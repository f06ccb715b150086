// SPDX-License-Identifier: MIT
// Skinsmith: reads the command line, builds the platform services, shows Form1 and runs the
// event loop.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "CheckCommand.h"
#include "CommandLine.h"
#include "ExportCommand.h"
#include "HostServices.h"
#include "window/Form1.h"
#include "window/Session.h"
#include "window/Settings.h"
#include "window/WorkKeeper.h"

namespace {

/// Why no window can be shown, or "" when a display seems to be there. Qt itself would
/// abort with a core dump; a user deserves one plain line instead.
std::string missingDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"); platform && *platform) return {};
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
#endif
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const app::CommandLine commandLine = app::parseCommandLine(arguments);
    switch (commandLine.action) {
        case app::CommandLine::Action::ShowHelp:
        case app::CommandLine::Action::ShowVersion:
            std::fputs(commandLine.text.toLocal8Bit().constData(), stdout);
            return 0;
        case app::CommandLine::Action::Fail:
            std::fputs(commandLine.text.toLocal8Bit().constData(), stderr);
            return 2;
        case app::CommandLine::Action::Export: {
            // No display: Qt Core's services (image plugins for conversions) only.
            int qtArgc = 1;
            char* qtArgv[] = {argv[0], nullptr};
            QCoreApplication core(qtArgc, qtArgv);
            return app::runExportCommand(commandLine.exportTarget, commandLine.themeFile);
        }
        case app::CommandLine::Action::Check:
            return app::runCheck(commandLine.themeFile, commandLine.json, stdout, stderr);
        case app::CommandLine::Action::Run:
            break;
    }

    if (const std::string why = missingDisplay(); !why.empty()) {
        std::fprintf(stderr, "skinsmith: %s\n", why.c_str());
        return 2;
    }
    QCoreApplication::setApplicationName(QStringLiteral("skinsmith"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SKINSMITH_VERSION));
    QCoreApplication::setOrganizationDomain(QStringLiteral("example.org"));
    QGuiApplication::setDesktopFileName(QStringLiteral(SKINSMITH_APP_ID));
    // Qt's own options (-style, -stylesheet, -reverse, ...) are not taken from the user's
    // command line: Qt sees the program name only, and the platform comes from QT_QPA_PLATFORM.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);

    app::HostServices host;
    window::Settings settings(window::Settings::defaultFile());
    host.rememberFolders(settings);
    window::Form1 form(host.services());
    window::Session session(form, host.services(), settings, window::WorkKeeper::defaultFolder());
    QObject::connect(&form, &window::Form1::exitRequested, &application, &QApplication::quit);
    form.show();
    // The theme file named on the command line (the file manager passes one), as a host path.
    // It is in place before the first event is handled, so nothing the user types can come
    // before it; a message about it stands over the window. It wins over the work an earlier
    // run kept, which File > Restore Previous Work then offers.
    if (!commandLine.themeFile.isEmpty()) form.openThemeFile(commandLine.themeFile);
    session.start(!commandLine.themeFile.isEmpty());
    return application.exec();
}
