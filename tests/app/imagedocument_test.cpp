// Pictures as documents in the editor: opened, drawn on and saved in their
// own format, read back by ImageMagick; made for a display; zoomed at 1024
// dots a side; the panel's commands off while one is open.
#include <QAction>
#include <QComboBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include "code/codedialog.h"
#include "document/newimagedialog.h"
#include "editorfixture.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;
using dedur::test::shell;

namespace {

// 6 x 3 dots, drawn by hand.
const char* const Picture = "P1\n6 3\n1 0 0 0 0 1\n0 1 1 0 0 0\n0 0 0 0 1 1\n";
const std::vector<std::string> PictureRows{"100001", "011000", "000011"};

// The dots ImageMagick reads from `path` (frame `frame`), row by row.
std::vector<std::string> magickRows(const std::string& path, int frame = 0) {
    const test::ShellRun run = test::shell("convert '" + path + "[" + std::to_string(frame) +
                                           "]' -compress none pbm:- 2>&1");
    std::vector<std::string> rows;
    std::istringstream in(run.out);
    std::string magic;
    int width = 0, height = 0;
    in >> magic >> width >> height;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0, bit = 0; x < width && in >> bit; ++x) row += char('0' + bit);
        rows.push_back(row);
    }
    return rows;
}

void openPath(EditorFixture& f, const std::string& path) {
    f.prompts.files.push_back(QString::fromStdString(path));
    f.window->dispatchCommand(CmdOpen);
}

QAction* item(EditorFixture& f, int id) {
    f.window->updateMenuState();
    return f.window->action(id);
}

void newImage(EditorFixture& f, int preset, int width = 0, int height = 0) {
    f.inDialog<NewImageDialog>(CmdNewImage, [&](NewImageDialog* d) {
        d->presetBox()->setCurrentIndex(preset);
        if (width > 0) d->widthBox()->setValue(width);
        if (height > 0) d->heightBox()->setValue(height);
        d->done(1);
    });
}

// A press and release on dot (x, y), scrolled into sight first.
void click(EditorFixture& f, int x, int y) {
    const QPoint at = f.cell(x, y);
    f.window->gridArea()->ensureVisible(at.x(), at.y(), 4, 4);
    QTest::mouseClick(&f.grid(), Qt::LeftButton, {}, at);
}

} // namespace

class ImageDocumentTest : public QObject {
    Q_OBJECT
  private slots:
    void eachFormatOpensDrawsAndSavesItself_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("magickFormat");
        for (const char* e : {"pbm", "xbm", "png", "gif"})
            QTest::newRow(e) << e << QString(e).toUpper();
    }
    void eachFormatOpensDrawsAndSavesItself() {
        QFETCH(QString, extension);
        QFETCH(QString, magickFormat);
        EditorFixture f;
        const std::string hand = f.dir.file("hand.pbm");
        test::writeBytes(hand, Picture);
        const std::string path = f.dir.file("picture." + extension.toStdString());
        extension == "pbm" ? test::writeBytes(path, Picture)
                           : (void)shell("convert '" + hand + "' '" + path + "'");
        openPath(f, path);
        QCOMPARE(f.doc().kind, DocumentKind::Image);
        QCOMPARE(test::rowsOf(f.doc()), PictureRows);
        QVERIFY(f.window->windowTitle().contains(QString::fromStdString(path)));
        // The pencil sets dot (2, 2): saved in the file's own format.
        f.window->dispatchCommand(CmdDrawPoint);
        click(f, 2, 2);
        QVERIFY(f.doc().modifiedFlag);
        f.window->dispatchCommand(CmdSave);
        QVERIFY(!f.doc().modifiedFlag);
        QCOMPARE(magickRows(path), (std::vector<std::string>{"100001", "011000", "001011"}));
        QCOMPARE(QString::fromStdString(shell("identify -format %m '" + path + "'").out),
                 magickFormat);
        QVERIFY(f.prompts.shown.empty());
    }

    // Off for a picture, with the reason; on again for a pattern file.
    void panelCommandsSayWhyTheyAreOff() {
        EditorFixture f;
        const int panel[] = {CmdPanelExport, CmdTableExport,     CmdImportPanelData,
                             CmdPatternSize, CmdPanelDefinition, CmdPanelView};
        newImage(f, 0);
        for (int id : panel) {
            QVERIFY2(!item(f, id)->isEnabled(), qPrintable(item(f, id)->text()));
            QCOMPARE(item(f, id)->toolTip(),
                     QString("Only a pattern file has a place on the panel"));
        }
        QVERIFY(!f.window->palette()->find(CmdPatternSize)->enabled);
        f.prompts.answers = {IDNO};
        f.window->dispatchCommand(CmdNew);
        QCOMPARE(f.doc().kind, DocumentKind::Patterns);
        for (int id : panel) QVERIFY2(item(f, id)->isEnabled(), qPrintable(item(f, id)->text()));
        QVERIFY(f.window->palette()->find(CmdPatternSize)->enabled);
    }

    void framesKeepTheirDelaysAndGoToAGifOnly() {
        EditorFixture f;
        const std::string one = f.dir.file("one.pbm"), two = f.dir.file("two.pbm");
        test::writeBytes(one, Picture);
        test::writeBytes(two, "P1\n6 3\n0 0 0 0 0 0\n1 1 1 1 1 1\n0 0 0 0 0 0\n");
        const std::string gif = f.dir.file("anim.gif");
        shell("convert -delay 25 '" + one + "' -delay 50 '" + two + "' '" + gif + "'");
        openPath(f, gif);
        QCOMPARE(f.doc().patternCount, 2);
        QCOMPARE(f.editor->sidecar.delayOf(1), 250);
        QCOMPARE(f.editor->sidecar.delayOf(2), 500);
        f.window->dispatchCommand(CmdOnionSkin);
        f.window->goToPattern(2);
        QCOMPARE(test::rowsOf(f.doc())[1], std::string("111111"));
        // The second frame's pencil, in the grid and in the file.
        f.window->dispatchCommand(CmdDrawPoint);
        click(f, 0, 0);

        // One picture's format: No writes nothing, Yes writes the frames as GIF.
        const std::string png = f.dir.file("out.png");
        f.prompts.files = {QString::fromStdString(png)};
        f.prompts.answers = {IDNO};
        f.window->dispatchCommand(CmdSaveAs);
        QVERIFY(!std::filesystem::exists(png) && !std::filesystem::exists(f.dir.file("out.gif")));
        QCOMPARE(f.prompts.shown.back().text,
                 "\"" + png +
                     "\"\nhas 2 frames; a PNG file holds one picture.\nSave the frames as \"" +
                     f.dir.file("out.gif") + "\"?");
        f.prompts.files = {QString::fromStdString(png)};
        f.prompts.answers = {IDYES};
        f.window->dispatchCommand(CmdSaveAs);
        const std::string out = f.dir.file("out.gif");
        QCOMPARE(shell("identify -format '%T ' '" + out + "'").out, std::string("25 50 "));
        QCOMPARE(magickRows(out, 1), (std::vector<std::string>{"100000", "111111", "000000"}));
        QVERIFY(!f.doc().modifiedFlag);
        QCOMPARE(f.doc().patternFileName, out);
    }

    // A name without an image's extension takes the type chosen, and keeps it.
    void saveAsTakesTheChosenType() {
        EditorFixture f;
        newImage(f, 5, 9, 2);
        f.window->dispatchCommand(CmdDrawPoint);
        click(f, 8, 1);
        f.prompts.files = {QString::fromStdString(f.dir.file("logo"))};
        f.prompts.types = {2}; // PBM first, then XBM, PNG, GIF
        f.window->dispatchCommand(CmdSave);
        QVERIFY(f.prompts.dialogs.back().contains("PBM image (*.pbm)|*.pbm|XBM image"));
        const std::string png = f.dir.file("logo.png");
        QCOMPARE(magickRows(png), (std::vector<std::string>{"000000000", "000000001"}));
        f.window->dispatchCommand(CmdSaveAs);
        QVERIFY(f.prompts.dialogs.back().contains(":PNG image (*.png)|*.png|PBM image"));
    }

    void presetsMakeTheDisplaysPicture_data() {
        QTest::addColumn<int>("preset");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("layout");
        QTest::newRow("128 x 64 OLED") << 0 << 128 << 64 << "pages-lsb";
        QTest::newRow("128 x 32 OLED") << 1 << 128 << 32 << "pages-lsb";
        QTest::newRow("84 x 48 LCD") << 2 << 84 << 48 << "pages-lsb";
        QTest::newRow("240 x 128 LCD") << 3 << 240 << 128 << "rows-msb";
        QTest::newRow("296 x 128 e-paper") << 4 << 296 << 128 << "rows-msb";
        QTest::newRow("custom") << 5 << 1024 << 3 << "rows-msb";
    }
    void presetsMakeTheDisplaysPicture() {
        QFETCH(int, preset);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, layout);
        EditorFixture f;
        newImage(f, preset, preset == 5 ? width : 0, preset == 5 ? height : 0);
        QCOMPARE(f.doc().patternWidth, width);
        QCOMPARE(f.doc().patternHeight, height);
        QVERIFY(!f.doc().modifiedFlag);
        QString shown;
        f.inDialog<CodeDialog>(CmdExportCode, [&](CodeDialog* d) {
            shown = d->layoutBox()->currentData().toString();
        });
        QCOMPARE(shown, layout);
    }

    // Zoomed out to a pixel a dot; at every size the grid scrolls to its far
    // corner and the pencil lands on the dot aimed at.
    void aMegapixelPictureZoomsAndScrolls() {
        EditorFixture f;
        newImage(f, 5, 1024, 1024);
        f.window->dispatchCommand(CmdDrawPoint);
        int steps = 0;
        while (f.grid().geometry().gridX > 1 && steps++ < 20) f.window->dispatchCommand(CmdZoomOut);
        QCOMPARE(f.grid().geometry().gridX, 1);
        f.window->dispatchCommand(CmdZoomIn);
        QCOMPARE(f.grid().geometry().gridX, 2);
        for (int zoom : {CmdNormalSize, CmdZoomToFit, CmdZoomIn}) {
            f.window->dispatchCommand(zoom);
            const int dot = 1023 - f.grid().geometry().gridX;
            click(f, dot, dot);
            QVERIFY2(f.doc().workDots[size_t(dot) * 1024 + size_t(dot)] == DOT_ON,
                     qPrintable(QString("cells of %1").arg(f.grid().geometry().gridX)));
        }
        // A dot and its line take two pixels: no screen shows 1024 of them
        // whole, and the fit takes the smallest cells.
        f.window->dispatchCommand(CmdZoomToFit);
        QCOMPARE(f.grid().geometry().gridX, 1);
    }

    void unsavedPictureIsAskedAbout() {
        EditorFixture f;
        newImage(f, 1);
        f.window->dispatchCommand(CmdDrawPoint);
        click(f, 3, 3);
        f.prompts.answers = {IDCANCEL};
        f.window->dispatchCommand(CmdNew);
        QCOMPARE(f.prompts.shown.back().caption, std::string("Save Image"));
        QCOMPARE(f.prompts.shown.back().text,
                 std::string("Untitled file\nhas not been saved.\nSave file before closing?"));
        QCOMPARE(f.doc().kind, DocumentKind::Image);
        QVERIFY(f.doc().modifiedFlag);
    }
};

QTEST_MAIN(ImageDocumentTest)
#include "imagedocument_test.moc"
