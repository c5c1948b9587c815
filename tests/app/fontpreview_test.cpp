// The display libraries' fonts in the editor: the subset dialog writes what
// the command line writes, and the preview marks where the font the library
// draws differs from the glyphs it was made of.

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>
#include <tuple>

#include "base/limits.h"
#include "code/codedialog.h"
#include "editorfixture.h"
#include "fontgen.h"
#include "fonts/subsetdialog.h"
#include "ui/commandids.h"
#include "ui/dotpreview.h"
#include "ui/fontpreview.h"

using namespace dedur;
using dedur::test::EditorFixture;
using Mark = FontPreviewMark;

namespace {

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

// An editor whose start-up directory holds freshly made glyph files.
struct FontFixture : EditorFixture {
    FontFixture() : EditorFixture("", false) {
        const fontgen::Result made = fontgen::makeFonts(dir.path().string(), false);
        if (!made.ok) qFatal("%s", made.error.c_str());
        launch();
    }
};

struct CliRun {
    int status = -1;
    std::string err;
};

// dedur-cli in `folder`, its diagnostics kept.
CliRun runCli(const std::string& folder, const std::string& arguments) {
    const std::string err = folder + "/cli.err";
    const std::string command =
        "cd '" + folder + "' && '" DEDUR_CLI "' " + arguments + " 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readBytes(err)};
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

Q_DECLARE_METATYPE(BdfFont)
Q_DECLARE_METATYPE(std::vector<Mark>)

class FontPreviewTest : public QObject {
    Q_OBJECT
  private slots:
    void marksWhereTheDrawnFontDiffers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<BdfFont>("source");
        QTest::addColumn<BdfFont>("drawn");
        QTest::addColumn<std::vector<Mark>>("marks");

        QTest::newRow("the same font")
            << "AB\nBA" << sourceFont() << sourceFont() << std::vector<Mark>{};
        BdfFont dot = sourceFont();
        dot.glyphs[0].dots[4] = '1'; // A's gap in its lower row filled
        QTest::newRow("one dot more")
            << "AB" << sourceFont() << dot << std::vector<Mark>{{Mark::OnlyDrawn, 0, 1, -1}};
        BdfFont wide = sourceFont();
        wide.glyphs[0].advance = 5;
        // B after A stands one column to the right: its dot moves with it.
        QTest::newRow("one column more of advance")
            << "AB" << sourceFont() << wide
            << std::vector<Mark>{{Mark::Advance, 0, 5, 0},
                                 {Mark::OnlyDrawn, 0, 6, -1},
                                 {Mark::OnlySource, 0, 5, -1}};
        QTest::newRow("on the second line only") << "B\nAB" << sourceFont() << wide
                                                 << std::vector<Mark>{{Mark::Advance, 1, 5, 0},
                                                                      {Mark::OnlyDrawn, 1, 6, -1},
                                                                      {Mark::OnlySource, 1, 5, -1}};
        BdfFont lost = sourceFont();
        lost.glyphs.pop_back(); // the library has no B
        QTest::newRow("a glyph the library lacks")
            << "BA" << sourceFont() << lost
            << std::vector<Mark>{{Mark::Advance, 0, 0, 0},     {Mark::OnlyDrawn, 0, 0, -2},
                                 {Mark::OnlyDrawn, 0, 1, -2},  {Mark::OnlyDrawn, 0, 2, -2},
                                 {Mark::OnlyDrawn, 0, 0, -1},  {Mark::OnlyDrawn, 0, 2, -1},
                                 {Mark::OnlySource, 0, 1, -1}, {Mark::OnlySource, 0, 3, -2},
                                 {Mark::OnlySource, 0, 4, -2}, {Mark::OnlySource, 0, 5, -2},
                                 {Mark::OnlySource, 0, 3, -1}, {Mark::OnlySource, 0, 5, -1}};
        // A descender the library's line does not reach: g's tail one row
        // below the baseline, where the library's line stops.
        BdfFont tail = font({glyph('g', {"##", ".#"}, 3, 0, -1)});
        BdfFont shallow = tail;
        shallow.descent = 0;
        QTest::newRow("a descender past the library's line")
            << "g" << tail << shallow << std::vector<Mark>{{Mark::OutsideLine, 0, 1, 0}};
    }

    void marksWhereTheDrawnFontDiffers() {
        QFETCH(QString, text);
        QFETCH(BdfFont, source);
        QFETCH(BdfFont, drawn);
        QFETCH(std::vector<Mark>, marks);
        FontPreview preview;
        preview.setFonts(text.toStdU32String(), source, "the source", drawn, "the library");
        QVERIFY(sorted(preview.marks()) == sorted(marks));
        QCOMPARE(preview.lines(), static_cast<int>(text.count('\n')) + 1);
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

    void theSubsetIsNeverSavedOverAGlyphFile_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("its name") << "name";
        QTest::newRow("a symbolic link") << "symlink";
        QTest::newRow("a hard link") << "hardlink";
    }

    void theSubsetIsNeverSavedOverAGlyphFile() {
        QFETCH(QString, how);
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

    void aRefusalIsShownInsteadOfText() {
        FontPreview preview;
        preview.setFonts(U"A", sourceFont(), "the source", sourceFont(), "the library");
        preview.setRefusal("U+4E00 is past 255");
        QCOMPARE(preview.refusal(), QString("U+4E00 is past 255"));
        QCOMPARE(preview.lines(), 0);
        QVERIFY(preview.marks().empty());
    }

    void theSubsetDialogWritesWhatTheCommandLineWrites_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("remap");
        QTest::addColumn<QString>("extension");
        QTest::newRow("LVGL") << "lvgl" << false << ".c";
        QTest::newRow("u8g2") << "u8g2" << false << ".h";
        QTest::newRow("Adafruit GFX, codes past 255") << "gfx" << false << ".h";
        QTest::newRow("Adafruit GFX, remapped") << "gfx" << true << ".h";
    }

    void theSubsetDialogWritesWhatTheCommandLineWrites() {
        QFETCH(QString, format);
        QFETCH(bool, remap);
        QFETCH(QString, extension);
        FontFixture f;
        const std::string folder = f.dir.path().string();
        test::writeBytes(f.dir.file("strings.txt"), Mixed.toStdString());
        const CliRun cli = runCli(folder, "font-subset --text strings.txt --name ui --format " +
                                              format.toStdString() + (remap ? " --gfx-remap" : "") +
                                              " --output cli.out");
        f.window->dispatchCommand(CmdFont16Mode);
        f.inDialog<SubsetDialog>(CmdExportSubset, [&](SubsetDialog* d) {
            d->textBox()->setPlainText(Mixed);
            d->nameField()->setText("ui");
            d->formatBox()->setCurrentIndex(d->formatBox()->findData(format));
            QCOMPARE(d->formatBox()->currentData().toString(), format);
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
                QVERIFY2(cli.err.find(d->fontPreview()->refusal().toStdString()) !=
                             std::string::npos,
                         cli.err.c_str());
                QCOMPARE(d->fontPreview()->lines(), 0);
            }
        });
        const std::string saved = f.dir.file("dialog" + extension.toStdString());
        if (cli.status == 0) {
            QVERIFY(test::readBytes(f.dir.file("cli.out")).size() > 0);
            QVERIFY(test::readBytes(saved) == test::readBytes(f.dir.file("cli.out")));
        } else {
            QVERIFY(!std::filesystem::exists(saved));
            QCOMPARE(f.prompts.beeps, 1);
        }
    }

    void theCodeDialogWritesIconFontsAndImagesAsTheCommandLineDoes_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<bool>("refused");
        QTest::newRow("LVGL font") << "lvgl-font"
                                   << "0xE000"
                                   << "" << false;
        QTest::newRow("u8g2 font from A") << "u8g2-font"
                                          << "0x41"
                                          << "--first 0x41" << false;
        QTest::newRow("Adafruit GFX font from !") << "gfx-font"
                                                  << "U+21"
                                                  << "--first 0x21" << false;
        QTest::newRow("a space's code") << "gfx-font"
                                        << "32"
                                        << "--first 0x20" << true;
        QTest::newRow("Adafruit GFX font past 255") << "gfx-font"
                                                    << "0xE000"
                                                    << "" << true;
        QTest::newRow("LVGL 8 image in red") << "lvgl"
                                             << ""
                                             << "--lvgl 8 --colors red,white" << false;
    }

    void theCodeDialogWritesIconFontsAndImagesAsTheCommandLineDoes() {
        QFETCH(QString, format);
        QFETCH(QString, first);
        QFETCH(QString, arguments);
        QFETCH(bool, refused);
        const bool icons = format.endsWith("-font");
        EditorFixture f;
        // Nine icons, the first named: a bell, then bars of one to eight
        // dots; the ninth starts a second line of the preview.
        test::setRows(f.doc(), {"000110000000", "001111000000", "001111000000", "011111100000",
                                "000010000000"});
        static const char* const bars[] = {"1",     "11",     "111",     "1111",
                                           "11111", "111111", "1111111", "11111111"};
        for (const char* bar : bars) {
            f.window->dispatchCommand(CmdAddPattern);
            test::setRows(f.doc(), {bar});
        }
        f.editor->sidecar.names[1] = "bell";
        f.prompts.files = {QString::fromStdString(f.dir.file("icons.pat"))};
        QVERIFY(f.window->controllers().files.saveAs());

        const std::string options =
            icons ? arguments.toStdString() + " --spacing 1 --baseline 1" : arguments.toStdString();
        // The heading names the file written: the command line writes one of
        // the same name beside it.
        std::filesystem::create_directories(f.dir.file("cli"));
        const CliRun cli =
            runCli(f.dir.path().string(), "code icons.pat --all --format " + format.toStdString() +
                                              " " + options + " --output cli/dialog.c");
        QVERIFY2(cli.status == (refused ? 1 : 0), cli.err.c_str());
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            d->allButton()->setChecked(true);
            d->formatBox()->setCurrentIndex(d->formatBox()->findData("format:" + format));
            QCOMPARE(d->formatBox()->currentData().toString(), "format:" + format);
            QCOMPARE(d->firstField()->isEnabled(), icons);
            QCOMPARE(d->lvglVersionBox()->isEnabled(), !icons);
            if (icons) {
                d->firstField()->setText(first);
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
                QVERIFY2(cli.err.find(d->fontPreview()->refusal().toStdString()) !=
                             std::string::npos,
                         cli.err.c_str());
                QCOMPARE(d->problemLabel()->text(), d->fontPreview()->refusal());
            }
            f.prompts.files = {QString::fromStdString(f.dir.file("dialog.c"))};
            d->saveToFile();
        });
        // Never saved over the pattern file it is made of.
        const std::string patterns = test::readBytes(f.dir.file("icons.pat"));
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            d->formatBox()->setCurrentIndex(d->formatBox()->findData("format:" + format));
            d->firstField()->setText(first);
            f.prompts.files = {QString::fromStdString(f.dir.file("icons.pat"))};
            d->saveToFile();
        });
        if (!refused) {
            QCOMPARE(f.prompts.shown.size(), size_t(1));
            QVERIFY(f.prompts.shown.back().text.find("which the code is made of") !=
                    std::string::npos);
        }
        QVERIFY(test::readBytes(f.dir.file("icons.pat")) == patterns);
        if (refused) {
            QVERIFY(!std::filesystem::exists(f.dir.file("dialog.c")));
        } else {
            QVERIFY(test::readBytes(f.dir.file("cli/dialog.c")).size() > 0);
            QVERIFY(test::readBytes(f.dir.file("dialog.c")) ==
                    test::readBytes(f.dir.file("cli/dialog.c")));
        }
    }
};

QTEST_MAIN(FontPreviewTest)
#include "fontpreview_test.moc"
