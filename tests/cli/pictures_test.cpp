// Images as documents through the real dedur-cli, read back by ImageMagick.

#include "clirun.h"

namespace dedur::test {

namespace {

class ImageDocumentCli : public Cli {
  protected:
    // The pixels ImageMagick reads from `file` (of a GIF, frame `frame` as a
    // player shows it), as "x,y" of each dark one.
    std::string darkPixels(const std::string& file, int frame = 0) {
        EXPECT_EQ(0, shell("convert " + quote(file) + " -coalesce miff:- | convert 'miff:-[" +
                           std::to_string(frame) + "]' -depth 8 -format '%w' -write info:- gray:" +
                           quote(path("px.gray"))));
        const int width = std::stoi(readBytes(path(".out")));
        const std::string grey = readBytes(path("px.gray"));
        std::string dark;
        for (size_t i = 0; i < grey.size(); ++i) {
            if (uint8_t(grey[i]) >= 128) continue;
            dark += (dark.empty() ? "" : " ") + std::to_string(int(i) % width) + "," +
                    std::to_string(int(i) / width);
        }
        return dark;
    }
    std::string magick(const std::string& line) {
        EXPECT_EQ(0, shell(line)) << line << readBytes(path(".err"));
        return readBytes(path(".out"));
    }
};

} // namespace

// Every format we save, drawn on through the real commands, as ImageMagick
// sees it: the dots drawn and no other.
TEST_F(ImageDocumentCli, WhatIsDrawnIsWhatImageMagickReads) {
    const struct {
        const char* file;
        const char* size;
        std::vector<const char*> draws;
        const char* dark; // by hand
    } rows[] = {
        {"a.pbm", "9x3", {"point 0,0", "point 8,2"}, "0,0 8,2"},
        {"a.xbm", "10x2", {"point 9,0", "point 0,1"}, "9,0 0,1"},
        {"a.png", "17x3", {"fill-rect 14,1 16,2"}, "14,1 15,1 16,1 14,2 15,2 16,2"},
        {"a.gif", "5x5", {"point 4,4", "point 2,0"}, "2,0 4,4"},
        {"big.PNG", "1024x1024", {"point 1023,1023", "point 0,1"}, "0,1 1023,1023"},
    };
    for (const auto& row : rows) {
        const CliResult made = run(std::string("new-image ") + row.file + " --size " + row.size);
        ASSERT_EQ(0, made.status) << row.file << made.err;
        for (const char* draw : row.draws) {
            const CliResult drawn = run(std::string("draw ") + row.file + " " + draw);
            ASSERT_EQ(0, drawn.status) << row.file << " " << draw << drawn.err;
        }
        EXPECT_EQ(row.dark, darkPixels(row.file)) << row.file;
        EXPECT_EQ(std::string(row.size),
                  magick("identify -format '%wx%h' " + std::string(row.file)))
            << row.file;
    }
}

// Pictures made by ImageMagick come back from ours as they were, after
// being read and written twice (invert, invert).
TEST_F(ImageDocumentCli, ImageMagicksPicturesComeBackAsTheyWere) {
    const std::string shape = "-size 13x5 xc:white -fill black -draw 'rectangle 2,1 6,3' "
                              "-draw 'point 12,4'";
    const struct {
        const char* file;
        std::string make;
    } rows[] = {
        {"p1.pbm", "convert " + shape + " -compress none p1.pbm"},
        {"p4.pbm", "convert " + shape + " p4.pbm"},
        {"x.xbm", "convert " + shape + " x.xbm"},
        {"grey.png", "convert " + shape + " -type Grayscale -depth 8 grey.png"},
        {"rgb.png", "convert " + shape + " -fill red -draw 'point 0,0' -type TrueColor rgb.png"},
        {"two.gif",
         "convert -delay 20 \\( " + shape + " \\) \\( " + shape + " -negate \\) two.gif"},
    };
    for (const auto& row : rows) {
        magick(row.make);
        const std::string file = row.file;
        const bool gif = file.ends_with(".gif");
        const auto frames = [&] {
            return darkPixels(file) + (gif ? "|" + darkPixels(file, 1) : "");
        };
        const std::string before = frames();
        for (int i = 0; i < 2; ++i) {
            const CliResult r = run("transform " + file + " invert" + (gif ? " --pattern 2" : ""));
            ASSERT_EQ(0, r.status) << file << r.err;
        }
        EXPECT_EQ(before, frames()) << file;
        // Pure red is darker than middle grey.
        if (file == "rgb.png") {
            EXPECT_TRUE(before.starts_with("0,0 2,1")) << before;
        }
    }
    EXPECT_EQ("20 20 ", magick("identify -format '%T ' two.gif"));
}

TEST_F(ImageDocumentCli, AGifsFramesKeepTheirDelaysAndLoops) {
    magick("convert -loop 3 -delay 7 -size 4x2 xc:white -delay 33 xc:black m.gif");
    EXPECT_EQ("GIF 4x2 frames=2 loops=3\n1 4x2 delay=70\n2 4x2 delay=330\n", run("info m.gif").out);
    ASSERT_EQ(0, run("frames m.gif --range 2 --delay 250").status);
    ASSERT_EQ(0, run("draw m.gif --pattern 1 point 3,1").status);
    EXPECT_EQ("7 25 ", magick("identify -format '%T ' m.gif"));
    EXPECT_NE(std::string::npos, magick("identify -verbose m.gif").find("Iterations: 3"));
    EXPECT_EQ("3,1", darkPixels("m.gif"));
    EXPECT_EQ("1 70\n2 250\n", run("frames m.gif").out);

    magick("convert -size 2x2 xc:white s.png");
    const CliResult still = run("frames s.png --range 1 --delay 50");
    EXPECT_EQ(1, still.status);
    EXPECT_NE(std::string::npos, still.err.find("delays are a GIF's")) << still.err;
}

TEST_F(ImageDocumentCli, CodeTakesTheLayoutKeptBesideTheImage) {
    ASSERT_EQ(0, run("new-image o.pbm --size 8x8 --layout pages-lsb").status);
    ASSERT_EQ(0, run("draw o.pbm point 0,0").status);
    ASSERT_EQ(0, run("draw o.pbm point 1,7").status);
    const struct {
        const char* options;
        const char* bytes; // by hand: the first bytes of the array
    } rows[] = {
        {"", "0x01, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,"},
        {"--layout rows-msb", "0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,"},
    };
    for (const auto& row : rows) {
        const CliResult r = run(std::string("code o.pbm --format c ") + row.options);
        ASSERT_EQ(0, r.status) << r.err;
        EXPECT_NE(std::string::npos, r.out.find(row.bytes)) << row.options << "\n" << r.out;
    }
}

TEST_F(ImageDocumentCli, RefusedCommandsAndHostileFiles) {
    ASSERT_EQ(0, run("new-image a.png --size 4x4").status);
    writeBytes(path("big.pbm"), "P4\n1000000000 1\n");
    writeBytes(path("tall.xbm"),
               "#define t_width 1\n#define t_height 2000\nstatic char t_bits[]={};");
    writeBytes(path("short.xbm"),
               "#define s_width 16\n#define s_height 2\nstatic char s_bits[]={1,2,3};");
    writeBytes(path("cut.pbm"), std::string("P4\n16 16\n\x01\x02", 10));
    // A GIF screen and frame of 65535 x 65535, and a PNG of 10^5 x 10^5
    // whose few bytes would inflate to gigabytes.
    writeBytes(path("huge.gif"), std::string("GIF89a\xff\xff\xff\xff\x80\0\0\0\0\0\xff\xff\xff"
                                             ",\0\0\0\0\xff\xff\xff\xff\0\2\2\x4c\1\0;",
                                             35));
    magick("python3 -c \"import struct,zlib\n"
           "c=lambda t,d: struct.pack('>I',len(d))+t+d+struct.pack('>I',zlib.crc32(t+d))\n"
           "open('bomb.png','wb').write(b'\\x89PNG\\r\\n\\x1a\\n'+c(b'IHDR',struct.pack('>IIBBBBB',"
           "100000,100000,1,0,0,0,0))+c(b'IDAT',zlib.compress(bytes(1<<20)))+c(b'IEND',b''))\"");
    const Refusal rows[] = {
        {"export a.png out.bin", 1, "is an image; this command takes a pattern file"},
        {"table a.png", 1, "is an image"},
        {"place a.png --all", 1, "is an image"},
        {"import-panel a.png mem.bin --pattern 1", 1, "is an image"},
        {"code a.png --layout panel", 1, "is an image"},
        {"render a.png a.png --force", 1, "is the input file"},
        {"new-image a.png --size 2x2", 1, "exists; give --force"},
        {"new-image b.png --size 1025x1", 2, "each side 1..1024"},
        {"new-image b.bmp --size 2x2", 2, "must end in .pbm, .xbm, .png or .gif"},
        {"info big.pbm", 1, "1000000000 x 1 pixels"},
        {"info huge.gif", 1, "65535 x 65535 pixels"},
        {"info bomb.png", 1, "100000 x 100000 pixels"},
        {"info tall.xbm", 1, "1 x 2000 dots"},
        {"info short.xbm", 1, "holds 3 values where 16 x 2 dots take 4"},
        {"info cut.pbm", 1, "damaged PBM"},
        {"info fifo.png", 1, "not a regular file"},
        {"code bad.png --format c", 1, "layout must be a byte layout's name"},
    };
    ASSERT_EQ(0, run("new-image bad.png --size 2x2").status);
    writeBytes(path("bad.png.toml"), "layout = \"sideways\"\n");
    ASSERT_EQ(0, shell("mkfifo fifo.png"));
    const std::string before = readBytes(path("a.png"));
    for (const Refusal& row : rows) expectOutcome(row);
    EXPECT_EQ(before, readBytes(path("a.png")));
    // Refused from the header: no more memory than any small run.
    for (const char* file : {"big.pbm", "bomb.png", "huge.gif"}) {
        EXPECT_LT(peakKilobytes({DEDUR_CLI, "info", path(file)}), 64 * 1024) << file;
    }

    // A link planted at the sidecar's name is not written through, and the
    // image is not written either.
    writeBytes(path("victim"), "kept");
    std::filesystem::create_symlink(path("victim"), path("l.png.toml"));
    EXPECT_EQ(1, run("new-image l.png --size 2x2 --layout rows-lsb").status);
    EXPECT_EQ("kept", readBytes(path("victim")));
    EXPECT_FALSE(std::filesystem::exists(path("l.png")));

    // A full disk: nothing half-written, the old picture kept whole.
    ASSERT_EQ(0, run("new-image f.pbm --size 1024x1024").status);
    const std::string old = readBytes(path("f.pbm"));
    EXPECT_EQ(1, run("new-image g.pbm --size 1024x1024", 4).status);
    EXPECT_FALSE(std::filesystem::exists(path("g.pbm")));
    EXPECT_EQ(1, run("draw f.pbm point 0,0", 4).status);
    EXPECT_EQ(old, readBytes(path("f.pbm")));
}

} // namespace dedur::test
