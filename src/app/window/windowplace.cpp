#include "window/windowplace.h"

#include <algorithm>

namespace dedur {

WindowRect defaultWindowRect(int gridX, int gridY, QSize screen, int menuHeight,
                             int captionHeight) {
    int width = 96 * gridX + 396;
    int height = 96 * gridY + 57 + menuHeight + captionHeight + 260;
    if (width > screen.width()) width = screen.width() - 12;
    if (height > screen.height()) height = screen.height() - 12;
    const int x = (screen.width() - width) / 4;
    const int y = (screen.height() - height) / 2;
    return {x, y, x + width, y + height};
}

WindowRect windowRect(WindowRect saved, int gridX, int gridY, QSize screen, int menuHeight,
                      int captionHeight) {
    // Onto the screen: a hand-edited place may hold any two ints, and a frame
    // whose corner is off the screen cannot be moved back.
    saved.left = std::clamp(saved.left, 0, screen.width());
    saved.top = std::clamp(saved.top, 0, screen.height());
    saved.right = std::min(saved.right, screen.width());
    saved.bottom = std::min(saved.bottom, screen.height());
    if (saved.left != saved.right) {
        const WindowRect r{saved.left, saved.top, saved.right + 1, saved.bottom + 1};
        // A rectangle from a larger screen (or a hand-edited file) may leave
        // nothing to see; then the window takes its default place.
        const int usable = 100;
        if (r.right - r.left >= usable && r.bottom - r.top >= usable && r.right >= usable &&
            r.bottom >= usable) {
            return r;
        }
    }
    return defaultWindowRect(gridX, gridY, screen, menuHeight, captionHeight);
}

} // namespace dedur
