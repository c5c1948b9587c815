#include <QSignalSpy>
#include <QTest>

#include "document/patternfile.h"
#include "editorfixture.h"
#include "settings/settingsfile.h"
#include "ui/commandids.h"
#include "ui/qtprompts.h"
#include "window/commandline.h"

#include <QApplication>
#include <QFileInfo>
#include <filesystem>

using namespace dedur;
using dedur::test::EditorFixture;

class FileCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    // PATNO past the end of the file (it lost patterns meanwhile): the last
    // pattern is shown, its own dots.
    void aRememberedPatternPastTheEndShowsTheLast() {
        test::TempDir source;
        const std::string path = source.file("short.pat");
        test::writeBytes(path,
                         "PATTERN\r\n2\r\nSIZE 4 1 1 1 0 2\r\n1111\r\nSIZE 3 1 1 1 0 2\r\n101\r\n");
        EditorFixture f("[others]\r\nPATFILE = " + path + "\r\nPATNO = 6\r\n");
        QCOMPARE(f.window->currentNumber(), 2);
        QCOMPARE(f.rows(), std::string("101\n"));
        QCOMPARE(f.cellPixel(1, 0), test::White);
        QCOMPARE(f.cellPixel(2, 0), test::Black);
        QVERIFY(!brokenInvariant(*f.editor));
    }

    void commandLineArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode"); // -1: the editor starts
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("launched");
        QTest::newRow("none") << QStringList{} << -1 << "" << false;
        QTest::newRow("file") << QStringList{"a.pat"} << -1 << "a.pat" << false;
        QTest::newRow("launcher") << QStringList{"--launched", "/x/b.pat"} << -1 << "/x/b.pat"
                                  << true;
        QTest::newRow("version") << QStringList{"--version"} << 0 << "" << false;
        QTest::newRow("help") << QStringList{"-h"} << 0 << "" << false;
        QTest::newRow("two files") << QStringList{"a.pat", "b.pat"} << 2 << "" << false;
        QTest::newRow("unknown") << QStringList{"--frobnicate"} << 2 << "" << false;
    }
    void commandLineArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, file);
        QFETCH(bool, launched);
        int code = -1;
        const auto options = parseStartOptions(arguments, code);
        QCOMPARE(code, exitCode);
        QCOMPARE(options.has_value(), exitCode < 0);
        if (!options) return;
        QCOMPARE(options->file, file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath());
        QCOMPARE(options->launched, launched);
    }

    void aFileOnTheCommandLineOpensInPlaceOfTheLast() {
        test::TempDir source;
        const std::string last = source.file("last.pat");
        const std::string given = source.file("given.pat");
        Document doc = test::documentOf({{4, 2, 1, 1, 0, 2}, {4, 2, 1, 1, 0, 2}});
        QVERIFY(writePatternFile(doc, last).ok());
        doc = test::documentOf({{7, 3, 1, 1, 0, 2}, {4, 2, 1, 1, 0, 2}});
        QVERIFY(writePatternFile(doc, given).ok());
        const std::string settings = "[others]\r\nPATFILE = " + last + "\r\nPATNO = 1\r\n";
        for (const std::string& file : {given, last, source.file("missing.pat")}) {
            EditorFixture f(settings, false);
            applyStartFile(*f.editor, {QString::fromStdString(file), false});
            f.launch();
            if (file == source.file("missing.pat")) {
                QCOMPARE(f.prompts.shown.at(0).caption, std::string("Open Fail"));
                QCOMPARE(f.prompts.shown.at(1).caption, std::string("Can't Open File"));
                QCOMPARE(f.window->windowTitle(), QString("VOV Odedode Dizari : ( Unname )"));
                continue;
            }
            QCOMPARE(f.window->windowTitle(),
                     QString::fromStdString("VOV Odedode Dizari : ( " + file + " )"));
            // The last pattern shown is kept for the same file only.
            QCOMPARE(f.window->currentNumber(), file == last ? 2 : 1);
            QCOMPARE(int(f.doc().patternWidth), file == last ? 4 : 7);
        }
    }

    void exitWithChangesAndCancelKeepsRunning() {
        EditorFixture f;
        f.drag({{0, 0}});
        QSignalSpy exits(f.window.get(), &MainWindow::exitRequested);
        f.prompts.answers = {IDYES, IDCANCEL};
        f.window->close();
        QCOMPARE(exits.count(), 0);
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.prompts.shown[0].text, std::string("Are you sure to Exit ?"));
        QCOMPARE(f.prompts.shown[0].caption, std::string("EXIT"));
        QCOMPARE(f.prompts.shown[1].caption, std::string("Save Pattern"));
        QCOMPARE(f.prompts.shown[1].text,
                 std::string("Untitled file\nhas not been saved.\nSave file before closing?"));
        // The mode settings were stored before the question.
        const std::string ini = test::readBytes(f.dir.file("DEDUR.INI"));
        QCOMPARE(readSetting(&ini, "others", "EDITTYPE"), std::string("1"));
        QVERIFY(readSetting(&ini, "window rect and type", "MAINWINRECT").empty());
    }

    void saveAsNamesTheFileAndSaveKeepsIt() {
        EditorFixture f;
        f.window->dispatchCommand(CmdDrawLine);
        f.drag({{0, 0}, {11, 11}});
        f.prompts.files = {QString::fromStdString(f.dir.file("picture.x"))};
        f.window->dispatchCommand(CmdSaveAs);
        const std::string path = f.dir.file("picture.pat");
        QVERIFY(std::filesystem::exists(path));
        QVERIFY(!f.doc().modifiedFlag);
        QCOMPARE(f.window->windowTitle(),
                 QString::fromStdString("VOV Odedode Dizari : ( " + path + " )"));
        QCOMPARE(f.prompts.dialogs.value(0),
                 QString("save:Select a file to save:Pattern Files (*.pat)|*.pat|"));
        // Save writes the named file without asking again.
        f.drag({{3, 3}});
        f.window->dispatchCommand(CmdSave);
        QCOMPARE(f.prompts.dialogs.size(), 1);
        Document back;
        QVERIFY(readPatternFile(back, path).ok());
        QCOMPARE(back.store, f.doc().store);
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
        QCOMPARE(f.doc().patternCount, 1);
        QVERIFY(!f.doc().modifiedFlag);
        QCOMPARE(f.window->windowTitle(), QString("VOV Odedode Dizari(Unname)"));
        QCOMPARE(f.window->palette()->countLabel()->text(), QString("1"));
        // New with one pattern only beeps.
        f.window->dispatchCommand(CmdNew);
        QCOMPARE(f.prompts.beeps, 1);
    }

    void openReportsABadFileAndKeepsTheDocument() {
        EditorFixture f;
        test::writeBytes(f.dir.file("bad.pat"), "NOTAPATTERN\r\n");
        f.prompts.files = {QString::fromStdString(f.dir.file("bad.pat"))};
        f.window->dispatchCommand(CmdOpen);
        QCOMPARE(f.prompts.shown.back().caption, std::string("Format error"));
        QCOMPARE(f.doc().patternCount, 1);
        QVERIFY(f.doc().patternFileName.empty());
    }

    // Through the real progress window too: it must neither block nor stay.
    void largeFilesReportProgressAndCloseIt_data() {
        QTest::addColumn<bool>("realWindow");
        QTest::newRow("scripted") << false;
        QTest::newRow("real") << true;
    }
    void largeFilesReportProgressAndCloseIt() {
        QFETCH(bool, realWindow);
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
        if (realWindow) {
            // Slow enough to be seen: the window must come and go.
            const FileProgress report = [&](uint64_t done, uint64_t total) {
                QTest::qWait(250);
                real.showProgress(f.window.get(), "Reading large.pat", done, total);
            };
            Document back;
            QVERIFY(readPatternFile(back, path, report).ok());
            QVERIFY(QApplication::activeModalWidget() != nullptr);
            real.endProgress();
            QCOMPARE(QApplication::activeModalWidget(), nullptr);
            return;
        }
        fake.files = {QString::fromStdString(path)};
        f.window->dispatchCommand(CmdOpen);
        QCOMPARE(f.doc().patternCount, 3000);
        QCOMPARE(f.window->palette()->countLabel()->text(), QString("3000"));
        QVERIFY(f.window->palette()->find(CmdDeletePattern)->enabled);
        QVERIFY(fake.progress.size() >= 3);
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

QTEST_MAIN(FileCommandsTest)
#include "filecommands_test.moc"
