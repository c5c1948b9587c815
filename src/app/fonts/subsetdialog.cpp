#include "fonts/subsetdialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/safewrite.h"
#include "code/codejob.h"
#include "code/glyphsubset.h"
#include "document/patternstore.h"
#include "editor.h"
#include "fontcode/glyphfont.h"
#include "fonts/invisiblecharacters.h"
#include "ui/codeview.h"
#include "ui/dotpreview.h"
#include "ui/fontpreview.h"
#include "ui/prompts.h"

namespace dedur {

namespace {

// As the command line's font-subset writes it, so both give the same bytes.
constexpr const char* FontComment = "The glyphs of the strings' characters, made by dedur";

QString libraryName(FontFormat format) {
    switch (format) {
    case FontFormat::Lvgl:
        return "LVGL";
    case FontFormat::U8g2:
        return "u8g2";
    case FontFormat::Gfx:
        return "Adafruit GFX";
    }
    return {};
}

QString extensionOf(const QString& format) {
    if (format == "c") return ".h";
    // LVGL's fonts are translation units of their own; the others are
    // included where they are drawn.
    if (format == "lvgl") return ".c";
    if (format == "u8g2" || format == "gfx") return ".h";
    return "." + format;
}

// The characters of `text` that `missing` holds, each once, in the order the
// text first uses them; those that show as nothing by name, in brackets.
QString missingInTextOrder(const QString& text, std::vector<char32_t> missing) {
    std::sort(missing.begin(), missing.end());
    std::vector<bool> listed(missing.size(), false);
    QStringList items;
    int more = 0;
    for (const char32_t c : text.toUcs4()) {
        const auto at = std::lower_bound(missing.begin(), missing.end(), c);
        if (at == missing.end() || *at != c) continue;
        const auto index = static_cast<size_t>(at - missing.begin());
        if (listed[index]) continue;
        listed[index] = true;
        if (items.size() == limits::ShownMissingCharacters) {
            ++more;
            continue;
        }
        const std::string name = invisibleCharacterName(c);
        items << (name.empty() ? QString::fromUcs4(&c, 1)
                               : "[" + QString::fromStdString(name) + "]");
    }
    if (more > 0) items << QString("and %1 more").arg(more);
    return items.join(' ');
}

} // namespace

SubsetDialog::SubsetDialog(QWidget* parent, Prompts& prompts, Editor& editor)
    : ScreenCentred<QDialog>(parent), prompts_(prompts), editor_(editor) {
    setWindowTitle("Export subset for text");
    strings_ = new QPlainTextEdit(this);
    strings_->setPlaceholderText("The strings the product shows");
    format_ = new QComboBox(this);
    for (const char* f : {"c", "bdf", "json"}) format_->addItem(f, QString(f));
    for (FontFormat f : AllFontFormats) {
        format_->addItem(libraryName(f) + " font", QString(fontFormatName(f)));
    }
    remap_ = new QCheckBox("Codes from 0x20 with a table (Adafruit GFX draws 0 to 255)", this);
    layout_ = new QComboBox(this);
    for (CodeLayout l : AllCodeLayouts) {
        if (l != CodeLayout::Panel) layout_->addItem(layoutName(l), QString(layoutName(l)));
    }
    name_ = new QLineEdit("glyphs", this);
    // What a display reading the bytes another way would show of the first
    // glyph, as in the code dialog.
    reads_ = new QComboBox(this);
    reads_->addItem("the same layout", QString());
    for (CodeLayout l : AllCodeLayouts) {
        if (l != CodeLayout::Panel) reads_->addItem(layoutName(l), QString(layoutName(l)));
    }
    preview_ = new DotPreview(this);
    fontPreview_ = new FontPreview(this);
    fontPreview_->hide();
    missing_ = newWarningLine(this);
    missing_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A long list scrolls rather than pushing the rest of the dialog away.
    missingArea_ = new QScrollArea(this);
    missingArea_->setWidget(missing_);
    missingArea_->setWidgetResizable(true);
    missingArea_->setFrameShape(QFrame::NoFrame);
    missingArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    missingArea_->setMaximumHeight(5 * missing_->fontMetrics().lineSpacing() + 6);
    missingArea_->hide();
    copyWarning_ = new QPushButton("Copy", this);
    copyWarning_->setToolTip("Copies the warning's text");
    copyWarning_->hide();
    view_ = newCodeView(this);

    auto* form = new QFormLayout;
    form->addRow("Format:", format_);
    form->addRow("Layout:", layout_);
    form->addRow("Name:", name_);
    form->addRow("", remap_);
    form->addRow("Display reads:", reads_);
    auto* left = new QVBoxLayout;
    auto* load = new QPushButton("Text from a file...", this);
    left->addWidget(strings_, 1);
    left->addWidget(load);
    left->addLayout(form);
    auto* warning = new QHBoxLayout;
    warning->addWidget(missingArea_, 1);
    warning->addWidget(copyWarning_, 0, Qt::AlignTop);
    left->addLayout(warning);
    left->addWidget(preview_, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 2);
    top->addWidget(view_, 3);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton("Save...", this);
    auto* close = new QPushButton("Close", this);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(top, 2);
    whole->addWidget(fontPreview_, 3);
    whole->addLayout(buttons);
    resize(1000, 760);

    connect(strings_, &QPlainTextEdit::textChanged, this, &SubsetDialog::refresh);
    connect(format_, &QComboBox::currentIndexChanged, this, &SubsetDialog::refresh);
    connect(layout_, &QComboBox::currentIndexChanged, this, &SubsetDialog::refresh);
    connect(reads_, &QComboBox::currentIndexChanged, this, &SubsetDialog::refresh);
    connect(name_, &QLineEdit::textEdited, this, &SubsetDialog::refresh);
    connect(remap_, &QCheckBox::toggled, this, &SubsetDialog::refresh);
    connect(load, &QPushButton::clicked, this, &SubsetDialog::loadTextFile);
    connect(save, &QPushButton::clicked, this, &SubsetDialog::saveToFile);
    connect(close, &QPushButton::clicked, this, [this] { done(0); });
    connect(copyWarning_, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(missing_->text()); });
    refresh();
}

void SubsetDialog::refresh() {
    output_.clear();
    const QString format = format_->currentData().toString();
    const std::optional<FontFormat> library = fontFormatNamed(format.toStdString());
    // A library's font is made of the glyphs themselves, not of a layout's bytes.
    layout_->setEnabled(!library);
    reads_->setEnabled(!library);
    remap_->setEnabled(library == FontFormat::Gfx);
    preview_->setVisible(!library);
    fontPreview_->setVisible(library.has_value());
    const bool big = editor_.document.editType == EditMode::Font24x24;
    const GlyphFileKind kind = big ? GlyphFileKind::Big5_24x24 : GlyphFileKind::Big5_16x15;
    const std::string name = name_->text().trimmed().toStdString();
    if (!isIdentifier(name)) {
        setWarning("The name must be a C identifier.");
        view_->clear();
        fontPreview_->clear();
        return;
    }
    std::vector<char32_t> characters;
    size_t badAt = 0;
    const std::string text = strings_->toPlainText().toStdString();
    distinctCharacters(text, characters, badAt);
    // A file that cannot be read whole gives no glyphs: they show as missing.
    // With 16x15, as the command line does: ASCII from the 8x15 file, and
    // what the Big5 file lacks from the symbol files.
    GlyphBytes bytes;
    std::string why;
    const FontEdit& files = editor_.fontEdit;
    (void)readGlyphFile(big ? files.std24Path : files.std16x15Path, kind, bytes.file, why);
    if (!big) {
        (void)readGlyphFile(files.asciiPath, GlyphFileKind::Ascii8x15, bytes.ascii, why);
        (void)readGlyphFile(files.specialPath, GlyphFileKind::Symbol16x15, bytes.symbol, why);
        (void)readGlyphFile(files.specialSuppPath, GlyphFileKind::SymbolSupp16x15, bytes.symbolSupp,
                            why);
    }
    const CodeLayout layout =
        layoutNamed(layout_->currentData().toString().toStdString()).value_or(CodeLayout::RowsMsb);
    const GlyphSubset subset = makeSubset(bytes.file, kind, layout, characters, bytes.ascii,
                                          bytes.symbol, bytes.symbolSupp);
    const QString missing = missingInTextOrder(strings_->toPlainText(), subset.missing);
    setWarning(missing.isEmpty() ? QString() : QString("No glyph for: %1").arg(missing));
    if (library) {
        makeLibraryFont(*library, subset, bytes, name);
    } else {
        showFirstGlyph(subset, kind);
        output_ = format == "c" ? subsetAsC(subset, name)
                  : format == "json"
                      ? subsetAsJson(subset)
                      : subsetAsBdf(bytes.file, subset, name, bytes.symbol, bytes.symbolSupp);
    }
    // The view shows the first part; saving writes all of it.
    QString shown = QString::fromUtf8(
        output_.data(), static_cast<qsizetype>(std::min(output_.size(), limits::ShownCodeBytes)));
    if (output_.size() > limits::ShownCodeBytes) {
        shown += QString("\n... (the first %1 KB shown; Save writes all of it)")
                     .arg(limits::ShownCodeBytes >> 10);
    }
    view_->setPlainText(shown);
}

void SubsetDialog::setWarning(const QString& text) {
    missing_->setText(text);
    missingArea_->setVisible(!text.isEmpty());
    copyWarning_->setVisible(!text.isEmpty());
}

void SubsetDialog::makeLibraryFont(FontFormat format, const GlyphSubset& subset,
                                   const GlyphBytes& bytes, const std::string& name) {
    const BdfFont font =
        subsetFont(subset, bytes.file, bytes.ascii, bytes.symbol, bytes.symbolSupp);
    FontOutput output;
    output.name = name;
    output.comment = FontComment;
    output.gfxRemap = format == FontFormat::Gfx && remap_->isChecked();
    std::string written;
    const Outcome made = writeFont(format, font, output, [&written](std::string_view piece) {
        written.append(piece);
        return true;
    });
    if (!made.ok()) {
        fontPreview_->setRefusal(QString::fromStdString(made.message.text));
        return;
    }
    // What the library will draw, read back from the bytes just written.
    BdfFont drawn;
    if (const Outcome decoded = drawnFont(format, font, output, drawn); !decoded.ok()) {
        fontPreview_->setRefusal(QString::fromStdString(decoded.message.text));
    } else {
        fontPreview_->setFonts(strings_->toPlainText().toStdU32String(), font, "the glyph file",
                               drawn, libraryName(format));
    }
    output_ = std::move(written);
}

void SubsetDialog::showFirstGlyph(const GlyphSubset& subset, GlyphFileKind kind) {
    if (subset.glyphs.empty()) {
        preview_->setDots(0, 0, {}, {});
        return;
    }
    const SubsetGlyph& g = subset.glyphs.front();
    const GlyphFileShape shape =
        glyphFileShape(g.width == glyphFileShape(kind).width ? kind : GlyphFileKind::Ascii8x15);
    const PatternHeader header{
        static_cast<int16_t>(shape.width), static_cast<int16_t>(shape.height), 1, 1, 0, 2};
    const PanelDefinition definition;
    // The glyph as drawn, read back through its own layout, and as a display
    // reading the bytes through the chosen one shows it.
    std::vector<uint8_t> drawn = dotsFromLayout(g.bytes, shape.width, shape.height, subset.layout,
                                                false, header, definition);
    const QString reads = reads_->currentData().toString();
    const CodeLayout layout =
        reads.isEmpty() ? subset.layout : layoutNamed(reads.toStdString()).value_or(subset.layout);
    std::vector<uint8_t> shown =
        dotsFromLayout(g.bytes, shape.width, shape.height, layout, false, header, definition);
    preview_->setDots(shape.width, shape.height, std::move(drawn), std::move(shown));
}

void SubsetDialog::loadTextFile() {
    const QString chosen =
        prompts_.askOpenFileName(this, QString(), "Text (*.txt)|*.txt|All files (*)|*|", "Text");
    if (chosen.isEmpty()) return;
    std::string text;
    const std::string path = QFile::encodeName(chosen).toStdString();
    if (const FileReadStatus status = readFileLimited(path, limits::TextFileBytes, text);
        status != FileReadStatus::Ok) {
        prompts_.showMessage(
            this, {"Could not read " + quotedPath(path) + ": " + readFailureReason(path, status),
                   " ", MessageButtons::Ok, MessageIcon::Question});
        return;
    }
    strings_->setPlainText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void SubsetDialog::saveToFile() {
    refresh();
    if (output_.empty()) {
        prompts_.beep();
        return;
    }
    const QString extension = extensionOf(format_->currentData().toString());
    QString chosen = prompts_.askSaveFileName(
        this, QString(), QString("Subset (*%1)|*%1|").arg(extension), "Save subset");
    if (chosen.isEmpty()) return;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += extension;
    const std::string path = QFile::encodeName(chosen).toStdString();
    // The glyph files are the user's work: never written over with their
    // subset, whatever name or link leads to them.
    const FontEdit& files = editor_.fontEdit;
    for (const std::string& input : {files.std16x15Path, files.std24Path, files.asciiPath,
                                     files.specialPath, files.specialSuppPath}) {
        std::error_code error;
        if (input.empty() || !std::filesystem::equivalent(input, path, error)) continue;
        prompts_.showMessage(this, {quotedPath(path) + " is the glyph file " + quotedPath(input) +
                                        "; choose another file for the subset",
                                    " ", MessageButtons::Ok, MessageIcon::Question});
        return;
    }
    const Outcome written = writeFileSafely(path, output_);
    if (!written.ok()) prompts_.showMessage(this, written.message);
}

} // namespace dedur
