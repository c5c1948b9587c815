#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <algorithm>
#include <tuple>
#include <unistd.h>

#include "base/limits.h"
#include "code/codedialog.h"
#include "fontfixture.h"
#include "fonts/glyphfilemaker.h"
#include "fonts/subsetdialog.h"
#include "settings/settingsfile.h"
#include "ui/commandids.h"
#include "ui/dotpreview.h"
#include "ui/fontpreview.h"
#include "window/datafolder.h"

using namespace dedur;
using dedur::test::EditorFixture;
using dedur::test::FontFixture;
using dedur::test::glyphRecord;
using dedur::test::shownGlyph16;
namespace fs = std::filesystem;
using Mark = FontPreviewMark;

namespace {

const char* const GlyphFiles[] = {"STD16X15.fon", "STD24.fon", "ASCFONT.15", "SPCFONT.15",
                                  "SPCFSUPP.15"};

std::string offerText(const std::string& folder) {
    const std::string path = folder + "/STD16X15.fon";
    return "\"" + path + "\" is not there.\nMake the glyph files of the font modes in \"" + folder +
           "\" now, from the installed free fonts? Glyph files already there are kept. This is "
           "asked once.\n\nScripts make them with:\ndedur-cli make-fonts " +
           folder;
}

void restart(EditorFixture& f) {
    f.window.reset();
    f.prompts.shown.clear();
    f.editor = std::make_unique<Editor>(f.dir.path().string());
    loadSettings(*f.editor);
    f.window = std::make_unique<MainWindow>(*f.editor, f.prompts);
    f.window->placeWindow(QSize(1400, 1100));
    f.launch();
}

// A glyph of `rows` ("#" a dot), its box `yOffset` above the baseline.
BdfGlyph glyph(long code, std::vector<const char*> rows, int advance, int xOffset = 0,
               int yOffset = 0) {
    BdfGlyph g;
    g.encoding = code;
    g.advance = advance;
    g.xOffset = xOffset;
    g.yOffset = yOffset;
    g.height = static_cast<int>(rows.size());
    g.width = rows.empty() ? 0 : static_cast<int>(std::strlen(rows[0]));
    for (const char* row : rows) {
        for (const char* c = row; *c; ++c) g.dots.push_back(*c == '#' ? '1' : '0');
    }
    return g;
}

BdfFont font(std::vector<BdfGlyph> glyphs, int ascent = 3, int descent = 2) {
    BdfFont f;
    f.ascent = ascent;
    f.descent = descent;
    f.lined = true;
    f.glyphs = std::move(glyphs);
    return f;
}

// A: three columns, two rows standing on the baseline; B: one dot.
BdfFont sourceFont() {
    return font({glyph('A', {"###", "#.#"}, 4), glyph('B', {"#"}, 3, 1)});
}

test::ShellRun runCli(const std::string& folder, const std::string& arguments) {
    return test::shell("cd '" + folder + "' && '" DEDUR_CLI "' " + arguments + " 2>&1");
}

// Big5, ASCII, a symbol file's, over two lines: 一電 Ag / 日 12°
const QString Mixed = QString::fromUtf8("\xE4\xB8\x80\xE9\x9B\xBB Ag\n"
                                        "\xE6\x97\xA5 12\xC2\xB0");

void madeAsTheCommandLineMakes(const fs::path& folder) {
    test::TempDir other;
    QCOMPARE(test::shell("'" DEDUR_CLI "' make-fonts '" + other.path().string() + "' 2>&1").status,
             0);
    for (const char* name : GlyphFiles) {
        QVERIFY2(test::readBytes((folder / name).string()) == test::readBytes(other.file(name)),
                 name);
    }
}

std::vector<Mark> sorted(std::vector<Mark> marks) {
    std::sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) {
        return std::tie(a.kind, a.line, a.y, a.x) < std::tie(b.kind, b.line, b.y, b.x);
    });
    return marks;
}

} // namespace

class FontModesTest : public QObject {
    Q_OBJECT
  private slots:
    void enteringTheBig5Modes() {
        FontFixture f;
        f.window->dispatchCommand(CmdFont16Mode);
        QCOMPARE(f.window->windowTitle(),
                 QString::fromStdString("Font Editor : ( " + f.dir.file("STD16X15.fon") + " )"));
        QVERIFY(!f.window->palette()->numberBox());
        QCOMPARE(f.window->palette()->countLabel()->text(), QString("13094"));
        QCOMPARE(f.window->currentNumber(), 1);
        QCOMPARE(shownGlyph16(f.doc()), glyphRecord(*f.editor, EditMode::Font16x15, 0xA440));
        f.window->updateMenuState();
        for (int id : {CmdDeletePattern, CmdAddPattern, CmdInsertPattern, CmdPatternSize}) {
            QVERIFY(!f.window->palette()->find(id)->enabled && !f.window->action(id)->isEnabled());
        }
        QVERIFY(f.window->action(CmdFont16Mode)->isChecked());
        QVERIFY(!f.window->action(CmdPatternMode)->isChecked());

        f.window->dispatchCommand(CmdFont24Mode);
        QCOMPARE(int(f.doc().patternHeight), 24);
        QCOMPARE(f.window->windowTitle(),
                 QString::fromStdString("Font Editor : ( " + f.dir.file("STD24.fon") + " )"));
        f.window->dispatchCommand(CmdPatternMode);
        QVERIFY(f.window->palette()->numberBox());
        QVERIFY(f.window->palette()->find(CmdAddPattern)->enabled);
        QCOMPARE(int(f.doc().patternWidth), 12);
    }

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
        QCOMPARE(shownGlyph16(f.doc()),
                 glyphRecord(*f.editor, EditMode::Font16x15, 0xA440)); // shown anew
        f.window->dispatchCommand(CmdPatternMode);
        f.window->updateMenuState();
        QVERIFY(!f.window->action(CmdImportBdf)->isEnabled());
    }

    void theSubsetWarningFollowsTheText() {
        // 24x24 has no ASCII file; blanks draw nothing, so are never missing.
        const struct {
            int mode;
            QString text, warning;
        } rows[] = {
            {CmdFont24Mode, QString::fromUtf8("Zb\u200B a\u00A0\u4E00Zb\u200D\uFE0F\u200B"),
             QString::fromUtf8("No glyph for: Z b [U+200B ZERO WIDTH SPACE] a [U+200D ZERO "
                               "WIDTH JOINER] [U+FE0F VARIATION SELECTOR-16]")},
            {CmdFont16Mode, QString::fromUtf8("\t\uD55C\u2060A\uD55C\r\n\u00AD"),
             QString::fromUtf8("No glyph for: \uD55C [U+2060 WORD JOINER] [U+00AD SOFT HYPHEN]")},
            {CmdFont16Mode, QString::fromUtf8("A \u4E00"), QString()}};
        for (const auto& row : rows) {
            const QString& warning = row.warning;
            FontFixture f;
            f.window->dispatchCommand(row.mode);
            f.inDialog<SubsetDialog>(CmdExportSubset, [&](SubsetDialog* d) {
                d->show();
                d->textBox()->setPlainText(row.text);
                QCOMPARE(d->missingLabel()->text(), warning);
                QCOMPARE(d->missingArea()->isVisible(), !warning.isEmpty());
                QCOMPARE(d->copyWarningButton()->isVisible(), !warning.isEmpty());
                if (warning.isEmpty()) return;
                QGuiApplication::clipboard()->clear();
                QTest::mouseClick(d->copyWarningButton(), Qt::LeftButton);
                QCOMPARE(QGuiApplication::clipboard()->text(), warning);
            });
        }
    }

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
            QVERIFY(d->size() == before && area->verticalScrollBar()->maximum() > 0);
            QVERIFY(label->height() >= label->heightForWidth(label->width()));
            QVERIFY(label->width() <= area->viewport()->width());
            QTest::mouseClick(d->copyWarningButton(), Qt::LeftButton);
            QCOMPARE(QGuiApplication::clipboard()->text(), label->text());
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
            QCOMPARE(d->preview()->differences(), 0);
            d->readsBox()->setCurrentIndex(d->readsBox()->findData("pages-lsb"));
            QCOMPARE(d->preview()->differences(), -1); // fewer bytes than pages need
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
        QCOMPARE(shownGlyph16(f.doc()), glyphRecord(*f.editor, EditMode::Font16x15, 0xC940));
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
        const std::string ini = test::readBytes(f.dir.file("DEDUR.INI"));
        QCOMPARE(readSetting(&ini, "others", "EDITTYPE"), std::string("1"));
    }

    void remembersTheGlyphAtStartUp() {
        FontFixture f("[others]\r\nEDITTYPE = 2\r\nSTD16X15FONT = C940\r\n");
        QCOMPARE(f.window->currentNumber(), 5402);
        QCOMPARE(shownGlyph16(f.doc()), glyphRecord(*f.editor, EditMode::Font16x15, 0xC940));
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
        const std::string before = test::readBytes(f.dir.file("ASCFONT.15"));
        f.drag({{0, 0}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(test::readBytes(f.dir.file("ASCFONT.15")), before);
    }

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
            QVERIFY(f.prompts.beeps == beeps && f.doc().workDots == shown);
            QCOMPARE(f.cellPixel(0, 0), shown[0] == DOT_ON ? test::Black : test::White);
        }
    }

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
        f.prompts.shown.clear();
        f.prompts.answers = {IDNO};
        f.prompts.files = {QString::fromStdString(f.dir.file("one.bdf"))};
        f.window->dispatchCommand(CmdImportBdf);
        QCOMPARE(f.prompts.shown.size(), size_t{2});
        QCOMPARE(f.prompts.shown.back().text, refusal);
        QCOMPARE(f.prompts.files.size(), size_t{1});
        QVERIFY(test::readBytes(font) == bytes);
    }

    void theOfferFollowsTheOpenFailureOnce() {
        const std::pair<int, bool> rows[] = {{IDYES, false}, {IDNO, false}, {IDYES, true}};
        for (const auto& row : rows) {
            const int answer = row.first;
            const bool cancelBar = row.second;
            EditorFixture f("[others]\r\nEDITTYPE = 2\r\n", false);
            const std::string folder = f.dir.path().string();
            int reports = 0, lastValue = -1, maximum = 0;
            f.window->controllers().fonts.watchGlyphFileBar = [&](QProgressDialog& bar) {
                ++reports;
                lastValue = bar.value();
                maximum = bar.maximum();
                QVERIFY(bar.isVisible());
                if (cancelBar) bar.cancel();
            };
            f.prompts.answers = {IDOK, answer};
            f.launch();

            QCOMPARE(f.prompts.texts(),
                     (std::vector<std::string>{folder + "/STD16X15.fon Open Failure !",
                                               offerText(folder)}));
            QCOMPARE(f.prompts.shown[0].caption + "|" + f.prompts.shown[1].caption,
                     std::string("|Glyph files"));
            const bool made = answer == IDYES && !cancelBar;
            for (const char* name : GlyphFiles) QCOMPARE(fs::exists(f.dir.file(name)), made);
            QCOMPARE(reports > 0, answer == IDYES);
            if (made) {
                QVERIFY(reports > 10 && lastValue == maximum);
                madeAsTheCommandLineMakes(f.dir.path());
                const std::vector<uint8_t> shown = test::shownGlyph16(f.doc());
                QCOMPARE(shown, test::glyphRecord(*f.editor, EditMode::Font16x15, 0xA440));
                QVERIFY(std::count(shown.begin(), shown.end(), 0) < 30);
                QCOMPARE(f.window->currentNumber(), 1);
            } else {
                QCOMPARE(std::distance(fs::directory_iterator(f.dir.path()), {}), 1);
            }
            const std::string ini = test::readBytes(f.dir.file("DEDUR.INI"));
            QCOMPARE(readSetting(&ini, "others", "GLYPHFILESOFFERED"),
                     std::string(cancelBar ? "" : "1"));

            f.prompts.shown.clear();
            f.window->dispatchCommand(CmdFont24Mode);
            QCOMPARE(f.prompts.texts(),
                     made ? std::vector<std::string>{}
                          : std::vector<std::string>{folder + "/STD24.fon Open Failure !"});

            f.prompts.answers = {IDOK, IDNO};
            restart(f);
            std::vector<std::string> expected;
            if (!made) expected.push_back(folder + "/STD16X15.fon Open Failure !");
            if (cancelBar) expected.push_back(offerText(folder));
            QCOMPARE(f.prompts.texts(), expected);
        }
    }

    void noOfferWhereSomethingStandsAtTheName() {
        for (const bool folderThere : {true, false}) {
            EditorFixture f("[others]\r\nEDITTYPE = 2\r\n", false);
            const std::string font = f.dir.file("STD16X15.fon");
            if (folderThere) {
                fs::create_directory(font);
            } else {
                fs::create_symlink(f.dir.file("gone.fon"), font);
            }
            f.launch();
            QCOMPARE(f.prompts.texts(),
                     std::vector<std::string>{font + " Open Failure !" +
                                              (folderThere ? "\n(it is not a regular file)" : "")});
            QVERIFY(!fs::exists(f.dir.file("STD24.fon")));
        }
    }

    void aFolderThatCannotBeWrittenIsSaid() {
        if (::geteuid() == 0) QSKIP("root writes into a read-only folder");
        EditorFixture f("[others]\r\nEDITTYPE = 4\r\n", false);
        const std::string folder = f.dir.path().string();
        fs::permissions(f.dir.path(), fs::perms(0555));
        f.launch();
        fs::permissions(f.dir.path(), fs::perms(0755));
        const std::vector<std::string> texts = f.prompts.texts();
        QCOMPARE(texts.size(), size_t{3});
        QCOMPARE(texts[0], folder + "/ASCFONT.15 Open Failure !");
        const std::string said =
            "The glyph files could not be made in \"" + folder + "\": cannot write ";
        QCOMPARE(texts[2].substr(0, said.size()), said);
        for (const char* name : GlyphFiles) QVERIFY(!fs::exists(f.dir.file(name)));
    }

    void theLauncherStartMakesTheGlyphFiles() {
        test::TempDir data;
        const fs::path previous = fs::current_path();
        const QByteArray before = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.path().string()));
        bool entered = false;
        const QString error = enterDataFolder(entered);
        const fs::path folder = fs::current_path();
        fs::current_path(previous);
        if (before.isEmpty()) {
            qunsetenv("XDG_DATA_HOME");
        } else {
            qputenv("XDG_DATA_HOME", before);
        }
        QVERIFY(error == QString() && entered && folder == data.path() / "dedur");
        madeAsTheCommandLineMakes(folder);
    }

    void theNamedCommandSurvivesTheShell() {
        for (const std::string& folder :
             {std::string("/tmp/plain-folder_1.2"), std::string("/tmp/two words"),
              std::string("/tmp/it's here"), std::string("/tmp/$HOME `x` \"q\" *"),
              std::string("relative/dir")}) {
            const std::string command = makeFontsCommandFor(folder);
            const std::string prefix = "dedur-cli make-fonts ";
            QCOMPARE(command.substr(0, prefix.size()), prefix);
            const test::ShellRun echoed =
                test::shell("printf '%s' " + command.substr(prefix.size()));
            QVERIFY(echoed.status == 0 && echoed.out == folder);
        }
    }

    void marksWhereTheDrawnFontDiffers() {
        BdfFont dot = sourceFont();
        dot.glyphs[0].dots[4] = '1'; // A's gap in its lower row filled
        BdfFont wide = sourceFont();
        wide.glyphs[0].advance = 5; // B after A stands a column on, its dot with it
        BdfFont lost = sourceFont();
        lost.glyphs.pop_back(); // the library has no B: its A at x 0, the source's at 3
        std::vector<Mark> lostMarks{{Mark::Advance, 0, 0, 0}, {Mark::OnlySource, 0, 1, -1}};
        for (const auto& [kind, x] : {std::pair{Mark::OnlyDrawn, 0}, {Mark::OnlySource, 3}}) {
            for (const auto& [dx, y] : {std::pair{0, -2}, {1, -2}, {2, -2}, {0, -1}, {2, -1}})
                lostMarks.push_back({kind, 0, x + dx, y});
        }
        // g's tail one row below the baseline, where the library's line stops.
        const BdfFont tail = font({glyph('g', {"##", ".#"}, 3, 0, -1)});
        BdfFont shallow = tail;
        shallow.descent = 0;
        const struct {
            std::u32string text;
            BdfFont source, drawn;
            std::vector<Mark> marks;
        } rows[] = {
            {U"AB\nBA", sourceFont(), sourceFont(), {}},
            {U"AB", sourceFont(), dot, {{Mark::OnlyDrawn, 0, 1, -1}}},
            {U"AB",
             sourceFont(),
             wide,
             {{Mark::Advance, 0, 5, 0}, {Mark::OnlyDrawn, 0, 6, -1}, {Mark::OnlySource, 0, 5, -1}}},
            {U"B\nAB",
             sourceFont(),
             wide,
             {{Mark::Advance, 1, 5, 0}, {Mark::OnlyDrawn, 1, 6, -1}, {Mark::OnlySource, 1, 5, -1}}},
            {U"BA", sourceFont(), lost, lostMarks},
            {U"g", tail, shallow, {{Mark::OutsideLine, 0, 1, 0}}}};
        for (const auto& row : rows) {
            FontPreview preview;
            preview.setFonts(row.text, row.source, "the source", row.drawn, "the library");
            QVERIFY(sorted(preview.marks()) == sorted(row.marks));
            QCOMPARE(preview.lines(), int(std::count(row.text.begin(), row.text.end(), U'\n')) + 1);
        }
    }

    void paintsTheMarksWhereTheyAre() {
        BdfFont drawn = sourceFont();
        drawn.glyphs[0].dots[4] = '1';
        drawn.glyphs[0].advance = 5;
        FontPreview preview;
        preview.resize(500, 260);
        preview.setFonts(U"AB", sourceFont(), "the source", drawn, "the library");
        QVERIFY(preview.scale() >= 4);
        const QImage shot = preview.grab().toImage();
        const auto at = [&](bool drawnBand, int x, int y) {
            return shot.pixel(preview.dotCentre(0, drawnBand, x, y));
        };
        const QRgb litWrong = qRgb(0xB0, 0x10, 0x10), darkWrong = qRgb(0xF2, 0xA8, 0xA8);
        const QRgb unlit = qRgb(0xF4, 0xF4, 0xF4), black = qRgb(0, 0, 0);
        // The source's A, its gap, its B; the library's A, its extra dot, B where the source has
        // it and where the library puts it, nothing above.
        const std::tuple<bool, int, int, QRgb> dots[] = {
            {false, 0, -1, black},   {false, 1, -1, unlit},   {false, 5, -1, black},
            {true, 0, -1, black},    {true, 1, -1, litWrong}, {true, 5, -1, darkWrong},
            {true, 6, -1, litWrong}, {true, 3, -3, unlit}};
        for (const auto& [band, x, y, colour] : dots) QCOMPARE(at(band, x, y), colour);
        const QPoint pen = preview.dotCentre(0, true, 5, -3) - QPoint(preview.scale() / 2, 0);
        QCOMPARE(shot.pixel(pen), qRgb(0xE0, 0x80, 0x00));
    }

    void aLongTextIsDrawnAsFarAsThePreviewGoes() {
        // Twice the lines shown, each twice as long: a mark per A drawn.
        QString text;
        for (int i = 0; i < 2 * limits::PreviewTextLines; ++i) {
            text += QString(2 * limits::PreviewLineCharacters, 'A') + "\n";
        }
        BdfFont wide = sourceFont();
        wide.glyphs[0].advance = 5;
        FontPreview preview;
        preview.setFonts(text.toStdU32String(), sourceFont(), "the source", wide, "the library");
        QCOMPARE(preview.lines(), limits::PreviewTextLines);
        const auto& marks = preview.marks();
        QCOMPARE(std::count_if(marks.begin(), marks.end(),
                               [](const Mark& m) { return m.kind == Mark::Advance; }),
                 long{limits::PreviewTextLines * limits::PreviewLineCharacters});
        const auto last = std::max_element(marks.begin(), marks.end(),
                                           [](const Mark& a, const Mark& b) { return a.x < b.x; });
        QCOMPARE(last->x, 5 * limits::PreviewLineCharacters);
    }

    void theSubsetIsNeverSavedOverAGlyphFile() {
        for (const std::string how : {"name", "symlink", "hardlink"}) {
            FontFixture f;
            const std::string glyphs = f.dir.file("ASCFONT.15");
            const std::string before = test::readBytes(glyphs);
            const std::string target = how == "name" ? glyphs : f.dir.file("out.h");
            if (how == "symlink") fs::create_symlink(glyphs, target);
            if (how == "hardlink") fs::create_hard_link(glyphs, target);
            f.window->dispatchCommand(CmdFont16Mode);
            f.inDialog<SubsetDialog>(CmdExportSubset, [&](SubsetDialog* d) {
                d->textBox()->setPlainText("Ag");
                d->formatBox()->setCurrentIndex(d->formatBox()->findData("u8g2"));
                f.prompts.files = {QString::fromStdString(target)};
                d->saveToFile();
            });
            QCOMPARE(f.prompts.shown.size(), size_t(1));
            QVERIFY2(f.prompts.shown.back().text.find("is the glyph file") != std::string::npos,
                     f.prompts.shown.back().text.c_str());
            QVERIFY(test::readBytes(glyphs) == before);
        }
    }

    void aRefusalIsShownInsteadOfText() {
        FontPreview preview;
        preview.setFonts(U"A", sourceFont(), "the source", sourceFont(), "the library");
        preview.setRefusal("U+4E00 is past 255");
        QCOMPARE(preview.refusal(), QString("U+4E00 is past 255"));
        QVERIFY(preview.lines() == 0 && preview.marks().empty());
    }

    void theSubsetDialogWritesWhatTheCommandLineWrites() {
        const struct {
            QString format;
            bool remap;
            std::string extension;
        } rows[] = {{"lvgl", false, ".c"},
                    {"u8g2", false, ".h"},
                    {"gfx", false, ".h"},
                    {"gfx", true, ".h"}};
        for (const auto& row : rows) {
            const QString format = row.format;
            const bool remap = row.remap;
            FontFixture f;
            const std::string folder = f.dir.path().string();
            test::writeBytes(f.dir.file("strings.txt"), Mixed.toStdString());
            const test::ShellRun cli =
                runCli(folder, "font-subset --text strings.txt --name ui --format " +
                                   format.toStdString() + (remap ? " --gfx-remap" : "") +
                                   " --output cli.out");
            f.window->dispatchCommand(CmdFont16Mode);
            f.inDialog<SubsetDialog>(CmdExportSubset, [&](SubsetDialog* d) {
                d->textBox()->setPlainText(Mixed);
                d->nameField()->setText("ui");
                d->formatBox()->setCurrentIndex(d->formatBox()->findData(format));
                QCOMPARE(d->remapBox()->isEnabled(), format == "gfx");
                d->remapBox()->setChecked(remap);
                d->refresh();
                f.prompts.files = {QString::fromStdString(f.dir.file("dialog"))};
                d->saveToFile();
                if (cli.status == 0) {
                    QVERIFY(d->fontPreview()->refusal().isEmpty());
                    QVERIFY(d->fontPreview()->lines() == 2 && d->fontPreview()->marks().empty());
                } else {
                    QVERIFY(!d->fontPreview()->refusal().isEmpty());
                    QVERIFY2(cli.out.find(d->fontPreview()->refusal().toStdString()) !=
                                 std::string::npos,
                             cli.out.c_str());
                    QCOMPARE(d->fontPreview()->lines(), 0);
                }
            });
            const std::string saved = f.dir.file("dialog" + row.extension);
            if (cli.status == 0) {
                QVERIFY(test::readBytes(f.dir.file("cli.out")).size() > 0);
                QVERIFY(test::readBytes(saved) == test::readBytes(f.dir.file("cli.out")));
            } else {
                QVERIFY(!std::filesystem::exists(saved) && f.prompts.beeps == 1);
            }
        }
    }

    void theCodeDialogWritesIconFontsAndImagesAsTheCommandLineDoes() {
        const struct {
            QString format, first;
            std::string arguments;
            bool refused;
        } rows[] = {{"lvgl-font", "0xE000", "", false},
                    {"u8g2-font", "0x41", "--first 0x41", false},
                    {"gfx-font", "U+21", "--first 0x21", false},
                    {"gfx-font", "0xE000", "", true}, // past 255
                    {"lvgl", "", "--lvgl 8 --colors red,white", false}};
        EditorFixture f;
        // Nine icons (a bell, bars of one to eight): the ninth starts line 2.
        test::setRows(f.doc(), {"000110000000", "001111000000", "001111000000", "011111100000",
                                "000010000000"});
        for (const char* bar :
             {"1", "11", "111", "1111", "11111", "111111", "1111111", "11111111"}) {
            f.window->dispatchCommand(CmdAddPattern);
            test::setRows(f.doc(), {bar});
        }
        f.editor->sidecar.names[1] = "bell";
        f.prompts.files = {QString::fromStdString(f.dir.file("icons.pat"))};
        QVERIFY(f.window->controllers().files.saveAs());
        std::filesystem::create_directories(f.dir.file("cli"));
        for (const auto& row : rows) {
            const QString format = row.format;
            const bool refused = row.refused, icons = format.endsWith("-font");
            for (const char* name : {"dialog.c", "cli/dialog.c"}) fs::remove(f.dir.file(name));
            const std::string options =
                icons ? row.arguments + " --spacing 1 --baseline 1" : row.arguments;
            const test::ShellRun cli = runCli(
                f.dir.path().string(), "code icons.pat --all --format " + format.toStdString() +
                                           " " + options + " --output cli/dialog.c");
            QVERIFY2(cli.status == (refused ? 1 : 0), cli.out.c_str());
            f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
                d->allButton()->setChecked(true);
                d->formatBox()->setCurrentIndex(d->formatBox()->findData("format:" + format));
                QCOMPARE(d->firstField()->isEnabled(), icons);
                QCOMPARE(d->lvglVersionBox()->isEnabled(), !icons);
                if (icons) {
                    d->firstField()->setText(row.first);
                    d->spacingBox()->setValue(1);
                    d->baselineBox()->setValue(1);
                } else {
                    d->lvglVersionBox()->setCurrentIndex(d->lvglVersionBox()->findData(8));
                    d->foregroundField()->setText("red");
                }
                d->refresh();
                if (icons && !refused) {
                    QVERIFY(d->fontPreview()->isVisibleTo(d) && !d->preview()->isVisibleTo(d));
                    QVERIFY(d->fontPreview()->lines() == 2 && d->fontPreview()->marks().empty());
                }
                if (refused) {
                    QVERIFY(!d->fontPreview()->refusal().isEmpty());
                    QVERIFY2(cli.out.find(d->fontPreview()->refusal().toStdString()) !=
                                 std::string::npos,
                             cli.out.c_str());
                    QCOMPARE(d->problemLabel()->text(), d->fontPreview()->refusal());
                }
                f.prompts.files = {QString::fromStdString(f.dir.file("dialog.c"))};
                d->saveToFile();
            });
            if (refused) {
                QVERIFY(!std::filesystem::exists(f.dir.file("dialog.c")));
            } else {
                QVERIFY(test::readBytes(f.dir.file("cli/dialog.c")).size() > 0);
                QVERIFY(test::readBytes(f.dir.file("dialog.c")) ==
                        test::readBytes(f.dir.file("cli/dialog.c")));
            }
        }
        const std::string patterns = test::readBytes(f.dir.file("icons.pat"));
        f.prompts.shown.clear();
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            d->formatBox()->setCurrentIndex(d->formatBox()->findData("format:lvgl-font"));
            f.prompts.files = {QString::fromStdString(f.dir.file("icons.pat"))};
            d->saveToFile();
        });
        QCOMPARE(f.prompts.shown.size(), size_t(1));
        QVERIFY(f.prompts.shown.back().text.find("which the code is made of") != std::string::npos);
        QVERIFY(test::readBytes(f.dir.file("icons.pat")) == patterns);
    }
};

QTEST_MAIN(FontModesTest)
#include "fontmodes_test.moc"
