#include <gtest/gtest.h>

#include <set>

#include "grid/toolpoints.h"

using namespace dedur;

namespace {

using Points = std::vector<DotPoint>;

// Dots of rows given as text: "row: columns" pairs are easier to read as a
// set of (x, y).
std::set<std::pair<int, int>> asSet(const Points& points) {
    std::set<std::pair<int, int>> s;
    for (const DotPoint& p : points) s.insert({p.x, p.y});
    return s;
}

// The set of dots described by rows: each entry is row, first column, last
// column, and whether only the two ends are set.
struct Span {
    int row;
    int first;
    int last;
    bool endsOnly;
};

std::set<std::pair<int, int>> spans(std::initializer_list<Span> list) {
    std::set<std::pair<int, int>> s;
    for (const Span& sp : list) {
        for (int x = sp.first; x <= sp.last; ++x) {
            if (!sp.endsOnly || x == sp.first || x == sp.last) s.insert({x, sp.row});
        }
    }
    return s;
}

bool rowMajor(const Points& points) {
    for (size_t i = 1; i < points.size(); ++i) {
        const DotPoint& a = points[i - 1];
        const DotPoint& b = points[i];
        if (b.y < a.y || (b.y == a.y && b.x <= a.x)) return false;
    }
    return true;
}

} // namespace

struct LineCase {
    DotPoint from;
    DotPoint to;
    Points expected;
};

TEST(ToolPoints, LinesWalkFromTheAnchor) {
    const LineCase cases[] = {
        {{0, 0}, {4, 1}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}},
        {{4, 1}, {0, 0}, {{4, 1}, {3, 1}, {2, 0}, {1, 0}, {0, 0}}},
        {{0, 0}, {1, 4}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {1, 4}}},
        {{0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {{5, 5}, {5, 5}, {{5, 5}}},
        {{3, 0}, {0, 0}, {{3, 0}, {2, 0}, {1, 0}, {0, 0}}},
        {{2, 4}, {2, 1}, {{2, 4}, {2, 3}, {2, 2}, {2, 1}}},
    };
    for (const LineCase& c : cases) {
        ToolLists lists;
        const int n = computeLine(lists, c.from.x, c.from.y, c.to.x, c.to.y);
        EXPECT_EQ(c.expected, lists.current)
            << c.from.x << "," << c.from.y << " -> " << c.to.x << "," << c.to.y;
        EXPECT_EQ(static_cast<int>(c.expected.size()), n);
    }
}

TEST(ToolPoints, OutlineRectangleInRowOrder) {
    ToolLists lists;
    computeRectangle(lists, 5, 2, 1, 0, ShapeOutline);
    const Points outline = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {1, 1},
                            {5, 1}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}};
    EXPECT_EQ(outline, lists.current);
    computeRectangle(lists, 1, 1, 2, 2, ShapeFilled);
    EXPECT_EQ((Points{{1, 1}, {2, 1}, {1, 2}, {2, 2}}), lists.current);
}

struct EllipseCase {
    const char* name;
    int patternWidth;
    DotPoint a;
    DotPoint b;
    int mode;
    std::set<std::pair<int, int>> expected;
};

TEST(ToolPoints, EllipsesGiveTheExactDots) {
    // Rows: {row, first column, last column, only the two ends}.
    // clang-format off
    const auto evenOutline = spans({{1, 4, 7, false}, {2, 3, 8, true}, {3, 2, 9, true}, {4, 2, 9, true},
                                    {5, 2, 9, true}, {6, 2, 9, true}, {7, 3, 8, true}, {8, 4, 7, false}});
    const auto evenFilled = spans({{1, 4, 7, false}, {2, 3, 8, false}, {3, 2, 9, false}, {4, 2, 9, false},
                                   {5, 2, 9, false}, {6, 2, 9, false}, {7, 3, 8, false}, {8, 4, 7, false}});
    const auto oddOutline = spans({{1, 4, 6, false}, {2, 3, 7, true}, {3, 2, 8, true}, {4, 2, 8, true},
                                   {5, 2, 8, true}, {6, 3, 7, true}, {7, 4, 6, false}});
    // clang-format on
    const auto ring = spans({{1, 3, 4, false}, {2, 2, 5, true}, {3, 2, 5, true}, {4, 3, 4, false}});
    const EllipseCase cases[] = {
        {"even outline", 16, {2, 1}, {9, 8}, ShapeOutline, evenOutline},
        {"even outline reversed", 16, {9, 8}, {2, 1}, ShapeOutline, evenOutline},
        {"even filled", 16, {2, 1}, {9, 8}, ShapeFilled, evenFilled},
        {"odd outline", 15, {2, 1}, {9, 8}, ShapeOutline, oddOutline},
        {"small ring", 16, {2, 1}, {5, 4}, ShapeOutline, ring},
    };
    for (const EllipseCase& c : cases) {
        ToolLists lists;
        computeEllipse(lists, c.patternWidth, 16, c.a.x, c.a.y, c.b.x, c.b.y, c.mode, nullptr);
        EXPECT_EQ(c.expected, asSet(lists.current)) << c.name;
        EXPECT_EQ(c.expected.size(), lists.current.size()) << c.name;
        EXPECT_TRUE(rowMajor(lists.current)) << c.name;
    }
}

TEST(ToolPoints, FilledEllipseLeavesTheLowestRowInTheStatus) {
    ToolLists lists;
    std::string status;
    computeEllipse(lists, 16, 16, 2, 1, 9, 8, ShapeFilled, &status);
    EXPECT_EQ("beep:( 4- x 7 ) ", status);
}
