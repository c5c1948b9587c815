#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include "editorfixture.h"
#include "fonts/glyphlist.h"
#include "fonts/metricsdialog.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;
using dedur::test::readBytes;
using dedur::test::writeBytes;

namespace {

// Two glyphs: a blank space and an "A" whose box is smaller than the font's.
const std::string Tiny =
    "STARTFONT 2.1\nCOMMENT kept as it is\nFONT "
    "-test-tiny-medium-r-normal--6-60-75-75-c-40-iso10646-1\n"
    "SIZE 6 75 75\nFONTBOUNDINGBOX 4 6 0 -2\nSTARTPROPERTIES 2\nFONT_ASCENT 4\nFONT_DESCENT 2\n"
    "ENDPROPERTIES\nCHARS 2\nSTARTCHAR space\nENCODING 32\nSWIDTH 666 0\nDWIDTH 4 0\n"
    "BBX 0 0 0 0\nBITMAP\nENDCHAR\nSTARTCHAR A\nENCODING 65\nSWIDTH 666 0\nDWIDTH 4 0\n"
    "BBX 3 4 0 0\nBITMAP\n40\nA0\nE0\nA0\nENDCHAR\nENDFONT\n";

// The text of glyph "A" in `font`, from STARTCHAR to ENDCHAR.
std::string glyphA(const std::string& font) {
    const size_t start = font.find("STARTCHAR A\n");
    if (start == std::string::npos) return "(none)";
    return font.substr(start, font.find("ENDCHAR\n", start) + 8 - start);
}

struct Opened : EditorFixture {
    Opened() {
        writeBytes(path, Tiny);
        prompts.files.push_back(QString::fromStdString(path));
        window->dispatchCommand(CmdOpen);
    }
    std::string saved() {
        window->dispatchCommand(CmdSave);
        return readBytes(path);
    }
    // Field 0..4: width, height, x offset, y offset, advance.
    void metric(int field, int value) {
        inDialog<MetricsDialog>(CmdGlyphMetrics, [&](MetricsDialog* d) {
            QSpinBox* boxes[] = {d->widthBox(), d->heightBox(), d->xBox(), d->yBox(),
                                 d->advanceBox()};
            boxes[field]->setValue(value);
            d->done(1);
        });
    }
    const std::string path = dir.file("tiny.bdf");
};

} // namespace

class FontDocumentTest : public QObject {
    Q_OBJECT
  private slots:
    void openedAndSavedUnchangedIsTheSameFile() {
        Opened f;
        QCOMPARE(f.doc().kind, DocumentKind::Font);
        QCOMPARE(f.doc().patternCount, 2);
        QCOMPARE(f.window->glyphList()->model().rowCount(), 2);
        QVERIFY(f.window->glyphList()->isVisible());
        QCOMPARE(f.saved(), Tiny);
        // Leaving for a pattern file hides the list again.
        f.prompts.answers.push_back(IDNO);
        f.window->dispatchCommand(CmdNew);
        QCOMPARE(f.doc().kind, DocumentKind::Patterns);
        QVERIFY(!f.window->glyphList()->isVisible());
    }

    // The canvas of "A" covers the font's box: 4 x 6, the origin at column
    // 0, the baseline below row 3. Saved glyphs are cut to their ink.
    void aGlyphIsSavedCutToItsDotsWithItsMetrics_data() {
        QTest::addColumn<int>("dotX");
        QTest::addColumn<int>("dotY");
        QTest::addColumn<int>("metric"); // which field the dialog changes; -1 none
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a dot below the baseline widens and deepens the box")
            << 3 << 5 << -1 << 0 << "BBX 4 6 0 -2\nBITMAP\n40\nA0\nE0\nA0\n00\n10\nENDCHAR\n";
        QTest::newRow("a dot inside keeps the box")
            << 1 << 3 << -1 << 0 << "DWIDTH 4 0\nBBX 3 4 0 0";
        QTest::newRow("advance") << -1 << 0 << 4 << 6 << "DWIDTH 6 0\nBBX 3 4 0 0";
        QTest::newRow("x offset moves the dots") << -1 << 0 << 2 << 1 << "BBX 3 4 1 0";
        QTest::newRow("the advance marker dragged")
            << -1 << 0 << 5 << 3 << "DWIDTH 3 0\nBBX 3 4 0 0";
        QTest::newRow("a lower box keeps the bottom rows")
            << -1 << 0 << 1 << 2 << "BBX 3 2 0 0\nBITMAP\nE0\nA0\nENDCHAR";
        QTest::newRow("a narrower box cuts the right column")
            << -1 << 0 << 0 << 2 << "BBX 2 4 0 0\nBITMAP\n40\n80\nC0\n80\nENDCHAR";
    }
    void aGlyphIsSavedCutToItsDotsWithItsMetrics() {
        QFETCH(int, dotX);
        QFETCH(int, dotY);
        QFETCH(int, metric);
        QFETCH(int, value);
        QFETCH(QString, expected);
        Opened f;
        QTest::keyClicks(&f.grid(), "A");
        QCOMPARE(f.doc().currentPattern, 1);
        if (dotX >= 0) {
            f.window->dispatchCommand(CmdDrawPoint);
            f.drag({QPoint(dotX, dotY)});
        }
        if (metric == 5) {
            // By its handle below the grid, from the line of 4 to that of 3.
            const GridGeometry g = f.grid().geometry();
            const int below = g.lineY(g.height) + 4;
            QTest::mousePress(&f.grid(), Qt::LeftButton, {}, QPoint(g.lineX(4), below));
            QTest::mouseMove(&f.grid(), QPoint(g.lineX(3) + 2, below));
            QTest::mouseRelease(&f.grid(), Qt::LeftButton, {}, QPoint(g.lineX(3) + 2, below));
            QCOMPARE(f.editor->history.undoCount(), 1);
        } else if (metric >= 0) {
            f.metric(metric, value);
        }
        const std::string text = f.saved();
        QVERIFY2(glyphA(text).find(expected.toStdString()) != std::string::npos,
                 glyphA(text).c_str());
        // Everything but the glyph is as it was read.
        QCOMPARE(text.substr(0, text.find("STARTCHAR A")),
                 Tiny.substr(0, Tiny.find("STARTCHAR A")));
        QVERIFY(!f.doc().modifiedFlag);
    }

    // Each step is undone whole: the font saves as it was read.
    void undoneStepsLeaveTheFontAsRead_data() {
        QTest::addColumn<int>("metric");
        QTest::addColumn<int>("value");
        QTest::newRow("a shorter advance on the same canvas") << 4 << 2;
        QTest::newRow("a longer advance on a wider canvas") << 4 << 7;
        QTest::newRow("the box moved down") << 3 << -1;
    }
    void undoneStepsLeaveTheFontAsRead() {
        QFETCH(int, metric);
        QFETCH(int, value);
        Opened f;
        f.window->dispatchCommand(CmdGoToGlyph); // cancelled: nothing typed
        f.prompts.typed.push_back("U+0041");
        f.window->dispatchCommand(CmdGoToGlyph);
        QCOMPARE(f.doc().currentPattern, 1);
        f.metric(metric, value);
        QCOMPARE(f.editor->history.undoCount(), 1);
        f.window->dispatchCommand(CmdUndo);
        QCOMPARE(f.saved(), Tiny);
    }

    void glyphsAreAddedFoundAndDeleted() {
        Opened f;
        struct Row {
            int command;
            QString typed;
            int answer; // to a question; 0: none asked
            int count, current;
            const char* inFile; // after a save; nullptr: not checked
            const char* notInFile;
        };
        const Row rows[] = {
            {CmdAddGlyph, "U+4E00", 0, 3, 2, "STARTCHAR uni4E00\nENCODING 19968\n", nullptr},
            {CmdAddGlyph, "!", 0, 4, 1, "STARTCHAR uni0021\nENCODING 33\n", nullptr},
            // Already there: said, and shown.
            {CmdAddGlyph, "A", 0, 4, 2, nullptr, nullptr},
            {CmdAddGlyph, "U+110000", 0, 4, 2, nullptr, nullptr},
            {CmdGoToGlyph, " ", 0, 4, 0, nullptr, nullptr},
            {CmdDeleteGlyph, "", IDNO, 4, 0, "STARTCHAR space", nullptr},
            {CmdDeleteGlyph, "", IDYES, 3, 0, "CHARS 3\n", "STARTCHAR space"},
            // The palette's add button adds glyphs too, never a bare record.
            {CmdAddPattern, "U+1F600", 0, 4, 3, "STARTCHAR u1F600\nENCODING 128512\n", nullptr},
        };
        for (const Row& r : rows) {
            if (!r.typed.isEmpty()) f.prompts.typed.push_back(r.typed);
            if (r.answer) f.prompts.answers.push_back(r.answer);
            f.window->dispatchCommand(r.command);
            QCOMPARE(f.doc().patternCount, r.count);
            QCOMPARE(f.doc().currentPattern, r.current);
            QCOMPARE(f.window->glyphList()->model().rowCount(), r.count);
            QVERIFY(!brokenInvariant(*f.editor));
            if (!r.inFile) continue;
            const std::string text = f.saved();
            QVERIFY2(text.find(r.inFile) != std::string::npos, text.c_str());
            if (r.notInFile) QVERIFY(text.find(r.notInFile) == std::string::npos);
        }
    }

    // A step of one glyph is never undone on another.
    void steppingToAnotherGlyphStartsItsHistoryAnew() {
        Opened f;
        f.window->dispatchCommand(CmdDrawPoint);
        f.drag({QPoint(0, 0)});
        QCOMPARE(f.editor->history.undoCount(), 1);
        f.window->palette()->scrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(f.doc().currentPattern, 1);
        QCOMPARE(f.editor->history.undoCount(), 0);
        QTest::keyClicks(&f.grid(), " ");
        QCOMPARE(f.doc().currentPattern, 0);
        QCOMPARE(f.editor->history.undoCount(), 0);
        QCOMPARE(f.rows().substr(0, 4), std::string("1000"));
    }

    // A font the editor cannot hold is said, and the document open before
    // stays as it was.
    void fontsTooLargeOrEmptyAreRefused_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("glyphs");
        QTest::addColumn<QString>("said");
        QTest::newRow("no glyph") << 4 << 0 << "has no glyph to edit";
        // 16,400 canvases of 256 x 256 pass the 128 MB the store may take.
        QTest::newRow("canvases past the limit") << 256 << 16400 << "take more than 128 MB";
    }
    void fontsTooLargeOrEmptyAreRefused() {
        QFETCH(int, box);
        QFETCH(int, glyphs);
        QFETCH(QString, said);
        EditorFixture f;
        std::string text = "STARTFONT 2.1\nFONT -x\nSIZE 8 75 75\nFONTBOUNDINGBOX " +
                           std::to_string(box) + " " + std::to_string(box) + " 0 0\nCHARS " +
                           std::to_string(glyphs) + "\n";
        for (int i = 0; i < glyphs; ++i)
            text += "STARTCHAR g\nENCODING " + std::to_string(i) +
                    "\nSWIDTH 0 0\nDWIDTH 0 0\nBBX 0 0 0 0\nBITMAP\nENDCHAR\n";
        writeBytes(f.dir.file("big.bdf"), text + "ENDFONT\n");
        f.prompts.files.push_back(QString::fromStdString(f.dir.file("big.bdf")));
        f.window->dispatchCommand(CmdOpen);
        QCOMPARE(f.doc().kind, DocumentKind::Patterns);
        QCOMPARE(f.doc().patternCount, 1);
        QVERIFY(!f.prompts.shown.empty());
        QVERIFY2(QString::fromStdString(f.prompts.shown.back().text).contains(said),
                 f.prompts.shown.back().text.c_str());
    }
};

QTEST_MAIN(FontDocumentTest)
#include "fontdocument_test.moc"
