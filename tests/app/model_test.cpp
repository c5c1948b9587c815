// Long seeded random sessions of real commands and strokes, checked after
// every step against the document's invariants and the grid's pixels, and at
// the end the saved file against a small pattern-list model kept here.
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <functional>
#include <random>
#include <set>
#include <utility>

#include "document/newimagedialog.h"
#include "document/patternsizedialog.h"
#include "editorfixture.h"
#include "fonts/metricsdialog.h"
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

// A press on the first dot, a move through each, a release on the last.
void dragThrough(EditorFixture& f, const std::vector<QPoint>& dots) {
    QTest::mousePress(&f.grid(), Qt::LeftButton, {}, f.cell(dots[0].x(), dots[0].y()));
    for (const QPoint& d : dots) QTest::mouseMove(&f.grid(), f.cell(d.x(), d.y()));
    QTest::mouseRelease(&f.grid(), Qt::LeftButton, {}, f.cell(dots.back().x(), dots.back().y()));
}

// A picture larger than any pattern, drawn on, turned, saved as PBM and
// opened again; ImageMagick reads the last save as the model says.
class ImageSession {
  public:
    explicit ImageSession(unsigned seed) : random_(seed) {
        f_.inDialog<NewImageDialog>(CmdNewImage, [&](NewImageDialog* d) {
            d->presetBox()->setCurrentIndex(int(displayPresets().size()) - 1);
            d->widthBox()->setValue(pick(97, 130));
            d->heightBox()->setValue(pick(20, 40));
            d->done(1);
        });
        Pat& p = model_.current();
        p.w = f_.doc().patternWidth;
        p.h = f_.doc().patternHeight;
        p.dots.assign(size_t(p.w * p.h), '0');
        f_.prompts.files.push_back(QString::fromStdString(path_));
        f_.window->dispatchCommand(CmdSave);
    }

    std::string step() {
        Pat& p = model_.current();
        switch (pick(0, 7)) {
        case 0:
        case 1: {
            const bool pencil = pick(0, 3) != 0;
            f_.window->dispatchCommand(pencil ? CmdDrawPoint : CmdErasePoint);
            const int y = pick(0, p.h - 1), a = pick(0, p.w - 1), b = pick(0, p.w - 1);
            bool pushed = false;
            std::vector<QPoint> run;
            for (int x = a;; x += b > a ? 1 : -1) {
                run.emplace_back(x, y);
                if (p.at(x, y) != (pencil ? '1' : '0') && !std::exchange(pushed, true))
                    model_.pushUndo();
                p.at(x, y) = pencil ? '1' : '0';
                if (x == b) break;
            }
            drag(run);
            return pencil ? "pencil" : "eraser";
        }
        case 2: {
            f_.window->dispatchCommand(CmdFillRectangle);
            const QPoint a(pick(0, p.w - 1), pick(0, p.h - 1));
            QPoint b(pick(0, p.w - 1), pick(0, p.h - 1));
            if (b == a) b.setX(a.x() == 0 ? 1 : 0);
            model_.pushUndo();
            const QRect box = boxOf(a, b);
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x) p.at(x, y) = '1';
            drag({a, b});
            return "rectangle";
        }
        case 3:
        case 4: {
            const bool back = pick(0, 1);
            back ? model_.restore(model_.undo, model_.redo)
                 : model_.restore(model_.redo, model_.undo);
            f_.window->dispatchCommand(back ? CmdUndo : CmdRedo);
            return back ? "undo" : "redo";
        }
        case 5: {
            // A turn swaps the sides: no placement on the panel to refuse it.
            const int id = std::array{CmdFlipHorizontal, CmdFlipVertical, CmdInvert,
                                      CmdRotateRight}[size_t(pick(0, 3))];
            model_.pushUndo();
            Pat before = p;
            if (id == CmdRotateRight) std::swap(p.w, p.h);
            for (int y = 0; y < p.h; ++y)
                for (int x = 0; x < p.w; ++x)
                    p.at(x, y) = id == CmdFlipHorizontal ? before.at(p.w - 1 - x, y)
                                 : id == CmdFlipVertical ? before.at(x, p.h - 1 - y)
                                 : id == CmdInvert       ? char('0' + '1' - before.at(x, y))
                                                         : before.at(y, before.h - 1 - x);
            f_.window->dispatchCommand(id);
            return "transform " + std::to_string(id);
        }
        case 6:
            f_.window->dispatchCommand(CmdSave);
            return "save";
        default:
            // Open asks about unsaved changes (Yes: saved) and reads the file again.
            f_.prompts.files.push_back(QString::fromStdString(path_));
            f_.window->dispatchCommand(CmdOpen);
            return "reopen";
        }
    }

    void check(const std::string& what) {
        const char* broken = brokenInvariant(*f_.editor);
        QVERIFY2(!broken, (what + ": " + (broken ? broken : "")).c_str());
        const Document& doc = f_.doc();
        const Pat& p = model_.current();
        QCOMPARE(doc.kind, DocumentKind::Image);
        QCOMPARE(int(doc.patternWidth), p.w);
        QCOMPARE(int(doc.patternHeight), p.h);
        const std::string dots(doc.workDots.begin(), doc.workDots.begin() + p.w * p.h);
        QVERIFY2(dots == p.dots, what.c_str());
    }

    void finish() {
        f_.window->dispatchCommand(CmdSave);
        const test::ShellRun run =
            test::shell("convert '" + path_ + "' -compress none pbm:- | tail -n +3 | tr -d ' \\n'");
        QCOMPARE(run.out, model_.current().dots);
    }

  private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    // Every cell in sight, whichever way the picture was last turned.
    void drag(const std::vector<QPoint>& dots) {
        f_.window->dispatchCommand(CmdZoomToFit);
        dragThrough(f_, dots);
    }

    EditorFixture f_;
    Model model_;
    std::mt19937 random_;
    const std::string path_ = f_.dir.file("model.pbm");
};

// A BDF font of four glyphs drawn on, its advances changed, stepped through
// by typed characters, saved and opened again. The model keeps each glyph's
// dots against its origin, wherever the glyph's canvas puts them; bdftopcf
// takes the last save.
class FontSession {
  public:
    struct Glyph {
        std::set<std::pair<int, int>> dots; // (x, y) from the origin, y up
        int advance = 6;
        bool operator==(const Glyph&) const = default;
    };

    explicit FontSession(unsigned seed) : random_(seed) {
        std::string text = "STARTFONT 2.1\nFONT -model-font\nSIZE 8 75 75\n"
                           "FONTBOUNDINGBOX 6 8 0 -2\nSTARTPROPERTIES 2\nFONT_ASCENT 6\n"
                           "FONT_DESCENT 2\nENDPROPERTIES\nCHARS 4\n";
        const char* rows[] = {"90", "60", "F0", "60", "90"};
        glyphs_.resize(4);
        for (int i = 0; i < 4; ++i) {
            text += "STARTCHAR g" + std::to_string(i) + "\nENCODING " + std::to_string(0x41 + i) +
                    "\nSWIDTH 750 0\nDWIDTH 6 0\nBBX 4 5 1 0\nBITMAP\n";
            for (int r = 0; r < 5; ++r) {
                text += std::string(rows[r]) + "\n";
                const int bits = std::stoi(rows[r], nullptr, 16);
                for (int c = 0; c < 4; ++c)
                    if (bits & (0x80 >> c)) glyphs_[size_t(i)].dots.insert({1 + c, 4 - r});
            }
            text += "ENDCHAR\n";
        }
        test::writeBytes(path_, text + "ENDFONT\n");
        f_.prompts.files.push_back(QString::fromStdString(path_));
        f_.window->dispatchCommand(CmdOpen);
    }

    std::string step() {
        Glyph& g = glyphs_[size_t(current_)];
        const Document& doc = f_.doc();
        PatternHeader h;
        getHeader(doc, -1, h);
        switch (pick(0, 7)) {
        case 0:
        case 1: {
            const bool pencil = pick(0, 3) != 0;
            f_.window->dispatchCommand(pencil ? CmdDrawPoint : CmdErasePoint);
            const int r = pick(0, h.height - 1), a = pick(0, h.width - 1), b = pick(0, h.width - 1);
            const Glyph before = g;
            std::vector<QPoint> run;
            for (int c = a;; c += b > a ? 1 : -1) {
                run.emplace_back(c, r);
                const std::pair<int, int> at{c - h.beginSeg, h.beginCom - 1 - r};
                pencil ? (void)g.dots.insert(at) : (void)g.dots.erase(at);
                if (c == b) break;
            }
            if (!(g == before)) push(undo_, before);
            f_.window->dispatchCommand(CmdZoomToFit);
            QTest::mousePress(&f_.grid(), Qt::LeftButton, {}, f_.cell(run[0].x(), run[0].y()));
            for (const QPoint& d : run) QTest::mouseMove(&f_.grid(), f_.cell(d.x(), d.y()));
            QTest::mouseRelease(&f_.grid(), Qt::LeftButton, {},
                                f_.cell(run.back().x(), run.back().y()));
            return pencil ? "pencil" : "eraser";
        }
        case 2: {
            const bool back = pick(0, 1);
            std::vector<Glyph>& from = back ? undo_ : redo_;
            if (!from.empty()) {
                push(back ? redo_ : undo_, g);
                g = from.back();
                from.pop_back();
            }
            f_.window->dispatchCommand(back ? CmdUndo : CmdRedo);
            return back ? "undo" : "redo";
        }
        case 3: {
            static int advance;
            advance = pick(0, 9);
            if (advance != g.advance) {
                push(undo_, g);
                g.advance = advance;
            }
            f_.inDialog<MetricsDialog>(CmdGlyphMetrics, [](MetricsDialog* d) {
                d->advanceBox()->setValue(advance);
                d->done(1);
            });
            return "advance " + std::to_string(advance);
        }
        case 4: {
            const int to = pick(0, 3);
            if (to != current_) undo_.clear(), redo_.clear();
            current_ = to;
            QTest::keyClicks(&f_.grid(), QString(QChar(0x41 + to)));
            return "glyph " + std::to_string(to);
        }
        case 5:
            f_.window->dispatchCommand(CmdSave);
            return "save";
        default:
            // Open asks about unsaved changes (Yes: saved) and reads the font again.
            f_.prompts.files.push_back(QString::fromStdString(path_));
            f_.window->dispatchCommand(CmdOpen);
            undo_.clear();
            redo_.clear();
            current_ = 0;
            return "reopen";
        }
    }

    void check(const std::string& what) {
        const char* broken = brokenInvariant(*f_.editor);
        QVERIFY2(!broken, (what + ": " + (broken ? broken : "")).c_str());
        const Document& doc = f_.doc();
        QCOMPARE(doc.kind, DocumentKind::Font);
        QCOMPARE(doc.currentPattern, current_);
        PatternHeader h;
        getHeader(doc, -1, h);
        Glyph shown{{}, h.leftToRight};
        for (int r = 0; r < h.height; ++r)
            for (int c = 0; c < h.width; ++c)
                if (doc.workDots[size_t(r * h.width + c)] == DOT_ON)
                    shown.dots.insert({c - h.beginSeg, h.beginCom - 1 - r});
        QVERIFY2(shown == glyphs_[size_t(current_)], what.c_str());
    }

    void finish() {
        f_.window->dispatchCommand(CmdSave);
        BdfDocument font;
        QVERIFY(readBdfDocument(path_, font).ok());
        QCOMPARE(int(font.glyphs.size()), 4);
        for (size_t i = 0; i < 4; ++i) {
            const BdfDocGlyph& g = font.glyphs[i];
            Glyph saved{{}, g.advance};
            for (int y = 0; y < g.height; ++y)
                for (int x = 0; x < g.width; ++x)
                    if (g.dot(x, y))
                        saved.dots.insert({g.xOffset + x, g.yOffset + g.height - 1 - y});
            QVERIFY2(saved == glyphs_[i], g.name.c_str());
        }
        QCOMPARE(test::shell("bdftopcf -o /dev/null '" + path_ + "' 2>&1; echo $?").out,
                 std::string("0\n"));
    }

  private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    static void push(std::vector<Glyph>& stack, Glyph g) {
        if (stack.size() >= size_t(HistoryDepth)) stack.erase(stack.begin());
        stack.push_back(std::move(g));
    }

    EditorFixture f_;
    std::vector<Glyph> glyphs_;
    std::vector<Glyph> undo_, redo_;
    int current_ = 0;
    std::mt19937 random_;
    const std::string path_ = f_.dir.file("model.bdf");
};

// Random steps of a session, each followed by its check; the last steps
// name a failure.
template <typename S> void runSession(unsigned seed, int steps) {
    S session(seed);
    std::string last;
    for (int i = 0; i < steps && !QTest::currentTestFailed(); ++i) {
        last = last.substr(last.size() > 300 ? last.size() - 300 : 0) + " | " + std::to_string(i) +
               " " + session.step();
        session.check(last);
    }
    if (!QTest::currentTestFailed()) session.finish();
}

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
    // A picture wider than any pattern and a BDF font, each drawn on,
    // undone, saved and reopened at random; ImageMagick and bdftopcf read
    // the last saves.
    void randomImageAndFontSessionsKeepTheirDots_data() {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed = 1; seed <= 3; ++seed)
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void randomImageAndFontSessionsKeepTheirDots() {
        QFETCH(unsigned, seed);
        runSession<ImageSession>(seed, 200);
        runSession<FontSession>(seed, 150);
    }
};

QTEST_MAIN(ModelTest)
#include "model_test.moc"
