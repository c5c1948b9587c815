#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "editorfixture.h"
#include "panel/exportdialog.h"
#include "panel/lcdimage.h"
#include "panel/paneldefinitiondialog.h"
#include "panel/panelexport.h"
#include "ui/commandids.h"

using namespace dedur;
using dedur::test::EditorFixture;

namespace {

struct DefinitionEntry {
    int seg, com, width, height, leftToRight, topToBottom;
};

void fill(PanelDefinitionDialog* d, const DefinitionEntry& e) {
    d->field(PanelField::Seg)->setText(QString::number(e.seg));
    d->field(PanelField::Com)->setText(QString::number(e.com));
    d->field(PanelField::Width)->setText(QString::number(e.width));
    d->field(PanelField::Height)->setText(QString::number(e.height));
    d->leftToRightList()->setCurrentRow(e.leftToRight);
    d->topToBottomList()->setCurrentRow(e.topToBottom);
}

// The .DAT of one 12 x 12 pattern at SEG 1, COM 1: 90 bytes from 2000h, all
// clear but the first.
std::string datOf12x12(int first) {
    std::string text = std::string(66, ';') +
                       "\r\n;   Panel No. 1\r\n"
                       ";   LCD Memory Address : $2000 ~ $2059 [ Size= 90 Bytes (Dec) ]\r\n" +
                       std::string(66, ';') + "\r\n";
    for (int at = 0; at < 90; at += 8) {
        text += ".DB ";
        for (int i = at; i < std::min(at + 8, 90); ++i)
            text += QString::asprintf("%s$%02X", i > at ? "," : "", i ? 0 : first).toStdString();
        text +=
            QString::asprintf(" ; %04Xh ~ %04Xh\r\n", 0x2000 + at, 0x2000 + std::min(at + 7, 89))
                .toStdString();
    }
    return text;
}

} // namespace

class PanelTest : public QObject {
    Q_OBJECT
  private slots:
    // The checks themselves are the core's; here: the box, and the dialog stays.
    void aRefusedDefinitionKeepsTheDialogOpen() {
        EditorFixture f;
        int result = -2;
        f.inDialog<PanelDefinitionDialog>(CmdPanelDefinition, [&](PanelDefinitionDialog* dialog) {
            fill(dialog, {10, 1, 11, 12, 1, 2});
            QSignalSpy finished(dialog, &QDialog::finished);
            dialog->ok();
            result = finished.isEmpty() ? -1 : finished.front().front().toInt();
        });
        QCOMPARE(result, -1);
        QCOMPARE(f.prompts.shown.back().text,
                 std::string("Width too large ! ( Max Seg=10, Begin Seg=10 )"));
        QCOMPARE(f.doc().panelDefinition, PanelDefinition{});
    }

    void fieldsStayInTheirRanges() {
        EditorFixture f;
        f.inDialog<PanelDefinitionDialog>(CmdPanelDefinition, [&](PanelDefinitionDialog* dialog) {
            NumberField* width = dialog->field(PanelField::Width);
            width->clear();
            QTest::keyClicks(width, "0");
            NumberField* seg = dialog->field(PanelField::Seg);
            seg->selectAll();
            QTest::keyClick(seg, Qt::Key_Backspace);
            NumberField* com = dialog->field(PanelField::Com);
            QTest::keyClicks(com, "99");
            f.prompts.files.push_back(width->text() + "," + seg->text() + "," + com->text());
        });
        // An emptied field waits for a number instead of becoming 1.
        QCOMPARE(f.prompts.files.back(), QString("2,,48"));
    }

    void okSetsTheTemplateForNewPatterns() {
        EditorFixture f;
        f.inDialog<PanelDefinitionDialog>(CmdPanelDefinition, [&](PanelDefinitionDialog* dialog) {
            fill(dialog, {20, 10, 16, 8, 1, 3});
            dialog->ok();
        });
        QCOMPARE(f.doc().panelDefinition, (PanelDefinition{20, 10, 16, 8, 1, 3}));
        PatternHeader current;
        getHeader(f.doc(), 0, current);
        QCOMPARE(current, (PatternHeader{12, 12, 1, 1, 0, 2})); // OK leaves the pattern
        f.window->dispatchCommand(CmdAddPattern);
        PatternHeader added;
        getHeader(f.doc(), 1, added);
        QCOMPARE(added, (PatternHeader{16, 8, 20, 10, 1, 3}));
    }

    void exportWritesWhatTheCoreBuilds() {
        EditorFixture f;
        f.drag({{0, 0}});
        const std::string path = f.dir.file("out.DAT");
        f.inDialog<ExportDialog>(CmdPanelExport, [&](ExportDialog* dialog) {
            if (dialog->selectionButton()->isEnabled()) f.prompts.beep();
            dialog->exportNow(); // no file name yet
            dialog->fileField()->setText(QString::fromStdString(path));
            QTest::keyClicks(dialog->rangeField(), "5-"); // typing a range chooses it
            dialog->exportNow();
            dialog->rangeField()->setText("1");
            dialog->exportNow();
        });
        QCOMPARE(f.prompts.beeps, 0);
        QCOMPARE(f.prompts.texts(),
                 (std::vector<std::string>{"Please input filename to saving.",
                                           "ERROR: Invalid Panel No. Range ?", "Export OK !"}));
        QCOMPARE(test::readBytes(path), datOf12x12(0x01));
    }

    void exportOpensInEveryFontMode_data() {
        QTest::addColumn<int>("mode");
        for (int mode = 2; mode <= 6; ++mode)
            QTest::newRow(qPrintable(QString::number(mode))) << mode;
    }
    void exportOpensInEveryFontMode() {
        QFETCH(int, mode);
        EditorFixture f("[others]\r\nEDITTYPE = " + std::to_string(mode) + "\r\n");
        QCOMPARE(static_cast<int>(f.doc().editType), mode);
        const std::string path = f.dir.file("font.DAT");
        bool selectionOffered = true;
        f.prompts.shown.clear();
        f.inDialog<ExportDialog>(CmdPanelExport, [&](ExportDialog* dialog) {
            selectionOffered = dialog->selectionButton()->isEnabled();
            dialog->fileField()->setText(QString::fromStdString(path));
            dialog->exportNow();
        });
        QCOMPARE(f.prompts.texts(), std::vector<std::string>{"Export OK !"});
        QVERIFY(!selectionOffered);
        QCOMPARE(test::readBytes(path), datOf12x12(0x00));
    }

    void exportAsksBeforeReplacingAFile() {
        EditorFixture f;
        const std::string path = f.dir.file("out.BIN");
        test::writeBytes(path, "keep");
        f.prompts.answers = {IDNO};
        f.inDialog<ExportDialog>(CmdPanelExport, [&](ExportDialog* dialog) {
            dialog->binaryButton()->setChecked(true);
            dialog->fileField()->setText(QString::fromStdString(path));
            dialog->exportNow();
        });
        QCOMPARE(f.prompts.shown.back().text, std::string("Dose exists, Overwrite ?"));
        QCOMPARE(f.prompts.shown.back().caption, path);
        QCOMPARE(test::readBytes(path), std::string("keep"));
    }

    void browseAddsTheExtensionOnlyWithoutADot() {
        EditorFixture f;
        f.prompts.files = {"panel", "panel.x"};
        QStringList names;
        f.inDialog<ExportDialog>(CmdPanelExport, [&](ExportDialog* dialog) {
            dialog->binaryButton()->setChecked(true);
            dialog->browse();
            names << dialog->fileField()->text();
            dialog->browse();
            names << dialog->fileField()->text();
        });
        QCOMPARE(names, (QStringList{"panel.BIN", "panel.x"}));
        QCOMPARE(f.prompts.dialogs.value(0),
                 QString("save:Save File:LCD address BINARY file (*.BIN)|*.BIN|"));
    }
};

QTEST_MAIN(PanelTest)
#include "panel_test.moc"
