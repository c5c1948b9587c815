#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace dedur {

inline constexpr const char* SettingsFileName = "DEDUR.INI";
inline constexpr const char* SectionOthers = "others";
inline constexpr const char* SectionWindow = "window rect and type";

// Window rectangle in screen pixels, right and bottom exclusive.
struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const WindowRect&) const = default;
};

// What the settings file remembers besides the document position and mode.
struct Settings {
    uint32_t lineColor = 12632256; // 0x00BBGGRR
    uint32_t dotColor = 0;
    uint32_t bgColor = 16777215;
    int16_t gridX = 8;
    int16_t gridY = 8;
    WindowRect mainWinRect; // as stored: right and bottom are the last pixel
    // Our own: the zoomed width of a grid cell, 0 at the normal size (GRIDX
    // by GRIDY). Kept under "ZOOMCELL" in [others].
    int zoomCell = 0;
    // Our own: the previous pattern shows faintly under the current one
    // ("ONIONSKIN" in [others]).
    bool onionSkin = false;
    // Our own: where the panel view was last, as MAINWINRECT ("PANELVIEW").
    WindowRect panelViewRect;
    // Our own: the code export's last format, layout and options, as
    // codeChoicesText writes them ("CODEEXPORT").
    std::string codeChoices;
    // Our own: the name of the code profile last chosen ("CODEPROFILE").
    std::string codeProfile;
};

// The cell size the grid is drawn with: the normal size, or the zoomed
// width with the normal proportions.
struct CellSize {
    int x, y;
};
CellSize gridCellSize(const Settings& settings);
// The next zoom step in or out (4 to 40 pixels wide), or the normal size
// for a direction of 0.
int nextZoomCell(const Settings& settings, int direction);
// The largest zoom (cells 4 to 40 pixels wide, in the normal proportions) at
// which a pattern of `width` x `height` dots, with the grid's margins and its
// thumbnail beside it, fits into `roomX` x `roomY` pixels; the smallest when
// none fits. As nextZoomCell: 0 stands for the normal size.
int fitZoomCell(const Settings& settings, int width, int height, int roomX, int roomY);

// A window place as stored (right and bottom the last pixel) made fit for a
// screen of the given size: no larger than the screen and wholly on it.
// Nothing when what is stored is smaller than `minSide` either way (or is no
// rectangle at all): the window then takes its own default place.
std::optional<WindowRect> fitOnScreen(const WindowRect& stored, int screenWidth, int screenHeight,
                                      int minSide);
// "%d,%d,%d,%d" of left, top, right - 1, bottom - 1.
std::string windowRectValue(const WindowRect& rect);

} // namespace dedur
