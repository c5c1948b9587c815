#include "window/windowplace.h"

#include <algorithm>
#include <cstdint>

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
    // The saved place as it was, the right and bottom cut at the screen; a
    // corner left or above the screen stays where the user left it.
    saved.right = std::min(saved.right, screen.width());
    saved.bottom = std::min(saved.bottom, screen.height());
    if (saved.left != saved.right) {
        // A hand-edited file may hold any two ints: a size no screen has (or
        // none at all) takes the default place instead.
        const int64_t width = int64_t{saved.right} - saved.left + 1;
        const int64_t height = int64_t{saved.bottom} - saved.top + 1;
        constexpr int64_t Absurd = 16384;
        if (width >= 1 && height >= 1 && width <= Absurd && height <= Absurd)
            return {saved.left, saved.top, saved.right + 1, saved.bottom + 1};
    }
    return defaultWindowRect(gridX, gridY, screen, menuHeight, captionHeight);
}

} // namespace dedur
