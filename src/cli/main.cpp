#include <csignal>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "base/message.h"
#include "commands.h"

using namespace dedur::cli;

namespace {

const Command* const Commands[] = {
    &infoCommand(),        &newCommand(),         &exportCommand(),     &tableCommand(),
    &glyphCommand(),       &drawCommand(),        &makeFontsCommand(),  &transformCommand(),
    &importPanelCommand(), &importImageCommand(), &renderCommand(),     &codeCommand(),
    &namesCommand(),       &addCommand(),         &deleteCommand(),     &moveCommand(),
    &placeCommand(),       &fontExportCommand(),  &fontImportCommand(), &fontSubsetCommand(),
    &framesCommand(),      &newImageCommand()};

void printUsage(std::ostream& out) {
    out << "usage: dedur-cli COMMAND [ARGS...]\n"
           "       dedur-cli COMMAND --help\n"
           "       dedur-cli --version\n"
           "\n"
           "Batch work on dedur pattern files and glyph files; writes exactly the bytes\n"
           "the editor writes. Exit status: 0 done, 1 failed (the reason on stderr),\n"
           "2 wrong usage. Dots count from 0,0 at the top left (the editor's status bar\n"
           "counts them from 1); patterns count from 1.\n"
           "\n"
           "commands:\n";
    for (const Command* c : Commands) {
        std::string name = c->name;
        name.resize(14, ' ');
        out << "  " << name << c->summary << "\n";
    }
}

bool wantsHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

} // namespace

static int runCli(int argc, char** argv) {
    // Under a file size limit a write fails with EFBIG and is reported, rather
    // than the signal ending the program half-way.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc < 2) {
        printUsage(std::cerr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--version" || name == "-v") {
        std::cout << "dedur-cli " << DEDUR_VERSION << "\n";
        return 0;
    }
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(std::cout);
        return 0;
    }
    const Command* command = nullptr;
    for (const Command* c : Commands) {
        if (name == c->name) command = c;
    }
    if (!command) {
        std::cerr << "dedur-cli: unknown command " << dedur::printable(name) << "\n\n";
        printUsage(std::cerr);
        return 2;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (wantsHelp(args)) {
        std::cout << command->usage;
        return 0;
    }
    ParsedArgs parsed;
    std::string error;
    if (!parseArgs(args, command->options, parsed, error)) return usageError(*command, error);
    const int count = static_cast<int>(parsed.positional.size());
    if (count < command->minPositional || count > command->maxPositional) {
        return usageError(*command, "wrong number of arguments");
    }
    try {
        return command->run(parsed);
    } catch (const std::bad_alloc&) {
        return failure("not enough memory to finish " + name);
    }
}

int main(int argc, char** argv) {
    const int status = runCli(argc, argv);
    // Every command's text to standard output counts: a full disk or a
    // closed pipe there is a failure, not a success with nothing written.
    if (!standardOutputWritten() && status == 0) return 1;
    return status;
}
