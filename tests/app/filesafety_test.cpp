// What the editor does when files fail it: a save that fails on the way out,
// links at its own names, files too large to load, odd glyph files.
#include <QBuffer>
#include <QClipboard>
#include <QImageReader>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "document/patternfile.h"
#include "editorfixture.h"
#include "editorsettings.h"
#include "fonts/glyphfile.h"
#include "image/imagefile.h"
#include "panel/exportdialog.h"
#include "panel/paneldefinitiondialog.h"
#include "settings/settings.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;
namespace fs = std::filesystem;

namespace {

// An editor on a pattern file of two patterns that can no longer be written.
struct ReadOnlyFixture : EditorFixture {
    static std::string makeFile() {
        static test::TempDir source;
        const std::string path = source.file("locked.pat");
        fs::permissions(path, fs::perms(0644), std::filesystem::perm_options::replace, ignored);
        Document doc = test::documentOf({{4, 2, 1, 1, 0, 2}, {4, 2, 1, 1, 0, 2}});
        if (!writePatternFile(doc, path).ok()) qFatal("cannot write %s", path.c_str());
        fs::permissions(path, fs::perms(0444));
        return path;
    }
    ReadOnlyFixture() : EditorFixture("[others]\r\nPATFILE = " + makeFile() + "\r\n") {}

    std::string path() const { return editor->document.patternFileName; }
    static inline std::error_code ignored;
};

// A pattern file of `count` blank 4 x 2 patterns.
void writeBlank(const std::string& path, int count) {
    Document doc = count == 1 ? test::documentOf({{4, 2, 1, 1, 0, 2}})
                              : test::documentOf({{4, 2, 1, 1, 0, 2}, {4, 2, 1, 1, 0, 2}});
    if (!writePatternFile(doc, path).ok()) qFatal("cannot write %s", path.c_str());
}

} // namespace

class FileSafetyTest : public QObject {
    Q_OBJECT
  private slots:
    void aFailedSaveOnTheWayOutKeepsTheDocument_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("answers"); // Yes answers before the save fails
        QTest::newRow("exit") << int(CmdExit) << 2;
        QTest::newRow("new") << int(CmdNew) << 1;
        QTest::newRow("open") << int(CmdOpen) << 1;
        QTest::newRow("mode switch") << int(CmdFont16Mode) << 1;
    }
    void aFailedSaveOnTheWayOutKeepsTheDocument() {
        QFETCH(int, command);
        QFETCH(int, answers);
        ReadOnlyFixture f;
        const std::string before = test::readBytes(f.path());
        f.drag({{0, 0}});
        QVERIFY(f.doc().modifiedFlag);
        QSignalSpy exits(f.window.get(), &MainWindow::exitRequested);
        f.prompts.answers.assign(static_cast<size_t>(answers), IDYES);
        f.window->dispatchCommand(command);
        QCOMPARE(f.prompts.shown.back().text, f.path() + "\nfile open error !");
        QCOMPARE(exits.count(), 0);
        QVERIFY(f.window->isVisible());
        QVERIFY(f.doc().modifiedFlag);
        QCOMPARE(f.doc().editType, EditMode::Pattern);
        QCOMPARE(f.doc().patternCount, 2);
        QVERIFY(f.prompts.dialogs.isEmpty()); // Open did not go on to its dialog
        QCOMPARE(test::rowsOf(f.doc()).front(), std::string("1000"));
        QCOMPARE(test::readBytes(f.path()), before);
    }

    void cancellingTheSaveDialogOnExitKeepsRunning() {
        EditorFixture f;
        f.drag({{0, 0}});
        QSignalSpy exits(f.window.get(), &MainWindow::exitRequested);
        f.prompts.answers = {IDYES, IDYES}; // exit, save; the dialog is cancelled
        f.window->dispatchCommand(CmdExit);
        QCOMPARE(f.prompts.dialogs.size(), 1);
        QCOMPARE(exits.count(), 0);
        QVERIFY(f.doc().modifiedFlag);
    }

    void aFailedGlyphSaveOnExitKeepsRunning() {
        EditorFixture f("[others]\r\nEDITTYPE = 2\r\n", false);
        const std::string font = f.dir.file("STD16X15.fon");
        test::writeBytes(font, std::string(392820, '\0'));
        fs::permissions(font, fs::perms(0444));
        f.launch();
        QVERIFY(f.prompts.shown.empty()); // the right size: no warning
        f.drag({{0, 0}});
        QSignalSpy exits(f.window.get(), &MainWindow::exitRequested);
        f.prompts.answers = {IDYES, IDYES};
        f.window->dispatchCommand(CmdExit);
        QCOMPARE(f.prompts.shown.back().text, font + " Open Failure !");
        QCOMPARE(f.prompts.shown[1].caption, std::string("Save Font"));
        QCOMPARE(exits.count(), 0);
        QVERIFY(f.doc().modifiedFlag);
    }

    void aGlyphFileOfTheWrongSizeWarnsOnce() {
        EditorFixture f;
        test::writeBytes(f.dir.file("STD16X15.fon"), std::string(3000, '\0'));
        f.window->dispatchCommand(CmdFont16Mode);
        f.window->dispatchCommand(CmdPatternMode);
        f.window->dispatchCommand(CmdFont16Mode);
        QCOMPARE(f.prompts.texts(),
                 std::vector<std::string>{
                     f.dir.file("STD16X15.fon") +
                     " holds 3000 bytes, not the 392820 bytes of 13094 glyphs of 30 bytes.\n"
                     "Glyphs past its end show blank, and saving one there makes the file "
                     "longer."});
    }

    void startingOnAFileTooLargeToLoad() {
        test::TempDir source;
        const std::string path = source.file("huge.pat");
        test::writeBytes(path, "PATTERN\r\n");
        fs::resize_file(path, uint64_t{40} << 30);
        EditorFixture f("[others]\r\nPATFILE = " + path + "\r\n");
        QCOMPARE(f.prompts.texts(),
                 (std::vector<std::string>{"Pattern file \"" + path +
                                               "\" holds more patterns than can be loaded",
                                           "Pattern file \"" + path + "\" not found",
                                           "Pattern file \"" + path + "\" not found"}));
        QCOMPARE(f.prompts.shown[1].caption, std::string("Open Fail"));
        QCOMPARE(f.prompts.shown[2].caption, std::string("Can't Open File"));
        QCOMPARE(f.window->windowTitle(), QString("VOV Odedode Dizari : ( Unname )"));
        QCOMPARE(f.doc().patternCount, 1);
    }

    // A pipe (with a writer that never writes) as the last file: said once,
    // never read, and the editor starts on a new document.
    void startingOnAPipe() {
        test::TempDir source;
        const std::string fifo = source.file("p.pat");
        ::mkfifo(fifo.c_str(), 0600);
        const int writer = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
        EditorFixture f("[others]\r\nPATFILE = " + fifo + "\r\n");
        ::close(writer);
        QCOMPARE(f.prompts.texts(),
                 std::vector<std::string>{"\"" + fifo +
                                          "\" is not a regular file; a pattern file cannot be "
                                          "read from it"});
        QCOMPARE(f.window->windowTitle(), QString("VOV Odedode Dizari : ( Unname )"));
    }

    void pasteLeavesALinkAtItsRecordAlone() {
        EditorFixture f;
        test::writeBytes(f.dir.file("victim"), "keep");
        fs::create_symlink(f.dir.file("victim"), f.dir.file("bitmap.dat"));
        QImage image(3, 2, QImage::Format_Mono);
        image.fill(0);
        QGuiApplication::clipboard()->setImage(image);
        f.window->dispatchCommand(CmdPaste);
        QCOMPARE(f.prompts.texts(),
                 std::vector<std::string>{"Could not write \"" + f.dir.file("bitmap.dat") +
                                          "\": a link stands at that name; it was left alone"});
        QCOMPARE(test::readBytes(f.dir.file("victim")), std::string("keep"));
        QVERIFY(fs::is_symlink(f.dir.file("bitmap.dat")));
        QCOMPARE(f.editor->selection.selectionState,
                 SelectionState::Floating); // pasted all the same
    }

    void pasteOfAnImageQtWillNotLoadSaysSo() {
        EditorFixture f;
        QByteArray png;
        QBuffer buffer(&png);
        QImage big(1200, 1200, QImage::Format_RGB32);
        big.fill(Qt::black);
        big.save(&buffer, "PNG");
        const int limit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(1); // MB: the image above needs 5
        auto* data = new QMimeData;
        data->setData("application/x-qt-image", png);
        QGuiApplication::clipboard()->setMimeData(data);
        f.window->dispatchCommand(CmdPaste);
        QImageReader::setAllocationLimit(limit);
        QCOMPARE(f.prompts.texts(),
                 std::vector<std::string>{"The image on the clipboard is too large to paste."});
        QCOMPARE(f.editor->selection.selectionState, SelectionState::None);
        QVERIFY(!f.doc().modifiedFlag);
    }

    // Another editor saved the same file meanwhile: F3 asks; No keeps ours
    // unsaved, Yes overwrites.
    void aSaveOverAnotherEditorsSaveAsksFirst() {
        test::TempDir source;
        const std::string path = source.file("p.pat");
        Document theirs = test::documentOf({{4, 2, 1, 1, 0, 2}});
        QVERIFY(writePatternFile(theirs, path).ok());
        EditorFixture f("[others]\r\nPATFILE = " + path + "\r\n");
        f.drag({{0, 0}});
        test::setRows(theirs, {"0001"});
        QVERIFY(writePatternFile(theirs, path).ok());
        const std::string other = test::readBytes(path);
        f.prompts.answers = {IDNO};
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.texts().back(),
                 path + "\nhas been changed on disk since it was opened or saved here.\n"
                        "Overwrite it with this document?");
        QCOMPARE(test::readBytes(path), other);
        QVERIFY(f.doc().modifiedFlag);
        f.prompts.answers = {IDYES};
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(test::readBytes(path),
                 std::string("PATTERN\r\n1\r\nSIZE 4 2 1 1 0 2\r\n1000\r\n0000\r\n"));
        // Our own save is no change on disk: the next one asks nothing.
        const size_t asked = f.prompts.shown.size();
        f.drag({{1, 1}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.shown.size(), asked);
    }

    // A sidecar that could not be read whole (bad entry, number past the
    // patterns, nested beyond the limit, too large) is said once at start-up,
    // where the editor reopens the last file, and never written over: the
    // first save says so once, later saves say nothing.
    void aSidecarNotReadWholeIsLeftAloneBySave_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("says");
        QTest::newRow("bad entry")
            << "[names]\n1 = 'kept'\n2 = '9lives'\n[profiles.oled]\nformat = 'rust'\n"
            << "names.2 must be a pattern number from 1 to 2 given a C identifier";
        QTest::newRow("past the patterns") << "[delays]\n3 = 250\n"
                                           << "delays.3 must be";
        QTest::newRow("nested tables") << "[" + QString("a.").repeated(60000) + "a]\n"
                                       << "nested deeper than 8, line 1";
        QTest::newRow("dotted keys") << "# x\n" + QString("a.").repeated(60000) + "a = 1\n"
                                     << "nested deeper than 8, line 2";
        QTest::newRow("too large") << "#" + QString(" ").repeated(1 << 20) << "it is too large";
    }
    void aSidecarNotReadWholeIsLeftAloneBySave() {
        QFETCH(QString, text);
        QFETCH(QString, says);
        test::TempDir source;
        const std::string path = source.file("p.pat");
        writeBlank(path, 2);
        const std::string kept = text.toStdString();
        test::writeBytes(path + ".toml", kept);
        EditorFixture f("[others]\r\nPATFILE = " + path + "\r\n");
        QCOMPARE(f.prompts.shown.size(), size_t(1));
        QVERIFY2(f.prompts.shown[0].text.find(says.toStdString()) != std::string::npos,
                 f.prompts.shown[0].text.c_str());
        QCOMPARE(f.doc().patternCount, 2);

        f.prompts.typed = {"bell"};
        f.window->dispatchCommand(CmdNamePattern);
        f.drag({{0, 0}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.texts().back(),
                 "\"" + path +
                     ".toml\" could not be read when the file was opened, so it was left as it "
                     "is: the names, frame delays and code profiles of this document are not "
                     "saved in it.");
        QCOMPARE(f.prompts.shown.size(), size_t(2));
        QCOMPARE(test::readBytes(path + ".toml"), kept);
        QCOMPARE(test::readBytes(path),
                 std::string("PATTERN\r\n2\r\nSIZE 4 2 1 1 0 2\r\n1000\r\n0000\r\n"
                             "SIZE 4 2 1 1 0 2\r\n0000\r\n0000\r\n"));
        QVERIFY(!f.doc().modifiedFlag);
        f.drag({{1, 1}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.shown.size(), size_t(2));
        QCOMPARE(test::readBytes(path + ".toml"), kept);
    }

    // The on-disk check covers the sidecar: names another program wrote
    // meanwhile are asked about before they are replaced; a file deleted
    // meanwhile is simply written again.
    void aSaveOverAnotherProgramsSidecarAsksFirst() {
        test::TempDir source;
        const std::string path = source.file("p.pat");
        writeBlank(path, 1);
        EditorFixture f("[others]\r\nPATFILE = " + path + "\r\n");
        QVERIFY(f.prompts.shown.empty());
        // Written while the editor had the file open, where there was none.
        const std::string theirs = "[names]\n1 = 'theirs'\n";
        test::writeBytes(path + ".toml", theirs);
        const std::string pattern = test::readBytes(path);
        f.drag({{0, 0}});
        f.prompts.answers = {IDNO};
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.texts(),
                 std::vector<std::string>{
                     path + ".toml\nhas been changed on disk since it was opened or saved "
                            "here.\nOverwrite it with this document?"});
        QCOMPARE(test::readBytes(path + ".toml"), theirs);
        QCOMPARE(test::readBytes(path), pattern);
        QVERIFY(f.doc().modifiedFlag);
        f.prompts.typed = {"ours"};
        f.window->dispatchCommand(CmdNamePattern);
        f.prompts.answers = {IDYES};
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(test::readBytes(path + ".toml"),
                 std::string("# Kept by dedur beside the pattern file: what the pattern format "
                             "cannot hold.\n[names]\n1 = 'ours'\n"));
        // Our own save is no change; a deleted pair is written without a question.
        const size_t asked = f.prompts.shown.size();
        f.drag({{1, 1}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.shown.size(), asked);
        fs::remove(path);
        fs::remove(path + ".toml");
        f.drag({{2, 1}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.shown.size(), asked);
        QCOMPARE(test::readBytes(path),
                 std::string("PATTERN\r\n1\r\nSIZE 4 2 1 1 0 2\r\n1000\r\n0110\r\n"));
        QVERIFY(fs::exists(path + ".toml"));
        QVERIFY(!f.doc().modifiedFlag);
    }

    // A link planted at the sidecar's name refuses the save before the
    // pattern file changes.
    void aLinkAtTheSidecarsNameRefusesTheSave() {
        test::TempDir source;
        const std::string path = source.file("p.pat");
        writeBlank(path, 1);
        test::writeBytes(source.file("elsewhere"), "[names]\n1 = 'a'\n");
        fs::create_symlink(source.file("elsewhere"), path + ".toml");
        EditorFixture f("[others]\r\nPATFILE = " + path + "\r\n");
        const std::string pattern = test::readBytes(path);
        f.drag({{0, 0}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.texts().back(),
                 "Could not write \"" + path +
                     ".toml\": a link stands at that name; it was left alone");
        QCOMPARE(test::readBytes(path), pattern);
        QCOMPARE(test::readBytes(source.file("elsewhere")), std::string("[names]\n1 = 'a'\n"));
        QVERIFY(f.doc().modifiedFlag);
    }

    // The panel definition is the classic program's: applying one and saving
    // makes no second file; beside names that file has it is kept.
    void aPanelDefinitionAloneMakesNoSidecar() {
        test::TempDir source;
        const std::string path = source.file("p.pat");
        writeBlank(path, 1);
        EditorFixture f("[others]\r\nPATFILE = " + path + "\r\n");
        const auto apply = [&f] {
            f.window->runDialog = [](QDialog* dialog) {
                auto* d = static_cast<PanelDefinitionDialog*>(dialog);
                d->field(PanelField::Seg)->setText("5");
                d->applyNow();
                d->ok();
                return dialog->result();
            };
            f.window->dispatchCommand(CmdPanelDefinition);
        };
        apply();
        QVERIFY(f.editor->sidecar.panel.has_value());
        QVERIFY(f.doc().modifiedFlag);
        f.window->dispatchCommand(CmdSave);
        QVERIFY(!f.doc().modifiedFlag);
        QVERIFY(!fs::exists(path + ".toml"));

        f.prompts.typed = {"bell"};
        f.window->dispatchCommand(CmdNamePattern);
        apply();
        f.window->dispatchCommand(CmdSave);
        QVERIFY2(test::readBytes(path + ".toml").find("[panel]\ncom = 1\n") != std::string::npos,
                 test::readBytes(path + ".toml").c_str());
    }

    void aFailedSettingsWriteIsSaidOnce() {
        EditorFixture f;
        fs::permissions(f.dir.file("DEDUR.INI"), fs::perms(0444));
        f.window->dispatchCommand(CmdZoomIn);
        f.window->dispatchCommand(CmdZoomIn);
        QCOMPARE(f.prompts.texts(),
                 std::vector<std::string>{"The settings could not be saved in \"" +
                                          f.dir.file("DEDUR.INI") +
                                          "\"; the colours, window places and last file of "
                                          "this run will not be remembered."});
    }

    void aLinkAtTheSettingsNameIsLeftAlone() {
        EditorFixture f("", false);
        fs::remove(f.dir.file("DEDUR.INI"));
        test::writeBytes(f.dir.file("victim"), "keep");
        fs::create_symlink(f.dir.file("victim"), f.dir.file("DEDUR.INI"));
        f.editor = std::make_unique<Editor>(f.dir.path().string());
        loadSettings(*f.editor);
        f.window = std::make_unique<MainWindow>(*f.editor, f.prompts);
        f.launch();
        QCOMPARE(f.prompts.texts(),
                 std::vector<std::string>{"\"" + f.dir.file("DEDUR.INI") +
                                          "\" is a symbolic link. dedur neither reads nor writes "
                                          "its settings through a link: it runs with the default "
                                          "settings and leaves the link alone."});
        f.window->dispatchCommand(CmdLayout);
        f.window->dispatchCommand(CmdExit);
        QCOMPARE(test::readBytes(f.dir.file("victim")), std::string("keep"));
        QVERIFY(fs::is_symlink(f.dir.file("DEDUR.INI")));
    }

    // Pipes (with a writer that never writes) and devices are refused unread;
    // so is an image of more pixels than the command line takes.
    void importsRefuseWhatCannotBeAnImage() {
        EditorFixture f;
        const std::string fifo = f.dir.file("x.png");
        ::mkfifo(fifo.c_str(), 0600);
        const int writer = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
        IndexedImage small{1, 1, {0}, {0, 0xFFFFFF}};
        std::string png = encodePng(small);
        png.replace(16, 8, std::string("\0\0\x16\x44\0\0\x16\x44", 8));
        test::writeBytes(f.dir.file("huge.png"), png);
        for (const std::string& path : {fifo, std::string("/dev/zero"), f.dir.file("huge.png")}) {
            f.prompts.files.push_back(QString::fromStdString(path));
            f.window->dispatchCommand(CmdImportImage);
        }
        ::close(writer);
        QCOMPARE(f.prompts.texts(),
                 (std::vector<std::string>{
                     "Could not read \"" + fifo + "\": it is not a regular file",
                     "Could not read \"/dev/zero\": it is not a regular file",
                     "\"" + f.dir.file("huge.png") +
                         "\" has 5700 x 5700 pixels; an image of more than 16777216 pixels is "
                         "not imported"}));
        QCOMPARE(f.editor->selection.selectionState, SelectionState::None);
    }

    void aPipeAtAFontRecordsNameIsSaidAndSkipped() {
        EditorFixture f("", false);
        const std::string fifo = f.dir.file("MYMSG.$LF");
        ::mkfifo(fifo.c_str(), 0600);
        const int writer = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
        f.launch();
        ::close(writer);
        QCOMPARE(f.prompts.texts(),
                 std::vector<std::string>{"\"" + fifo +
                                          "\" is not a regular file; the default font is used "
                                          "instead."});
    }

    void exportReportsAFailedWrite() {
        EditorFixture f;
        const std::string path = f.dir.file("out.DAT");
        test::writeBytes(path, "keep");
        fs::permissions(path, fs::perms(0444));
        f.prompts.answers = {IDYES};
        f.inDialog<ExportDialog>(CmdPanelExport, [&](ExportDialog* dialog) {
            dialog->fileField()->setText(QString::fromStdString(path));
            dialog->exportNow();
        });
        QCOMPARE(f.prompts.texts().back(),
                 "Could not write \"" + path + "\": the file is read-only");
        QCOMPARE(test::readBytes(path), std::string("keep"));
    }
};

QTEST_MAIN(FileSafetyTest)
#include "filesafety_test.moc"
