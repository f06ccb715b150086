// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace app {

/// What the user's command line asks of the tool.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Fail, Export, Check };
    Action action = Action::Run;
    /// The theme file to open (or to check), as an absolute host path; empty when none was given.
    QString themeFile;
    /// For Export: the file to write (zip pack, CD image or disk image), as an absolute host path.
    QString exportTarget;
    /// For Check: print the findings as JSON rather than one line each.
    bool json = false;
    /// What to print before exiting: help or version on stdout, the error on stderr.
    QString text;
};

/// Parses the arguments that follow the program name. Needs no QCoreApplication, so --help
/// and --version answer without a display. Qt's own options (-style, -reverse, ...) are
/// unknown options here: the tool takes none of them from the command line.
CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace app
