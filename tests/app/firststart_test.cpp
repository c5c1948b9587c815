#include <QProgressDialog>
#include <QTest>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

#include "editorfixture.h"
#include "fonts/glyphfile.h"
#include "fonts/glyphfilemaker.h"
#include "settings/settingsfile.h"
#include "ui/commandids.h"
#include "window/datafolder.h"

using namespace dedur;
using dedur::test::EditorFixture;
namespace fs = std::filesystem;

namespace {

const char* const GlyphFiles[] = {"STD16X15.fon", "STD24.fon", "ASCFONT.15", "SPCFONT.15",
                                  "SPCFSUPP.15"};

// The output of a shell command, and whether it ran.
std::string shellOutput(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int raw = ::pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

std::string offerText(const std::string& folder) {
    const std::string path = folder + "/STD16X15.fon";
    return "\"" + path + "\" is not there.\nMake the glyph files of the font modes in \"" + folder +
           "\" now, from the installed free fonts? Glyph files already there are kept. This is "
           "asked once.\n\nScripts make them with:\ndedur-cli make-fonts " +
           folder;
}

// A second start of the editor in the folder of `f`, as the user would.
void restart(EditorFixture& f) {
    f.window.reset();
    f.prompts.shown.clear();
    f.editor = std::make_unique<Editor>(f.dir.path().string());
    loadSettings(*f.editor);
    f.window = std::make_unique<MainWindow>(*f.editor, f.prompts);
    f.window->placeWindow(QSize(1400, 1100));
    f.launch();
}

std::string offeredKey(const EditorFixture& f) {
    const std::string ini = test::readBytes(f.dir.file("DEDUR.INI"));
    return readSetting(&ini, "others", "GLYPHFILESOFFERED");
}

} // namespace

class FirstStartTest : public QObject {
    Q_OBJECT
  private slots:
    // Started in a Big5 mode where no glyph file is: the classic failure,
    // then the offer, once; what was answered holds at the next start.
    void theOfferFollowsTheOpenFailureOnce_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("cancelBar");
        QTest::newRow("yes") << int(IDYES) << false;
        QTest::newRow("no") << int(IDNO) << false;
        QTest::newRow("yes, then Cancel on the bar") << int(IDYES) << true;
    }
    void theOfferFollowsTheOpenFailureOnce() {
        QFETCH(int, answer);
        QFETCH(bool, cancelBar);
        EditorFixture f("[others]\r\nEDITTYPE = 2\r\n", false);
        const std::string folder = f.dir.path().string();
        int reports = 0;
        int lastValue = -1;
        int maximum = 0;
        f.window->controllers().fonts.watchGlyphFileBar = [&](QProgressDialog& bar) {
            ++reports;
            lastValue = bar.value();
            maximum = bar.maximum();
            QVERIFY(bar.isVisible());
            if (cancelBar) bar.cancel();
        };
        f.prompts.answers = {IDOK, answer};
        f.launch();

        QCOMPARE(f.prompts.shown.size(), size_t{2});
        QCOMPARE(f.prompts.shown[0].text, folder + "/STD16X15.fon Open Failure !");
        QCOMPARE(f.prompts.shown[0].caption, std::string());
        QCOMPARE(f.prompts.shown[1].text, offerText(folder));
        QCOMPARE(f.prompts.shown[1].caption, std::string("Glyph files"));
        const bool made = answer == IDYES && !cancelBar;
        for (const char* name : GlyphFiles) QCOMPARE(fs::exists(f.dir.file(name)), made);
        QCOMPARE(reports > 0, answer == IDYES);
        if (made) {
            QVERIFY(reports > 10);
            QCOMPARE(lastValue, maximum);
            // The same bytes as the command line makes.
            test::TempDir other;
            int status = -1;
            shellOutput("'" DEDUR_CLI "' make-fonts '" + other.path().string() + "' 2>&1", status);
            QCOMPARE(status, 0);
            for (const char* name : GlyphFiles) {
                QVERIFY2(test::readBytes(f.dir.file(name)) == test::readBytes(other.file(name)),
                         name);
            }
            // The mode shows the glyph it opened on, as if the file had been there.
            uint8_t record[30];
            QCOMPARE(accessBig5Glyph(f.editor->fontEdit, EditMode::Font16x15, 0xA4, 0x40, record,
                                     GlyphAccess::Read, nullptr),
                     0);
            const auto shown = packGlyph16(f.doc());
            QVERIFY(std::equal(shown.begin(), shown.end(), record));
            QVERIFY(std::count(shown.begin(), shown.end(), 0) < 30);
            QCOMPARE(f.window->currentNumber(), 1);
        } else {
            // Nothing but the settings: a cancelled bar leaves no file in part.
            QCOMPARE(std::distance(fs::directory_iterator(f.dir.path()), {}), 1);
        }
        QCOMPARE(offeredKey(f), std::string(cancelBar ? "" : "1"));

        // The other Big5 mode in the same run: never asked twice.
        f.prompts.shown.clear();
        f.window->dispatchCommand(CmdFont24Mode);
        QCOMPARE(f.prompts.texts(),
                 made ? std::vector<std::string>{}
                      : std::vector<std::string>{folder + "/STD24.fon Open Failure !"});

        // The next start in the folder: asked again only after a cancel.
        f.prompts.answers = {IDOK, IDNO};
        restart(f);
        std::vector<std::string> expected;
        if (!made) expected.push_back(folder + "/STD16X15.fon Open Failure !");
        if (cancelBar) expected.push_back(offerText(folder));
        QCOMPARE(f.prompts.texts(), expected);
    }

    // Something stands at the glyph file's name that cannot be read: that is
    // the user's to mend, and no files are offered.
    void noOfferWhereSomethingStandsAtTheName() {
        for (const bool folderThere : {true, false}) {
            EditorFixture f("[others]\r\nEDITTYPE = 2\r\n", false);
            const std::string font = f.dir.file("STD16X15.fon");
            if (folderThere) {
                fs::create_directory(font);
            } else {
                fs::create_symlink(f.dir.file("gone.fon"), font);
            }
            f.launch();
            QCOMPARE(f.prompts.texts(),
                     std::vector<std::string>{font + " Open Failure !" +
                                              (folderThere ? "\n(it is not a regular file)" : "")});
            QVERIFY(!fs::exists(f.dir.file("STD24.fon")));
        }
    }

    // Pattern mode needs no glyph file: nothing is offered at its start.
    void patternModeOffersNothing() {
        EditorFixture f;
        QVERIFY(f.prompts.shown.empty());
        QCOMPARE(offeredKey(f), std::string());
    }

    // The glyph files cannot be written: said once, with the folder, and
    // not offered again.
    void aFolderThatCannotBeWrittenIsSaid() {
        if (::geteuid() == 0) QSKIP("root writes into a read-only folder");
        EditorFixture f("[others]\r\nEDITTYPE = 4\r\n", false);
        const std::string folder = f.dir.path().string();
        fs::permissions(f.dir.path(), fs::perms(0555));
        f.launch();
        fs::permissions(f.dir.path(), fs::perms(0755));
        const std::vector<std::string> texts = f.prompts.texts();
        QCOMPARE(texts.size(), size_t{3});
        QCOMPARE(texts[0], folder + "/ASCFONT.15 Open Failure !");
        const std::string said =
            "The glyph files could not be made in \"" + folder + "\": cannot write ";
        QCOMPARE(texts[2].substr(0, said.size()), said);
        for (const char* name : GlyphFiles) QVERIFY(!fs::exists(f.dir.file(name)));
    }

    // Started from the launcher: the data folder gets the glyph files (with
    // the bar) before the window opens, the same as make-fonts writes.
    void theLauncherStartMakesTheGlyphFiles() {
        test::TempDir data;
        const fs::path previous = fs::current_path();
        const QByteArray before = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.path().string()));
        bool entered = false;
        const QString error = enterDataFolder(entered);
        const fs::path folder = fs::current_path();
        fs::current_path(previous);
        if (before.isEmpty()) {
            qunsetenv("XDG_DATA_HOME");
        } else {
            qputenv("XDG_DATA_HOME", before);
        }
        QCOMPARE(error, QString());
        QVERIFY(entered);
        QCOMPARE(folder, data.path() / "dedur");
        test::TempDir other;
        int status = -1;
        shellOutput("'" DEDUR_CLI "' make-fonts '" + other.path().string() + "' 2>&1", status);
        QCOMPARE(status, 0);
        for (const char* name : GlyphFiles) {
            QVERIFY2(test::readBytes((folder / name).string()) == test::readBytes(other.file(name)),
                     name);
        }
    }

    // The command the question names runs as it reads, in a shell, for
    // folders with blanks and quotes in their names.
    void theNamedCommandSurvivesTheShell() {
        for (const std::string& folder :
             {std::string("/tmp/plain-folder_1.2"), std::string("/tmp/two words"),
              std::string("/tmp/it's here"), std::string("/tmp/$HOME `x` \"q\" *"),
              std::string("relative/dir")}) {
            const std::string command = makeFontsCommandFor(folder);
            const std::string prefix = "dedur-cli make-fonts ";
            QCOMPARE(command.substr(0, prefix.size()), prefix);
            int status = -1;
            const std::string echoed =
                shellOutput("printf '%s' " + command.substr(prefix.size()), status);
            QCOMPARE(status, 0);
            QCOMPARE(echoed, folder);
        }
    }
};

QTEST_MAIN(FirstStartTest)
#include "firststart_test.moc"
