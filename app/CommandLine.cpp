// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace app {

namespace {

const QString kProgram = QStringLiteral("skinsmith");

QString usageHint() {
    return QStringLiteral("Try '%1 --help' for more information.").arg(kProgram);
}

struct CheckOptions {
    QCommandLineOption check{QStringLiteral("check"), QStringLiteral("Check a theme file."),
                             QStringLiteral("file")};
    QCommandLineOption json{QStringLiteral("json"), QStringLiteral("Findings as JSON.")};
};

CheckOptions addCheckOptions(QCommandLineParser& parser) {
    CheckOptions options;
    parser.addOption(options.check);
    parser.addOption(options.json);
    return options;
}

// --check and --json; true when they decide the action.
bool takeCheckOptions(const QCommandLineParser& parser, const CheckOptions& options,
                      CommandLine& result) {
    if (!parser.isSet(options.check)) {
        if (!parser.isSet(options.json)) return false;
        result.action = CommandLine::Action::Fail;
        result.text = kProgram + QStringLiteral(": --json goes with --check\n") + usageHint() +
                      QLatin1Char('\n');
        return true;
    }
    if (!parser.positionalArguments().isEmpty() || parser.values(options.check).size() > 1) {
        result.action = CommandLine::Action::Fail;
        result.text = kProgram + QStringLiteral(": --check takes one theme file\n") + usageHint() +
                      QLatin1Char('\n');
        return true;
    }
    result.action = CommandLine::Action::Check;
    result.json = parser.isSet(options.json);
    result.themeFile = QFileInfo(parser.value(options.check)).absoluteFilePath();
    return true;
}

// --export PATH FILE.theme: both are needed, and nothing else.
void readExport(const QCommandLineParser& parser, const QCommandLineOption& option,
                CommandLine& result) {
    const QStringList files = parser.positionalArguments();
    if (parser.values(option).size() != 1 || files.size() != 1) {
        result.action = CommandLine::Action::Fail;
        result.text = QStringLiteral(
                          "%1: --export needs one target and one theme file: "
                          "%1 --export PATH FILE.theme\n%2\n")
                          .arg(kProgram, usageHint());
        return;
    }
    result.action = CommandLine::Action::Export;
    result.exportTarget = QFileInfo(parser.value(option)).absoluteFilePath();
    result.themeFile = QFileInfo(files.front()).absoluteFilePath();
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds a Windows 95/98 Plus! desktop theme and writes it as a theme "
                       "folder under ~/skinvault."));
    // "-style" is one unknown option, not the letters s, t, y, l and e.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption exportTo(QStringLiteral("export"),
                                      QStringLiteral("Export the theme file to PATH."),
                                      QStringLiteral("PATH"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(exportTo);
    const CheckOptions checkOptions = addCheckOptions(parser);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A theme file (.theme) to open."),
                                 QStringLiteral("[file]"));

    CommandLine result;
    if (!parser.parse(QStringList{kProgram} + arguments)) {
        result.action = CommandLine::Action::Fail;
        result.text = kProgram + QStringLiteral(": ") + parser.errorText() + QLatin1Char('\n') +
                      usageHint() + QLatin1Char('\n');
        return result;
    }
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::ShowHelp;
        result.text = QStringLiteral(
                          "Usage: %1 [options] [file]\n%2\n\n"
                          "Options:\n"
                          "  -h, --help     Show this help and exit.\n"
                          "  -v, --version  Show the version and exit.\n"
                          "  --check <file> Check a theme file for Windows 95 and 98: one\n"
                          "                 finding per line; exit 0 when both show everything,\n"
                          "                 1 when not, 2 when the theme cannot be read.\n"
                          "  --json         With --check: print the findings as JSON.\n"
                          "  --export PATH  Create the theme of file as the window does and\n"
                          "                 pack it into PATH: .zip (zip pack), .iso (CD image),\n"
                          "                 .img .ima .hdd .vhd (an existing FAT disk image).\n"
                          "                 Needs no display; prints what it wrote.\n\n"
                          "Arguments:\n"
                          "  file           A theme file (.theme) to open.\n")
                          .arg(kProgram, parser.applicationDescription());
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::ShowVersion;
        result.text = kProgram + QStringLiteral(" " SKINSMITH_VERSION "\n");
        return result;
    }
    if (takeCheckOptions(parser, checkOptions, result)) return result;
    if (parser.isSet(exportTo)) {
        readExport(parser, exportTo, result);
        return result;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        result.action = CommandLine::Action::Fail;
        result.text = QStringLiteral("%1: one theme file at most, %2 given\n%3\n")
                          .arg(kProgram)
                          .arg(files.size())
                          .arg(usageHint());
        return result;
    }
    if (!files.isEmpty()) result.themeFile = QFileInfo(files.front()).absoluteFilePath();
    return result;
}

}  // namespace app
