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

// A second start of the editor in the folder of `f`, as the user would.
void restart(EditorFixture& f) {
    f.window.reset();
    f.prompts.shown.clear();
    f.editor = std::make_unique<Editor>(f.dir.path().string());
    loadSettings(*f.editor);
    f.window = std::make_unique<MainWindow>(*f.editor, f.prompts);
    f.window->placeWindow(QSize(1400, 1100));
    f.launch();
}

// A glyph of `rows` ("#" a dot), its box standing `yOffset` above the
// baseline.
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

// dedur-cli in `folder`: how it ended and what it said.
test::ShellRun runCli(const std::string& folder, const std::string& arguments) {
    return test::shell("cd '" + folder + "' && '" DEDUR_CLI "' " + arguments + " 2>&1");
}

// Big5, ASCII, a symbol file's, over two lines: 一電 Ag / 日 12°
const QString Mixed = QString::fromUtf8("\xE4\xB8\x80\xE9\x9B\xBB Ag\n"
                                        "\xE6\x97\xA5 12\xC2\xB0");

// Marks in one order whatever order they were found in.
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
            QVERIFY(!f.window->palette()->find(id)->enabled);
            QVERIFY(!f.window->action(id)->isEnabled());
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
        QCOMPARE(shownGlyph16(f.doc()),
                 glyphRecord(*f.editor, EditMode::Font16x15, 0xA440)); // shown anew
        f.window->dispatchCommand(CmdPatternMode);
        f.window->updateMenuState();
        QVERIFY(!f.window->action(CmdImportBdf)->isEnabled());
    }

    // What the glyph files lack is listed in the order the text uses it,
    // each once; what shows as nothing goes by name. Tabs and line ends are
    // not drawn, so never missing.
    void theSubsetWarningFollowsTheText() {
        // 24x24 has no ASCII file: Latin letters are missing too. Blanks are
        // drawn with nothing, so never missing.
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
            // The first glyph ("A") as drawn, and as a display reading its
            // bytes as pages would show it.
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

    // The first start in a font mode: the glyph files offered and made.
    // Started in a Big5 mode where no glyph file is: the classic failure,
    // then the offer, once; what was answered holds at the next start.
    void theOfferFollowsTheOpenFailureOnce() {
        // Yes, No, and Yes with Cancel pressed on the bar.
        const std::pair<int, bool> rows[] = {{IDYES, false}, {IDNO, false}, {IDYES, true}};
        for (const auto& row : rows) {
            const int answer = row.first;
            const bool cancelBar = row.second;
            EditorFixture f("[others]\r\nEDITTYPE = 2\r\n", false);
            const std::string folder = f.dir.path().string();
            int reports = 0;
            int lastValue = -1;
            int maximum = 0;
            f.window->controllers().fonts.watchGlyphFileBar = [&](QProgressDialog& bar) {
                ++reports;
                lastValue = bar.value();
                maximum = bar.maximum();
                QVERIFY(bar.isVisible());
                if (cancelBar) bar.cancel();
            };
            f.prompts.answers = {IDOK, answer};
            f.launch();

            QCOMPARE(f.prompts.shown.size(), size_t{2});
            QCOMPARE(f.prompts.shown[0].text, folder + "/STD16X15.fon Open Failure !");
            QCOMPARE(f.prompts.shown[0].caption, std::string());
            QCOMPARE(f.prompts.shown[1].text, offerText(folder));
            QCOMPARE(f.prompts.shown[1].caption, std::string("Glyph files"));
            const bool made = answer == IDYES && !cancelBar;
            for (const char* name : GlyphFiles) QCOMPARE(fs::exists(f.dir.file(name)), made);
            QCOMPARE(reports > 0, answer == IDYES);
            if (made) {
                QVERIFY(reports > 10);
                QCOMPARE(lastValue, maximum);
                // The same bytes as the command line makes.
                test::TempDir other;
                QCOMPARE(
                    test::shell("'" DEDUR_CLI "' make-fonts '" + other.path().string() + "' 2>&1")
                        .status,
                    0);
                for (const char* name : GlyphFiles) {
                    QVERIFY2(test::readBytes(f.dir.file(name)) == test::readBytes(other.file(name)),
                             name);
                }
                // The mode shows the glyph it opened on, as if the file had been there.
                const std::vector<uint8_t> shown = test::shownGlyph16(f.doc());
                QCOMPARE(shown, test::glyphRecord(*f.editor, EditMode::Font16x15, 0xA440));
                QVERIFY(std::count(shown.begin(), shown.end(), 0) < 30);
                QCOMPARE(f.window->currentNumber(), 1);
            } else {
                // Nothing but the settings: a cancelled bar leaves no file in part.
                QCOMPARE(std::distance(fs::directory_iterator(f.dir.path()), {}), 1);
            }
            const std::string ini = test::readBytes(f.dir.file("DEDUR.INI"));
            QCOMPARE(readSetting(&ini, "others", "GLYPHFILESOFFERED"),
                     std::string(cancelBar ? "" : "1"));

            // The other Big5 mode in the same run: never asked twice.
            f.prompts.shown.clear();
            f.window->dispatchCommand(CmdFont24Mode);
            QCOMPARE(f.prompts.texts(),
                     made ? std::vector<std::string>{}
                          : std::vector<std::string>{folder + "/STD24.fon Open Failure !"});

            // The next start in the folder: asked again only after a cancel.
            f.prompts.answers = {IDOK, IDNO};
            restart(f);
            std::vector<std::string> expected;
            if (!made) expected.push_back(folder + "/STD16X15.fon Open Failure !");
            if (cancelBar) expected.push_back(offerText(folder));
            QCOMPARE(f.prompts.texts(), expected);
        }
    }

    // Something stands at the glyph file's name that cannot be read: that is
    // the user's to mend, and no files are offered.
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

    // The glyph files cannot be written: said once, with the folder, and
    // not offered again.
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

    // Started from the launcher: the data folder gets the glyph files (with
    // the bar) before the window opens, the same as make-fonts writes.
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
        QCOMPARE(error, QString());
        QVERIFY(entered);
        QCOMPARE(folder, data.path() / "dedur");
        test::TempDir other;
        QCOMPARE(
            test::shell("'" DEDUR_CLI "' make-fonts '" + other.path().string() + "' 2>&1").status,
            0);
        for (const char* name : GlyphFiles) {
            QVERIFY2(test::readBytes((folder / name).string()) == test::readBytes(other.file(name)),
                     name);
        }
    }

    // The command the question names runs as it reads, in a shell, for
    // folders with blanks and quotes in their names.
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
            QCOMPARE(echoed.status, 0);
            QCOMPARE(echoed.out, folder);
        }
    }

    // The display libraries' fonts: the subset dialog writes what the command line writes, and the
    // preview marks where the font the library draws differs from the glyphs it was made of.
    void marksWhereTheDrawnFontDiffers() {
        BdfFont dot = sourceFont();
        dot.glyphs[0].dots[4] = '1'; // A's gap in its lower row filled
        BdfFont wide = sourceFont();
        wide.glyphs[0].advance = 5; // B after A stands a column on, its dot with it
        BdfFont lost = sourceFont();
        lost.glyphs.pop_back(); // the library has no B
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
            {U"BA",
             sourceFont(),
             lost,
             {{Mark::Advance, 0, 0, 0},
              {Mark::OnlyDrawn, 0, 0, -2},
              {Mark::OnlyDrawn, 0, 1, -2},
              {Mark::OnlyDrawn, 0, 2, -2},
              {Mark::OnlyDrawn, 0, 0, -1},
              {Mark::OnlyDrawn, 0, 2, -1},
              {Mark::OnlySource, 0, 1, -1},
              {Mark::OnlySource, 0, 3, -2},
              {Mark::OnlySource, 0, 4, -2},
              {Mark::OnlySource, 0, 5, -2},
              {Mark::OnlySource, 0, 3, -1},
              {Mark::OnlySource, 0, 5, -1}}},
            {U"g", tail, shallow, {{Mark::OutsideLine, 0, 1, 0}}},
        };
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
        QCOMPARE(at(false, 0, -1), black);    // the source's A
        QCOMPARE(at(false, 1, -1), unlit);    // its gap
        QCOMPARE(at(false, 5, -1), black);    // its B
        QCOMPARE(at(true, 0, -1), black);     // the library's A where it agrees
        QCOMPARE(at(true, 1, -1), litWrong);  // the dot only the library draws
        QCOMPARE(at(true, 5, -1), darkWrong); // B where the source has it
        QCOMPARE(at(true, 6, -1), litWrong);  // and where the library puts it
        QCOMPARE(at(true, 3, -3), unlit);     // nothing above
        // The pen after A, where the library stands: a bar across the band.
        const QPoint pen = preview.dotCentre(0, true, 5, -3) - QPoint(preview.scale() / 2, 0);
        QCOMPARE(shot.pixel(pen), qRgb(0xE0, 0x80, 0x00));
    }

    void aLongTextIsDrawnAsFarAsThePreviewGoes() {
        // Twice the lines it shows, each twice as long: every A the preview
        // draws gets its mark, and no more.
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

    // By its name, through a symbolic link or a hard link.
    void theSubsetIsNeverSavedOverAGlyphFile() {
        for (const std::string how : {"name", "symlink", "hardlink"}) {
            FontFixture f;
            const std::string glyphs = f.dir.file("ASCFONT.15");
            const std::string before = test::readBytes(glyphs);
            std::string target = glyphs;
            if (how == "symlink") {
                target = f.dir.file("out.h");
                std::filesystem::create_symlink(glyphs, target);
            } else if (how == "hardlink") {
                target = f.dir.file("out.h");
                std::filesystem::create_hard_link(glyphs, target);
            }
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
        QCOMPARE(preview.lines(), 0);
        QVERIFY(preview.marks().empty());
    }

    // Adafruit GFX refuses the codes past 255 unless they are remapped.
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
                    QCOMPARE(d->fontPreview()->lines(), 2);
                    // Decoded from what was written: the same dots, advances and line.
                    QVERIFY(d->fontPreview()->marks().empty());
                } else {
                    // Refused: the reason where the preview would be, nothing saved.
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
                QVERIFY(!std::filesystem::exists(saved));
                QCOMPARE(f.prompts.beeps, 1);
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
        // Nine icons, the first named: a bell, then bars of one to eight
        // dots; the ninth starts a second line of the preview.
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
        // The heading names the file written: the command line writes one of
        // the same name beside it.
        std::filesystem::create_directories(f.dir.file("cli"));
        for (const auto& row : rows) {
            const QString format = row.format;
            const bool refused = row.refused, icons = format.endsWith("-font");
            std::filesystem::remove(f.dir.file("dialog.c"));
            std::filesystem::remove(f.dir.file("cli/dialog.c"));
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
                    // The icons eight to a line as the library draws them: the
                    // same dots and advances as the patterns give.
                    QVERIFY(d->fontPreview()->isVisibleTo(d));
                    QVERIFY(!d->preview()->isVisibleTo(d));
                    QCOMPARE(d->fontPreview()->lines(), 2);
                    QVERIFY(d->fontPreview()->marks().empty());
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
        // Never saved over the pattern file it is made of.
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
