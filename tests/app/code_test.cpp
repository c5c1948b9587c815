#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "base/limits.h"
#include "code/codedialog.h"
#include "editorfixture.h"
#include "panel/panelview.h"
#include "ui/commandids.h"
#include "ui/dotpreview.h"
#include "window/palette.h"

using namespace dedur;
using dedur::test::EditorFixture;

// Pattern names and the code export, through the real window and dialog.
class CodeTest : public QObject {
    Q_OBJECT
  private slots:
    void namesAreCheckedShownAndKeptBesideTheFile() {
        EditorFixture f;
        f.prompts.typed = {"9lives", "bell"};
        f.window->dispatchCommand(CmdNamePattern);
        QCOMPARE(f.prompts.shown.size(), size_t(1)); // the refused name is said
        QCOMPARE(f.editor->sidecar.names, (std::map<int, std::string>{{1, "bell"}}));
        QVERIFY(f.doc().modifiedFlag);
        QCOMPARE(f.window->palette()->nameLabel()->text(), QString("bell"));

        // Naming is one step of the history, between the strokes around it.
        using Names = std::map<int, std::string>;
        f.drag({{0, 0}, {2, 0}});
        f.prompts.typed = {"gong"};
        f.window->dispatchCommand(CmdNamePattern);
        f.drag({{0, 1}, {2, 1}});
        const std::string drawn = f.rows();
        f.window->dispatchCommand(CmdUndo); // the second stroke
        QCOMPARE(f.editor->sidecar.names, (Names{{1, "gong"}}));
        f.window->dispatchCommand(CmdUndo); // the name
        QCOMPARE(f.editor->sidecar.names, (Names{{1, "bell"}}));
        QCOMPARE(f.window->palette()->nameLabel()->text(), QString("bell"));
        QCOMPARE(f.rows().substr(0, 3), std::string("111"));
        f.window->dispatchCommand(CmdRedo);
        QCOMPARE(f.editor->sidecar.names, (Names{{1, "gong"}}));
        f.window->dispatchCommand(CmdRedo);
        QCOMPARE(f.rows(), drawn);
        f.window->dispatchCommand(CmdUndo);
        f.window->dispatchCommand(CmdUndo);
        f.window->dispatchCommand(CmdUndo); // the first stroke, the name kept
        QCOMPARE(f.editor->sidecar.names, (Names{{1, "bell"}}));
        QCOMPARE(f.rows().substr(0, 3), std::string("000"));

        // Patterns inserted and deleted before it take the name along.
        f.window->dispatchCommand(CmdInsertPattern);
        QCOMPARE(f.editor->sidecar.names, (std::map<int, std::string>{{2, "bell"}}));
        QCOMPARE(f.window->palette()->nameLabel()->text(), QString());
        f.window->dispatchCommand(CmdDeletePattern); // pattern 1, the new one
        QCOMPARE(f.editor->sidecar.names, (std::map<int, std::string>{{1, "bell"}}));

        // Saved beside the file, carried by Save as, read with the file.
        const std::string first = f.dir.file("a.pat");
        const std::string second = f.dir.file("b.pat");
        f.prompts.files = {QString::fromStdString(first)};
        QVERIFY(f.window->controllers().files.saveAs());
        QVERIFY(test::readBytes(first + ".toml").find("1 = 'bell'") != std::string::npos);
        f.prompts.files = {QString::fromStdString(second)};
        QVERIFY(f.window->controllers().files.saveAs());
        QCOMPARE(test::readBytes(second + ".toml"), test::readBytes(first + ".toml"));

        test::writeBytes(first + ".toml", "[names]\n1 = 'renamed'\n");
        f.prompts.files = {QString::fromStdString(first)};
        f.window->dispatchCommand(CmdOpen);
        QCOMPARE(f.editor->sidecar.names, (std::map<int, std::string>{{1, "renamed"}}));
        QCOMPARE(f.window->palette()->nameLabel()->text(), QString("renamed"));

        // A malformed sidecar is said once and left as it is.
        test::writeBytes(second + ".toml", "[names\n");
        const size_t before = f.prompts.shown.size();
        for (int i = 0; i < 2; ++i) {
            f.prompts.files = {QString::fromStdString(second)};
            f.window->dispatchCommand(CmdOpen);
        }
        QCOMPARE(f.prompts.shown.size(), before + 1);
        QVERIFY(f.editor->sidecar.empty());
        QCOMPARE(test::readBytes(second + ".toml"), std::string("[names\n"));
    }

    void frameDelaysAreSetForThePatternOrARange() {
        EditorFixture f;
        for (int i = 0; i < 3; ++i) f.window->dispatchCommand(CmdAddPattern);
        f.prompts.typed = {"fast", "2-3: 250", "40"};
        f.window->dispatchCommand(CmdFrameDelay); // "fast" is refused, then the range
        QCOMPARE(f.prompts.shown.size(), size_t(1));
        f.window->dispatchCommand(CmdFrameDelay); // the current pattern, 4
        QCOMPARE(f.editor->sidecar.delays, (std::map<int, int>{{2, 250}, {3, 250}, {4, 40}}));
        QVERIFY(f.doc().modifiedFlag);
        f.prompts.files = {QString::fromStdString(f.dir.file("anim.pat"))};
        QVERIFY(f.window->controllers().files.saveAs());
        QVERIFY(test::readBytes(f.dir.file("anim.pat.toml")).find("[delays]") != std::string::npos);
    }

    void qtReadsTheXbmAsThePattern() {
        EditorFixture f;
        const char* const rows[] = {"110000000101", "010000000001", "000000000000", "100000000011"};
        test::setRows(f.doc(), {rows[0], rows[1], rows[2], rows[3]});
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            d->formatBox()->setCurrentIndex(d->formatBox()->findData("format:xbm"));
            d->layoutBox()->setCurrentIndex(d->layoutBox()->findData("rows-lsb"));
            QImage image;
            QVERIFY(image.loadFromData(QByteArray::fromStdString(d->text()), "XBM"));
            QCOMPARE(image.size(), QSize(12, 12));
            for (int y = 0; y < 12; ++y) {
                for (int x = 0; x < 12; ++x) {
                    const bool set = y < 4 && rows[y][x] == '1';
                    QCOMPARE(qGray(image.pixel(x, y)) < 128, set);
                }
            }
        });
    }

    void theDialogShowsTheCodeAndWhatTheDisplayShows() {
        EditorFixture f;
        test::setRows(f.doc(), {"110000000000", "010000000000"});
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            QVERIFY(d->text().find("const uint8_t pattern[24] = {") != std::string::npos);
            QVERIFY(d->text().find("0xC0, 0x00, 0x40, 0x00") != std::string::npos);
            QCOMPARE(d->preview()->differences(), 0);
            // A display that reads the bits the other way shows a mirror.
            d->readsBox()->setCurrentIndex(d->readsBox()->findData("rows-lsb"));
            QCOMPARE(d->preview()->differences(), 6);
            d->readsBox()->setCurrentIndex(0);
            d->invertBox()->setChecked(true);
            QCOMPARE(d->preview()->differences(), 144); // every dot of the 12 x 12 pattern
            d->invertBox()->setChecked(false);

            d->formatBox()->setCurrentIndex(d->formatBox()->findData("format:rust"));
            d->layoutBox()->setCurrentIndex(d->layoutBox()->findData("pages-lsb"));
            d->nameField()->setText("logo");
            d->refresh();
            QVERIFY(d->text().find("pub const LOGO: [u8; 24] = [\n    0x01, 0x03, 0x00,") !=
                    std::string::npos);
            // What a format cannot hold is said in the dialog, not written.
            d->formatBox()->setCurrentIndex(d->formatBox()->findData("format:micropython"));
            d->layoutBox()->setCurrentIndex(d->layoutBox()->findData("pages-msb"));
            QVERIFY(d->problemLabel()->text().contains("cannot read the pages-msb"));
            QVERIFY(d->text().empty());
            d->nameField()->setText("no good");
            d->refresh();
            QVERIFY(d->problemLabel()->text().contains("C identifier"));

            d->nameField()->setText("logo");
            d->formatBox()->setCurrentIndex(d->formatBox()->findData("format:json"));
            f.prompts.typed = {"oled"};
            d->saveAsProfile();
            f.prompts.files = {QString::fromStdString(f.dir.file("logo"))};
            d->saveToFile();
        });
        QVERIFY(test::readBytes(f.dir.file("logo.json")).find("\"name\": \"logo\"") !=
                std::string::npos);
        const CodeProfile& kept = f.editor->sidecar.profiles.at("oled");
        QCOMPARE(kept.format, std::string("json"));
        QCOMPARE(kept.layout, std::string("pages-msb"));
        QCOMPARE(kept.name, std::string("logo"));
        QVERIFY(f.doc().modifiedFlag);

        // The panel view shows the chosen profile's bytes beside the memory.
        f.window->dispatchCommand(CmdPanelView);
        QVERIFY(f.window->panelView()->bytesText().endsWith(
            "; Profile \"oled\" (pages-msb):\n80 C0 00 00 00 00 00 00 00 00 00 00\n00 00 00 00 00 "
            "00 00 00 00 00 00 00"));
    }

    // A template whose code would be gigabytes: the view keeps the first
    // part and stops the render there; Save writes the whole code.
    void aHugeTemplateShowsItsFirstPartAndSavesWhole() {
        EditorFixture f; // one 12 x 12 pattern: 24 bytes in rows-msb
        const auto nested = [](int depth, const std::string& inner) {
            std::string text = "{{#patterns}}";
            for (int i = 0; i < depth; ++i) text += "{{#bytes}}";
            text += inner;
            for (int i = 0; i < depth; ++i) text += "{{/bytes}}";
            return text + "{{/patterns}}";
        };
        const std::string huge = f.dir.file("huge.mustache");
        test::writeBytes(huge, nested(5, std::string(1000, 'x'))); // 24^5 KB, on one line
        const std::string big = f.dir.file("big.mustache");
        test::writeBytes(big, nested(3, std::string(200, 'y') + "\n")); // 24^3 lines of 201
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            CodeProfile p;
            p.templateFile = huge;
            d->applyProfile(p);
            QVERIFY(d->textCut());
            QCOMPARE(d->text().size(), limits::ShownCodeBytes);
            QCOMPARE(d->text(), std::string(limits::ShownCodeBytes, 'x'));
            QVERIFY(d->problemLabel()->text().isEmpty());

            p.templateFile = big;
            d->applyProfile(p);
            QVERIFY(d->textCut());
            QCOMPARE(d->text().size(), limits::ShownCodeBytes);
            f.prompts.files = {QString::fromStdString(f.dir.file("big.txt"))};
            d->saveToFile();
            d->copyToClipboard(); // refused with a word: too long to copy
            QVERIFY(d->problemLabel()->text().contains("save it to a file"));
        });
        std::string line(200, 'y');
        line += '\n';
        const std::string saved = test::readBytes(f.dir.file("big.txt"));
        QCOMPARE(saved.size(), size_t(24 * 24 * 24) * line.size());
        QVERIFY(saved.compare(0, line.size(), line) == 0);
    }

    // Names that would not compile are refused by Pattern > Name... with the
    // reason, and the name asked again.
    void patternNamesThatWouldNotCompileAreRefused() {
        EditorFixture f; // "pattern.pat" until it is saved
        f.prompts.typed = {"one"};
        f.window->dispatchCommand(CmdNamePattern);
        f.window->dispatchCommand(CmdAddPattern); // pattern 2, now current
        f.prompts.typed = {"int", "and", "ONE", "One", "pattern_COUNT", "pattern_WIDTHS", "two"};
        f.window->dispatchCommand(CmdNamePattern);
        QCOMPARE(f.prompts.shown.size(), size_t(6));
        QCOMPARE(f.editor->sidecar.names, (std::map<int, std::string>{{1, "one"}, {2, "two"}}));
    }
};

QTEST_MAIN(CodeTest)
#include "code_test.moc"
