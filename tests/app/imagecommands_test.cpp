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
        f.prompts.typed = {""}; // every pattern a frame
        f.window->dispatchCommand(CmdExportImage);
        QCOMPARE(f.prompts.dialogs.first(),
                 QString("save:Export image:PNG image (*.png)|*.png|Animated GIF (*.gif)|*.gif|"));
        QVERIFY(f.prompts.shown.empty());
        const std::string bytes = test::readBytes(f.dir.file(written.toStdString()));
        if (written.endsWith(".gif", Qt::CaseInsensitive)) {
            const test::GifBlocks g = test::gifBlocks(bytes);
            QVERIFY(g.ok);
            QCOMPARE(int(g.frameWidths.size()), 2);
            QVERIFY(f.prompts.dialogs.contains("text:Export animation"));
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
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{"Import 2 frames as new patterns?"});
        QCOMPARE(int(f.doc().patternCount), 3);
        QCOMPARE(test::recordRows(f.doc(), 2).front().substr(0, 3), std::string("010"));
        QCOMPARE(f.editor->sidecar.delayOf(3), 300);
    }
};

QTEST_MAIN(ImageCommandsTest)
#include "imagecommands_test.moc"
