#include <gtest/gtest.h>

#include "imagedocument.h"
#include "testsupport.h"

namespace dedur::test {

namespace {

struct Read {
    const char* name;
    std::string bytes;
    std::vector<std::string> rows; // the expected dots; empty: refused
    const char* says;              // part of the refusal
};

} // namespace

// PBM and XBM as other programs write them, worked out by hand: what each
// byte and digit sets, and that padding bits past a row's end are dropped.
TEST(ImageDocument, ReadsPbmAndXbmAsWritten) {
    const Read rows[] = {
        {"plain with comments", "P1\n# made by hand\n3 2\n1 0 1\n0 1 0\n", {"101", "010"}, ""},
        {"plain digits run together", "P1 3 2 101010", {"101", "010"}, ""},
        {"packed, padding bits set", std::string("P4\n3 2\n\xff\x40", 9), {"111", "010"}, ""},
        {"xbm with hot spot and trailing comma",
         "#define t_width 10\n#define t_height 2\n#define t_x_hot 1\n#define t_y_hot 0\n"
         "static unsigned char t_bits[] = {\n  0x01, 0x02, /* row 2 */ 0xff, 0xff, };\n",
         {"1000000001", "1111111111"},
         ""},
        {"xbm of 16-bit words",
         "#define s_width 4\n#define s_height 2\n"
         "static short s_bits[] = { 0x0009, 0x0006 };\n",
         {"1001", "0110"},
         ""},
        {"xbm array long",
         "#define a_width 8\n#define a_height 1\nstatic char a_bits[] = {1,2};",
         {},
         "more values"},
        {"pbm digits past any number",
         "P1 99999999999999999999999 1 0",
         {},
         "99999999999999999999999 x 1"},
        {"pbm of no pixels", "P1 0 3", {}, "0 x 3"},
        {"not an image", "hello", {}, "is not a PBM, XBM, PNG or GIF image"},
    };
    TempDir dir;
    for (const Read& row : rows) {
        const std::string path = dir.file("in.img");
        writeBytes(path, row.bytes);
        Document doc;
        Sidecar sidecar;
        ImageFacts facts;
        const Outcome read = readImageDocument(path, doc, sidecar, facts);
        if (row.rows.empty()) {
            EXPECT_FALSE(read.ok()) << row.name;
            EXPECT_NE(std::string::npos, read.message.text.find(row.says))
                << row.name << ": " << read.message.text;
            EXPECT_EQ(DocumentKind::Patterns, doc.kind) << row.name << ": left as it was";
            continue;
        }
        ASSERT_TRUE(read.ok()) << row.name << ": " << read.message.text;
        EXPECT_EQ(DocumentKind::Image, doc.kind) << row.name;
        EXPECT_EQ(1, doc.patternCount) << row.name;
        EXPECT_EQ(row.rows, recordRows(doc, 0)) << row.name;
        EXPECT_EQ(row.rows, rowsOf(doc)) << row.name << ": the working copy";
        // Equal dots are equal bytes: nothing kept past a row's end.
        std::string bad;
        forEachRecord(doc, [&](int, const PatternHeader& h, const uint8_t* packed) {
            for (int y = 0; y < h.height; ++y) {
                const size_t last = packedRowBytes(h.width) * size_t(y + 1) - 1;
                if (h.width % 8 && packed[last] >> (h.width % 8)) bad = "row " + std::to_string(y);
            }
            return true;
        });
        EXPECT_EQ("", bad) << row.name;
    }
}

TEST(ImageDocument, SavesKeepTheXbmNameAndRefuseFramesAFormatCannotHold) {
    TempDir dir;
    const std::string in = dir.file("in.xbm");
    writeBytes(in, "#define keep_width 3\n#define keep_height 1\n#define keep_x_hot 2\n"
                   "#define keep_y_hot 0\nstatic char keep_bits[] = { 0x05 };\n");
    Document doc;
    Sidecar sidecar;
    ImageFacts facts;
    ASSERT_TRUE(readImageDocument(in, doc, sidecar, facts).ok());
    ASSERT_TRUE(
        writeImageDocument(dir.file("other name.xbm"), doc, sidecar, facts, ImageFormat::Xbm).ok());
    EXPECT_EQ("#define keep_width 3\n#define keep_height 1\n#define keep_x_hot 2\n"
              "#define keep_y_hot 0\nstatic unsigned char keep_bits[] = {\n   0x05};\n",
              readBytes(dir.file("other name.xbm")));

    // Without a name of its own an XBM is named after its file.
    const struct {
        const char* file;
        const char* identifier;
    } names[] = {{"logo 2.xbm", "logo_2"}, {"/a.b/2x.xbm", "image_2x"}, {"splash.XBM", "splash"}};
    for (const auto& n : names) EXPECT_EQ(n.identifier, xbmNameOfPath(n.file)) << n.file;

    // Two frames: a GIF holds them, a PBM does not unless one is named.
    appendPattern(doc, nullptr);
    const std::string pbm = dir.file("two.pbm");
    const Outcome refused = writeImageDocument(pbm, doc, sidecar, facts, ImageFormat::Pbm);
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(std::string::npos, refused.message.text.find("has 2 frames")) << refused.message.text;
    EXPECT_FALSE(std::filesystem::exists(pbm));
    ASSERT_TRUE(writeImageDocument(pbm, doc, sidecar, facts, ImageFormat::Pbm, 0).ok());
    EXPECT_EQ(std::string("P4\n3 1\n\xa0", 8), readBytes(pbm));
}

} // namespace dedur::test
