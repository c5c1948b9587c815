#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>

#include "editorfixture.h"
#include "panel/exportdialog.h"
#include "panel/lcdimage.h"
#include "panel/paneldefinitiondialog.h"
#include "panel/panelexport.h"
#include "panel/panelview.h"
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

std::string firstData(const std::string& path) {
    const std::string text = test::readBytes(path);
    const size_t at = text.find(".DB ");
    return at == std::string::npos ? text : text.substr(at, text.find('\r', at) - at);
}

// A new current pattern at SEG `seg`, COM `com`, its first dot set.
void addPatternAt(EditorFixture& f, int seg, int com, int width, int height) {
    f.doc().panelDefinition = {int16_t(seg),    int16_t(com), int16_t(width),
                               int16_t(height), IncreaseSeg,  IncreaseCom};
    f.window->dispatchCommand(CmdAddPattern);
    test::setRows(f.doc(), {"1"});
}

PanelView* openPanelView(EditorFixture& f) {
    f.window->dispatchCommand(CmdPanelView);
    PanelView* view = f.window->panelView();
    QApplication::setActiveWindow(view);
    if (QApplication::activeWindow() != view) qFatal("the panel view is not the active window");
    return view;
}

QPoint dotOnCanvas(PanelView* view, int seg, int com) {
    const int d = view->dotSize();
    return view->canvas()->mapFrom(view, view->panelRect().topLeft()) +
           QPoint((seg - 1) * d + d / 2, (com - 1) * d + d / 2);
}

// At `dot` pixels a dot: all scrollable, nothing on the edges, the numbers shown.
void checkRulers(PanelView* view, int dot) {
    view->dotSizeBox()->setValue(dot);
    view->layout()->activate();
    QCOMPARE(view->dotSize(), dot);
    QScrollArea* area = view->scrollArea();
    const QSize canvas = view->canvas()->size();
    const QSize shown = area->viewport()->size();
    QVERIFY(canvas.width() >= 96 * dot && canvas.height() >= 48 * dot);
    QVERIFY(area->horizontalScrollBar()->maximum() >= canvas.width() - shown.width());
    QVERIFY(area->verticalScrollBar()->maximum() >= canvas.height() - shown.height());
    area->horizontalScrollBar()->setValue(0);
    area->verticalScrollBar()->setValue(0);
    const QImage image = view->canvas()->grab().toImage();
    const QRgb blank = image.pixel(0, 0);
    for (int x = 0; x < image.width(); ++x) {
        QCOMPARE(image.pixel(x, 0), blank);
        QCOMPARE(image.pixel(x, image.height() - 1), blank);
    }
    for (int y = 0; y < image.height(); ++y) {
        QCOMPARE(image.pixel(0, y), blank);
        QCOMPARE(image.pixel(image.width() - 1, y), blank);
    }
    const QRect panel(view->canvas()->mapFrom(view, view->panelRect().topLeft()),
                      view->panelRect().size());
    for (int seg = 1; seg <= 89; seg += 8) {
        const int x = panel.left() + (seg - 1) * dot;
        int ink = 0;
        for (int y = 0; y < panel.top() - 5; ++y) {
            for (int dx = -8; dx <= 8; ++dx) ink += qGray(image.pixel(x + dx, y)) < 100;
        }
        QVERIFY2(ink > 0, qPrintable(QString("SEG %1").arg(seg)));
    }
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    const QImage seen = area->viewport()->grab().toImage();
    int above = 0, left = 0;
    for (int y = 0; y < 14; ++y) {
        for (int x = 30; x < seen.width(); ++x) above += qGray(seen.pixel(x, y)) < 100;
    }
    for (int y = 20; y < seen.height(); ++y) {
        for (int x = 0; x < 22; ++x) left += qGray(seen.pixel(x, y)) < 100;
    }
    QVERIFY(above > 0);
    if (seen.height() >= 20 + 8 * dot + 12) QVERIFY(left > 0); // room for a COM number
}

} // namespace

class PanelTest : public QObject {
    Q_OBJECT
  private slots:
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
        QCOMPARE(f.prompts.files.back(), QString("2,,48"));
    }

    void okSetsTheTemplateForNewPatterns() {
        EditorFixture f;
        f.inDialog<PanelDefinitionDialog>(CmdPanelDefinition, [&](PanelDefinitionDialog* dialog) {
            fill(dialog, {20, 10, 16, 8, 1, 3});
            dialog->ok();
        });
        QCOMPARE(f.doc().panelDefinition, (PanelDefinition{20, 10, 16, 8, 1, 3}));
        f.window->dispatchCommand(CmdAddPattern);
        PatternHeader current, added; // OK leaves the current pattern as it was
        getHeader(f.doc(), 0, current);
        getHeader(f.doc(), 1, added);
        QVERIFY(current == (PatternHeader{12, 12, 1, 1, 0, 2}) &&
                added == (PatternHeader{16, 8, 20, 10, 1, 3}));
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
        QCOMPARE(firstData(path),
                 std::string(".DB $01,$00,$00,$00,$00,$00,$00,$00 ; 2000h ~ 2007h"));
    }

    void exportOpensInEveryFontMode() {
        for (int mode = 2; mode <= 6; ++mode) {
            EditorFixture f("[others]\r\nEDITTYPE = " + std::to_string(mode) + "\r\n");
            QCOMPARE(static_cast<int>(f.doc().editType), mode);
            const std::string path = f.dir.file("font.DAT");
            f.prompts.shown.clear();
            f.inDialog<ExportDialog>(CmdPanelExport, [&](ExportDialog* dialog) {
                QVERIFY(!dialog->selectionButton()->isEnabled());
                dialog->fileField()->setText(QString::fromStdString(path));
                dialog->exportNow();
            });
            QCOMPARE(f.prompts.texts(), std::vector<std::string>{"Export OK !"});
            QCOMPARE(firstData(path),
                     std::string(".DB $00,$00,$00,$00,$00,$00,$00,$00 ; 2000h ~ 2007h"));
        }
    }

    void exportAsksBeforeReplacingAFile() {
        EditorFixture f;
        const std::string path = f.dir.file("out.BIN");
        test::writeBytes(path, "keep");
        f.prompts.answers = {IDNO, IDYES};
        f.inDialog<ExportDialog>(CmdPanelExport, [&](ExportDialog* dialog) {
            dialog->binaryButton()->setChecked(true);
            dialog->fileField()->setText(QString::fromStdString(path));
            dialog->exportNow();
            std::filesystem::permissions(path, std::filesystem::perms(0444));
            dialog->exportNow();
        });
        QCOMPARE(f.prompts.shown.at(0).text + "|" + f.prompts.shown.at(0).caption,
                 "Dose exists, Overwrite ?|" + path);
        QCOMPARE(f.prompts.texts().back(),
                 "Could not write \"" + path + "\": the file is read-only");
        QCOMPARE(test::readBytes(path), std::string("keep"));
    }

    void browseAddsTheExtensionOnlyWithoutADot() {
        EditorFixture f;
        f.prompts.files = {"panel", "panel.x"};
        QStringList names;
        f.inDialog<ExportDialog>(CmdPanelExport, [&](ExportDialog* dialog) {
            dialog->binaryButton()->setChecked(true);
            for (int i = 0; i < 2; ++i) {
                dialog->browse();
                names << dialog->fileField()->text();
            }
        });
        QCOMPARE(names, (QStringList{"panel.BIN", "panel.x"}));
        QCOMPARE(f.prompts.dialogs.value(0),
                 QString("save:Save File:LCD address BINARY file (*.BIN)|*.BIN|"));
    }

    void spacePlaysFromEveryControl() {
        EditorFixture f;
        f.window->dispatchCommand(CmdAddPattern);
        PanelView* view = openPanelView(f);
        for (QWidget* focused : std::initializer_list<QWidget*>{
                 view->showAllBox(), view->loopBox(), view->findChild<QPushButton*>(),
                 view->playRange(), view->dotSizeBox(), view->findChild<QPlainTextEdit*>()}) {
            focused->setFocus(Qt::TabFocusReason);
            QCOMPARE(QApplication::focusWidget(), focused);
            const auto boxes = [view] {
                return std::pair(view->showAllBox()->isChecked(), view->loopBox()->isChecked());
            };
            const auto before = boxes();
            QTest::keyClick(focused, Qt::Key_Space);
            QVERIFY(view->playing() && view->framePattern() == 1);
            view->stepFrame();
            QCOMPARE(view->framePattern(), 2);
            QTest::keyClick(focused, Qt::Key_Space);
            QVERIFY(!view->playing() && boxes() == before);
            QCOMPARE(view->playRange()->text(), QString());
        }
    }

    void theRangeFieldTakesSpacesWhileTyped() {
        EditorFixture f;
        for (int i = 0; i < 5; ++i) f.window->dispatchCommand(CmdAddPattern);
        PanelView* view = openPanelView(f);
        QLineEdit* range = view->playRange();
        range->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(range, "2,");
        QTest::keyClick(range, Qt::Key_Space);
        QTest::keyClicks(range, "4-5");
        QVERIFY(!view->playing());
        QCOMPARE(range->text(), QString("2, 4-5"));
        QTest::keyClick(range, Qt::Key_Return);
        QVERIFY(view->playing());
        std::vector<int> shown{view->framePattern()};
        for (int i = 0; i < 3; ++i) {
            view->stepFrame();
            shown.push_back(view->framePattern());
        }
        QCOMPARE(shown, (std::vector<int>{2, 4, 5, 2}));
        QTest::keyClick(range, Qt::Key_Space);
        QVERIFY(!view->playing());
        QTest::keyClick(range, Qt::Key_Space);
        QVERIFY(view->playing());
        QCOMPARE(range->text(), QString("2, 4-5"));
    }

    void playingDimsTheOtherPatterns() {
        EditorFixture f;
        test::setRows(f.doc(), {"1"});
        addPatternAt(f, 40, 20, 8, 8);
        PanelView* view = openPanelView(f);
        view->showAllBox()->setChecked(true);
        const auto pixelAt = [view](int seg, int com) {
            return view->canvas()->grab().toImage().pixel(dotOnCanvas(view, seg, com));
        };
        const QRgb green = pixelAt(60, 40);
        const QRgb stopped = pixelAt(1, 1); // pattern 1, not current
        view->playRange()->setText("2");
        view->play();
        const QRgb frame = pixelAt(40, 20);
        const QRgb dimmed = pixelAt(1, 1);
        QVERIFY(qGray(frame) < qGray(stopped) && qGray(stopped) < qGray(dimmed) && dimmed != green);
        view->stop();
        QCOMPARE(pixelAt(1, 1), stopped);
    }

    void clicksOnOverlapsCycleSmallestFirst() {
        EditorFixture f;
        addPatternAt(f, 1, 1, 40, 30); // 2: 1200 dots
        addPatternAt(f, 5, 5, 8, 8);   // 3: 64
        addPatternAt(f, 3, 3, 20, 20); // 4: 400
        addPatternAt(f, 60, 30, 8, 8); // 5
        f.editor->sidecar.names[3] = "arrow";
        PanelView* view = openPanelView(f);
        const QPoint at = dotOnCanvas(view, 6, 6);
        QTest::mouseMove(view->canvas(), at);
        QCOMPARE(view->pointerLabel()->text(),
                 QString("SEG 6, COM 6: pattern 3 \"arrow\" (1 of 4 here; each click takes the "
                         "next)"));
        std::vector<int> chosen;
        for (int i = 0; i < 5; ++i) {
            QTest::mouseClick(view->canvas(), Qt::LeftButton, {}, at);
            chosen.push_back(f.window->currentNumber());
        }
        QCOMPARE(chosen, (std::vector<int>{3, 1, 4, 2, 3}));
        QCOMPARE(view->pointerLabel()->text(),
                 QString("SEG 6, COM 6: pattern 1 (2 of 4 here; each click takes the next)"));
        QTest::mouseMove(view->canvas(), dotOnCanvas(view, 61, 31));
        QCOMPARE(view->pointerLabel()->text(), QString("SEG 61, COM 31: pattern 5"));
        QTest::mouseMove(view->canvas(), dotOnCanvas(view, 96, 48));
        QCOMPARE(view->pointerLabel()->text(), QString("SEG 96, COM 48"));
    }

    void rulersStayWholeAtEveryZoomAndSize() {
        EditorFixture f;
        PanelView* view = openPanelView(f);
        for (int dot : {2, 5, 12, 16}) {
            for (QSize size : {QSize(220, 220), QSize(700, 500), QSize(1800, 1200)}) {
                view->resize(size);
                checkRulers(view, dot);
                if (QTest::currentTestFailed()) return;
            }
        }
    }
    void zoomKeysAndWheelStayInRange() {
        EditorFixture f;
        PanelView* view = openPanelView(f);
        view->showAllBox()->setFocus();
        QWidget* focused = QApplication::focusWidget();
        const auto press = [&](Qt::Key key) {
            QTest::keyClick(focused, key, Qt::ControlModifier);
            return view->dotSize();
        };
        const auto wheel = [&](int delta) {
            const QPoint at = dotOnCanvas(view, 10, 10);
            QWheelEvent event(at, view->canvas()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton,
                              Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view->canvas(), &event);
            return view->dotSize();
        };
        QVERIFY(view->dotSize() == 5 && press(Qt::Key_Plus) == 6 && press(Qt::Key_Equal) == 7);
        QVERIFY(press(Qt::Key_Minus) == 6 && wheel(120) == 7 && wheel(-120) == 6);
        for (int i = 0; i < 20; ++i) wheel(120);
        QVERIFY(view->dotSize() == 16 && press(Qt::Key_Plus) == 16);
        QCOMPARE(view->dotSizeBox()->value(), 16);
        for (int i = 0; i < 20; ++i) press(Qt::Key_Minus);
        QVERIFY(view->dotSize() == 2 && press(Qt::Key_0) == 5 && !view->showAllBox()->isChecked());
    }

    void aRefusedPatternShowsWhyInsteadOfBytes() {
        EditorFixture f;
        test::setRows(f.doc(), {"1"});
        addPatternAt(f, 90, 1, 12, 12); // SEG 90 to 101
        PanelView* view = openPanelView(f);
        const QString shown = view->bytesText();
        f.inDialog<ExportDialog>(CmdPanelExport, [&](ExportDialog* dialog) {
            dialog->fileField()->setText(QString::fromStdString(f.dir.file("out.DAT")));
            dialog->rangeField()->setText("2");
            dialog->exportNow();
        });
        QCOMPARE(int(f.prompts.shown.size()), 1);
        QCOMPARE(shown, QString::fromStdString(f.prompts.shown.front().text));
        QVERIFY(!std::filesystem::exists(f.dir.file("out.DAT")));
        QTest::mouseClick(view->canvas(), Qt::LeftButton, {}, dotOnCanvas(view, 1, 1));
        QVERIFY(f.window->currentNumber() == 1 && view->bytesText().contains(".DB $01"));
    }

    void panelViewShowsTheExportsBytesAndGoesToAClickedPattern() {
        EditorFixture f;
        test::setRows(f.doc(), {"0", "1"}); // SEG 1 COM 2: bit 1 of byte 0
        f.window->dispatchCommand(CmdAddPattern);
        f.window->dispatchCommand(CmdAddPattern);
        // Pattern 2 at SEG 40, COM 20; pattern 3 runs off the panel.
        const auto place = [&](int index, int seg, int com) {
            PatternHeader h;
            getHeader(f.doc(), index, h);
            h.beginSeg = static_cast<int16_t>(seg);
            h.beginCom = static_cast<int16_t>(com);
            encodeHeader(h, f.doc().store.data() + patternOffset(f.doc(), index));
        };
        place(1, 40, 20);
        place(2, 90, 1);
        f.window->dispatchCommand(CmdPanelView);
        PanelView* view = f.window->panelView();
        f.window->updateMenuState();
        QVERIFY(f.window->action(CmdPanelView)->isChecked());
        QVERIFY(view->findChild<QLabel*>("warning")->text().startsWith(
            "Panel No. 3 runs off the panel"));
        const QPoint inside = view->panelRect().topLeft() + QPoint(40 * 5 + 3, 20 * 5 + 3);
        QTest::mouseClick(view, Qt::LeftButton, {}, inside);
        QCOMPARE(f.window->currentNumber(), 2);
        // Drawing shows at once, as the export writes it: SEG 40 from byte
        // 314, COM 20 bit 3 of its third byte, COM 21 bit 4.
        f.drag({{0, 0}, {1, 0}, {2, 1}});
        const QStringList lines = view->bytesText().split('\n');
        QCOMPARE(
            lines.mid(2, 5),
            (QStringList{";   LCD Memory Address : $213A ~ $2193 [ Size= 90 Bytes (Dec) ]",
                         QString(66, ';'), ".DB $08,$00,$00,$00,$00,$00,$00,$00 ; 213Ah ~ 2141h",
                         ".DB $08,$00,$00,$00,$00,$00,$00,$00 ; 2142h ~ 2149h",
                         ".DB $10,$00,$00,$00,$00,$00,$00,$00 ; 214Ah ~ 2151h"}));

        view->showAllBox()->setChecked(true);
        QCOMPARE(view->allImage().bytes[0], uint8_t(0x02));
        QCOMPARE(view->allImage().bytes[330], uint8_t(0x10));
        view->showAllBox()->setChecked(false);
        QCOMPARE(view->allImage().highOffset, -1);

        // Stepped as its timer steps it: frame N shows pattern N for its delay.
        f.editor->sidecar.delays[2] = 250;
        f.doc().modifiedFlag = false;
        view->playRange()->setText("1-2");
        view->loopBox()->setChecked(false);
        view->play();
        QVERIFY(view->image().bytes[0] == uint8_t(0x02) && view->frameTimer().interval() == 100);
        view->stepFrame();
        QVERIFY(view->image().lowOffset == 314 && view->frameTimer().interval() == 250);
        view->stepFrame();
        QVERIFY(!view->playing() && !f.doc().modifiedFlag);
    }
};

QTEST_MAIN(PanelTest)
#include "panel_test.moc"
