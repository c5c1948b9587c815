// Hostile answers and hand-edited settings through the real editor window.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "code/codedialog.h"
#include "editorfixture.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;

class HostileChoicesTest : public QObject {
    Q_OBJECT

  private slots:
    // A number past the last pattern would be read as the last one, so the
    // GIF would hold frames nobody asked for: it is refused, nothing written.
    void animationRangePastTheLastIsRefused_data() {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("says"); // "" when written
        QTest::newRow("past the end") << "1-5"
                                      << "1-5: the file has 2 patterns";
        QTest::newRow("one past") << "3"
                                  << "3: the file has 2 patterns";
        QTest::newRow("a list") << "2,9"
                                << "9: the file has 2 patterns";
        QTest::newRow("within") << "2,1"
                                << "";
    }
    void animationRangePastTheLastIsRefused() {
        QFETCH(QString, range);
        QFETCH(QString, says);
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
        if (says.isEmpty()) {
            QVERIFY(f.prompts.shown.empty());
            QVERIFY(std::filesystem::is_regular_file(out));
        } else {
            QCOMPARE(f.prompts.texts(), std::vector<std::string>{says.toStdString()});
            QVERIFY(!std::filesystem::exists(out));
        }
    }

    // Hand-edited values of the remembered choices: the dialogs open with
    // the defaults in place of what cannot be used.
    void handEditedChoicesFallBack_data() {
        QTest::addColumn<QString>("lines");
        const QString huge(100000, QChar('9'));
        QTest::newRow("huge numbers")
            << "GIFSCALE = " + huge + "\r\nGIFLOOPS = " + huge + "\r\nZOOMCELL = " + huge;
        QTest::newRow("not numbers") << "GIFSCALE = x\r\nGIFLOOPS = -\r\nZOOMCELL = 1e3";
        QTest::newRow("past the bounds") << "GIFSCALE = 0\r\nGIFLOOPS = 65536\r\nZOOMCELL = 41";
        QTest::newRow("a long line of choices")
            << "CODEEXPORT = layout=" + QString(100000, 'x') + " format=nothing";
        QTest::newRow("choices of nothing known")
            << "CODEEXPORT = layout=panel2 invert=2 progmem=yes format=../c template=/dev/zero"
               "\r\nCODEPROFILE = missing";
    }
    void handEditedChoicesFallBack() {
        QFETCH(QString, lines);
        EditorFixture f("[others]\r\n" + lines.toStdString() + "\r\n");
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
};

QTEST_MAIN(HostileChoicesTest)
#include "hostilechoices_test.moc"
