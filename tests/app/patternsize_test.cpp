#include <QSignalSpy>
#include <QTest>

#include "document/patternsizedialog.h"
#include "editorfixture.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;

namespace {

// Works the size dialog: types the sizes, presses OK, and reports what
// happened to the dialog.
struct SizeScript {
    SizeScript(QString w, QString h) : width(std::move(w)), height(std::move(h)) {}
    QString width;
    QString height;
    int result = -1; // -1: the dialog stayed open
    QString title;
    QString widthAfter;
    QString heightAfter;
};

void script(EditorFixture& f, SizeScript& s) {
    f.window->runDialog = [&s](QDialog* d) {
        auto* dialog = static_cast<PatternSizeDialog*>(d);
        s.title = dialog->windowTitle();
        dialog->widthField()->setText(s.width);
        dialog->heightField()->setText(s.height);
        QSignalSpy finished(dialog, &QDialog::finished);
        dialog->ok();
        s.widthAfter = dialog->widthField()->text();
        s.heightAfter = dialog->heightField()->text();
        s.result = finished.isEmpty() ? -1 : finished.front().front().toInt();
        return s.result < 0 ? 0 : s.result;
    };
    f.window->dispatchCommand(CmdPatternSize);
    QCOMPARE(s.title, QString("Pattern Size"));
}

} // namespace

class PatternSizeTest : public QObject {
    Q_OBJECT
  private slots:
    void outOfRangeSizesAreCorrectedWithABeep() {
        EditorFixture f;
        SizeScript s{"1", "120"};
        script(f, s);
        QCOMPARE(s.result, -1);
        QCOMPARE(s.widthAfter, QString("2"));
        QCOMPARE(s.heightAfter, QString("96"));
        QCOMPARE(f.prompts.beeps, 1);
        QCOMPARE(int(f.doc().patternWidth), 12);
    }
};

QTEST_MAIN(PatternSizeTest)
#include "patternsize_test.moc"
