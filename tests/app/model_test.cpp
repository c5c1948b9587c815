// Long seeded random sessions of real commands and strokes, checked after
// every step against the document's invariants and the grid's pixels, and at
// the end the saved file against a small pattern-list model kept here.
#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <random>
#include <utility>

#include "document/patternsizedialog.h"
#include "editorfixture.h"
#include "grid/toolpoints.h"
#include "panel/paneldefinitiondialog.h"
#include "ui/commandids.h"
#include "ui/numberfield.h"

using namespace dedur;
using dedur::test::EditorFixture;

namespace {

// The dots from one corner to the other, both included.
QRect boxOf(QPoint a, QPoint b) {
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

struct Pat {
    int w = 12, h = 12, seg = 1, com = 1, lr = 0, tb = 2;
    std::string dots = std::string(144, '0');
    char& at(int x, int y) { return dots[size_t(y * w + x)]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

// A floating block, lifted from `hole` (none for a paste), now at (x, y).
struct Block {
    QRect hole;
    int x = 0, y = 0, w = 0, h = 0;
    std::string dots;
};

// What the test believes the editor holds; it knows nothing of the editor's code.
struct Model {
    std::vector<Pat> pats{Pat{}};
    int cur = 0;
    Pat def; // the panel definition
    std::vector<Pat> undo, redo;
    std::optional<Block> block;
    bool moveSaved = false; // cleared only by undo and redo (and a press beside the block)

    Pat& current() { return pats[size_t(cur)]; }
    // The block laid over: set dots only (a drop), or all (a snapshot).
    Pat withBlock(bool setOnly) {
        Pat p = current();
        if (!block) return p;
        for (int y = block->hole.top(); y <= block->hole.bottom(); ++y)
            for (int x = block->hole.left(); x <= block->hole.right(); ++x) p.at(x, y) = '0';
        for (int y = 0; y < block->h; ++y)
            for (int x = 0; x < block->w; ++x) {
                const char dot = block->dots[size_t(y * block->w + x)];
                if (p.inside(block->x + x, block->y + y) && (!setOnly || dot == '1'))
                    p.at(block->x + x, block->y + y) = dot;
            }
        return p;
    }
    static void push(std::vector<Pat>& stack, Pat p) {
        if (stack.size() == 12) stack.erase(stack.begin());
        stack.push_back(std::move(p));
    }
    void pushUndo() { push(undo, withBlock(false)); }
    void drop() {
        current() = withBlock(true);
        block.reset();
    }
    // Undo and redo end a block without dropping it.
    void restore(std::vector<Pat>& from, std::vector<Pat>& to) {
        if (from.empty()) return;
        push(to, withBlock(false));
        block.reset();
        moveSaved = false;
        Pat& p = current();
        if (from.back().w != p.w || from.back().h != p.h) p = from.back();
        p.dots = from.back().dots;
        from.pop_back();
    }
    // A new size keeps the top-left dots and takes the placement of `header`.
    void resize(Pat header) {
        header.dots.assign(size_t(header.w * header.h), '0');
        for (int y = 0; y < std::min(header.h, current().h); ++y)
            for (int x = 0; x < std::min(header.w, current().w); ++x)
                header.at(x, y) = current().at(x, y);
        current() = header;
    }
    std::string file() const {
        std::string text = "PATTERN\r\n" + std::to_string(pats.size()) + "\r\n";
        for (const Pat& p : pats) {
            text +=
                QString::asprintf("SIZE %d %d %d %d %d %d\r\n", p.w, p.h, p.seg, p.com, p.lr, p.tb)
                    .toStdString();
            for (int y = 0; y < p.h; ++y)
                text += p.dots.substr(size_t(y * p.w), size_t(p.w)) + "\r\n";
        }
        return text;
    }
};

class Session {
  public:
    explicit Session(unsigned seed) : random_(seed) {
        f_.prompts.files.push_back(QString::fromStdString(path_));
        command(CmdSaveAs);
    }

    // One random step, named so that a failure says what came before it.
    std::string step() {
        using Step = std::function<std::string()>;
        const std::vector<std::pair<int, Step>> floating = {
            {2, [&] { return moveBlock(); }},    {1, [&] { return resizeBlock(); }},
            {2, [&] { return drop(); }},         {1, [&] { return history(true); }},
            {1, [&] { return history(false); }}, {1, [&] { return list(); }},
            {1, [&] { return save(); }},         {1, [&] { return navigate(); }},
        };
        const std::vector<std::pair<int, Step>> plain = {
            {4, [&] { return freehand(CmdDrawPoint); }},
            {1, [&] { return freehand(CmdErasePoint); }},
            {1, [&] { return shape(CmdDrawLine); }},
            {1, [&] { return shape(CmdFillRectangle); }},
            {1, [&] { return shape(CmdOutlineRectangle); }},
            {1, [&] { return ellipse(); }},
            {1, [&] { return select(); }},
            {2, [&] { return list(); }},
            {1, [&] { return navigate(); }},
            {2, [&] { return history(true); }},
            {1, [&] { return history(false); }},
            {1, [&] { return resize(); }},
            {1, [&] { return transform(); }},
            {1, [&] { return panelApply(); }},
            {1, [&] { return paste(); }},
            {1, [&] { return modeSwitch(); }},
            {1, [&] { return save(); }},
        };
        const auto& steps = model_.block ? floating : plain;
        int total = 0;
        for (const auto& s : steps) total += s.first;
        int roll = pick(1, total);
        for (const auto& [weight, run] : steps)
            if ((roll -= weight) <= 0) return run();
        return {};
    }

    // The document's invariants, and the model's picture in the working
    // copy and on the grid.
    void check(const std::string& what) {
        const char* broken = brokenInvariant(*f_.editor);
        QVERIFY2(!broken, (what + ": " + (broken ? broken : "")).c_str());
        const Document& doc = f_.doc();
        QCOMPARE(doc.patternCount, int(model_.pats.size()));
        QCOMPARE(doc.currentPattern, model_.cur);
        QCOMPARE(f_.window->currentNumber(), model_.cur + 1);
        Pat shown = model_.withBlock(false);
        QCOMPARE(int(doc.patternWidth), shown.w);
        QCOMPARE(int(doc.patternHeight), shown.h);
        if (model_.block) return; // the marquee crosses the cells
        std::string dots, pixels;
        for (int y = 0; y < shown.h; ++y)
            for (int x = 0; x < shown.w; ++x) {
                dots += doc.workDots[size_t(y * shown.w + x)] == DOT_ON ? '1' : '0';
                const QRgb c = f_.cellPixel(x, y);
                pixels += c == test::Black ? '1' : c == test::White ? '0' : '?';
            }
        QVERIFY2(dots == shown.dots && pixels == shown.dots, what.c_str());
    }

    void finish() {
        save();
        QCOMPARE(test::readBytes(path_), model_.file());
    }

  private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    QPoint randomDot() {
        return {pick(0, model_.current().w - 1), pick(0, model_.current().h - 1)};
    }
    // A second corner, not the first: a one-dot frame or shape makes nothing.
    QPoint otherDot(QPoint a) {
        const QPoint b = randomDot();
        return b != a ? b : QPoint(a.x() == 0 ? 1 : 0, a.y());
    }
    void command(int id) { f_.window->dispatchCommand(id); }

    // A run along a row; one snapshot, taken when the first dot changes.
    std::string freehand(int tool) {
        command(tool);
        Pat& p = model_.current();
        const QPoint a = randomDot();
        const int to = pick(0, p.w - 1);
        std::vector<QPoint> run{a};
        while (run.back().x() != to)
            run.emplace_back(run.back().x() + (to > a.x() ? 1 : -1), a.y());
        const char want = tool == CmdDrawPoint ? '1' : '0';
        bool pushed = false;
        for (const QPoint& d : run) {
            if (p.at(d.x(), d.y()) == want) continue;
            if (!std::exchange(pushed, true)) model_.pushUndo();
            p.at(d.x(), d.y()) = want;
        }
        drag(run);
        return tool == CmdDrawPoint ? "point" : "erase";
    }

    std::string shape(int tool) {
        command(tool);
        const QPoint a = randomDot();
        QPoint b = otherDot(a);
        if (tool == CmdDrawLine) pick(0, 1) ? b.setY(a.y()) : b.setX(a.x());
        model_.pushUndo();
        const QRect box = boxOf(a, b);
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                if (tool != CmdOutlineRectangle || x == box.left() || x == box.right() ||
                    y == box.top() || y == box.bottom())
                    model_.current().at(x, y) = '1';
        drag({a, b});
        return tool == CmdDrawLine ? "line" : "rectangle";
    }

    // The ellipse's dots are the rasteriser's own (its exact dots are pinned
    // elsewhere); what is checked here is what the stroke does with them.
    std::string ellipse() {
        const int tool = pick(0, 1) ? CmdOutlineEllipse : CmdFillEllipse;
        command(tool);
        const QPoint a = randomDot(), b = otherDot(a);
        Pat& p = model_.current();
        ToolLists lists;
        computeEllipse(lists, p.w, p.h, a.x(), a.y(), b.x(), b.y(),
                       tool == CmdOutlineEllipse ? ShapeOutline : ShapeFilled, nullptr);
        if (lists.current.size() >= 2) {
            model_.pushUndo();
            for (const DotPoint& d : lists.current)
                if (p.inside(d.x, d.y)) p.at(d.x, d.y) = '1';
        }
        drag({a, b});
        return "ellipse";
    }

    std::string select() {
        command(CmdSelect);
        const QPoint a = randomDot(), b = otherDot(a);
        const QRect box = boxOf(a, b);
        Block block{box, box.left(), box.top(), box.width(), box.height(), {}};
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x) block.dots += model_.current().at(x, y);
        model_.block = block;
        drag({a, b});
        return "select";
    }

    // Drags the block by whole cells, keeping it on the pattern.
    std::string moveBlock() {
        Block& b = *model_.block;
        const int dx = pick(-b.x, model_.current().w - b.w - b.x);
        const int dy = pick(-b.y, model_.current().h - b.h - b.y);
        if (dx == 0 && dy == 0) return "no move";
        if (!std::exchange(model_.moveSaved, true)) model_.pushUndo();
        drag({{b.x, b.y}, {b.x + dx, b.y + dy}});
        b.x += dx;
        b.y += dy;
        return "move block";
    }

    // The bottom-right handle pulled: growing, a dot takes the one it falls
    // on; shrinking, the dots that fall together are ORed.
    std::string resizeBlock() {
        Block& b = *model_.block;
        const int w = pick(1, model_.current().w - b.x), h = pick(1, model_.current().h - b.y);
        const auto sources = [](int j, int from, int to) {
            std::vector<int> s;
            for (int i = 0; i < from; ++i)
                if (to >= from ? i == j * from / to : i * to / from == j) s.push_back(i);
            return s;
        };
        const GridGeometry g = f_.grid().geometry();
        const PixelRect r = f_.editor->selection.selectionRect;
        const QPoint corner(r.right + 1, r.bottom + 1);
        QTest::mousePress(&f_.grid(), Qt::LeftButton, {}, corner);
        const QPoint to = corner + QPoint((w - b.w) * g.px(), (h - b.h) * g.py());
        QTest::mouseMove(&f_.grid(), to);
        QTest::mouseRelease(&f_.grid(), Qt::LeftButton, {}, to);
        if (w == b.w && h == b.h) return "no resize";
        model_.pushUndo();
        std::string dots;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                char dot = '0';
                for (int sy : sources(y, b.h, h))
                    for (int sx : sources(x, b.w, w))
                        if (b.dots[size_t(sy * b.w + sx)] == '1') dot = '1';
                dots += dot;
            }
        b.dots = dots;
        b.w = w;
        b.h = h;
        return "resize block";
    }

    std::string drop() {
        model_.drop();
        QTest::keyClick(&f_.grid(), Qt::Key_Escape);
        return "drop";
    }

    std::string history(bool back) {
        back ? model_.restore(model_.undo, model_.redo) : model_.restore(model_.redo, model_.undo);
        command(back ? CmdUndo : CmdRedo);
        return back ? "undo" : "redo";
    }

    // Add, Insert or Delete (the fake prompts answer Yes); deleting the only
    // pattern beeps and changes nothing, a floating block included.
    std::string list() {
        const int which = pick(0, 2);
        auto& pats = model_.pats;
        if (which != 2 || pats.size() > 1) model_.drop();
        Pat blank = model_.def;
        blank.dots.assign(size_t(blank.w * blank.h), '0');
        if (which == 0) {
            pats.push_back(blank);
            model_.cur = int(pats.size()) - 1;
        } else if (which == 1) {
            pats.insert(pats.begin() + model_.cur, blank);
        } else if (pats.size() > 1) {
            pats.erase(pats.begin() + model_.cur);
            model_.cur = std::min(model_.cur, int(pats.size()) - 1);
        }
        command(std::array{CmdAddPattern, CmdInsertPattern, CmdDeletePattern}[size_t(which)]);
        return std::array{"add", "insert", "delete"}[size_t(which)];
    }

    std::string navigate() {
        using A = QAbstractSlider;
        const auto action = std::array{A::SliderSingleStepAdd, A::SliderSingleStepSub,
                                       A::SliderToMinimum, A::SliderToMaximum}[size_t(pick(0, 3))];
        const int last = int(model_.pats.size()) - 1;
        const int target = action == A::SliderSingleStepAdd   ? std::min(model_.cur + 1, last)
                           : action == A::SliderSingleStepSub ? std::max(model_.cur - 1, 0)
                           : action == A::SliderToMinimum     ? 0
                                                              : last;
        if (target != model_.cur) model_.drop();
        model_.cur = target;
        f_.window->palette()->scrollBar()->triggerAction(action);
        return "go to " + std::to_string(target + 1);
    }

    // The new size becomes the panel definition's.
    std::string resize() {
        const int w = pick(4, 16), h = pick(4, 16);
        if (w != model_.current().w || h != model_.current().h) {
            model_.pushUndo();
            model_.def.w = w;
            model_.def.h = h;
            model_.resize(model_.def);
        }
        f_.window->runDialog = [&](QDialog* d) {
            auto* dialog = static_cast<PatternSizeDialog*>(d);
            dialog->widthField()->setText(QString::number(w));
            dialog->heightField()->setText(QString::number(h));
            dialog->ok();
            return d->result();
        };
        command(CmdPatternSize);
        return "size";
    }

    std::string transform() {
        const int id = std::array{CmdFlipHorizontal, CmdFlipVertical, CmdInvert,
                                  CmdRotateRight}[size_t(pick(0, 3))];
        model_.pushUndo();
        Pat before = model_.current();
        Pat& p = model_.current();
        if (id == CmdRotateRight) std::swap(p.w, p.h);
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                p.at(x, y) = id == CmdFlipHorizontal ? before.at(p.w - 1 - x, y)
                             : id == CmdFlipVertical ? before.at(x, p.h - 1 - y)
                             : id == CmdInvert       ? char('0' + '1' - before.at(x, y))
                                                     : before.at(y, before.h - 1 - x);
        command(id);
        return "transform " + std::to_string(id);
    }

    // Apply, then OK: one snapshot, even for no change.
    std::string panelApply() {
        Pat& d = model_.def;
        d.seg = pick(1, 10);
        d.com = pick(1, 10);
        d.w = pick(4, 16);
        d.h = pick(4, 16);
        model_.pushUndo();
        model_.resize(d);
        f_.window->runDialog = [&](QDialog* dd) {
            auto* dialog = static_cast<PanelDefinitionDialog*>(dd);
            for (const auto& [field, value] : {std::pair{PanelField::Seg, d.seg},
                                               {PanelField::Com, d.com},
                                               {PanelField::Width, d.w},
                                               {PanelField::Height, d.h}})
                dialog->field(field)->setText(QString::number(value));
            dialog->applyNow();
            dialog->ok();
            return dd->result();
        };
        command(CmdPanelDefinition);
        return "panel apply";
    }

    // A small image through the clipboard or a file: a block at the top left.
    std::string paste() {
        Block block;
        block.w = pick(1, 3);
        block.h = pick(1, 3);
        QImage image(block.w, block.h, QImage::Format_RGB32);
        for (int i = 0; i < block.w * block.h; ++i) {
            block.dots += pick(0, 1) ? '1' : '0';
            image.setPixel(i % block.w, i / block.w,
                           block.dots.back() == '1' ? test::Black : test::White);
        }
        model_.pushUndo();
        model_.block = block;
        if (pick(0, 1)) {
            QGuiApplication::clipboard()->setImage(image);
            command(CmdPaste);
            return "paste";
        }
        image.save(QString::fromStdString(f_.dir.file("dots.png")), "PNG");
        f_.prompts.files.push_back(QString::fromStdString(f_.dir.file("dots.png")));
        command(CmdImportImage);
        return "import image";
    }

    // The file holds what shows: a floating block goes in.
    std::string save() {
        model_.drop();
        command(CmdSave);
        return "save";
    }

    // Undo and redo in the font mode leave the glyph alone: the history
    // does not cross modes.
    std::string modeSwitch() {
        command(CmdFont16Mode);
        const Document& doc = f_.doc();
        const std::vector<uint8_t> glyph(doc.workDots.begin(),
                                         doc.workDots.begin() + doc.patternDotCount);
        command(pick(0, 1) ? CmdUndo : CmdRedo);
        const bool kept = doc.patternWidth == 16 && doc.patternHeight == 15 &&
                          std::equal(glyph.begin(), glyph.end(), doc.workDots.begin());
        command(CmdPatternMode);
        model_.undo.clear();
        model_.redo.clear();
        if (!kept) QTest::qFail("undo in the font mode changed the glyph", __FILE__, __LINE__);
        return "font mode, undo or redo, and back";
    }

    void drag(const std::vector<QPoint>& dots) {
        QTest::mousePress(&f_.grid(), Qt::LeftButton, {}, f_.cell(dots[0].x(), dots[0].y()));
        for (const QPoint& d : dots) QTest::mouseMove(&f_.grid(), f_.cell(d.x(), d.y()));
        QTest::mouseRelease(&f_.grid(), Qt::LeftButton, {},
                            f_.cell(dots.back().x(), dots.back().y()));
    }

    EditorFixture f_;
    Model model_;
    std::mt19937 random_;
    const std::string path_ = f_.dir.file("model.pat");
};

} // namespace

class ModelTest : public QObject {
    Q_OBJECT
  private slots:
    void randomSessionsKeepTheGridOnTheCurrentPattern_data() {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed = 1; seed <= 8; ++seed)
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void randomSessionsKeepTheGridOnTheCurrentPattern() {
        QFETCH(unsigned, seed);
        Session session(seed);
        std::string last; // the last steps, to tell how a failure came about
        for (int i = 0; i < 500 && !QTest::currentTestFailed(); ++i) {
            last = last.substr(last.size() > 300 ? last.size() - 300 : 0) + " | " +
                   std::to_string(i) + " " + session.step();
            session.check(last);
        }
        if (!QTest::currentTestFailed()) session.finish();
    }
};

QTEST_MAIN(ModelTest)
#include "model_test.moc"
