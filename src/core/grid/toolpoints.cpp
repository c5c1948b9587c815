#include "grid/toolpoints.h"

#include <algorithm>
#include <cstdlib>

#include "base/message.h"

namespace dedur {

namespace {

void beginList(ToolLists& lists) {
    lists.previous = lists.current;
    lists.current.clear();
    lists.active = true;
}

} // namespace

int computeLine(ToolLists& lists, int x0, int y0, int x1, int y1) {
    beginList(lists);
    const int dx = x1 - x0;
    const int dy = y1 - y0;
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    int x = x0;
    int y = y0;
    if (ax > ay) {
        int e = ax / 2;
        do {
            lists.current.push_back({x, y});
            e += ay;
            x += sx;
            if (e >= ax) {
                y += sy;
                e -= ax;
            }
        } while (x0 <= x1 ? x <= x1 : x >= x1);
    } else {
        int e = ay / 2;
        do {
            lists.current.push_back({x, y});
            e += ax;
            y += sy;
            if (e >= ay) {
                x += sx;
                e -= ay;
            }
        } while (y0 <= y1 ? y <= y1 : y >= y1);
    }
    return static_cast<int>(lists.current.size());
}

void computeRectangle(ToolLists& lists, int x0, int y0, int x1, int y1, int mode) {
    beginList(lists);
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (mode == ShapeFilled || y == y0 || y == y1 || x == x0 || x == x1) {
                lists.current.push_back({x, y});
            }
        }
    }
}

void computeEllipse(ToolLists& lists, int patternWidth, int patternHeight, int x0, int y0, int x1,
                    int y1, int mode, std::string* status) {
    const int left = std::min(x0, x1);
    const int right = std::max(x0, x1);
    const int top = std::min(y0, y1);
    const int bottom = std::max(y0, y1);
    const int w = right - left;
    const int h = bottom - top;
    if (w == 0 || h == 0) return;
    lists.previous = lists.current;
    const long long a = (w - 1) / 2;
    const long long b = (h - 1) / 2;
    const int cx = left + static_cast<int>(a);
    const int cy = top + static_cast<int>(b);
    if (a == 0 || b == 0) return;
    lists.current.clear();
    lists.active = true;

    const int W = std::max(patternWidth, 0);
    const int H = std::max(patternHeight, 0);
    // One row more than the pattern: the lower half may reach row H.
    std::vector<char> marks(static_cast<size_t>(W) * static_cast<size_t>(H + 1), 0);
    auto mark = [&](long long x, long long y) {
        if (x >= 0 && x < W && y >= 0 && y <= H) {
            marks[static_cast<size_t>(y) * static_cast<size_t>(W) + static_cast<size_t>(x)] = 1;
        }
    };
    const bool odd = std::abs(W - left) % 2 == 1;
    const long long a2 = a * a;
    const long long b2 = b * b;
    long long x = 0;
    long long y = b;
    long long d = b2 + a2 * (1 - 2 * b);
    while (y >= 0) {
        if (odd) {
            mark(cx + x, cy - y);
            mark(cx - x, cy - y);
            mark(cx + x, cy + y);
            mark(cx - x, cy + y);
        } else {
            mark(cx + x + 1, cy - y);
            mark(cx - x, cy - y);
            mark(cx + x + 1, cy + y + 1);
            mark(cx - x, cy + y + 1);
        }
        enum { Horizontal, Vertical, Diagonal } move = Diagonal;
        if (d < 0) {
            move = 2 * d + a2 * (2 * y - 1) <= 0 ? Horizontal : Diagonal;
        } else if (d > 0) {
            move = 2 * d - b2 * (2 * x + 1) > 0 ? Vertical : Diagonal;
        }
        if (move == Horizontal) {
            x += 1;
            d += b2 * (2 * x + 1);
        } else if (move == Vertical) {
            y -= 1;
            d += a2 * (1 - 2 * y);
        } else {
            x += 1;
            y -= 1;
            d += b2 * (2 * x + 1) + a2 * (1 - 2 * y);
        }
    }
    if (mode == ShapeFilled) {
        for (int row = 0; row < H; ++row) {
            char* line = marks.data() + static_cast<size_t>(row) * static_cast<size_t>(W);
            int first = -1;
            int last = -1;
            for (int col = 0; col < W; ++col) {
                if (!line[col]) continue;
                if (first < 0) first = col;
                last = col;
            }
            if (first >= 0 && first < last) {
                std::fill(line + first, line + last + 1, 1);
                if (status) *status = formatText("beep:( %d- x %d ) ", first, last);
            }
        }
    }
    for (int row = 0; row < H; ++row) {
        for (int col = 0; col < W; ++col) {
            if (marks[static_cast<size_t>(row) * static_cast<size_t>(W) +
                      static_cast<size_t>(col)]) {
                lists.current.push_back({col, row});
            }
        }
    }
}

} // namespace dedur
