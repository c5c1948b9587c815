#include "panel/exportdialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "base/safewrite.h"
#include "document/patternfile.h"
#include "editor.h"
#include "panel/lcdimage.h"
#include "panel/panelexport.h"
#include "ui/prompts.h"

namespace dedur {

ExportDialog::ExportDialog(QWidget* parent, Prompts& prompts, Editor& editor)
    : ScreenCentred<QDialog>(parent), prompts_(prompts), editor_(editor) {
    setWindowTitle("Export Panel Data ");
    setFixedSize(440, 230);
    auto* fileLabel = new QLabel("Save File :", this);
    fileLabel->setGeometry(12, 12, 80, 24);
    file_ = new QLineEdit(this);
    file_->setGeometry(92, 12, 296, 24);
    auto* browseButton = new QPushButton("...", this);
    browseButton->setGeometry(394, 12, 34, 24);
    browseButton->setAutoDefault(false);

    auto* type = new QGroupBox("Save File Type ", this);
    type->setGeometry(12, 48, 140, 90);
    text_ = new QRadioButton("Text", type);
    text_->setGeometry(12, 24, 110, 24);
    binary_ = new QRadioButton("Binary", type);
    binary_->setGeometry(12, 54, 110, 24);
    text_->setChecked(true);
    // Our own: the chosen patterns in one display memory, as the panel shows
    // them together.
    screen_ = new QCheckBox("One screen", this);
    screen_->setGeometry(14, 146, 140, 24);
    screen_->setToolTip("All chosen patterns in one display memory, their dots combined");

    auto* range = new QGroupBox(" Panel No. Range", this);
    range->setGeometry(164, 48, 264, 130);
    selection_ = new QRadioButton("Current Selection", range);
    selection_->setGeometry(12, 22, 160, 24);
    current_ = new QRadioButton("Current", range);
    current_->setGeometry(12, 46, 160, 24);
    all_ = new QRadioButton("All", range);
    all_->setGeometry(12, 70, 160, 24);
    numbers_ = new QRadioButton("No. ", range);
    numbers_->setGeometry(12, 96, 60, 24);
    range_ = new QLineEdit(range);
    range_->setGeometry(76, 96, 176, 24);
    current_->setChecked(true);
    // "Current Selection" only while a block floats.
    // A block floating over a glyph is no part of the pattern document.
    selection_->setEnabled(editor_.selection.selectionState != SelectionState::None &&
                           editor_.document.editType == EditMode::Pattern);

    auto* exportButton = new QPushButton("Export", this);
    exportButton->setGeometry(240, 190, 90, 30);
    exportButton->setDefault(true);
    auto* exitButton = new QPushButton("Exit", this);
    exitButton->setGeometry(338, 190, 90, 30);
    exitButton->setAutoDefault(false);

    connect(browseButton, &QPushButton::clicked, this, &ExportDialog::browse);
    connect(exportButton, &QPushButton::clicked, this, &ExportDialog::exportNow);
    connect(exitButton, &QPushButton::clicked, this, [this] { done(0); });
    connect(numbers_, &QRadioButton::clicked, range_, [this] { range_->setFocus(); });
    // Numbers typed into the range mean that range.
    connect(range_, &QLineEdit::textEdited, numbers_, [this] { numbers_->setChecked(true); });
    file_->setFocus();
}

void ExportDialog::browse() {
    const bool text = text_->isChecked();
    const QString filter =
        text ? "LCD address TEXT file (*.DAT)|*.DAT|" : "LCD address BINARY file (*.BIN)|*.BIN|";
    QString chosen = prompts_.askSaveFileName(this, QString(), filter, "Save File");
    if (!chosen.isEmpty()) {
        // A name without any dot takes the filter's extension.
        if (!chosen.contains('.')) chosen += text ? ".DAT" : ".BIN";
        file_->setText(chosen);
    }
    file_->setFocus();
}

void ExportDialog::exportNow() {
    const int type = text_->isChecked() ? EXPORT_TEXT : EXPORT_BINARY;
    RangeChoice choice = RangeChoice::Numbers;
    if (selection_->isChecked())
        choice = RangeChoice::CurrentSelection;
    else if (current_->isChecked())
        choice = RangeChoice::Current;
    else if (all_->isChecked())
        choice = RangeChoice::All;
    const std::string path = file_->text().toLocal8Bit().toStdString();
    if (path.empty()) {
        prompts_.showMessage(this, {"Please input filename to saving.", " ", MessageButtons::Ok,
                                    MessageIcon::Question});
        file_->setFocus();
        return;
    }
    if (fileCanBeRead(path)) {
        const std::string full =
            QFileInfo(file_->text()).absoluteFilePath().toLocal8Bit().toStdString();
        if (prompts_.showMessage(this, {"Dose exists, Overwrite ?", full, MessageButtons::YesNo,
                                        MessageIcon::Question}) == IDNO) {
            return;
        }
    }
    const Document& doc = editor_.document;
    const PanelRange range =
        parsePanelRange(choice, range_->text().left(127).toLocal8Bit().toStdString(),
                        doc.patternCount, doc.currentPattern);
    if (!range.ok()) {
        prompts_.showMessage(this, range.outcome.message);
        range_->setFocus();
        return;
    }
    if (screen_->isChecked() && choice != RangeChoice::CurrentSelection) {
        exportScreen(path, range.panelFlags, type);
        return;
    }
    const ExportStream output = panelExportStream(doc, editor_.selection, range.panelFlags,
                                                  choice == RangeChoice::CurrentSelection, type);
    for (const Message& notice : output.notices) prompts_.showMessage(nullptr, notice);
    if (!output.outcome.ok()) {
        prompts_.showMessage(this, output.outcome.message);
        return;
    }
    if (const Outcome outcome = writeFileSafely(path, output.bytes); !outcome.ok()) {
        prompts_.showMessage(this, outcome.message);
        return;
    }
    prompts_.showMessage(this, {"Export OK !", " ", MessageButtons::Ok, MessageIcon::Question});
    file_->setFocus();
}

void ExportDialog::exportScreen(const std::string& path, const std::vector<uint8_t>& flags,
                                int type) {
    LcdImage screen;
    if (const Outcome placed = screenImage(editor_.document, flags, false, screen); !placed.ok()) {
        prompts_.showMessage(this, placed.message);
        return;
    }
    std::string bytes;
    if (type == EXPORT_BINARY) {
        appendPanelBinary(bytes, screen);
    } else if (screen.highOffset >= screen.lowOffset) {
        appendPanelText(bytes, screen, screenTitle(flags));
    }
    if (const Outcome written = writeFileSafely(path, bytes); !written.ok()) {
        prompts_.showMessage(this, written.message);
        return;
    }
    prompts_.showMessage(this, {"Export OK !", " ", MessageButtons::Ok, MessageIcon::Question});
    file_->setFocus();
}

} // namespace dedur
