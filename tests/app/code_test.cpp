#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTest>

#include "base/limits.h"
#include "code/codedialog.h"
#include "document/patternfile.h"
#include "editorfixture.h"
#include "editorsettings.h"
#include "grid/resize.h"
#include "panel/panelview.h"
#include "ui/commandids.h"
#include "ui/dotpreview.h"
#include "window/palette.h"

using namespace dedur;
using dedur::test::EditorFixture;

namespace {

void choose(QComboBox* box, const QString& data) {
    const int index = box->findData(data);
    QVERIFY2(index >= 0, qPrintable(data));
    box->setCurrentIndex(index);
}

bool enabled(QComboBox* box, int index) {
    return qobject_cast<QStandardItemModel*>(box->model())->item(index)->isEnabled();
}

} // namespace

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
        for (int i = 0; i < 3; ++i) f.window->dispatchCommand(CmdUndo); // the name kept
        QCOMPARE(f.editor->sidecar.names, (Names{{1, "bell"}}));
        QCOMPARE(f.rows().substr(0, 3), std::string("000"));

        f.window->dispatchCommand(CmdInsertPattern);
        QCOMPARE(f.editor->sidecar.names, (std::map<int, std::string>{{2, "bell"}}));
        QCOMPARE(f.window->palette()->nameLabel()->text(), QString());
        f.window->dispatchCommand(CmdDeletePattern); // pattern 1, the new one
        QCOMPARE(f.editor->sidecar.names, (std::map<int, std::string>{{1, "bell"}}));

        const std::string first = f.dir.file("a.pat"), second = f.dir.file("b.pat");
        f.prompts.files = {QString::fromStdString(first)};
        QVERIFY(f.window->controllers().files.saveAs());
        QVERIFY(test::readBytes(first + ".toml").find("1 = 'bell'") != std::string::npos);
        QVERIFY(writePatternFile(f.doc(), second).ok());

        test::writeBytes(first + ".toml", "[names]\n1 = 'renamed'\n");
        f.prompts.files = {QString::fromStdString(first)};
        f.window->dispatchCommand(CmdOpen);
        QCOMPARE(f.editor->sidecar.names, (std::map<int, std::string>{{1, "renamed"}}));
        QCOMPARE(f.window->palette()->nameLabel()->text(), QString("renamed"));

        test::writeBytes(second + ".toml", "[names\n");
        const size_t before = f.prompts.shown.size();
        for (int i = 0; i < 2; ++i) {
            f.prompts.files = {QString::fromStdString(second)};
            f.window->dispatchCommand(CmdOpen);
        }
        QVERIFY(f.prompts.shown.size() == before + 1 && f.editor->sidecar.empty());
        QCOMPARE(test::readBytes(second + ".toml"), std::string("[names\n"));
    }

    void aNameTheFilesTablesUseIsRefused() {
        EditorFixture f;
        f.window->dispatchCommand(CmdAddPattern);
        f.prompts.typed = {"pattern_COUNT", "two"};
        f.window->dispatchCommand(CmdNamePattern);
        QCOMPARE(f.prompts.shown.size(), size_t(1));
        QCOMPARE(f.editor->sidecar.names, (std::map<int, std::string>{{2, "two"}}));
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

            d->formatBox()->setCurrentIndex(d->formatBox()->findData("format:rust"));
            d->layoutBox()->setCurrentIndex(d->layoutBox()->findData("pages-lsb"));
            d->nameField()->setText("logo");
            d->refresh();
            QVERIFY(d->text().find("pub const LOGO: [u8; 24] = [\n    0x01, 0x03, 0x00,") !=
                    std::string::npos);
            d->formatBox()->setCurrentIndex(d->formatBox()->findData("format:micropython"));
            d->layoutBox()->setCurrentIndex(d->layoutBox()->findData("pages-msb"));
            QVERIFY(d->problemLabel()->text().contains("cannot read the pages-msb"));
            QVERIFY(d->text().empty());

            d->formatBox()->setCurrentIndex(d->formatBox()->findData("format:json"));
            f.prompts.typed = {"oled"};
            d->saveAsProfile();
        });
        const CodeProfile& kept = f.editor->sidecar.profiles.at("oled");
        QVERIFY(std::tie(kept.format, kept.layout, kept.name) ==
                std::tuple("json", "pages-msb", "logo"));
        QVERIFY(f.doc().modifiedFlag);

        f.window->dispatchCommand(CmdPanelView);
        QVERIFY(f.window->panelView()->bytesText().endsWith(
            "; Profile \"oled\" (pages-msb):\n80 C0 00 00 00 00 00 00 00 00 00 00\n00 00 00 00 00 "
            "00 00 00 00 00 00 00"));
    }

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
            QVERIFY(d->textCut() && d->text().size() == limits::ShownCodeBytes);
            QCOMPARE(d->text(), std::string(limits::ShownCodeBytes, 'x'));
            QVERIFY(d->problemLabel()->text().isEmpty());

            p.templateFile = big;
            d->applyProfile(p);
            QVERIFY(d->textCut() && d->text().size() == limits::ShownCodeBytes);
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

    void theDisplayPreviewReadsWhatItIsGiven() {
        EditorFixture f;
        changePatternSize(f.doc(), f.editor->history, f.editor->selection, 10, 9);
        test::setRows(f.doc(), {"1000000000"}); // dot (0, 0) only
        struct Row {
            const char* layout;
            const char* reads; // "" for the same layout
            bool invert;
            QString note;
            int differences;
            int litAt; // the one dot the display shows apart from the rest, y * 10 + x
        };
        constexpr int NotChecked = -2;
        const Row rows[] = {{"rows-msb", "", false, "", 0, 0},
                            // 0x80 first, read as the first column's page: its bottom dot.
                            {"rows-msb", "pages-lsb", false, "18 bytes given, 20 read", 2, 7 * 10},
                            // 0x01 first, read as the first row: bit 0 is dot 7.
                            {"pages-lsb", "rows-msb", false, "20 bytes given, 18 read", 2, 7},
                            {"pages-msb", "", false, "", 0, 0},
                            // An inverted export shows the inverted pattern, no difference.
                            {"rows-msb", "", true, "", 0, 0},
                            {"pages-lsb", "", true, "", 0, 0},
                            // Each row's 0x7F 0xC0 (or 0xFF 0xC0) read from bit 0: dots 8
                            // and 9 come out dark, and dot 7 too in the first row.
                            {"rows-msb", "rows-lsb", true, "", 2 + 2 + 16, NotChecked}};
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            for (const Row& row : rows) {
                const QString what = QString("%1 read as %2").arg(row.layout, row.reads);
                choose(d->layoutBox(), row.layout);
                choose(d->readsBox(), row.reads);
                d->invertBox()->setChecked(row.invert);
                DotPreview* preview = d->preview();
                QCOMPARE(preview->note(), row.note);
                QVERIFY2(preview->displayCaption().contains(row.note), qPrintable(what));
                QVERIFY2(preview->differences() == row.differences,
                         qPrintable(what + QString(": %1").arg(preview->differences())));
                if (row.litAt == NotChecked) continue;
                std::vector<uint8_t> shown(90, row.invert ? '1' : '0');
                shown[static_cast<size_t>(row.litAt)] = row.invert ? '0' : '1';
                QVERIFY2(preview->shownDots() == shown, qPrintable(what));
            }
        });
    }

    void thePreviewFollowsTheChosenPattern() {
        EditorFixture f;
        test::setRows(f.doc(), {"1"});
        f.window->dispatchCommand(CmdAddPattern);
        test::setRows(f.doc(), {"01"});
        f.editor->sidecar.names[2] = "second";
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            QVERIFY(!d->previewBox()->isEnabled()); // the current pattern alone
            d->allButton()->setChecked(true);
            QVERIFY(d->previewBox()->isEnabled() && d->previewBox()->count() == 2);
            QCOMPARE(d->previewBox()->itemText(1), QString("No. 2 (second)"));
            QCOMPARE(d->previewBox()->currentData().toInt(), 2);
            QCOMPARE(d->preview()->expectedDots()[1], uint8_t('1'));
            d->previewBox()->setCurrentIndex(0);
            const auto& dots = d->preview()->expectedDots();
            QVERIFY(dots[0] == '1' && dots[1] == '0');
            choose(d->layoutBox(), "pages-lsb");
            QCOMPARE(d->previewBox()->currentData().toInt(), 1);
        });
    }

    void aFormatTakesALayoutItCanHold() {
        EditorFixture f;
        struct Row {
            const char* from;
            const char* format;
            const char* to;
            std::vector<const char*> refused;
        };
        const Row rows[] = {
            {"rows-msb", "format:xbm", "rows-lsb", {"rows-msb", "pages-lsb", "pages-msb", "panel"}},
            {"pages-msb", "format:micropython", "rows-msb", {"pages-msb", "panel"}},
            {"rows-lsb",
             "format:lvgl",
             "rows-msb",
             {"rows-lsb", "pages-lsb", "pages-msb", "panel"}},
            {"pages-msb", "format:c", "pages-msb", {}}};
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            for (const Row& row : rows) {
                choose(d->formatBox(), "format:json");
                choose(d->layoutBox(), row.from);
                choose(d->formatBox(), row.format);
                QCOMPARE(d->layoutBox()->currentData().toString(), QString(row.to));
                QVERIFY2(!d->text().empty(), row.format);
                QVERIFY(d->problemLabel()->text().isEmpty());
                const bool switched = std::string(row.from) != row.to;
                QCOMPARE(
                    d->noteLabel()->text().contains(QString("The layout is now %1").arg(row.to)),
                    switched);
                for (int i = 0; i < d->layoutBox()->count(); ++i) {
                    const std::string layout = d->layoutBox()->itemData(i).toString().toStdString();
                    const bool refused = std::find(row.refused.begin(), row.refused.end(),
                                                   layout) != row.refused.end();
                    QVERIFY2(enabled(d->layoutBox(), i) == !refused, layout.c_str());
                }
            }
        });
    }

    void copyAndSaveSayWhatTheyDid() {
        EditorFixture f;
        test::setRows(f.doc(), {"11"});
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            const auto offered = [d] {
                return std::pair(d->copyButton()->isEnabled(), d->saveButton()->isEnabled());
            };
            QCOMPARE(offered(), std::pair(true, true));
            d->nameField()->setText("no good");
            d->refresh();
            QVERIFY(d->problemLabel()->text().contains("C identifier"));
            QCOMPARE(offered(), std::pair(false, false));
            d->nameField()->setText("logo");
            d->refresh();
            QCOMPARE(offered(), std::pair(true, true));

            d->copyToClipboard();
            const QByteArray copied = QGuiApplication::clipboard()->text().toUtf8();
            QVERIFY(copied.startsWith("/* logo.h: made by dedur from pattern.pat"));
            QCOMPARE(d->noteLabel()->text(), QString("Copied %1 bytes").arg(copied.size()));

            f.prompts.files = {QString::fromStdString(f.dir.file("beep.h"))};
            d->saveToFile();
            QCOMPARE(d->noteLabel()->text(), QString("Saved beep.h"));
            const std::string saved = test::readBytes(f.dir.file("beep.h"));
            QCOMPARE(saved.substr(0, saved.find('\n')),
                     std::string("/* beep.h: made by dedur from pattern.pat, layout rows-msb"));
            f.prompts.files = {};
            d->saveToFile(); // cancelled: nothing said
            QVERIFY(d->noteLabel()->text().isEmpty());

            d->rangeField()->setText("1-9");
            emit d->rangeField()->textEdited("1-9");
            QCOMPARE(d->problemLabel()->text(), QString("1-9: the file has 1 pattern"));
            QCOMPARE(offered(), std::pair(false, false));
            d->allButton()->setChecked(true);

            const struct {
                const char* format;
                bool progmem;
            } formats[] = {{"format:c", true},         {"format:rust", false},
                           {"format:lvgl", false},     {"format:json", false},
                           {"format:gfx-font", false}, {"format:asm", false}};
            for (const auto& row : formats) {
                choose(d->formatBox(), row.format);
                QCOMPARE(d->progmemBox()->isEnabled(), row.progmem);
            }
        });
    }

    void saveOffersANameForTheFormat() {
        EditorFixture f;
        const std::string tmpl = f.dir.file("c-struct.h.mustache");
        test::writeBytes(tmpl, "{{#patterns}}{{name}}{{/patterns}}\n");
        const std::string plain = f.dir.file("listing.mustache");
        test::writeBytes(plain, "{{file}}\n");
        struct Row {
            const char* format; // or a template's path
            const char* name;
            const char* expected;
        };
        const Row rows[] = {{"c", "", "pattern.h"},
                            {"c", "logo", "logo.h"},
                            {"micropython", "", "pattern.py"},
                            {"rust", "", "pattern.rs"},
                            {"asm", "", "pattern.s"},
                            {"json", "", "pattern.json"},
                            {"lvgl", "", "pattern.c"},
                            {"lvgl-font", "", "pattern.c"},
                            {"u8g2-font", "", "pattern.h"},
                            {tmpl.c_str(), "", "pattern.h"},
                            {plain.c_str(), "", "pattern.txt"}};
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            for (const Row& row : rows) {
                CodeProfile p;
                (row.format[0] == '/' ? p.templateFile : p.format) = row.format;
                p.name = row.name;
                d->applyProfile(p);
                QCOMPARE(d->suggestedFileName(), QString(row.expected));
            }
        });
        f.editor->sidecar.names[1] = "bell";
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            choose(d->formatBox(), "format:xbm");
            QCOMPARE(d->suggestedFileName(), QString("bell.xbm"));
        });
        f.editor->sidecar.names.clear();
        f.prompts.files = {QString::fromStdString(f.dir.file("battery-icons.pat"))};
        QVERIFY(f.window->controllers().files.saveAs());
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            QCOMPARE(d->suggestedFileName(), QString("battery-icons.xbm"));
        });
    }

    void theDialogOpensAsItWasLeft() {
        EditorFixture f;
        f.prompts.files = {QString::fromStdString(f.dir.file("a.pat"))};
        QVERIFY(f.window->controllers().files.saveAs());
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            choose(d->formatBox(), "format:rust");
            choose(d->layoutBox(), "pages-lsb");
            d->invertBox()->setChecked(true);
        });
        QVERIFY(!std::filesystem::exists(f.dir.file("a.pat.toml")));
        f.editor->settings = Settings();
        QCOMPARE(loadSettings(*f.editor), 1);
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            QCOMPARE(d->formatBox()->currentData().toString(), QString("format:rust"));
            QCOMPARE(d->layoutBox()->currentData().toString(), QString("pages-lsb"));
            QVERIFY(d->invertBox()->isChecked() && d->currentButton()->isChecked());
            d->allButton()->setChecked(true);
            choose(d->formatBox(), "format:json");
            f.prompts.typed = {"oled"};
            d->saveAsProfile();
            choose(d->formatBox(), "format:c");
        });
        f.editor->settings = Settings();
        QCOMPARE(loadSettings(*f.editor), 1);
        f.editor->codeProfile.clear();
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            QCOMPARE(d->profileBox()->currentText(), QString("oled"));
            QCOMPARE(d->formatBox()->currentData().toString(), QString("format:json"));
            QVERIFY(d->allButton()->isChecked());
            d->profileBox()->setCurrentIndex(0);
            emit d->profileBox()->activated(0);
        });
        QVERIFY(f.editor->codeProfile.empty());
    }

    void theCommandLineWritesWhatTheProfileShowed() {
        EditorFixture f;
        test::setRows(f.doc(), {"1"});
        f.window->dispatchCommand(CmdAddPattern);
        test::setRows(f.doc(), {"01"});
        f.window->dispatchCommand(CmdAddPattern);
        test::setRows(f.doc(), {"001"});
        f.window->dispatchCommand(CmdInsertPattern); // a new pattern 3, current
        test::setRows(f.doc(), {"0001"});
        const std::string file = f.dir.file("four.pat");
        f.prompts.files = {QString::fromStdString(file)};
        QVERIFY(f.window->controllers().files.saveAs());
        struct Row {
            const char* profile;
            const char* range; // nullptr: the current pattern
            const char* layout;
        };
        const Row rows[] = {{"cur", nullptr, "pages-lsb"}, {"some", "2, 4", "rows-lsb"}};
        std::map<std::string, std::string> shown;
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            for (const Row& row : rows) {
                choose(d->formatBox(), "format:c");
                choose(d->layoutBox(), row.layout);
                if (row.range) {
                    d->rangeField()->setText(row.range);
                    emit d->rangeField()->textEdited(row.range);
                } else {
                    d->currentButton()->setChecked(true);
                }
                f.prompts.typed = {row.profile};
                d->saveAsProfile();
                d->copyToClipboard();
                shown[row.profile] = QGuiApplication::clipboard()->text().toStdString();
            }
        });
        QVERIFY(shown["cur"].find("Pattern 3: ") != std::string::npos &&
                shown["cur"].find("Pattern 4: ") == std::string::npos);
        QVERIFY(f.window->controllers().files.save());
        for (const Row& row : rows) {
            const test::ShellRun cli =
                test::shell("'" DEDUR_CLI "' code '" + file + "' --profile " + row.profile);
            QVERIFY(cli.status == 0 && cli.out == shown[row.profile]);
        }
    }
};

QTEST_MAIN(CodeTest)
#include "code_test.moc"
