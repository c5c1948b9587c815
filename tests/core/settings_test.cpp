#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "editor.h"
#include "editorsettings.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "testsupport.h"

using namespace dedur;
using dedur::test::readBytes;
using dedur::test::TempDir;
using dedur::test::writeBytes;

namespace {

Editor loaded(const std::string& others, const std::string& window = "") {
    Editor editor;
    std::string text = "[others]\r\n" + others;
    if (!window.empty()) text += "\r\n[window rect and type]\r\n" + window;
    applySettingsText(editor, text);
    return editor;
}

} // namespace

struct GridCase {
    const char* text;
    int gridX;
    int gridY;
};

TEST(Settings, GridCellsAreClamped) {
    const GridCase cases[] = {{"GRIDX = 2\r\nGRIDY = 50\r\n", 4, 16},
                              {"GRIDX = 50\r\nGRIDY = 2\r\n", 20, 4},
                              {"GRIDX = 12\r\nGRIDY = 10\r\n", 12, 10},
                              {"GRIDX = abc\r\n", 4, 8}};
    for (const GridCase& c : cases) {
        const Editor e = loaded(c.text);
        EXPECT_EQ(std::tuple(c.gridX, c.gridY), std::tuple(e.settings.gridX, e.settings.gridY))
            << c.text;
    }
}

TEST(Settings, ZoomKeepsTheNormalProportionsAndSteps) {
    const struct {
        const char* text;
        int zoom, cellX, cellY, in, out;
    } cases[] = {
        {"ZOOMCELL = 16\r\nGRIDX = 8\r\nGRIDY = 6\r\n", 16, 16, 12, 24, 12},
        {"ZOOMCELL = 3\r\nGRIDX = 9\r\n", 0, 9, 8, 12, 8},    // out of range: normal
        {"ZOOMCELL = 10\r\nGRIDX = 9\r\n", 10, 10, 9, 12, 0}, // out to the normal 9
        {"ZOOMCELL = 40\r\n", 40, 40, 40, 40, 32},
        {"ZOOMCELL = 4\r\n", 4, 4, 4, 6, 4},
    };
    for (const auto& c : cases) {
        const Settings s = loaded(c.text).settings;
        EXPECT_EQ(std::tuple(c.zoom, c.cellX, c.cellY, c.in, c.out),
                  std::tuple(s.zoomCell, gridCellSize(s).x, gridCellSize(s).y, nextZoomCell(s, 1),
                             nextZoomCell(s, -1)))
            << c.text;
        EXPECT_EQ(0, nextZoomCell(s, 0));
    }
}

TEST(Settings, ZoomToFitTakesTheLargestCellsThatShowTheWholePattern) {
    const struct {
        const char* text;
        int width, height, roomX, roomY, cell;
    } cases[] = {
        {"", 12, 12, 1164, 800, 40},                          // a postage stamp no more
        {"", 96, 96, 1164, 800, 7},                           // the height decides: 8 x 96 + 9
        {"", 96, 48, 1164, 800, 10},                          // the width: 11 x 96 + 107
        {"GRIDX = 9\r\nGRIDY = 8\r\n", 96, 48, 1164, 450, 0}, // fits at the normal 9: 0
        {"", 96, 96, 100, 100, 4},                            // nothing fits: the smallest
    };
    for (const auto& c : cases) {
        const Settings s = loaded(c.text).settings;
        EXPECT_EQ(c.cell, fitZoomCell(s, c.width, c.height, c.roomX, c.roomY))
            << c.width << "x" << c.height << " in " << c.roomX << "x" << c.roomY;
    }
}

TEST(Settings, PatternNumberNeedsTheFileAndIsClamped) {
    EXPECT_EQ(1024, loaded("PATFILE = a.pat\r\nPATNO = 2000\r\n").document.currentPattern);
    EXPECT_EQ(0, loaded("PATFILE = a.pat\r\nPATNO = -3\r\n").document.currentPattern);
    EXPECT_EQ(5, loaded("PATFILE = a.pat\r\nPATNO = 5\r\n").document.currentPattern);
    const Editor noFile = loaded("PATNO = 5\r\n");
    EXPECT_EQ(std::tuple(0, std::string()),
              std::tuple(noFile.document.currentPattern, noFile.document.patternFileName));
}

TEST(Settings, ColoursTruncateDecimalNumbers) {
    const Editor e =
        loaded("LINECOLOR = 255.9\r\nDOTCOLOR = 4294967295\r\nBGCOLOR = 65280 // green\r\n");
    EXPECT_EQ(std::tuple(255u, 4294967295u, 65280u),
              std::tuple(e.settings.lineColor, e.settings.dotColor, e.settings.bgColor));
}

TEST(Settings, GlyphCodesModeAndWindow) {
    const Editor e = loaded("EDITTYPE = 7\r\nSTD16X15FONT = C940\r\nSTD24X24FONT = b0a1\r\n",
                            "MAINWINRECT = 10,20,809,619");
    EXPECT_EQ(std::tuple(7, 0xC940u, 0xB0A1u),
              std::tuple(static_cast<int>(e.document.editType), e.fontEdit.currentCode16,
                         e.fontEdit.currentCode24));
    EXPECT_EQ((WindowRect{10, 20, 809, 619}), e.settings.mainWinRect);
    // Fields that do not scan keep their values.
    const Editor partial = loaded("", "MAINWINRECT = 5,6");
    EXPECT_EQ((WindowRect{5, 6, 0, 0}), partial.settings.mainWinRect);
}

TEST(Settings, LoadCreatesAMissingFile) {
    TempDir dir;
    Editor e(dir.path().string());
    EXPECT_EQ(-1, loadSettings(e));
    EXPECT_TRUE(std::filesystem::exists(dir.file("DEDUR.INI")));
    EXPECT_EQ(0u, std::filesystem::file_size(dir.file("DEDUR.INI")));
    writeBytes(dir.file("DEDUR.INI"), "[others]\r\nGRIDX = 11\r\n");
    EXPECT_EQ(1, loadSettings(e));
    EXPECT_EQ(11, e.settings.gridX);
}

TEST(Settings, ModeSettingsPerMode) {
    TempDir dir;
    Editor e(dir.path().string());
    writeBytes(dir.file("DEDUR.INI"), "");

    saveModeSettings(e); // pattern mode without a file: only the mode
    EXPECT_EQ("[others]\r\nEDITTYPE = 1\r\n", readBytes(dir.file("DEDUR.INI")));

    e.document.patternFileName = "/tmp/a b.pat";
    e.document.currentPattern = 3;
    saveModeSettings(e);
    EXPECT_EQ("[others]\r\nEDITTYPE = 1\r\nPATFILE = /tmp/a b.pat\r\nPATNO = 3\r\n",
              readBytes(dir.file("DEDUR.INI")));

    e.document.editType = EditMode::Font16x15;
    e.fontEdit.currentCode16 = 0xC940;
    e.fontEdit.currentCode24 = 0xB0A1;
    saveModeSettings(e);
    e.document.editType = EditMode::Ascii8x15;
    saveModeSettings(e);
    const std::string text = readBytes(dir.file("DEDUR.INI"));
    EXPECT_EQ("C940", readSetting(&text, "others", "STD16X15FONT"));
    EXPECT_EQ("B0A1", readSetting(&text, "others", "STD24X24FONT"));
    EXPECT_EQ("4", readSetting(&text, "others", "EDITTYPE"));
}

TEST(Settings, WindowRectangleStoresTheLastPixel) {
    TempDir dir;
    Editor e(dir.path().string());
    writeBytes(dir.file("DEDUR.INI"), "[others]\r\nEDITTYPE = 1\r\n");
    EXPECT_EQ("10,20,809,619", windowRectValue({10, 20, 810, 620}));
    saveWindowRect(e, {10, 20, 810, 620}, false);
    saveWindowRect(e, {0, 0, 5, 5}, true); // minimised: left as it was
    EXPECT_EQ(
        "[others]\r\nEDITTYPE = 1\r\n\r\n[window rect and type]\r\nMAINWINRECT = 10,20,809,619\r\n",
        readBytes(dir.file("DEDUR.INI")));
}

namespace {

struct PlaceCase {
    const char* name;
    WindowRect stored;
    std::optional<WindowRect> fitted; // on a 1920 x 1080 screen, at least 100 square
};

const PlaceCase PlaceCases[] = {
    {"OnScreen", {10, 20, 409, 319}, WindowRect{10, 20, 409, 319}},
    {"HugeIsCutToTheScreen", {0, 0, 2000000000, 2000000000}, WindowRect{0, 0, 1919, 1079}},
    {"FarLeftComesBack",
     {INT_MIN, INT_MIN, INT_MIN + 299, INT_MIN + 199},
     WindowRect{0, 0, 299, 199}},
    {"WholeRangeIsCut", {INT_MIN, 5, INT_MAX, 404}, WindowRect{0, 5, 1919, 404}},
    {"PastTheRightEdgeSlidesBack", {1900, 1000, 2199, 1199}, WindowRect{1620, 880, 1919, 1079}},
    {"TooSmall", {0, 0, 98, 500}, std::nullopt},
    {"Inverted", {500, 500, 100, 100}, std::nullopt},
};

class WindowPlace : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(WindowPlace, FitsOnTheScreen) {
    EXPECT_EQ(GetParam().fitted, fitOnScreen(GetParam().stored, 1920, 1080, 100));
}

INSTANTIATE_TEST_SUITE_P(Settings, WindowPlace, ::testing::ValuesIn(PlaceCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
