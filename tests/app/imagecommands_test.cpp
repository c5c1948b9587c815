#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "code/codedialog.h"
#include "editorfixture.h"
#include "gifbytes.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;

// File > Import image and Export image through the real controller, with
// hostile answers and hand-edited settings.
class ImageCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    // A name typed without the extension of a type gets the chosen type's;
    // one typed with .png or .gif keeps it and is written as that.
    void exportWritesTheChosenType() {
        const struct {
            QString typed;
            int type; // 0 PNG, 1 GIF
            QString written;
        } rows[] = {{"pic", 0, "pic.png"},       {"pic", 1, "pic.gif"},
                    {"pic.gif", 0, "pic.gif"},   {"pic.png", 1, "pic.png"},
                    {"pic.v2", 1, "pic.v2.gif"}, {"pic.GIF", 0, "pic.GIF"}};
        for (const auto& [typed, type, written] : rows) {
            EditorFixture f;
            test::setRows(f.doc(), {"110000000000"});
            f.window->dispatchCommand(CmdAddPattern);
            f.prompts.files = {QString::fromStdString(f.dir.file(typed.toStdString()))};
            f.prompts.types = {type};
            bool asked = false;
            f.window->runDialog = [&](QDialog* d) {
                asked = d->windowTitle() == "Export animation";
                d->accept(); // every pattern a frame
                return d->result();
            };
            f.window->dispatchCommand(CmdExportImage);
            QCOMPARE(
                f.prompts.dialogs.first(),
                QString("save:Export image:PNG image (*.png)|*.png|Animated GIF (*.gif)|*.gif|"));
            QVERIFY(f.prompts.shown.empty());
            const std::string bytes = test::readBytes(f.dir.file(written.toStdString()));
            if (written.endsWith(".gif", Qt::CaseInsensitive)) {
                const test::GifBlocks g = test::gifBlocks(bytes);
                QVERIFY(g.ok);
                QCOMPARE(int(g.frameWidths.size()), 2);
                QVERIFY(asked);
            } else {
                QCOMPARE(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
            }
            QVERIFY(!std::filesystem::exists(f.dir.file("pic")));
            QVERIFY(!std::filesystem::exists(f.dir.file("pic.v2")));
        }
    }

    // Frames larger than any pattern are refused from the GIF's headers,
    // before the question and before a pixel of them is decoded.
    void oversizedAnimationsAreRefusedBeforeTheQuestion() {
        test::GifFrameBytes huge;
        huge.width = huge.height = 8192;
        huge.lzw = test::lzwZeros(uint64_t{8192} * 8192);
        test::GifFrameBytes dot;
        dot.lzw = test::lzwPlain({1});
        const std::pair<std::string, std::string> rows[] = {
            {test::gifFile(16, 16, {huge, huge, huge}),
             "holds a frame of 8192 x 8192 pixels; a pattern side must be 1 to 96"},
            {test::gifFile(1, 1, std::vector<test::GifFrameBytes>(1001, dot)),
             "holds more than 1000 frames; at most 1000 are taken"}};
        for (const auto& [gif, says] : rows) {
            EditorFixture f;
            const std::string path = f.dir.file("in.gif");
            test::writeBytes(path, gif);
            f.window->controllers().images.importImageFile(QString::fromStdString(path));
            QCOMPARE(f.prompts.texts(), std::vector<std::string>{"\"" + path + "\" " + says});
            QCOMPARE(int(f.doc().patternCount), 1);
            QVERIFY(!f.doc().modifiedFlag);
            QCOMPARE(f.editor->selection.selectionState, SelectionState::None);
        }
    }

    // A GIF of two frames within the limits still asks, and comes in.
    // A GIF of two frames within the limits asks: Yes takes each frame as
    // a pattern, with its delay; No the first as a floating block; Cancel
    // nothing.
    void animationsWithinTheLimitsAreAskedFor() {
        test::GifFrameBytes one, two;
        one.width = two.width = 3;
        one.lzw = test::lzwPlain({1, 0, 1});
        two.lzw = test::lzwPlain({0, 1, 0});
        two.delayHundredths = 30;
        for (const int answer : {IDYES, IDNO, IDCANCEL}) {
            EditorFixture f;
            const std::string path = f.dir.file("in.gif");
            test::writeBytes(path, test::gifFile(96, 1, {one, two})); // the widest pattern
            f.prompts.answers = {answer};
            f.window->controllers().images.importImageFile(QString::fromStdString(path));
            QCOMPARE(f.prompts.texts(),
                     std::vector<std::string>{"Import 2 frames as new patterns?\n\nYes: each frame "
                                              "becomes a pattern after the last one.\nNo: only the "
                                              "first frame comes in, as a floating block."});
            QCOMPARE(int(f.doc().patternCount), answer == IDYES ? 3 : 1);
            QCOMPARE(f.editor->selection.selectionState != SelectionState::None, answer == IDNO);
            if (answer == IDYES) {
                QCOMPARE(test::recordRows(f.doc(), 2).front().substr(0, 3), std::string("010"));
                QCOMPARE(f.editor->sidecar.delayOf(3), 300);
            } else if (answer == IDNO) {
                const std::vector<uint8_t>& block = f.editor->selection.floatingBlock;
                QCOMPARE(std::vector<uint8_t>(block.begin(), block.begin() + 3),
                         (std::vector<uint8_t>{DOT_ON, DOT_OFF, DOT_ON}));
            }
        }
    }

    // The dot size and plays chosen are what ImageMagick reads from the
    // file, and the next export offers them again.
    void theAnimationHasTheChosenSizeAndPlays() {
        // 12 x 12 dots: the smallest dot, for ever; the largest, the most plays.
        const struct {
            int scale, loops;
            QString identified, plays;
        } rows[] = {{1, 0, "Page geometry: 12x12+0+0", "Iterations: 0"},
                    {64, 65535, "Page geometry: 768x768+0+0", "Iterations: 65535"}};
        for (const auto& row : rows) {
            const int scale = row.scale, loops = row.loops;
            EditorFixture f;
            test::setRows(f.doc(), {"1"});
            f.window->dispatchCommand(CmdAddPattern);
            const QString path = QString::fromStdString(f.dir.file("anim.gif"));
            QList<int> offered;
            f.window->runDialog = [&](QDialog* d) {
                auto* scaleBox = d->findChild<QSpinBox*>("scale");
                auto* loopsBox = d->findChild<QSpinBox*>("loops");
                offered << scaleBox->value() << loopsBox->value();
                scaleBox->setValue(scale);
                loopsBox->setValue(loops);
                d->findChild<QLineEdit*>("frames")->setText("1-2");
                d->accept();
                return d->result();
            };
            for (int run = 0; run < 2; ++run) {
                f.prompts.files = {path};
                f.prompts.types = {1};
                f.window->dispatchCommand(CmdExportImage);
            }
            QVERIFY(f.prompts.shown.empty());
            // First the grid's cell (8 px) and for ever, then the last answer.
            QCOMPARE(offered, (QList<int>{8, 0, scale, loops}));
            QProcess identify;
            identify.start("identify", {"-verbose", path});
            QVERIFY(identify.waitForFinished(30000));
            QStringList read; // the screen and the plays of each frame
            for (const QString& line :
                 QString::fromLatin1(identify.readAllStandardOutput()).split('\n')) {
                const QString t = line.trimmed();
                if (t.startsWith("Page geometry:") || t.startsWith("Iterations:")) read << t;
            }
            QCOMPARE(read, (QStringList{row.identified, row.plays, row.identified, row.plays}));
        }
    }

    // A number past the last pattern would be read as the last one, so the
    // GIF would hold frames nobody asked for: it is refused, nothing written.
    void animationRangePastTheLastIsRefused() {
        const std::pair<QString, std::string> rows[] = {// the range, what is said ("": written)
                                                        {"1-5", "1-5: the file has 2 patterns"},
                                                        {"2,1", ""}};
        for (const auto& row : rows) {
            const QString& range = row.first;
            const std::string& says = row.second;
            EditorFixture f;
            test::setRows(f.doc(), {"1"});
            f.window->dispatchCommand(CmdAddPattern);
            const std::string out = f.dir.file("anim.gif");
            f.window->runDialog = [&](QDialog* d) {
                d->findChild<QLineEdit*>("frames")->setText(range);
                d->accept();
                return d->result();
            };
            f.prompts.files = {QString::fromStdString(out)};
            f.prompts.types = {1};
            f.window->dispatchCommand(CmdExportImage);
            if (says.empty()) {
                QVERIFY(f.prompts.shown.empty());
                QVERIFY(std::filesystem::is_regular_file(out));
            } else {
                QCOMPARE(f.prompts.texts(), std::vector<std::string>{says});
                QVERIFY(!std::filesystem::exists(out));
            }
        }
    }

    // Hand-edited values of the remembered choices: the dialogs open with
    // the defaults in place of what cannot be used.
    void handEditedChoicesFallBack() {
        const std::string huge(100000, '9');
        for (const std::string& lines :
             {"GIFSCALE = " + huge + "\r\nGIFLOOPS = " + huge + "\r\nZOOMCELL = " + huge,
              std::string("GIFSCALE = x\r\nGIFLOOPS = -\r\nZOOMCELL = 1e3"),
              std::string("GIFSCALE = 0\r\nGIFLOOPS = 65536\r\nZOOMCELL = 41"),
              std::string("GIFSCALE = 65\r\nGIFLOOPS = -1\r\nZOOMCELL = 3"),
              "CODEEXPORT = layout=" + std::string(100000, 'x') + " format=nothing",
              std::string("CODEEXPORT = layout=panel2 invert=2 progmem=yes format=../c "
                          "template=/dev/zero\r\nCODEPROFILE = missing")}) {
            EditorFixture f("[others]\r\n" + lines + "\r\n");
            test::setRows(f.doc(), {"1"});
            QList<int> offered;
            f.window->runDialog = [&](QDialog* d) {
                offered << d->findChild<QSpinBox*>("scale")->value()
                        << d->findChild<QSpinBox*>("loops")->value();
                return int(QDialog::Rejected);
            };
            f.prompts.files = {QString::fromStdString(f.dir.file("anim.gif"))};
            f.prompts.types = {1};
            f.window->dispatchCommand(CmdExportImage);
            // The grid's cell and for ever.
            QCOMPARE(offered, (QList<int>{8, 0}));
            f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
                QCOMPARE(d->formatBox()->currentData().toString(), QString("format:c"));
                QCOMPARE(d->layoutBox()->currentData().toString(), QString("rows-msb"));
                QVERIFY(d->copyButton()->isEnabled());
            });
        }
    }
};

QTEST_MAIN(ImageCommandsTest)
#include "imagecommands_test.moc"
