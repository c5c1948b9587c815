#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace dedur {

// What the editor was started with: `dedur [--launched] [FILE.pat]`.
struct StartOptions {
    QString file;          // made absolute; empty for the last file of the settings
    bool launched = false; // from the desktop launcher: work in the data folder
};

// Reads the arguments (without the program name, Qt's own options already
// taken out). --help and --version print and set `exitCode`; a wrong
// argument prints the usage to stderr and sets it to 2.
std::optional<StartOptions> parseStartOptions(const QStringList& arguments, int& exitCode);

struct Editor;

// The file named on the command line in place of the last one of the
// settings; the last pattern shown is kept only when it is the same file.
void applyStartFile(Editor& editor, const StartOptions& options);

// Looks for --help, -h, --version and -v before Qt needs a display.
bool wantsInformationOnly(int argc, char** argv);

} // namespace dedur
