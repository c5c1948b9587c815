#include "window/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "editor.h"

namespace dedur {

namespace {

const QCommandLineOption
    LaunchedOption("launched",
                   "Work in the data folder ($XDG_DATA_HOME/dedur), making it and its glyph files "
                   "when missing (the desktop launcher starts the editor so).");

void setUp(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        "Editor of dot-matrix patterns for segment/common LCD panels and of Big5 bitmap glyph "
        "files.\nSettings (DEDUR.INI), glyph files and tables live in the folder it starts in.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(LaunchedOption);
    parser.addPositionalArgument(
        "file", "Pattern file (or PBM, XBM, PNG or GIF image) to open instead of the last one.",
        "[FILE.pat]");
}

} // namespace

void applyStartFile(Editor& editor, const StartOptions& options) {
    if (options.file.isEmpty()) return;
    const std::string file = options.file.toLocal8Bit().toStdString();
    if (file != editor.document.patternFileName) editor.document.currentPattern = 0;
    editor.document.patternFileName = file;
}

bool wantsInformationOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"--help", "-h", "--help-all", "--version", "-v"}) {
            if (std::strcmp(argv[i], option) == 0) return true;
        }
    }
    return false;
}

std::optional<StartOptions> parseStartOptions(const QStringList& arguments, int& exitCode) {
    QCommandLineParser parser;
    setUp(parser);
    const QString program = QCoreApplication::applicationName();
    if (!parser.parse(QStringList{program} + arguments)) {
        std::fprintf(stderr, "%s: %s\n\n%s", qPrintable(program), qPrintable(parser.errorText()),
                     qPrintable(parser.helpText()));
        exitCode = 2;
        return std::nullopt;
    }
    if (parser.isSet("help") || parser.isSet("help-all")) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        exitCode = 0;
        return std::nullopt;
    }
    if (parser.isSet("version")) {
        std::printf("%s %s\n", qPrintable(program),
                    qPrintable(QCoreApplication::applicationVersion()));
        exitCode = 0;
        return std::nullopt;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fprintf(stderr, "%s: one pattern file at most\n\n%s", qPrintable(program),
                     qPrintable(parser.helpText()));
        exitCode = 2;
        return std::nullopt;
    }
    StartOptions options;
    options.launched = parser.isSet(LaunchedOption);
    if (!files.isEmpty()) options.file = QFileInfo(files.front()).absoluteFilePath();
    return options;
}

} // namespace dedur
