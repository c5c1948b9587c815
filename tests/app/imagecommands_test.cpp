#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QTest>

#include "editorfixture.h"
#include "gifbytes.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;

// File > Import image and Export image through the real controller.
class ImageCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    // A name typed without the extension of a type gets the chosen type's;
    // one typed with .png or .gif keeps it and is written as that.
    void exportWritesTheChosenType_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("written");
        QTest::newRow("png chosen") << "pic" << 0 << "pic.png";
        QTest::newRow("gif chosen") << "pic" << 1 << "pic.gif";
        QTest::newRow("gif typed, png chosen") << "pic.gif" << 0 << "pic.gif";
        QTest::newRow("png typed, gif chosen") << "pic.png" << 1 << "pic.png";
        QTest::newRow("other typed, gif chosen") << "pic.v2" << 1 << "pic.v2.gif";
        QTest::newRow("upper case kept") << "pic.GIF" << 0 << "pic.GIF";
    }
    void exportWritesTheChosenType() {
        QFETCH(QString, typed);
        QFETCH(int, type);
        QFETCH(QString, written);
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
        QCOMPARE(f.prompts.dialogs.first(),
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

    // Frames larger than any pattern are refused from the GIF's headers,
    // before the question and before a pixel of them is decoded.
    void oversizedAnimationsAreRefusedBeforeTheQuestion_data() {
        QTest::addColumn<QByteArray>("gif");
        QTest::addColumn<QString>("says");
        test::GifFrameBytes huge;
        huge.width = huge.height = 8192;
        huge.lzw = test::lzwZeros(uint64_t{8192} * 8192);
        const std::string hugeFrames = test::gifFile(16, 16, {huge, huge, huge});
        QTest::newRow("frames of 8192 x 8192")
            << QByteArray::fromStdString(hugeFrames)
            << "holds a frame of 8192 x 8192 pixels; a pattern side must be 1 to 96";
        test::GifFrameBytes dot;
        dot.lzw = test::lzwPlain({1});
        QTest::newRow("a screen of 1 x 97")
            << QByteArray::fromStdString(test::gifFile(1, 97, {dot, dot}))
            << "is 1 x 97 pixels; a pattern side must be 1 to 96";
        QTest::newRow("1001 frames") << QByteArray::fromStdString(test::gifFile(
                                            1, 1, std::vector<test::GifFrameBytes>(1001, dot)))
                                     << "holds more than 1000 frames; at most 1000 are taken";
    }
    void oversizedAnimationsAreRefusedBeforeTheQuestion() {
        QFETCH(QByteArray, gif);
        QFETCH(QString, says);
        EditorFixture f;
        const std::string path = f.dir.file("in.gif");
        test::writeBytes(path, gif.toStdString());
        f.window->controllers().images.importImageFile(QString::fromStdString(path));
        QCOMPARE(int(f.prompts.shown.size()), 1);
        QCOMPARE(QString::fromStdString(f.prompts.shown.front().text),
                 "\"" + QString::fromStdString(path) + "\" " + says);
        QCOMPARE(int(f.doc().patternCount), 1);
        QVERIFY(!f.doc().modifiedFlag);
        QCOMPARE(f.editor->selection.selectionState, SelectionState::None);
    }

    // A GIF of two frames within the limits still asks, and comes in.
    void animationsWithinTheLimitsAreAskedFor() {
        EditorFixture f;
        test::GifFrameBytes one, two;
        one.width = two.width = 2;
        one.lzw = test::lzwPlain({1, 0});
        two.lzw = test::lzwPlain({0, 1});
        two.delayHundredths = 30;
        const std::string path = f.dir.file("in.gif");
        test::writeBytes(path, test::gifFile(96, 1, {one, two}));
        f.window->controllers().images.importImageFile(QString::fromStdString(path));
        QCOMPARE(f.prompts.texts(),
                 std::vector<std::string>{"Import 2 frames as new patterns?\n\nYes: each frame "
                                          "becomes a pattern after the last one.\nNo: only the "
                                          "first frame comes in, as a floating block."});
        QCOMPARE(int(f.doc().patternCount), 3);
        QCOMPARE(test::recordRows(f.doc(), 2).front().substr(0, 3), std::string("010"));
        QCOMPARE(f.editor->sidecar.delayOf(3), 300);
    }

    // No takes the first frame as a floating block, Cancel nothing.
    void noTakesTheFirstFrameAsABlock_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("floating");
        QTest::newRow("no") << int(IDNO) << true;
        QTest::newRow("cancel") << int(IDCANCEL) << false;
    }
    void noTakesTheFirstFrameAsABlock() {
        QFETCH(int, answer);
        QFETCH(bool, floating);
        EditorFixture f;
        test::GifFrameBytes one, two;
        one.width = two.width = 3;
        one.lzw = test::lzwPlain({1, 0, 1});
        two.lzw = test::lzwPlain({0, 1, 0});
        const std::string path = f.dir.file("in.gif");
        test::writeBytes(path, test::gifFile(3, 1, {one, two}));
        f.prompts.answers = {answer};
        f.window->controllers().images.importImageFile(QString::fromStdString(path));
        QCOMPARE(int(f.prompts.shown.size()), 1);
        QCOMPARE(int(f.doc().patternCount), 1);
        QCOMPARE(f.editor->selection.selectionState != SelectionState::None, floating);
        if (floating) {
            QCOMPARE(f.editor->selection.blockRect.width(), 3);
            QCOMPARE(f.editor->selection.floatingBlock.front(), uint8_t(DOT_ON));
            QCOMPARE(f.editor->selection.floatingBlock.at(1), uint8_t(DOT_OFF));
        }
    }

    // The dot size and plays chosen are what ImageMagick reads from the
    // file, and the next export offers them again.
    void theAnimationHasTheChosenSizeAndPlays_data() {
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("loops");
        QTest::addColumn<QString>("identified"); // 12 x 12 dots
        QTest::addColumn<QString>("plays");
        QTest::newRow("smallest, for ever") << 1 << 0 << "Page geometry: 12x12+0+0"
                                            << "Iterations: 0";
        QTest::newRow("largest") << 64 << 65535 << "Page geometry: 768x768+0+0"
                                 << "Iterations: 65535";
    }
    void theAnimationHasTheChosenSizeAndPlays() {
        QFETCH(int, scale);
        QFETCH(int, loops);
        QFETCH(QString, identified);
        QFETCH(QString, plays);
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
        QCOMPARE(read, (QStringList{identified, plays, identified, plays}));
    }

    // Values a hand edit put out of range are not offered.
    void outOfRangeSettingsAreNotOffered() {
        EditorFixture f("[others]\r\nGIFSCALE = 65\r\nGIFLOOPS = -1\r\n");
        QList<int> offered;
        f.window->runDialog = [&](QDialog* d) {
            offered << d->findChild<QSpinBox*>("scale")->value()
                    << d->findChild<QSpinBox*>("loops")->value();
            return int(QDialog::Rejected);
        };
        f.prompts.files = {QString::fromStdString(f.dir.file("anim.gif"))};
        f.window->dispatchCommand(CmdExportImage);
        QCOMPARE(offered, (QList<int>{8, 0}));
        QVERIFY(!std::filesystem::exists(f.dir.file("anim.gif")));
    }
};

QTEST_MAIN(ImageCommandsTest)
#include "imagecommands_test.moc"
