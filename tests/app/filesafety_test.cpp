#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
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
#include "settings/settingsfile.h"
#include "ui/commandids.h"
#include "ui/qtprompts.h"
#include "window/commandline.h"

using namespace dedur;
using dedur::test::EditorFixture;
namespace fs = std::filesystem;

namespace {

void writeBlank(const std::string& path, int count) {
    std::string text = "PATTERN\r\n" + std::to_string(count) + "\r\n";
    for (int i = 0; i < count; ++i) text += "SIZE 4 2 1 1 0 2\r\n0000\r\n0000\r\n";
    test::writeBytes(path, text);
}

struct ReadOnlyFixture : EditorFixture {
    static std::string makeFile() {
        static test::TempDir source;
        const std::string path = source.file("locked.pat");
        fs::remove(path);
        writeBlank(path, 2);
        fs::permissions(path, fs::perms(0444));
        return path;
    }
    ReadOnlyFixture() : EditorFixture("[others]\r\nPATFILE = " + makeFile() + "\r\n") {}
    std::string path() const { return editor->document.patternFileName; }
};

} // namespace

class FileSafetyTest : public QObject {
    Q_OBJECT
  private slots:
    void aFailedSaveOnTheWayOutKeepsTheDocument() {
        const std::pair<int, int> rows[] = {
            {CmdExit, 2}, {CmdNew, 1}, {CmdOpen, 1}, {CmdFont16Mode, 1}};
        for (const auto& [command, answers] : rows) {
            ReadOnlyFixture f;
            const std::string before = test::readBytes(f.path());
            f.drag({{0, 0}});
            QVERIFY(f.doc().modifiedFlag);
            QSignalSpy exits(f.window.get(), &MainWindow::exitRequested);
            f.prompts.answers.assign(static_cast<size_t>(answers), IDYES);
            f.window->dispatchCommand(command);
            QCOMPARE(f.prompts.shown.back().text, f.path() + "\nfile open error !");
            QVERIFY(exits.count() == 0 && f.window->isVisible() && f.doc().modifiedFlag);
            QVERIFY(f.doc().editType == EditMode::Pattern && f.doc().patternCount == 2);
            QVERIFY(f.prompts.dialogs.isEmpty()); // Open did not go on to its dialog
            QCOMPARE(test::rowsOf(f.doc()).front(), std::string("1000"));
            QCOMPARE(test::readBytes(f.path()), before);
        }
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
        QVERIFY(exits.count() == 0 && f.doc().modifiedFlag);
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
        QCOMPARE(f.prompts.shown[1].caption + "|" + f.prompts.shown[2].caption,
                 std::string("Open Fail|Can't Open File"));
        QCOMPARE(f.window->windowTitle(), QString("VOV Odedode Dizari : ( Unname )"));
        QCOMPARE(f.doc().patternCount, 1);
    }

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

    void aSaveOverAnotherEditorsSaveAsksFirst() {
        test::TempDir source;
        const std::string path = source.file("p.pat");
        writeBlank(path, 1);
        EditorFixture f("[others]\r\nPATFILE = " + path + "\r\n");
        f.drag({{0, 0}});
        const std::string other = "PATTERN\r\n1\r\nSIZE 4 2 1 1 0 2\r\n0001\r\n0000\r\n";
        test::writeBytes(path, other);
        f.prompts.answers = {IDNO};
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.texts().back(),
                 path + "\nhas been changed on disk since it was opened or saved here.\n"
                        "Overwrite it with this document?");
        QVERIFY(test::readBytes(path) == other && f.doc().modifiedFlag);
        f.prompts.answers = {IDYES};
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(test::readBytes(path),
                 std::string("PATTERN\r\n1\r\nSIZE 4 2 1 1 0 2\r\n1000\r\n0000\r\n"));
    }

    void aSidecarNotReadWholeIsLeftAloneBySave() {
        const std::pair<std::string, std::string> rows[] = {
            {"[names]\n1 = 'kept'\n2 = '9lives'\n[profiles.oled]\nformat = 'rust'\n",
             "names.2 must be a pattern number from 1 to 2 given a C identifier"},
            {"#" + std::string(1 << 20, ' '), "it is too large"}};
        for (const auto& [kept, says] : rows) {
            test::TempDir source;
            const std::string path = source.file("p.pat");
            writeBlank(path, 2);
            test::writeBytes(path + ".toml", kept);
            EditorFixture f("[others]\r\nPATFILE = " + path + "\r\n");
            QCOMPARE(f.prompts.shown.size(), size_t(1));
            QVERIFY2(f.prompts.shown[0].text.find(says) != std::string::npos,
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
            QVERIFY(f.prompts.shown.size() == size_t(2) && test::readBytes(path + ".toml") == kept);
            QCOMPARE(test::readBytes(path),
                     std::string("PATTERN\r\n2\r\nSIZE 4 2 1 1 0 2\r\n1000\r\n0000\r\n"
                                 "SIZE 4 2 1 1 0 2\r\n0000\r\n0000\r\n"));
            QVERIFY(!f.doc().modifiedFlag);
            f.drag({{1, 1}});
            f.window->dispatchCommand(CmdSave);
            QVERIFY(f.prompts.shown.size() == size_t(2) && test::readBytes(path + ".toml") == kept);
        }
    }

    void aSaveOverAnotherProgramsSidecarAsksFirst() {
        test::TempDir source;
        const std::string path = source.file("p.pat");
        writeBlank(path, 1);
        EditorFixture f("[others]\r\nPATFILE = " + path + "\r\n");
        QVERIFY(f.prompts.shown.empty());
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
        QVERIFY(test::readBytes(path) == pattern && f.doc().modifiedFlag);
        f.prompts.typed = {"ours"};
        f.window->dispatchCommand(CmdNamePattern);
        f.prompts.answers = {IDYES};
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(test::readBytes(path + ".toml"),
                 std::string("# Kept by dedur beside the pattern file: what the pattern format "
                             "cannot hold.\n[names]\n1 = 'ours'\n"));
        const size_t asked = f.prompts.shown.size();
        f.drag({{1, 1}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.shown.size(), asked);
        fs::remove(path);
        fs::remove(path + ".toml");
        f.drag({{2, 1}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.shown.size(), asked);
        QVERIFY(fs::exists(path) && fs::exists(path + ".toml") && !f.doc().modifiedFlag);
    }

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
        QVERIFY(f.editor->sidecar.panel.has_value() && f.doc().modifiedFlag);
        f.window->dispatchCommand(CmdSave);
        QVERIFY(!f.doc().modifiedFlag && !fs::exists(path + ".toml"));

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

    void aRememberedPatternPastTheEndShowsTheLast() {
        test::TempDir source;
        const std::string path = source.file("short.pat");
        test::writeBytes(path,
                         "PATTERN\r\n2\r\nSIZE 4 1 1 1 0 2\r\n1111\r\nSIZE 3 1 1 1 0 2\r\n101\r\n");
        EditorFixture f("[others]\r\nPATFILE = " + path + "\r\nPATNO = 6\r\n");
        QVERIFY(f.window->currentNumber() == 2 && f.rows() == std::string("101\n"));
        QVERIFY(f.cellPixel(1, 0) == test::White && f.cellPixel(2, 0) == test::Black);
        QVERIFY(!brokenInvariant(*f.editor));
    }

    void commandLineArguments() {
        const struct {
            QStringList arguments;
            int exitCode; // -1: the editor starts
            QString file;
            bool launched;
        } rows[] = {{{}, -1, "", false},
                    {{"a.pat"}, -1, "a.pat", false},
                    {{"--launched", "/x/b.pat"}, -1, "/x/b.pat", true},
                    {{"--version"}, 0, "", false},
                    {{"-h"}, 0, "", false},
                    {{"a.pat", "b.pat"}, 2, "", false},
                    {{"--frobnicate"}, 2, "", false}};
        for (const auto& row : rows) {
            int code = -1;
            const auto options = parseStartOptions(row.arguments, code);
            QVERIFY(code == row.exitCode && options.has_value() == (row.exitCode < 0));
            if (!options) continue;
            QCOMPARE(options->file,
                     row.file.isEmpty() ? QString() : QFileInfo(row.file).absoluteFilePath());
            QCOMPARE(options->launched, row.launched);
        }
    }

    void aFileOnTheCommandLineOpensInPlaceOfTheLast() {
        test::TempDir source;
        const std::string last = source.file("last.pat");
        const std::string given = source.file("given.pat");
        writeBlank(last, 2);
        test::writeBytes(given,
                         "PATTERN\r\n2\r\nSIZE 7 3 1 1 0 2\r\n0000000\r\n0000000\r\n0000000\r\n"
                         "SIZE 4 2 1 1 0 2\r\n0000\r\n0000\r\n");
        const std::string settings = "[others]\r\nPATFILE = " + last + "\r\nPATNO = 1\r\n";
        for (const std::string& file : {given, last}) {
            EditorFixture f(settings, false);
            applyStartFile(*f.editor, {QString::fromStdString(file), false});
            f.launch();
            QCOMPARE(f.window->windowTitle(),
                     QString::fromStdString("VOV Odedode Dizari : ( " + file + " )"));
            QCOMPARE(f.window->currentNumber(), file == last ? 2 : 1);
            QCOMPARE(int(f.doc().patternWidth), file == last ? 4 : 7);
        }
    }

    void exitWithChangesAndCancelKeepsRunning() {
        for (const bool dialog : {false, true}) {
            EditorFixture f;
            f.drag({{0, 0}});
            QSignalSpy exits(f.window.get(), &MainWindow::exitRequested);
            f.prompts.answers = {IDYES, dialog ? IDYES : IDCANCEL};
            if (dialog) {
                f.window->dispatchCommand(CmdExit);
            } else {
                f.window->close();
            }
            QVERIFY(exits.count() == 0 && f.window->isVisible() && f.doc().modifiedFlag);
            QCOMPARE(f.prompts.dialogs.size(), dialog ? 1 : 0);
            QCOMPARE(f.prompts.shown[0].caption + "|" + f.prompts.shown[1].caption,
                     std::string("EXIT|Save Pattern"));
            QCOMPARE(f.prompts.shown[0].text, std::string("Are you sure to Exit ?"));
            QCOMPARE(f.prompts.shown[1].text,
                     std::string("Untitled file\nhas not been saved.\nSave file before closing?"));
            const std::string ini = test::readBytes(f.dir.file("DEDUR.INI"));
            QCOMPARE(readSetting(&ini, "others", "EDITTYPE"), std::string("1"));
            QVERIFY(readSetting(&ini, "window rect and type", "MAINWINRECT").empty());
        }
    }

    void saveAsNamesTheFileAndSaveKeepsIt() {
        EditorFixture f;
        f.window->dispatchCommand(CmdDrawLine);
        f.drag({{0, 0}, {11, 11}});
        f.prompts.files = {QString::fromStdString(f.dir.file("picture.x"))};
        f.window->dispatchCommand(CmdSaveAs);
        const std::string path = f.dir.file("picture.pat");
        QVERIFY(std::filesystem::exists(path) && !f.doc().modifiedFlag);
        QCOMPARE(f.window->windowTitle(),
                 QString::fromStdString("VOV Odedode Dizari : ( " + path + " )"));
        QCOMPARE(f.prompts.dialogs.value(0),
                 QString("save:Select a file to save:Pattern Files (*.pat)|*.pat|"));
        f.drag({{3, 3}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.dialogs.size(), 1);
        Document back;
        QVERIFY(readPatternFile(back, path).ok() && back.store == f.doc().store);
    }

    void saveAsAsksAboutAFileThatExistsOnlyWithTheExtension() {
        EditorFixture f;
        test::writeBytes(f.dir.file("a.pat"), "keep");
        f.prompts.files = {QString::fromStdString(f.dir.file("a"))};
        f.prompts.answers = {IDNO};
        f.window->dispatchCommand(CmdSaveAs);
        QCOMPARE(f.prompts.shown.back().text, f.dir.file("a.pat") + " Does Exists, Overwrite ?");
        QCOMPARE(test::readBytes(f.dir.file("a.pat")), std::string("keep"));
        QVERIFY(f.doc().patternFileName.empty());
    }

    void newWithTwoPatternsAsksAndResets() {
        EditorFixture f;
        f.window->dispatchCommand(CmdAddPattern);
        f.prompts.answers = {IDCANCEL};
        f.window->dispatchCommand(CmdNew);
        QCOMPARE(f.doc().patternCount, 2);
        QCOMPARE(f.prompts.shown.back().text,
                 std::string("Untitled file\nhas not been saved.\nSave file before closing?"));
        f.prompts.answers = {IDNO};
        f.window->dispatchCommand(CmdNew);
        QVERIFY(f.doc().patternCount == 1 && !f.doc().modifiedFlag);
        QCOMPARE(f.window->windowTitle(), QString("VOV Odedode Dizari(Unname)"));
        QCOMPARE(f.window->palette()->countLabel()->text(), QString("1"));
        f.window->dispatchCommand(CmdNew);
        QCOMPARE(f.prompts.beeps, 1);
    }

    void openReportsABadFileAndKeepsTheDocument() {
        EditorFixture f;
        test::writeBytes(f.dir.file("bad.pat"), "NOTAPATTERN\r\n");
        f.prompts.files = {QString::fromStdString(f.dir.file("bad.pat"))};
        f.window->dispatchCommand(CmdOpen);
        QCOMPARE(f.prompts.shown.back().caption, std::string("Format error"));
        QVERIFY(f.doc().patternCount == 1 && f.doc().patternFileName.empty());
    }

    void largeFilesReportProgressAndCloseIt() {
        EditorFixture f;
        QtPrompts real;
        test::FakePrompts& fake = f.prompts;
        // 3,000 patterns of 96 x 48: about 14 MB, reported every 8 MB.
        Document doc;
        doc.panelDefinition.width = 96;
        doc.panelDefinition.height = 48;
        makeBlankDocument(doc);
        for (int i = 1; i < 3000; ++i) appendPattern(doc, nullptr);
        const std::string path = f.dir.file("large.pat");
        QVERIFY(writePatternFile(doc, path).ok());
        const auto size = std::filesystem::file_size(path);
        {
            const FileProgress report = [&](uint64_t done, uint64_t total) {
                QTest::qWait(250);
                real.showProgress(f.window.get(), "Reading large.pat", done, total);
            };
            Document back;
            QVERIFY(readPatternFile(back, path, report).ok());
            QVERIFY(QApplication::activeModalWidget() != nullptr);
            real.endProgress();
            QCOMPARE(QApplication::activeModalWidget(), nullptr);
        }
        fake.files = {QString::fromStdString(path)};
        f.window->dispatchCommand(CmdOpen);
        QCOMPARE(f.doc().patternCount, 3000);
        QCOMPARE(f.window->palette()->countLabel()->text(), QString("3000"));
        QVERIFY(f.window->palette()->find(CmdDeletePattern)->enabled && fake.progress.size() >= 3);
        for (qsizetype i = 0; i + 1 < fake.progress.size(); ++i) {
            QVERIFY(fake.progress[i].startsWith("Reading large.pat "));
            QVERIFY(fake.progress[i].endsWith(QString("/%1").arg(size)));
        }
        QCOMPARE(fake.progress.back(), QString("end"));
        fake.progress.clear();
        f.drag({{0, 0}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(fake.progress.value(fake.progress.size() - 2),
                 QString("Saving large.pat %1/%1").arg(size));
        QCOMPARE(fake.progress.back(), QString("end"));
    }
};

QTEST_MAIN(FileSafetyTest)
#include "filesafety_test.moc"
