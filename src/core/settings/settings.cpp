#include "settings/settings.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/message.h"

namespace dedur {

std::optional<WindowRect> fitOnScreen(const WindowRect& stored, int screenWidth, int screenHeight,
                                      int minSide) {
    // In 64 bits: a hand-edited file may hold any two ints.
    const int64_t width = int64_t{stored.right} - stored.left + 1;
    const int64_t height = int64_t{stored.bottom} - stored.top + 1;
    if (width < minSide || height < minSide || screenWidth < minSide || screenHeight < minSide) {
        return std::nullopt;
    }
    const int w = static_cast<int>(std::min<int64_t>(width, screenWidth));
    const int h = static_cast<int>(std::min<int64_t>(height, screenHeight));
    const int left = static_cast<int>(std::clamp<int64_t>(stored.left, 0, screenWidth - w));
    const int top = static_cast<int>(std::clamp<int64_t>(stored.top, 0, screenHeight - h));
    return WindowRect{left, top, left + w - 1, top + h - 1};
}

std::string windowRectValue(const WindowRect& r) {
    return formatText("%lld,%lld,%lld,%lld", static_cast<long long>(r.left),
                      static_cast<long long>(r.top), static_cast<long long>(r.right) - 1,
                      static_cast<long long>(r.bottom) - 1);
}

CellSize gridCellSize(const Settings& s) {
    if (s.zoomCell == 0) return {s.gridX, s.gridY};
    const int y = (s.zoomCell * s.gridY + s.gridX / 2) / std::max<int>(s.gridX, 1);
    return {s.zoomCell, std::clamp(y, 2, 80)};
}

int fitZoomCell(const Settings& s, int width, int height, int roomX, int roomY) {
    Settings trial = s;
    int fits = 4;
    for (int cell = 4; cell <= 40; ++cell) {
        trial.zoomCell = cell;
        const CellSize c = gridCellSize(trial);
        // The grid from its origin at 5, its last line, then the thumbnail
        // 3 pixels to its right; 4 pixels to spare around.
        const int needX = (c.x + 1) * width + 7 + width + 4;
        const int needY = std::max((c.y + 1) * height + 5, height + 5) + 4;
        if (needX <= roomX && needY <= roomY) fits = cell;
    }
    return fits == s.gridX ? 0 : fits;
}

int nextZoomCell(const Settings& s, int direction) {
    if (direction == 0) return 0;
    // The steps, each about half again or a third more than the one before,
    // as other editors' zoom steps go, and the normal width among them.
    std::vector<int> steps = {4, 6, 8, 12, 16, 24, 32, 40};
    steps.push_back(s.gridX);
    std::sort(steps.begin(), steps.end());
    const int current = gridCellSize(s).x;
    int next = current;
    if (direction > 0) {
        for (int step : steps) {
            if (step > current) {
                next = step;
                break;
            }
        }
    } else {
        for (int step : steps) {
            if (step < current) next = step;
        }
    }
    // At the normal width the cells are the normal ones.
    return next == s.gridX ? 0 : next;
}

} // namespace dedur
