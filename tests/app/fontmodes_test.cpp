#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <tuple>

#include "editorfixture.h"
#include "fontgen.h"
#include "fonts/big5.h"
#include "fonts/subsetdialog.h"
#include "settings/settingsfile.h"
#include "ui/commandids.h"
#include "ui/dotpreview.h"

using namespace dedur;
using dedur::test::EditorFixture;

namespace {

// An editor whose start-up directory holds freshly made glyph files.
struct FontFixture : EditorFixture {
    explicit FontFixture(const std::string& settings = "") : EditorFixture(settings, false) {
        const fontgen::Result made = fontgen::makeFonts(dir.path().string(), false);
        if (!made.ok) qFatal("%s", made.error.c_str());
        launch();
    }

    std::vector<uint8_t> record(EditMode type, uint16_t code) {
        std::vector<uint8_t> bytes(72);
        accessBig5Glyph(editor->fontEdit, type, code >> 8, code & 0xFF, bytes.data(),
                        GlyphAccess::Read, nullptr);
        bytes.resize(static_cast<size_t>(glyphKind(type).recordSize));
        return bytes;
    }

    std::vector<uint8_t> shown16() {
        auto r = packGlyph16(doc());
        return {r.begin(), r.end()};
    }

    QScrollBar* bar() { return window->palette()->scrollBar(); }
    std::string ini() { return test::readBytes(dir.file("DEDUR.INI")); }
};

} // namespace

class FontModesTest : public QObject {
    Q_OBJECT
  private slots:
    void enteringTheBig5Modes() {
        FontFixture f;
        f.window->dispatchCommand(CmdFont16Mode);
        QCOMPARE(f.doc().editType, EditMode::Font16x15);
        QCOMPARE(int(f.doc().patternWidth), 16);
        QCOMPARE(int(f.doc().patternHeight), 15);
        QCOMPARE(f.window->windowTitle(),
                 QString::fromStdString("Font Editor : ( " + f.dir.file("STD16X15.fon") + " )"));
        QVERIFY(!f.window->palette()->numberBox());
        QCOMPARE(f.window->palette()->countLabel()->text(), QString("13094"));
        QCOMPARE(f.window->currentNumber(), 1);
        QCOMPARE(f.shown16(), f.record(EditMode::Font16x15, 0xA440));
        f.window->updateMenuState();
        for (int id : {CmdDeletePattern, CmdAddPattern, CmdInsertPattern, CmdPatternSize}) {
            QVERIFY(!f.window->palette()->find(id)->enabled);
            QVERIFY(!f.window->action(id)->isEnabled());
        }
        QVERIFY(f.window->action(CmdFont16Mode)->isChecked());
        QVERIFY(!f.window->action(CmdPatternMode)->isChecked());

        f.window->dispatchCommand(CmdFont24Mode);
        QCOMPARE(int(f.doc().patternWidth), 24);
        QCOMPARE(int(f.doc().patternHeight), 24);
        QCOMPARE(f.window->windowTitle(),
                 QString::fromStdString("Font Editor : ( " + f.dir.file("STD24.fon") + " )"));
        f.window->dispatchCommand(CmdPatternMode);
        QVERIFY(f.window->palette()->numberBox());
        QVERIFY(f.window->palette()->find(CmdAddPattern)->enabled);
        QCOMPARE(int(f.doc().patternWidth), 12);
    }

    // File > Export font as BDF... and Import BDF... through the real menu
    // commands: out, the glyph file emptied, and back in, the same bytes.
    void aFontGoesOutAsBdfAndComesBack() {
        FontFixture f;
        f.window->dispatchCommand(CmdFont16Mode);
        f.window->updateMenuState();
        QVERIFY(f.window->action(CmdExportBdf)->isEnabled());
        const std::string font = f.dir.file("STD16X15.fon");
        const std::string original = test::readBytes(font);
        f.prompts.files = {QString::fromStdString(f.dir.file("out"))};
        f.window->dispatchCommand(CmdExportBdf);
        QVERIFY(test::readBytes(f.dir.file("out.bdf")).rfind("STARTFONT 2.1\n", 0) == 0);
        QCOMPARE(QString::fromStdString(f.prompts.shown.back().text),
                 QString("13094 glyphs written; 0 blank and 0 without a Unicode character left "
                         "out."));
        test::writeBytes(font, "");
        // Asked first: No leaves the file as it is, Yes fills it.
        const std::string asked = "Place 13094 glyphs from out.bdf into STD16X15.fon?";
        for (const int answer : {IDNO, IDYES}) {
            f.prompts.shown.clear();
            f.prompts.answers = {answer};
            f.prompts.files = {QString::fromStdString(f.dir.file("out.bdf"))};
            f.window->dispatchCommand(CmdImportBdf);
            QCOMPARE(f.prompts.shown.front().text, asked);
            QCOMPARE(test::readBytes(font).size(), answer == IDNO ? size_t{0} : original.size());
        }
        QCOMPARE(f.prompts.shown.back().text,
                 std::string("13094 glyphs placed, 0 skipped (no record for their character), 0 "
                             "cut to the cell."));
        QVERIFY(test::readBytes(font) == original);
        QCOMPARE(f.shown16(), f.record(EditMode::Font16x15, 0xA440)); // shown anew
        f.window->dispatchCommand(CmdPatternMode);
        f.window->updateMenuState();
        QVERIFY(!f.window->action(CmdImportBdf)->isEnabled());
    }

    // What the glyph files lack is listed in the order the text uses it,
    // each once; what shows as nothing goes by name. Tabs and line ends are
    // not drawn, so never missing.
    void theSubsetWarningFollowsTheText_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("warning");
        // 24x24 has no ASCII file: Latin letters are missing too. Blanks
        // are drawn with nothing, so never missing.
        QTest::newRow("marks by name, in text order")
            << int(CmdFont24Mode) << QString::fromUtf8("Zb\u200B a\u00A0\u4E00Zb\u200D\uFE0F\u200B")
            << QString::fromUtf8("No glyph for: Z b [U+200B ZERO WIDTH SPACE] a [U+200D ZERO "
                                 "WIDTH JOINER] [U+FE0F VARIATION SELECTOR-16]");
        QTest::newRow("tabs and line ends are not characters")
            << int(CmdFont16Mode) << QString::fromUtf8("\t\uD55C\u2060A\uD55C\r\n\u00AD")
            << QString::fromUtf8("No glyph for: \uD55C [U+2060 WORD JOINER] [U+00AD SOFT HYPHEN]");
        QTest::newRow("nothing missing")
            << int(CmdFont16Mode) << QString::fromUtf8("A \u4E00") << QString();
    }
    void theSubsetWarningFollowsTheText() {
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(QString, warning);
        FontFixture f;
        f.window->dispatchCommand(mode);
        f.inDialog<SubsetDialog>(CmdExportSubset, [&](SubsetDialog* d) {
            d->show();
            d->textBox()->setPlainText(text);
            QCOMPARE(d->missingLabel()->text(), warning);
            QCOMPARE(d->missingArea()->isVisible(), !warning.isEmpty());
            QCOMPARE(d->copyWarningButton()->isVisible(), !warning.isEmpty());
            if (warning.isEmpty()) return;
            QGuiApplication::clipboard()->clear();
            QTest::mouseClick(d->copyWarningButton(), Qt::LeftButton);
            QCOMPARE(QGuiApplication::clipboard()->text(), warning);
        });
    }

    // Hundreds of missing characters: the list wraps and scrolls, every
    // line of it reachable, and the dialog keeps its size.
    void aLongSubsetWarningScrolls() {
        FontFixture f;
        f.window->dispatchCommand(CmdFont16Mode);
        f.inDialog<SubsetDialog>(CmdExportSubset, [&](SubsetDialog* d) {
            d->show();
            QVERIFY(QTest::qWaitForWindowExposed(d));
            const QSize before = d->size();
            QString text;
            for (char32_t c = 0xAC00; c < 0xAC00 + 300; ++c) text += QString::fromUcs4(&c, 1);
            d->textBox()->setPlainText(text);
            d->layout()->activate();
            QLabel* label = d->missingLabel();
            QCOMPARE(label->text(),
                     "No glyph for: " + QStringList(text.split("", Qt::SkipEmptyParts)).join(' '));
            QScrollArea* area = d->missingArea();
            QCOMPARE(d->size(), before);
            QVERIFY(area->verticalScrollBar()->maximum() > 0);
            // The label has all the height its wrapped lines need, and no
            // more width than shows.
            QVERIFY(label->height() >= label->heightForWidth(label->width()));
            QVERIFY(label->width() <= area->viewport()->width());
            QTest::mouseClick(d->copyWarningButton(), Qt::LeftButton);
            QCOMPARE(QGuiApplication::clipboard()->text(), label->text());
            // Past a few thousand the rest is counted, not listed.
            text.clear();
            for (char32_t c = 0xAC00; c < 0xAC00 + 2345; ++c) text += QString::fromUcs4(&c, 1);
            d->textBox()->setPlainText(text);
            const QStringList items = label->text().split(' ');
            QCOMPARE(items.size(), 3 + 2000 + 3); // "No glyph for:", the list, "and 345 more"
            QCOMPARE(items.mid(items.size() - 4).join(' '),
                     QString::fromUcs4(U"\uB3CF and 345 more"));
        });
    }

    void aSubsetForSomeTextIsWrittenFromTheDialog() {
        FontFixture f;
        f.window->dispatchCommand(CmdFont16Mode);
        f.inDialog<SubsetDialog>(CmdExportSubset, [&](SubsetDialog* d) {
            // 一A°😀: ° from the symbol file, as the command line takes it.
            d->textBox()->setPlainText(QString::fromUtf8("\xE4\xB8\x80"
                                                         "A"
                                                         "\xC2\xB0\xF0\x9F\x98\x80"));
            QVERIFY(d->output().find("#define glyphs_COUNT 3") != std::string::npos);
            QVERIFY(d->output().find("glyphs_glyph(uint32_t codepoint)") != std::string::npos);
            QCOMPARE(d->missingLabel()->text(),
                     QString::fromUtf8("No glyph for: \xF0\x9F\x98\x80"));
            // The first glyph ("A") as drawn, and as a display reading its
            // bytes as pages would show it.
            QCOMPARE(d->preview()->differences(), 0);
            d->readsBox()->setCurrentIndex(d->readsBox()->findData("pages-lsb"));
            QCOMPARE(d->preview()->differences(), -1); // fewer bytes than pages need
            d->textBox()->setPlainText(QString::fromUtf8("\xE9\x9B\xBB")); // 電
            d->readsBox()->setCurrentIndex(d->readsBox()->findData("rows-lsb"));
            QVERIFY(d->preview()->differences() > 0); // mirrored every 8 dots
            d->textBox()->setPlainText(QString::fromUtf8("\xE4\xB8\x80"
                                                         "A"
                                                         "\xC2\xB0\xF0\x9F\x98\x80"));
            d->formatBox()->setCurrentIndex(d->formatBox()->findData("bdf"));
            QVERIFY(d->output().find("ENCODING 19968") != std::string::npos);
            f.prompts.files = {QString::fromStdString(f.dir.file("ui"))};
            d->saveToFile();
        });
        QVERIFY(test::readBytes(f.dir.file("ui.bdf")).find("CHARS 2\n") != std::string::npos);
    }

    void steppingThroughGlyphs() {
        FontFixture f;
        f.window->dispatchCommand(CmdFont16Mode);
        f.bar()->setSliderPosition(5401);
        f.bar()->triggerAction(QAbstractSlider::SliderMove);
        f.bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(f.window->statusText(), QString("FONT=C940, No.5402"));
        QCOMPARE(f.editor->fontEdit.currentCode16, 0xC940u);
        QCOMPARE(f.shown16(), f.record(EditMode::Font16x15, 0xC940));
        QCOMPARE(f.bar()->value(), 5402);
        f.bar()->triggerAction(QAbstractSlider::SliderToMaximum);
        QCOMPARE(f.window->statusText(), QString("FONT=F9FE, No.13094"));
    }

    void switchingWithChangesAndCancelStays() {
        FontFixture f;
        f.drag({{0, 0}});
        f.prompts.answers = {IDCANCEL};
        f.window->dispatchCommand(CmdFont16Mode);
        QCOMPARE(f.prompts.shown.back().caption, std::string("Save Pattern"));
        QCOMPARE(f.doc().editType, EditMode::Pattern);
        const std::string ini = f.ini();
        QCOMPARE(readSetting(&ini, "others", "EDITTYPE"), std::string("1"));
    }

    void remembersTheGlyphAtStartUp() {
        FontFixture f("[others]\r\nEDITTYPE = 2\r\nSTD16X15FONT = C940\r\n");
        QCOMPARE(f.doc().editType, EditMode::Font16x15);
        QCOMPARE(f.window->currentNumber(), 5402);
        QCOMPARE(f.shown16(), f.record(EditMode::Font16x15, 0xC940));
    }

    void viewedFontsFromTheSettings() {
        FontFixture f("[others]\r\nEDITTYPE = 4\r\n");
        QCOMPARE(int(f.doc().patternWidth), 8);
        QCOMPARE(f.window->palette()->countLabel()->text(), QString("127"));
        f.bar()->setSliderPosition(65);
        f.bar()->triggerAction(QAbstractSlider::SliderMove);
        QCOMPARE(f.window->statusText(), QString("No.65"));
        QVERIFY(std::count(f.doc().workDots.begin(), f.doc().workDots.begin() + 120, DOT_ON) > 8);
        f.window->dispatchCommand(CmdTableExport);
        QVERIFY(test::readBytes(f.dir.file("8X15.TAB")).find("_szASC065") != std::string::npos);
        // Saving in a viewed font writes nothing.
        const std::string before = test::readBytes(f.dir.file("ASCFONT.15"));
        f.drag({{0, 0}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(test::readBytes(f.dir.file("ASCFONT.15")), before);
    }

    // The file gone meanwhile: each step says so, a Big5 step beeps, and the
    // grid keeps the glyph it showed (nothing unread is painted).
    void aGlyphThatCannotBeReadLeavesTheDots() {
        for (const auto& [mode, file, beeps] :
             {std::tuple{int(CmdFont16Mode), "STD16X15.fon", 1}, std::tuple{0, "ASCFONT.15", 0}}) {
            FontFixture f(mode ? "" : "[others]\r\nEDITTYPE = 4\r\n");
            if (mode) f.window->dispatchCommand(mode);
            f.bar()->setSliderPosition(65);
            f.bar()->triggerAction(QAbstractSlider::SliderMove);
            const auto shown = f.doc().workDots;
            QVERIFY(std::count(shown.begin(), shown.end(), DOT_ON) > 8);
            std::filesystem::remove(f.dir.file(file));
            f.prompts.shown.clear();
            f.bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            QCOMPARE(f.prompts.texts(),
                     std::vector<std::string>{f.dir.file(std::string(file)) + " Open Failure !"});
            QCOMPARE(f.prompts.beeps, beeps);
            QVERIFY(f.doc().workDots == shown);
            QCOMPARE(f.cellPixel(0, 0), shown[0] == DOT_ON ? test::Black : test::White);
        }
    }

    // A glyph file larger than its glyphs cannot be read whole: what it holds
    // past them would be lost, so neither F3 nor Import BDF writes it, and
    // each says so once; nothing of the file changes.
    void aGlyphFileThatCannotBeReadWholeIsNeverWritten() {
        FontFixture f;
        const std::string font = f.dir.file("STD16X15.fon");
        const std::string bytes = test::readBytes(font) + "tail";
        test::writeBytes(font, bytes);
        test::writeBytes(f.dir.file("one.bdf"),
                         "STARTFONT 2.1\nCHARS 1\nSTARTCHAR a\nENCODING 19968\nDWIDTH 16 0\n"
                         "BBX 1 1 0 0\nBITMAP\n80\nENDCHAR\nENDFONT\n");
        f.window->dispatchCommand(CmdFont16Mode);
        QCOMPARE(f.prompts.texts(),
                 std::vector<std::string>{
                     font + " holds 392824 bytes, not the 392820 bytes of 13094 glyphs of 30 "
                            "bytes.\nWhat it holds past them would be lost: it is not written, no "
                            "glyph is saved into it and no font imported."});
        const std::string refusal = font + " cannot be read whole: it holds 392824 bytes, more "
                                           "than the 392820 of its 13094 glyphs.\nIt is left as "
                                           "it is: nothing is written into it.";
        f.drag({{0, 0}, {5, 5}});
        QVERIFY(f.doc().modifiedFlag);
        f.prompts.shown.clear();
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{refusal});
        QVERIFY(test::readBytes(font) == bytes);
        // Import: the glyph's question answered No, then the refusal, before
        // any file is asked for.
        f.prompts.shown.clear();
        f.prompts.answers = {IDNO};
        f.prompts.files = {QString::fromStdString(f.dir.file("one.bdf"))};
        f.window->dispatchCommand(CmdImportBdf);
        QCOMPARE(f.prompts.shown.size(), size_t{2});
        QCOMPARE(f.prompts.shown.back().text, refusal);
        QCOMPARE(f.prompts.files.size(), size_t{1});
        QVERIFY(test::readBytes(font) == bytes);
    }
};

QTEST_MAIN(FontModesTest)
#include "fontmodes_test.moc"
