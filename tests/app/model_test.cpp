// Long seeded random sessions of real commands and strokes, checked after
// every step against the document's invariants and the grid's pixels, and at
// the end the saved file against a small pattern-list model kept here.
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <random>

#include "document/patternsizedialog.h"
#include "editorfixture.h"
#include "panel/paneldefinitiondialog.h"
#include "shell/commandids.h"
#include "shell/numberfield.h"

using namespace dedur;
using dedur::test::EditorFixture;

namespace {

struct Pat {
    int w = 12, h = 12, seg = 1, com = 1, lr = 0, tb = 2;
    std::vector<char> dots = std::vector<char>(144, '0');
    char& at(int x, int y) { return dots[static_cast<size_t>(y * w + x)]; }
    char get(int x, int y) const { return dots[static_cast<size_t>(y * w + x)]; }
};

Pat blankPat(const Pat& def) {
    Pat p = def;
    p.dots.assign(static_cast<size_t>(p.w * p.h), '0');
    return p;
}

// A floating block: lifted from `hole` (empty for a paste), now at (x, y).
struct Block {
    int holeLeft = 0, holeTop = 0, holeW = 0, holeH = 0;
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<char> dots;
};

// What the tests believe the editor holds; it knows nothing of the editor's code.
struct Model {
    std::vector<Pat> pats{Pat{}};
    int cur = 0;
    Pat def; // the panel definition, as a blank pattern
    std::vector<Pat> undo, redo;
    std::optional<Block> block;
    // A moved block took its snapshot; only undo and redo (and a press beside
    // the block) let the next move take one.
    bool moveSaved = false;

    Pat& current() { return pats[static_cast<size_t>(cur)]; }

    Pat holed() const {
        Pat p = pats[static_cast<size_t>(cur)];
        if (!block) return p;
        for (int y = 0; y < block->holeH; ++y)
            for (int x = 0; x < block->holeW; ++x)
                p.at(block->holeLeft + x, block->holeTop + y) = '0';
        return p;
    }
    // The pattern with the block laid over it, set and clear dots alike.
    Pat shown() const {
        Pat p = holed();
        if (!block) return p;
        for (int y = 0; y < block->h; ++y)
            for (int x = 0; x < block->w; ++x) {
                const int px = block->x + x, py = block->y + y;
                if (px >= 0 && py >= 0 && px < p.w && py < p.h)
                    p.at(px, py) = block->dots[static_cast<size_t>(y * block->w + x)];
            }
        return p;
    }
    static void push(std::vector<Pat>& stack, Pat p) {
        if (stack.size() == 12) stack.erase(stack.begin());
        stack.push_back(std::move(p));
    }
    void pushUndo() { push(undo, shown()); }
    void drop() {
        if (!block) return;
        Pat p = holed();
        for (int y = 0; y < block->h; ++y)
            for (int x = 0; x < block->w; ++x) {
                const int px = block->x + x, py = block->y + y;
                if (px >= 0 && py >= 0 && px < p.w && py < p.h &&
                    block->dots[static_cast<size_t>(y * block->w + x)] == '1')
                    p.at(px, py) = '1';
            }
        current() = p;
        block.reset();
    }
    void restore(std::vector<Pat>& from, std::vector<Pat>& to) {
        if (from.empty()) return;
        push(to, shown());
        block.reset();
        moveSaved = false;
        const Pat snap = from.back();
        from.pop_back();
        Pat& p = current();
        if (snap.w != p.w || snap.h != p.h) p = snap;
        p.dots = snap.dots;
    }
    // The top-left dots survive a new size; the header comes from `header`.
    void resize(const Pat& header, int w, int h) {
        Pat p = header;
        p.w = w;
        p.h = h;
        p.dots.assign(static_cast<size_t>(w * h), '0');
        const Pat& old = current();
        for (int y = 0; y < std::min(h, old.h); ++y)
            for (int x = 0; x < std::min(w, old.w); ++x) p.at(x, y) = old.get(x, y);
        current() = p;
    }

    std::string file() const {
        std::string text = "PATTERN\r\n" + std::to_string(pats.size()) + "\r\n";
        for (const Pat& p : pats) {
            text += "SIZE " + std::to_string(p.w) + " " + std::to_string(p.h) + " " +
                    std::to_string(p.seg) + " " + std::to_string(p.com) + " " +
                    std::to_string(p.lr) + " " + std::to_string(p.tb) + "\r\n";
            for (int y = 0; y < p.h; ++y)
                text +=
                    std::string(p.dots.begin() + y * p.w, p.dots.begin() + (y + 1) * p.w) + "\r\n";
        }
        return text;
    }
};

class Session {
  public:
    explicit Session(unsigned seed) : random_(seed) {
        f_.prompts.files.push_back(QString::fromStdString(f_.dir.file("model.pat")));
        f_.window->dispatchCommand(CmdSaveAs);
        path_ = f_.dir.file("model.pat");
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // One random step, told by name so that a failure says what came last.
    std::string step() {
        Pat& p = model_.current();
        if (model_.block) {
            switch (pick(0, 7)) {
            case 0:
                return moveBlock();
            case 1:
            case 2:
                return key(Qt::Key_Escape, "drop");
            case 3:
                return history(CmdUndo);
            case 4:
                return history(CmdRedo);
            case 5:
                return listCommand(pick(0, 2));
            case 6:
                return save();
            default:
                return navigate();
            }
        }
        switch (pick(0, 20)) {
        case 0:
        case 1:
        case 2:
            return freehand(CmdDrawPoint);
        case 3:
            return freehand(CmdErasePoint);
        case 4:
            return shape(CmdDrawLine, p);
        case 5:
            return shape(CmdFillRectangle, p);
        case 6:
            return shape(CmdOutlineRectangle, p);
        case 7:
            return select(p);
        case 8:
        case 9:
            return listCommand(pick(0, 2));
        case 10:
            return navigate();
        case 11:
        case 12:
            return history(CmdUndo);
        case 13:
            return history(CmdRedo);
        case 14:
            return resize();
        case 15:
            return transform();
        case 16:
            return panelApply();
        case 17:
            return paste();
        case 18:
            return modeSwitch();
        case 19:
            return save();
        default:
            return freehand(CmdDrawPoint);
        }
    }

    // The document's invariants, the grid's pixels and the model's picture.
    void check(const std::string& what) {
        const char* broken = brokenInvariant(*f_.editor);
        QVERIFY2(!broken, (what + ": " + (broken ? broken : "")).c_str());
        const Document& doc = f_.doc();
        QCOMPARE(doc.patternCount, int(model_.pats.size()));
        QCOMPARE(doc.currentPattern, model_.cur);
        QCOMPARE(f_.window->currentNumber(), model_.cur + 1);
        const Pat shown = model_.shown();
        QCOMPARE(int(doc.patternWidth), shown.w);
        QCOMPARE(int(doc.patternHeight), shown.h);
        if (model_.block) return; // the marquee crosses the cells
        for (int y = 0; y < shown.h; ++y)
            for (int x = 0; x < shown.w; ++x) {
                const bool set = shown.get(x, y) == '1';
                if ((doc.workDots[size_t(y * shown.w + x)] == DOT_ON) != set ||
                    f_.cellPixel(x, y) != (set ? test::Black : test::White))
                    QFAIL(QString("%1: dot (%2,%3) of pattern %4 should be %5")
                              .arg(QString::fromStdString(what))
                              .arg(x)
                              .arg(y)
                              .arg(model_.cur + 1)
                              .arg(set)
                              .toUtf8()
                              .constData());
            }
    }

    void finish() {
        model_.drop();
        f_.window->dispatchCommand(CmdSave);
        QCOMPARE(test::readBytes(path_), model_.file());
    }

  private:
    QPoint randomDot(const Pat& p) { return {pick(0, p.w - 1), pick(0, p.h - 1)}; }

    void tool(int id) { f_.window->dispatchCommand(id); }

    std::string freehand(int id) {
        tool(id);
        Pat& p = model_.current();
        const QPoint a = randomDot(p);
        const int b = pick(0, p.w - 1);
        std::vector<QPoint> run;
        for (int x = a.x();; x += b >= a.x() ? 1 : -1) {
            run.emplace_back(x, a.y());
            if (x == b) break;
        }
        const char want = id == CmdDrawPoint ? '1' : '0';
        bool pushed = false;
        for (const QPoint& d : run) {
            if (p.at(d.x(), d.y()) == want) continue;
            if (!pushed) model_.pushUndo();
            pushed = true;
            p.at(d.x(), d.y()) = want;
        }
        drag(run);
        return id == CmdDrawPoint ? "point" : "erase";
    }

    std::string shape(int id, Pat& p) {
        tool(id);
        const QPoint a = randomDot(p);
        QPoint b = randomDot(p);
        if (id == CmdDrawLine) (pick(0, 1) ? b.setY(a.y()) : b.setX(a.x()));
        if (id != CmdDrawLine && a == b) b = QPoint(a.x() == 0 ? 1 : 0, a.y());
        model_.pushUndo();
        const int l = std::min(a.x(), b.x()), r = std::max(a.x(), b.x());
        const int t = std::min(a.y(), b.y()), btm = std::max(a.y(), b.y());
        for (int y = t; y <= btm; ++y)
            for (int x = l; x <= r; ++x)
                if (id != CmdOutlineRectangle || x == l || x == r || y == t || y == btm)
                    p.at(x, y) = '1';
        drag({a, b});
        return id == CmdDrawLine ? "line" : "rectangle";
    }

    std::string select(Pat& p) {
        tool(CmdSelect);
        const QPoint a = randomDot(p);
        QPoint b = randomDot(p);
        if (a == b) b = QPoint(a.x() == 0 ? 1 : 0, a.y());
        Block block;
        block.holeLeft = block.x = std::min(a.x(), b.x());
        block.holeTop = block.y = std::min(a.y(), b.y());
        block.holeW = block.w = std::abs(a.x() - b.x()) + 1;
        block.holeH = block.h = std::abs(a.y() - b.y()) + 1;
        for (int y = 0; y < block.h; ++y)
            for (int x = 0; x < block.w; ++x) block.dots.push_back(p.get(block.x + x, block.y + y));
        model_.block = block;
        drag({a, b});
        return "select";
    }

    // Drags the block by whole cells, keeping it on the pattern.
    std::string moveBlock() {
        Block& b = *model_.block;
        const Pat& p = model_.current();
        const int dx = pick(-b.x, p.w - b.w - b.x), dy = pick(-b.y, p.h - b.h - b.y);
        if (dx == 0 && dy == 0) return "no move";
        if (!model_.moveSaved) model_.pushUndo();
        model_.moveSaved = true;
        const QPoint from(b.x, b.y);
        b.x += dx;
        b.y += dy;
        drag({from, from + QPoint(dx, dy)});
        return "move block";
    }

    std::string key(Qt::Key k, const char* what) {
        if (k == Qt::Key_Escape) model_.drop();
        QTest::keyClick(&f_.grid(), k);
        return what;
    }

    std::string history(int id) {
        if (id == CmdUndo) {
            model_.restore(model_.undo, model_.redo);
        } else {
            model_.restore(model_.redo, model_.undo);
        }
        f_.window->dispatchCommand(id);
        return id == CmdUndo ? "undo" : "redo";
    }

    std::string listCommand(int which) {
        // Deleting the only pattern beeps and changes nothing, a block included.
        if (which != 2 || model_.pats.size() > 1) model_.drop();
        if (which == 0) {
            model_.pats.push_back(blankPat(model_.def));
            model_.cur = int(model_.pats.size()) - 1;
            f_.window->dispatchCommand(CmdAddPattern);
            return "add";
        }
        if (which == 1) {
            model_.pats.insert(model_.pats.begin() + model_.cur, blankPat(model_.def));
            f_.window->dispatchCommand(CmdInsertPattern);
            return "insert";
        }
        if (model_.pats.size() > 1) {
            model_.pats.erase(model_.pats.begin() + model_.cur);
            model_.cur = std::min(model_.cur, int(model_.pats.size()) - 1);
        }
        f_.window->dispatchCommand(CmdDeletePattern); // the fake prompts answer Yes
        return "delete";
    }

    std::string navigate() {
        const int action = std::array{
            QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
            QAbstractSlider::SliderToMinimum, QAbstractSlider::SliderToMaximum}[size_t(pick(0, 3))];
        const int count = int(model_.pats.size());
        int target = model_.cur;
        if (action == QAbstractSlider::SliderSingleStepAdd)
            target = std::min(target + 1, count - 1);
        if (action == QAbstractSlider::SliderSingleStepSub) target = std::max(target - 1, 0);
        if (action == QAbstractSlider::SliderToMinimum) target = 0;
        if (action == QAbstractSlider::SliderToMaximum) target = count - 1;
        if (target != model_.cur) {
            model_.drop();
            model_.cur = target;
        }
        f_.window->palette()->scrollBar()->triggerAction(QAbstractSlider::SliderAction(action));
        return "go to " + std::to_string(target + 1);
    }

    std::string resize() {
        const int w = pick(4, 16), h = pick(4, 16);
        Pat& p = model_.current();
        if (w != p.w || h != p.h) {
            model_.pushUndo();
            model_.def.w = w;
            model_.def.h = h;
            model_.resize(model_.def, w, h);
        }
        f_.window->runDialog = [&](QDialog* d) {
            auto* dialog = static_cast<PatternSizeDialog*>(d);
            dialog->widthField()->setText(QString::number(w));
            dialog->heightField()->setText(QString::number(h));
            dialog->ok();
            return d->result();
        };
        f_.window->dispatchCommand(CmdPatternSize);
        return "size " + std::to_string(w) + "x" + std::to_string(h);
    }

    std::string transform() {
        Pat& p = model_.current();
        model_.pushUndo();
        const Pat before = p;
        const int id = std::array{CmdFlipHorizontal, CmdFlipVertical, CmdInvert,
                                  CmdRotateRight}[size_t(pick(0, 3))];
        if (id == CmdRotateRight) std::swap(p.w, p.h);
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x) {
                if (id == CmdFlipHorizontal) p.at(x, y) = before.get(p.w - 1 - x, y);
                if (id == CmdFlipVertical) p.at(x, y) = before.get(x, p.h - 1 - y);
                if (id == CmdInvert) p.at(x, y) = before.get(x, y) == '1' ? '0' : '1';
                if (id == CmdRotateRight) p.at(x, y) = before.get(y, before.h - 1 - x);
            }
        f_.window->dispatchCommand(id);
        return "transform " + std::to_string(id);
    }

    std::string panelApply() {
        Pat d = model_.def;
        d.seg = pick(1, 10);
        d.com = pick(1, 10);
        d.w = pick(4, 16);
        d.h = pick(4, 16);
        model_.def = d;
        model_.pushUndo();
        model_.resize(d, d.w, d.h);
        f_.window->runDialog = [&](QDialog* dd) {
            auto* dialog = static_cast<PanelDefinitionDialog*>(dd);
            dialog->field(PanelField::Seg)->setText(QString::number(d.seg));
            dialog->field(PanelField::Com)->setText(QString::number(d.com));
            dialog->field(PanelField::Width)->setText(QString::number(d.w));
            dialog->field(PanelField::Height)->setText(QString::number(d.h));
            dialog->leftToRightList()->setCurrentRow(d.lr);
            dialog->topToBottomList()->setCurrentRow(d.tb);
            dialog->applyNow();
            dialog->ok();
            return dd->result();
        };
        f_.window->dispatchCommand(CmdPanelDefinition);
        return "panel apply";
    }

    std::string paste() {
        Block block;
        block.w = pick(1, 3);
        block.h = pick(1, 3);
        QImage image(block.w, block.h, QImage::Format_RGB32);
        for (int y = 0; y < block.h; ++y)
            for (int x = 0; x < block.w; ++x) {
                const bool set = pick(0, 1);
                image.setPixel(x, y, set ? test::Black : test::White);
                block.dots.push_back(set ? '1' : '0');
            }
        model_.pushUndo();
        model_.block = block;
        if (pick(0, 1)) {
            QGuiApplication::clipboard()->setImage(image);
            f_.window->dispatchCommand(CmdPaste);
            return "paste";
        }
        const QString file = QString::fromStdString(f_.dir.file("dots.png"));
        image.save(file, "PNG");
        f_.prompts.files.push_back(file);
        f_.window->dispatchCommand(CmdImportImage);
        return "import image";
    }

    // The file holds what shows: a floating block goes in.
    std::string save() {
        model_.drop();
        f_.window->dispatchCommand(CmdSave);
        return "save";
    }

    // There and back: the changes are saved on the way (the prompt's Yes) and
    // the file is read again.
    std::string modeSwitch() {
        f_.window->dispatchCommand(CmdFont16Mode);
        f_.window->dispatchCommand(CmdPatternMode);
        return "font mode and back";
    }

    void drag(const std::vector<QPoint>& dots) {
        QTest::mousePress(&f_.grid(), Qt::LeftButton, {},
                          f_.cell(dots.front().x(), dots.front().y()));
        for (size_t i = 1; i < dots.size(); ++i)
            QTest::mouseMove(&f_.grid(), f_.cell(dots[i].x(), dots[i].y()));
        QTest::mouseRelease(&f_.grid(), Qt::LeftButton, {},
                            f_.cell(dots.back().x(), dots.back().y()));
    }

    EditorFixture f_;
    Model model_;
    std::mt19937 random_;
    std::string path_;
};

} // namespace

class ModelTest : public QObject {
    Q_OBJECT
  private slots:
    void randomSessionsKeepTheGridOnTheCurrentPattern_data() {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed = 1; seed <= 8; ++seed)
            QTest::newRow(std::to_string(seed).c_str()) << seed;
    }
    void randomSessionsKeepTheGridOnTheCurrentPattern() {
        QFETCH(unsigned, seed);
        Session session(seed);
        // The last steps, so that a failure tells how it came about.
        std::string last;
        for (int i = 0; i < 500; ++i) {
            last = (last.size() > 300 ? last.substr(last.size() - 300) : last) + " | " +
                   std::to_string(i) + " " + session.step();
            session.check(last);
            if (QTest::currentTestFailed()) return;
        }
        session.finish();
    }
};

QTEST_MAIN(ModelTest)
#include "model_test.moc"
