// SPDX-License-Identifier: MIT
// The real binary: under an X server the test starts itself, its window appears with its
// caption and takes a whole theme by keyboard; with no display at all it says so in one line and
// fails instead of aborting; its command line is answered before any display is needed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <string>

#include "support/TestData.h"

namespace {

const QString kBinary = QStringLiteral(SKINSMITH_BINARY_DIR "/app/skinsmith");

/// An Xvfb server on a display number it chose itself; stopped on destruction.
class Xvfb {
public:
    bool start() {
        // A server of another test that ends at the same moment can take the display's socket
        // with it: a server nobody can reach is replaced.
        stop();  // a second start replaces the server
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (launch() && reachable()) return true;
            stop();
        }
        return false;
    }
    ~Xvfb() { stop(); }
    QString display() const { return m_display; }

private:
    bool launch() {
        // -displayfd 1: the server writes its display number to stdout once it is ready.
        m_server.start(
            QStringLiteral("Xvfb"),
            QStringLiteral("-displayfd 1 -screen 0 1024x768x24 -nolisten tcp").split(' '));
        if (!m_server.waitForStarted(-1)) return false;
        // Ready when it says so, however long a loaded machine takes.
        while (!m_server.canReadLine() && m_server.waitForReadyRead(-1)) {
        }
        m_display = QStringLiteral(":") + QString::fromLatin1(m_server.readLine()).trimmed();
        return m_display.size() > 1;
    }
    bool reachable() {
        QProcess probe;
        probe.start(QStringLiteral("xprop"),
                    {QStringLiteral("-display"), m_display, QStringLiteral("-root")});
        return probe.waitForFinished(-1) && probe.exitStatus() == QProcess::NormalExit &&
               probe.exitCode() == 0;
    }
    void stop() {
        if (m_server.state() == QProcess::NotRunning) return;
        m_server.terminate();
        if (!m_server.waitForFinished(-1)) m_server.kill();
    }

    QProcess m_server;
    QString m_display;
};

/// The environment of a session without any display, or with the one given. Settings and kept
/// work go under the HOME a test gives, never the user's.
QProcessEnvironment environment(const QString& display = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
        env.remove(QString::fromLatin1(name));
    if (!display.isEmpty()) env.insert(QStringLiteral("DISPLAY"), display);
    return env;
}

struct CommandLineCase {
    const char* name;
    QStringList arguments;
    int exitCode;
    QString out;               // what stdout holds
    QString err;               // what stderr holds
    const char* display = "";  // a DISPLAY to give, none by default
};

class RunningToolCommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(RunningToolCommandLine, IsAnsweredBeforeAnyDisplayIsNeeded) {
    const CommandLineCase& c = GetParam();
    QProcess tool;
    tool.setProcessEnvironment(environment(QString::fromLatin1(c.display)));
    tool.start(kBinary, c.arguments);
    ASSERT_TRUE(tool.waitForFinished(10000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit) << "not Qt's abort";
    EXPECT_EQ(tool.exitCode(), c.exitCode);
    const QString out = QString::fromUtf8(tool.readAllStandardOutput());
    const QString err = QString::fromUtf8(tool.readAllStandardError());
    EXPECT_TRUE(out.contains(c.out)) << out.toStdString();
    EXPECT_TRUE(err.contains(c.err)) << err.toStdString();
    // Success says nothing on stderr; a missing display is said in one line.
    EXPECT_EQ(err.isEmpty(), c.exitCode == 0) << err.toStdString();
    EXPECT_FALSE(c.err == QStringLiteral("display") && err.trimmed().contains(QLatin1Char('\n')))
        << err.toStdString();
}

const QString kVersionLine = QStringLiteral("skinsmith " SKINSMITH_VERSION "\n");

INSTANTIATE_TEST_SUITE_P(
    Arguments, RunningToolCommandLine,
    testing::Values(
        CommandLineCase{"Version", {"--version"}, 0, kVersionLine, ""},
        CommandLineCase{"ShortVersion", {"-v"}, 0, kVersionLine, ""},
        CommandLineCase{"Help", {"--help"}, 0, "Usage: skinsmith [options] [file]\n", ""},
        // Without a display, or with one naming no server, the tool says so and stops; a theme
        // file passes the command line.
        CommandLineCase{"NoDisplay", {}, 2, "", "display"},
        CommandLineCase{"NoServer", {}, 2, "", "display", ":4093"},
        CommandLineCase{"ThemeFile", {"Autumn.theme"}, 2, "", "display"},
        CommandLineCase{
            "TwoThemeFiles", {"a.theme", "b.theme"}, 2, "", "one theme file at most, 2 given"},
        CommandLineCase{"UnknownOption", {"--bogus"}, 2, "", "Unknown option 'bogus'"},
        // Qt's own options are not the user's to give.
        CommandLineCase{"QtStyle", {"-style", "fusion"}, 2, "", "Unknown option 'style'"}),
    [](const testing::TestParamInfo<CommandLineCase>& info) {
        return std::string(info.param.name);
    });

/// Runs xdotool on the display and returns what it printed.
QString xdotool(const QString& display, const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(environment(display));
    process.start(QStringLiteral("xdotool"), arguments);
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

const QString kMainWindow = QStringLiteral("^Skinsmith for Microsoft Plus! $");

/// Starts the tool with HOME and the XDG places in `home` and gives the first window named
/// `title` once it is mapped. A display that went away (another server ending can take its
/// socket) is replaced.
QString startTool(QProcess& tool, Xvfb& server, const QString& home, const QStringList& arguments,
                  const QString& title = kMainWindow) {
    QString window;
    for (int attempt = 0; attempt < 3 && window.isEmpty(); ++attempt) {
        if (attempt > 0) {
            tool.kill();
            tool.waitForFinished(-1);
            if (!server.start()) return {};
        }
        QProcessEnvironment env = environment(server.display());
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_STATE_HOME"), home + QStringLiteral("/state"));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        tool.setProcessEnvironment(env);
        tool.start(kBinary, arguments);
        if (!tool.waitForStarted(-1)) return {};
        window =
            xdotool(server.display(), {"search", "--sync", "--name", title}).section('\n', 0, 0);
    }
    return window;
}

/// Ctrl+S (Create Theme), Enter on "Done!", then the theme file once `lastCopy` is in the folder.
QByteArray createTheme(QProcess& tool, const QString& d, const QString& window,
                       const QString& folder, const QString& lastCopy) {
    xdotool(d, {"windowactivate", "--sync", window});
    xdotool(d, {"windowfocus", "--sync", window, "key", "ctrl+s"});
    const QString done = xdotool(d, {"search", "--sync", "--name", "^Done!$"}).section('\n', 0, 0);
    xdotool(d, {"windowfocus", "--sync", done, "key", "Return"});
    while (!QFile::exists(folder + lastCopy) && tool.state() == QProcess::Running)
        tool.waitForFinished(100);
    QFile theme(folder + QDir(folder).dirName() + QStringLiteral(".theme"));
    EXPECT_TRUE(theme.open(QIODevice::ReadOnly)) << tool.readAllStandardError().toStdString();
    return theme.readAll();
}

const QByteArray kNightTheme =
    "[CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon]\r\n"
    "DefaultValue=%ThemeDir%sky.ico\r\n[Control Panel\\Colors]\r\nMenu=1 2 3\r\n";

// A user opens a theme file from the file manager (its path on the command line) and changes
// it by keyboard, a slot through the real file dialog; the run is killed. The next start asks,
// Restore brings the work back whole, and it is created under its new name, which clears the
// kept work. A third run opens the first one's theme from File > Recent Themes. Only the XDG
// places and C:\skinvault are written.
TEST(RunningToolTest, KilledWorkComesBackWholeAndRecentThemesOutliveTheRun) {
    for (const char* tool : {"xdotool", "xprop"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    Xvfb server;
    if (!server.start()) GTEST_SKIP() << "Xvfb could not be started";

    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("pack"));
    auto write = [&](const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(testdata::write(home.filePath(name), bytes));
    };
    write(QStringLiteral("pack/SKY.ICO"), testdata::bytes("clean.ico"));  // nothing to convert
    write(QStringLiteral("pack/NEW.SYS"), "BM not a real picture, but a file to copy");
    write(QStringLiteral("pack/Night.theme"), kNightTheme);

    // --sync waits until the window is mapped; the theme is in place before any key counts.
    QProcess tool;
    QString window =
        startTool(tool, server, home.path(), {home.filePath(QStringLiteral("pack/Night.theme"))});
    ASSERT_FALSE(window.isEmpty()) << tool.readAllStandardError().toStdString();
    QString d = server.display();
    // The name box has the focus: a new name, then Tab to "Startup logo..." and pick by typing.
    xdotool(d, {"windowfocus", "--sync", window, "key", "ctrl+a", "type", "Night Copy"});
    xdotool(d, {"key", "Tab", "space"});
    const QString dialog = xdotool(d, {"search", "--sync", "--name", "^Open$"}).section('\n', 0, 0);
    xdotool(d, {"windowfocus", "--sync", dialog, "type",
                home.filePath(QStringLiteral("pack/NEW.SYS"))});
    xdotool(d, {"key", "Return"});
    QFile kept(home.filePath(QStringLiteral("state/skinsmith/kept-work.json")));
    auto keeps = [&] {
        const bool found = kept.open(QIODevice::ReadOnly) && kept.readAll().contains("NEW.SYS");
        kept.close();
        return found;
    };
    while (!keeps() && tool.state() == QProcess::Running) tool.waitForFinished(100);
    tool.kill();
    tool.waitForFinished(-1);

    const QString question = startTool(tool, server, home.path(), {}, "^Restore Previous Work$");
    ASSERT_FALSE(question.isEmpty());
    d = server.display();
    xdotool(d, {"windowfocus", "--sync", question, "key", "Return"});
    window = xdotool(d, {"search", "--sync", "--name", kMainWindow}).section('\n', 0, 0);
    // The logo is the last chosen file copied: once it is there, the copies are done.
    const QString folder = home.filePath(QStringLiteral("skinvault/Night Copy/"));
    const QByteArray text = createTheme(tool, d, window, folder, QStringLiteral("NEW.SYS"));
    EXPECT_TRUE(text.contains("DefaultValue=%ThemeDir%SKY.ICO\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("\r\nMenu= 1 2 3\r\n")) << text.constData();
    QFile batch(folder + QStringLiteral("Night Copy.bat"));
    ASSERT_TRUE(batch.open(QIODevice::ReadOnly));
    EXPECT_EQ(batch.readAll(), QByteArray("copy \"NEW.SYS\" c:\\logo.sys\r\n"));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("SKY.ICO")));
    EXPECT_FALSE(kept.exists()) << "created: nothing left to keep";
    tool.terminate();
    EXPECT_TRUE(tool.waitForFinished(-1));

    // No question now; Recent Themes lists the created theme first, then the opened one.
    window = startTool(tool, server, home.path(), {});
    xdotool(server.display(), {"windowfocus", "--sync", window, "key", "alt+f", "t", "2"});
    EXPECT_TRUE(createTheme(tool, server.display(), window,
                            home.filePath(QStringLiteral("skinvault/Night/")),
                            QStringLiteral("SKY.ICO"))
                    .contains("Menu= 1 2 3"));
    tool.terminate();
    tool.waitForFinished(-1);
    // Qt's D-Bus connection may start a session bus, which keeps its address in ~/.dbus.
    QStringList written =
        QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    written.removeOne(QStringLiteral(".dbus"));
    EXPECT_EQ(written.join(' '), QStringLiteral("config pack skinvault state"));
}

}  // namespace
