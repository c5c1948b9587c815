#include <iostream>

#include "code/codeformats.h"
#include "code/codejob.h"
#include "code/sidecar.h"
#include "commands.h"
#include "patternpair.h"

namespace dedur::cli {

namespace {

int runNames(const ParsedArgs& args) {
    const Command& self = namesCommand();
    const std::string& source = args.positional[0];
    const bool setting = args.positional.size() > 1 || args.has("remove");
    if (setting && !args.has("pattern")) return usageError(self, "give the pattern with --pattern");
    if (args.positional.size() > 1 && args.has("remove")) {
        return usageError(self, "give a NAME or --remove, not both");
    }
    std::string error;
    int number = 1;
    if (!numberOption(args, "pattern", 1, INT_MAX, number, error)) return usageError(self, error);
    if (args.positional.size() > 1 && !isIdentifier(args.positional[1])) {
        return usageError(self, "NAME must be a C identifier (a letter or _ first, then letters, "
                                "digits and _)");
    }
    Document doc;
    if (!loadPatternFile(source, doc)) return 1;
    Sidecar sidecar;
    if (!readSidecarOf(source, doc, sidecar)) return 1;
    if (!setting) {
        for (const auto& [n, name] : sidecar.names) std::cout << n << " " << name << "\n";
        return 0;
    }
    if (!selectPatternNumber(doc, number, source)) return 1;
    if (args.has("remove")) {
        sidecar.names.erase(number);
    } else {
        const std::string problem =
            patternNameProblem(sidecar.names, number, args.positional[1], doc.patternCount, source);
        if (!problem.empty()) {
            return failure("Pattern " + std::to_string(number) + " cannot be named so: " + problem);
        }
        sidecar.names[number] = args.positional[1];
    }
    return writeSidecarOf(source, sidecar) ? 0 : 1;
}

} // namespace

const Command& namesCommand() {
    static const Command command{
        "names",
        "list or set the names patterns carry into code",
        "usage: dedur-cli names FILE.pat\n"
        "       dedur-cli names FILE.pat --pattern N NAME\n"
        "       dedur-cli names FILE.pat --pattern N --remove\n"
        "\n"
        "Lists the named patterns (\"NUMBER NAME\" lines), or names pattern N (a C\n"
        "identifier, used for its array by \"dedur-cli code\"), or removes its name.\n"
        "Names are kept in FILE.pat.toml beside the pattern file; the pattern file\n"
        "itself is not changed.\n",
        {{"pattern", true}, {"remove", false}},
        1,
        2,
        runNames};
    return command;
}

} // namespace dedur::cli
