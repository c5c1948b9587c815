// Hostile and odd fonts found by attacking the readers from outside, each
// row run through the real dedur-cli.

#include "clirun.h"

namespace dedur::test {
namespace {

// A font of one glyph 'A' whose BBX and BITMAP rows are given.
std::string fontWithGlyph(const std::string& box, const std::string& rows) {
    return "STARTFONT 2.1\nFONT -x-t-medium-r-normal--8-80-75-75-c-80-iso10646-1\n"
           "SIZE 8 75 75\nFONTBOUNDINGBOX 8 8 0 0\nCHARS 1\n"
           "STARTCHAR A\nENCODING 65\nSWIDTH 500 0\nDWIDTH 8 0\nBBX " +
           box + "\nBITMAP\n" + rows + "ENDCHAR\nENDFONT\n";
}

class Attack : public Cli {};

// The subset reads --from FONT.bdf as the other BDF commands do: a glyph of
// no width keeps its rows as empty lines, which must not swallow ENDCHAR.
TEST_F(Attack, SubsetFromReadsWhatTheDocumentReaderReads) {
    struct Row {
        const char* box;
        const char* rows;
        int status;
        const char* says;
    } rows[] = {
        {"0 3 0 0", "\n\n\n", 0, ""},
        {"0 3 0 0", "\n", 1, "line 13: fewer bitmap rows"},
    };
    writeBytes(path("t.txt"), "A");
    for (const Row& row : rows) {
        writeBytes(path("f.bdf"), fontWithGlyph(row.box, row.rows));
        const CliResult info = run("info f.bdf");
        const CliResult subset =
            run("font-subset --text t.txt --from f.bdf --output o.bdf --force");
        EXPECT_EQ(row.status, info.status) << row.box << "\n" << info.err;
        EXPECT_EQ(row.status, subset.status) << row.box << "\n" << subset.err;
        EXPECT_NE(std::string::npos, subset.err.find(row.says)) << subset.err;
    }
}

} // namespace
} // namespace dedur::test
