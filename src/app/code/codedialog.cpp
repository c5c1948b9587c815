#include "code/codedialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <charconv>
#include <filesystem>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/safewrite.h"
#include "code/codeformats.h"
#include "code/codetemplate.h"
#include "document/dotpacking.h"
#include "editor.h"
#include "editorsettings.h"
#include "panel/panelexport.h"
#include "ui/codeview.h"
#include "ui/dotpreview.h"
#include "ui/fontpreview.h"
#include "ui/prompts.h"

namespace dedur {

namespace {

// The templates shipped with the program and the user's own
// ($XDG_DATA_HOME/dedur/templates), by file.
QStringList templateFiles() {
    QStringList folders = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, "dedur/templates", QStandardPaths::LocateDirectory);
    folders << QCoreApplication::applicationDirPath() + "/../share/dedur/templates";
    QStringList files;
    for (const QString& folder : folders) {
        for (const QFileInfo& f : QDir(folder).entryInfoList({"*.mustache"}, QDir::Files)) {
            const QString path = f.canonicalFilePath();
            if (!files.contains(path)) files << path;
        }
    }
    return files;
}

QString extensionOf(const CodeProfile& p) {
    if (!p.templateFile.empty()) {
        // A template names what it makes: "c-struct.h.mustache" makes a ".h".
        QString made = QFileInfo(QString::fromStdString(p.templateFile)).fileName();
        if (made.endsWith(".mustache")) made.chop(9);
        const QString suffix = QFileInfo(made).suffix();
        return suffix.isEmpty() ? ".txt" : "." + suffix;
    }
    const QString format = QString::fromStdString(p.format);
    if (format == "c") return ".h";
    // LVGL's images and fonts are translation units of their own; u8g2's and
    // Adafruit GFX's fonts are included where they are drawn.
    if (format == "lvgl" || format == "lvgl-font") return ".c";
    if (format == "u8g2-font" || format == "gfx-font") return ".h";
    if (format == "xbm") return ".xbm";
    if (format == "micropython") return ".py";
    if (format == "rust") return ".rs";
    if (format == "asm") return ".s";
    if (format == "json") return ".json";
    return ".txt";
}

// The icon font named after the job, as the command line names it.
FontOutput iconFontOutput(const CodeJob& job) {
    FontOutput output;
    output.name = job.name;
    output.comment = "The patterns of " + job.file + " as icons, made by dedur";
    return output;
}

} // namespace

CodeDialog::CodeDialog(QWidget* parent, Prompts& prompts, Editor& editor)
    : ScreenCentred<QDialog>(parent), prompts_(prompts), editor_(editor) {
    setWindowTitle("Export code");
    auto* settings = new QGridLayout;
    int row = 0;
    profiles_ = new QComboBox(this);
    settings->addWidget(new QLabel("Profile:", this), row, 0);
    settings->addWidget(profiles_, row++, 1);

    auto* choice = new QWidget(this);
    auto* choiceRow = new QHBoxLayout(choice);
    choiceRow->setContentsMargins(0, 0, 0, 0);
    current_ = new QRadioButton("Current", choice);
    all_ = new QRadioButton("All", choice);
    numbers_ = new QRadioButton("No.", choice);
    range_ = new QLineEdit(choice);
    range_->setPlaceholderText("1-5, 8");
    choiceRow->addWidget(current_);
    choiceRow->addWidget(all_);
    choiceRow->addWidget(numbers_);
    choiceRow->addWidget(range_, 1);
    current_->setChecked(true);
    settings->addWidget(new QLabel("Patterns:", this), row, 0);
    settings->addWidget(choice, row++, 1);

    format_ = new QComboBox(this);
    fillFormats();
    settings->addWidget(new QLabel("Format:", this), row, 0);
    settings->addWidget(format_, row++, 1);
    layout_ = new QComboBox(this);
    reads_ = new QComboBox(this);
    reads_->addItem("the same layout", QString());
    for (CodeLayout l : AllCodeLayouts) {
        const QString described = QString("%1: %2").arg(layoutName(l), layoutDescription(l));
        layout_->addItem(described, QString(layoutName(l)));
        reads_->addItem(described, QString(layoutName(l)));
    }
    settings->addWidget(new QLabel("Layout:", this), row, 0);
    settings->addWidget(layout_, row++, 1);
    name_ = new QLineEdit(this);
    name_->setPlaceholderText(QString::fromStdString(identifierFromFileName(
        editor_.document.patternFileName.empty() ? std::string("pattern")
                                                 : editor_.document.patternFileName)));
    settings->addWidget(new QLabel("Name:", this), row, 0);
    settings->addWidget(name_, row++, 1);
    invert_ = new QCheckBox("Invert the dots", this);
    progmem_ = new QCheckBox("Program memory (PROGMEM)", this);
    settings->addWidget(invert_, row++, 1);
    settings->addWidget(progmem_, row++, 1);

    // An icon font's codes and line.
    auto* icons = new QWidget(this);
    auto* iconRow = new QHBoxLayout(icons);
    iconRow->setContentsMargins(0, 0, 0, 0);
    first_ = new QLineEdit("0xE000", icons);
    first_->setToolTip("The code of the first pattern: 0xE000 (private use), 0x41, U+E000");
    spacing_ = new QSpinBox(icons);
    spacing_->setRange(0, limits::IconSpacing);
    spacing_->setToolTip("Blank columns after each icon");
    baseline_ = new QSpinBox(icons);
    baseline_->setRange(0, limits::IconBaseline);
    baseline_->setToolTip("Rows of each icon below the baseline");
    iconRow->addWidget(new QLabel("first", icons));
    iconRow->addWidget(first_, 1);
    iconRow->addWidget(new QLabel("spacing", icons));
    iconRow->addWidget(spacing_);
    iconRow->addWidget(new QLabel("baseline", icons));
    iconRow->addWidget(baseline_);
    settings->addWidget(new QLabel("Icon font:", this), row, 0);
    settings->addWidget(icons, row++, 1);

    // An LVGL image's version and palette.
    auto* lvgl = new QWidget(this);
    auto* lvglRow = new QHBoxLayout(lvgl);
    lvglRow->setContentsMargins(0, 0, 0, 0);
    lvglVersion_ = new QComboBox(lvgl);
    lvglVersion_->addItem("LVGL 9", 9);
    lvglVersion_->addItem("LVGL 8", 8);
    foreground_ = new QLineEdit("black", lvgl);
    background_ = new QLineEdit("white", lvgl);
    for (QLineEdit* colour : {foreground_, background_}) {
        colour->setToolTip("#RRGGBB, or black, white, red, green, blue, yellow, cyan, magenta, "
                           "gray");
    }
    lvglRow->addWidget(lvglVersion_);
    lvglRow->addWidget(new QLabel("dots", lvgl));
    lvglRow->addWidget(foreground_, 1);
    lvglRow->addWidget(new QLabel("on", lvgl));
    lvglRow->addWidget(background_, 1);
    settings->addWidget(new QLabel("LVGL image:", this), row, 0);
    settings->addWidget(lvgl, row++, 1);
    settings->addWidget(new QLabel("Display reads:", this), row, 0);
    settings->addWidget(reads_, row++, 1);
    settings->setRowStretch(row, 1);

    // Of several patterns, the display preview shows the one chosen here.
    auto* previewRow = new QHBoxLayout;
    shown_ = new QComboBox(this);
    previewRow->addWidget(new QLabel("Preview of:", this));
    previewRow->addWidget(shown_, 1);
    preview_ = new DotPreview(this);
    fontPreview_ = new FontPreview(this);
    fontPreview_->hide();
    problem_ = newWarningLine(this);
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    view_ = newCodeView(this);

    auto* leftSide = new QWidget(this);
    leftSide->setMaximumWidth(460);
    auto* left = new QVBoxLayout(leftSide);
    left->setContentsMargins(0, 0, 0, 0);
    left->addLayout(settings);
    left->addLayout(previewRow);
    left->addWidget(preview_, 1);
    left->addWidget(fontPreview_, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(leftSide);
    auto* right = new QVBoxLayout;
    right->addWidget(problem_);
    right->addWidget(view_, 1);
    right->addWidget(note_);
    top->addLayout(right, 1);

    auto* buttons = new QHBoxLayout;
    auto* save = save_ = new QPushButton("Save...", this);
    auto* copy = copy_ = new QPushButton("Copy", this);
    auto* keep = new QPushButton("Save as profile...", this);
    auto* close = new QPushButton("Close", this);
    save->setDefault(true);
    buttons->addWidget(keep);
    buttons->addStretch(1);
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(top, 1);
    whole->addLayout(buttons);
    resize(1040, 600);

    fillProfiles();
    restoreChoices();
    connect(save, &QPushButton::clicked, this, &CodeDialog::saveToFile);
    connect(copy, &QPushButton::clicked, this, &CodeDialog::copyToClipboard);
    connect(keep, &QPushButton::clicked, this, &CodeDialog::saveAsProfile);
    connect(close, &QPushButton::clicked, this, [this] { done(0); });
    for (QRadioButton* b : {current_, all_, numbers_}) {
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on) refresh();
        });
    }
    connect(range_, &QLineEdit::textEdited, this, [this] {
        numbers_->setChecked(true);
        refresh();
    });
    connect(format_, &QComboBox::currentIndexChanged, this, [this] {
        const QString before = layout_->currentData().toString();
        fitLayoutToFormat(true);
        refresh();
        const QString now = layout_->currentData().toString();
        if (now != before) {
            note_->setText(QString("The layout is now %1: %2 cannot take %3.")
                               .arg(now, format_->currentText(), before));
        }
    });
    for (QComboBox* box : {layout_, reads_, shown_}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    }
    for (QLineEdit* field : {name_, first_, foreground_, background_}) {
        connect(field, &QLineEdit::textEdited, this, [this] { refresh(); });
    }
    for (QSpinBox* box : {spacing_, baseline_}) {
        connect(box, &QSpinBox::valueChanged, this, [this] { refresh(); });
    }
    connect(lvglVersion_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    for (QCheckBox* box : {invert_, progmem_}) {
        connect(box, &QCheckBox::toggled, this, [this] { refresh(); });
    }
    connect(profiles_, &QComboBox::activated, this, [this](int index) {
        const auto found = editor_.sidecar.profiles.find(profiles_->itemText(index).toStdString());
        if (index > 0 && found != editor_.sidecar.profiles.end()) {
            editor_.codeProfile = found->first;
            applyProfile(found->second);
        } else if (index == 0) {
            editor_.codeProfile.clear();
        }
    });
    refresh();
}

void CodeDialog::fillFormats() {
    for (CodeFormat f : AllCodeFormats) {
        format_->addItem(formatName(f), QString("format:") + formatName(f));
    }
    for (FontFormat f : AllFontFormats) {
        const QString name = QString(fontFormatName(f)) + "-font";
        format_->addItem(name + " (icons)", "format:" + name);
    }
    for (const QString& file : templateFiles()) {
        format_->addItem("template: " + QFileInfo(file).completeBaseName(), "template:" + file);
    }
}

void CodeDialog::fillProfiles() {
    profiles_->clear();
    profiles_->addItem("(none)");
    for (const auto& [name, p] : editor_.sidecar.profiles) {
        profiles_->addItem(QString::fromStdString(name));
    }
}

CodeProfile CodeDialog::profile() const {
    CodeProfile p;
    const QString format = format_->currentData().toString();
    if (format.startsWith("template:")) {
        p.templateFile = format.mid(9).toStdString();
    } else {
        p.format = format.mid(7).toStdString();
    }
    p.layout = layout_->currentData().toString().toStdString();
    p.invert = invert_->isChecked();
    p.progmem = progmem_->isChecked();
    p.name = name_->text().trimmed().toStdString();
    if (numbers_->isChecked()) p.patterns = range_->text().toStdString();
    if (current_->isChecked()) {
        p.patterns = CurrentPatternChoice;
        p.pattern = editor_.document.currentPattern + 1;
    }
    return p;
}

void CodeDialog::restoreChoices() {
    // The file's profile last chosen in this run, or the one of that name
    // the settings remember; the sidecar is only read here.
    for (const std::string& name : {editor_.codeProfile, editor_.settings.codeProfile}) {
        const auto found = editor_.sidecar.profiles.find(name);
        if (name.empty() || found == editor_.sidecar.profiles.end()) continue;
        editor_.codeProfile = name;
        profiles_->setCurrentIndex(profiles_->findText(QString::fromStdString(name)));
        applyProfile(found->second);
        return;
    }
    // Else the last format, layout and options, for the current pattern.
    CodeProfile last;
    parseCodeChoices(editor_.settings.codeChoices, last);
    if (!last.templateFile.empty() &&
        !QFileInfo(QString::fromStdString(last.templateFile)).isFile()) {
        last.templateFile.clear();
    }
    if (last.templateFile.empty() &&
        format_->findData("format:" + QString::fromStdString(last.format)) < 0) {
        last.format = CodeProfile().format;
    }
    last.patterns = CurrentPatternChoice;
    // A picture made for a display starts with the layout that display reads.
    if (!editor_.sidecar.layout.empty()) last.layout = editor_.sidecar.layout;
    applyProfile(last);
}

void CodeDialog::rememberChoices() {
    editor_.settings.codeChoices = codeChoicesText(profile());
    editor_.settings.codeProfile =
        profiles_->currentIndex() > 0 ? profiles_->currentText().toStdString() : std::string();
    saveCodeChoices(editor_);
}

void CodeDialog::fitLayoutToFormat(bool switchLayout) {
    const CodeProfile p = profile();
    const auto format = p.templateFile.empty() ? formatNamed(p.format) : std::nullopt;
    auto* model = qobject_cast<QStandardItemModel*>(layout_->model());
    int firstTaken = -1;
    for (int i = 0; i < layout_->count(); ++i) {
        bool taken = true;
        if (format) {
            // Only the layout is asked about: one pattern, on the panel.
            CodeJob probe;
            probe.layout = layoutNamed(layout_->itemData(i).toString().toStdString())
                               .value_or(CodeLayout::RowsMsb);
            probe.patterns.resize(1);
            taken = checkCodeFormat(probe, *format).ok();
        }
        model->item(i)->setEnabled(taken);
        if (taken && firstTaken < 0) firstTaken = i;
    }
    if (switchLayout && firstTaken >= 0 && !model->item(layout_->currentIndex())->isEnabled()) {
        const QSignalBlocker quiet(layout_);
        layout_->setCurrentIndex(firstTaken);
    }
}

void CodeDialog::applyProfile(const CodeProfile& p) {
    const QString format = p.templateFile.empty()
                               ? "format:" + QString::fromStdString(p.format)
                               : "template:" + QString::fromStdString(p.templateFile);
    if (format_->findData(format) < 0) {
        format_->addItem("template: " + QFileInfo(format.mid(9)).completeBaseName(), format);
    }
    const QSignalBlocker quiet[] = {QSignalBlocker(format_), QSignalBlocker(layout_),
                                    QSignalBlocker(invert_), QSignalBlocker(progmem_),
                                    QSignalBlocker(all_),    QSignalBlocker(numbers_),
                                    QSignalBlocker(current_)};
    format_->setCurrentIndex(std::max(0, format_->findData(format)));
    layout_->setCurrentIndex(std::max(0, layout_->findData(QString::fromStdString(p.layout))));
    invert_->setChecked(p.invert);
    progmem_->setChecked(p.progmem);
    name_->setText(QString::fromStdString(p.name));
    const bool current = p.patterns == CurrentPatternChoice;
    range_->setText(current ? QString() : QString::fromStdString(p.patterns));
    (current ? current_ : p.patterns.empty() ? all_ : numbers_)->setChecked(true);
    refresh();
}

bool CodeDialog::makeText(CodeJob& job) {
    const CodeProfile p = profile();
    const Document& doc = editor_.document;
    const auto fail = [this](const QString& why) {
        problem_->setText(why);
        text_.clear();
        return false;
    };
    if (!p.name.empty() && !isIdentifier(p.name)) {
        return fail("The name must be a C identifier: a letter or _ first, then letters, digits "
                    "and _.");
    }
    RangeChoice choice = RangeChoice::Current;
    if (all_->isChecked()) choice = RangeChoice::All;
    if (numbers_->isChecked()) choice = RangeChoice::Numbers;
    const PanelRange range =
        parsePanelRange(choice, p.patterns, doc.patternCount, doc.currentPattern);
    if (!range.ok()) return fail(QString::fromStdString(range.outcome.message.text));
    // The range reader takes a number past the last as the last: said here,
    // as the command line refuses it.
    if (choice == RangeChoice::Numbers) {
        if (const std::string past = rangePastLast(p.patterns, doc.patternCount); !past.empty()) {
            chosen_.clear();
            return fail(QString::fromStdString(past));
        }
    }
    CodeOptions options;
    options.name = p.name;
    // A font keeps its glyphs in its own form, whatever the layout.
    options.layout = iconFontFormatNamed(p.format)
                         ? CodeLayout::RowsMsb
                         : layoutNamed(p.layout).value_or(CodeLayout::RowsMsb);
    options.invert = p.invert;
    options.progmem = p.progmem;
    options.ownDirections = false; // the editor places by the panel definition
    const std::string path = doc.patternFileName.empty() ? "pattern.pat" : doc.patternFileName;
    job = makeCodeJob(doc, range.panelFlags, editor_.sidecar.names, options, path);
    chosen_.clear();
    for (const CodePattern& pattern : job.patterns) chosen_.push_back(pattern.number);
    templateText_.clear();
    if (!p.templateFile.empty()) {
        const FileReadStatus status =
            readFileLimited(p.templateFile, limits::TemplateBytes, templateText_);
        if (status != FileReadStatus::Ok) {
            return fail(QString::fromStdString("Could not read the template " +
                                               quotedPath(p.templateFile) + ": " +
                                               readFailureReason(p.templateFile, status)));
        }
    }
    // Only the first part is kept for the view; saving makes it all again.
    text_.clear();
    cut_ = false;
    const Outcome made = makeCode(job, p, [this](std::string_view piece) {
        const size_t room = limits::ShownCodeBytes - text_.size();
        text_.append(piece.substr(0, room));
        cut_ = cut_ || piece.size() > room;
        return !cut_;
    });
    if (!made.ok()) return fail(QString::fromStdString(made.message.text));
    problem_->clear();
    return true;
}

Outcome CodeDialog::makeCode(const CodeJob& job, const CodeProfile& p, const CodeSink& sink) const {
    if (p.templateFile.empty()) {
        if (const auto icons = iconFontFormatNamed(p.format)) {
            IconFontOptions options;
            if (!iconOptions(options)) {
                return Outcome::refused(
                    {"The first code must be a number: 0xE000, 0x41 or U+E000.", " "});
            }
            return writeIconFont(*icons, job, options, iconFontOutput(job), sink);
        }
        const CodeFormat format = formatNamed(p.format).value_or(CodeFormat::C);
        if (Outcome named = checkCodeNames(job, format); !named.ok()) return named;
        LvglImageOptions lvgl;
        if (format == CodeFormat::Lvgl && !lvglOptions(lvgl)) {
            return Outcome::refused({"The colours must be #RRGGBB or black, white, red, green, "
                                     "blue, yellow, cyan, magenta or gray.",
                                     " "});
        }
        return writeCode(job, format, sink, lvgl);
    }
    if (Outcome checked = checkCodeTemplate(job, templateText_, p.templateFile); !checked.ok()) {
        return checked;
    }
    if (Outcome named = checkCodeNames(job, std::nullopt); !named.ok()) return named;
    return renderCodeTemplate(job, templateText_, p.templateFile, sink);
}

bool CodeDialog::iconOptions(IconFontOptions& options) const {
    QString text = first_->text().trimmed();
    int base = 10;
    if (text.startsWith("0x", Qt::CaseInsensitive) || text.startsWith("U+", Qt::CaseInsensitive)) {
        text = text.mid(2);
        base = 16;
    }
    const std::string digits = text.toStdString();
    unsigned long code = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), code, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        code > 0x10FFFF) {
        return false;
    }
    options.first = static_cast<char32_t>(code);
    options.spacing = spacing_->value();
    options.baseline = baseline_->value();
    options.names = editor_.sidecar.names;
    return true;
}

bool CodeDialog::lvglOptions(LvglImageOptions& options) const {
    options.version = lvglVersion_->currentData().toInt();
    const auto foreground = colourNamed(foreground_->text().trimmed().toStdString());
    const auto background = colourNamed(background_->text().trimmed().toStdString());
    if (!foreground || !background) return false;
    options.foreground = *foreground;
    options.background = *background;
    return true;
}

void CodeDialog::showDisplay(const CodeJob& job) {
    // The chooser lists the patterns of the code, keeping the one chosen.
    const int wanted = shown_->currentData().toInt();
    {
        const QSignalBlocker quiet(shown_);
        shown_->clear();
        for (const CodePattern& pattern : job.patterns) {
            const auto name = editor_.sidecar.names.find(pattern.number);
            shown_->addItem(name == editor_.sidecar.names.end()
                                ? QString("No. %1").arg(pattern.number)
                                : QString("No. %1 (%2)")
                                      .arg(pattern.number)
                                      .arg(QString::fromStdString(name->second)),
                            pattern.number);
        }
        shown_->setCurrentIndex(std::max(0, shown_->findData(wanted)));
        shown_->setEnabled(job.patterns.size() > 1);
    }
    if (job.patterns.empty()) {
        preview_->setDots(0, 0, {}, {});
        return;
    }
    const CodePattern& first = job.patterns[static_cast<size_t>(shown_->currentIndex())];
    // What the display should show: the pattern, inverted when the code is.
    std::vector<uint8_t> expected(static_cast<size_t>(first.width * first.height));
    unpackDots(first.packed.data(), first.width, first.height, expected.data());
    if (job.invert) {
        for (uint8_t& d : expected) d = d == '1' ? '0' : '1';
    }
    const QString reads = reads_->currentData().toString();
    const CodeLayout layout =
        reads.isEmpty() ? job.layout : layoutNamed(reads.toStdString()).value_or(job.layout);
    PatternHeader header;
    getHeader(editor_.document, first.number - 1, header);
    // The display lights the bits that are set, whatever it was given.
    DotsAsRead shown = readDots(first.bytes, first.width, first.height, layout, header,
                                editor_.document.panelDefinition);
    const QString note =
        shown.read == first.bytes.size()
            ? QString()
            : QString("%1 bytes given, %2 read").arg(first.bytes.size()).arg(shown.read);
    preview_->setDots(first.width, first.height, std::move(expected), std::move(shown.dots),
                      job.invert ? "Pattern, inverted" : "Pattern", note);
}

void CodeDialog::showIcons(const CodeJob& job, FontFormat format) {
    IconFontOptions options;
    if (job.patterns.empty() || !iconOptions(options)) {
        fontPreview_->clear();
        return;
    }
    const FontOutput output = iconFontOutput(job);
    if (const Outcome checked = checkIconFont(format, job, options, output.name); !checked.ok()) {
        fontPreview_->setRefusal(QString::fromStdString(checked.message.text));
        return;
    }
    const BdfFont font = iconFont(job, options);
    BdfFont drawn;
    if (const Outcome decoded = drawnFont(format, font, output, drawn); !decoded.ok()) {
        fontPreview_->setRefusal(QString::fromStdString(decoded.message.text));
        return;
    }
    // The icons one after another, as text of their codes: a few to a line,
    // so that many icons still show large enough to see their dots.
    constexpr size_t IconsPerLine = 8;
    std::u32string line;
    for (size_t i = 0; i < font.glyphs.size(); ++i) {
        if (i > 0 && i % IconsPerLine == 0) line += U'\n';
        line += static_cast<char32_t>(font.glyphs[i].encoding);
    }
    const QString library = format == FontFormat::Lvgl   ? "LVGL"
                            : format == FontFormat::U8g2 ? "u8g2"
                                                         : "Adafruit GFX";
    fontPreview_->setFonts(line, font, "the patterns", drawn, library);
}

void CodeDialog::refresh() {
    note_->clear();
    fitLayoutToFormat(false);
    CodeJob job;
    const bool made = makeText(job);
    const CodeProfile p = profile();
    const auto icons = p.templateFile.empty() ? iconFontFormatNamed(p.format) : std::nullopt;
    const bool image = p.templateFile.empty() && p.format == formatName(CodeFormat::Lvgl);
    // A font is made of the dots themselves: no layout, no other reading.
    layout_->setEnabled(!icons);
    reads_->setEnabled(!icons);
    // Only C has program memory to put the arrays in.
    progmem_->setEnabled(p.templateFile.empty() && p.format == formatName(CodeFormat::C));
    for (QWidget* w : {static_cast<QWidget*>(first_), static_cast<QWidget*>(spacing_),
                       static_cast<QWidget*>(baseline_)}) {
        w->setEnabled(icons.has_value());
    }
    for (QWidget* w : {static_cast<QWidget*>(lvglVersion_), static_cast<QWidget*>(foreground_),
                       static_cast<QWidget*>(background_)}) {
        w->setEnabled(image);
    }
    preview_->setVisible(!icons);
    fontPreview_->setVisible(icons.has_value());
    if (icons) {
        showIcons(job, *icons);
    } else {
        showDisplay(job);
    }
    save_->setEnabled(made && !text_.empty());
    copy_->setEnabled(made && !text_.empty() && !cut_);
    copy_->setToolTip(cut_ ? QString("The code is longer than %1 KB: save it to a file instead.")
                                 .arg(limits::ShownCodeBytes >> 10)
                           : QString());
    if (!made) {
        view_->clear();
        return;
    }
    QString shown = QString::fromStdString(text_);
    if (cut_) {
        shown += QString("\n... (the first %1 KB shown; Save writes all of it)")
                     .arg(limits::ShownCodeBytes >> 10);
    }
    view_->setPlainText(shown);
}

void CodeDialog::saveToFile() {
    refresh();
    if (text_.empty()) {
        prompts_.beep();
        return;
    }
    const CodeProfile p = profile();
    const QString extension = extensionOf(p);
    const std::string& patterns = editor_.document.patternFileName;
    const QString folder = patterns.empty()
                               ? QString()
                               : QFileInfo(QString::fromStdString(patterns)).absolutePath() + "/";
    QString chosen = prompts_.askSaveFileName(
        this, folder + suggestedFileName(),
        QString("Code (*%1)|*%1|All files (*)|*|").arg(extension), "Save code");
    if (chosen.isEmpty()) return;
    if (QFileInfo(chosen).suffix().isEmpty()) chosen += extension;
    const std::string path = QFile::encodeName(chosen).toStdString();
    // The code is never written over what it is made of: the pattern file,
    // its sidecar or the template, whatever name or link leads to them.
    for (const std::string& input :
         {patterns, patterns.empty() ? std::string() : patterns + ".toml", p.templateFile}) {
        std::error_code error;
        if (input.empty() || !std::filesystem::equivalent(input, path, error)) continue;
        prompts_.showMessage(this, {quotedPath(path) + " is " + quotedPath(input) +
                                        ", which the code is made of; choose another file",
                                    " ", MessageButtons::Ok, MessageIcon::Question});
        return;
    }
    // Made again as it is written: the view holds only the first part.
    CodeJob job;
    if (!makeText(job)) return;
    // The heading names the file it is in.
    job.output = std::filesystem::path(path).filename().string();
    ByteStream stream;
    stream.produce = [&](const ByteStream::Put& put) { (void)makeCode(job, p, put); };
    if (const Outcome written = writeFileSafely(path, stream); !written.ok()) {
        prompts_.showMessage(this, written.message);
        return;
    }
    note_->setText("Saved " + QFileInfo(chosen).fileName());
}

QString CodeDialog::suggestedFileName() const {
    const CodeProfile p = profile();
    std::string base = p.name;
    if (base.empty() && chosen_.size() == 1) {
        const auto own = editor_.sidecar.names.find(chosen_.front());
        if (own != editor_.sidecar.names.end()) base = own->second;
    }
    const std::string& file = editor_.document.patternFileName;
    if (base.empty() && !file.empty()) base = std::filesystem::path(file).stem().string();
    if (base.empty()) base = "pattern";
    return QFile::decodeName(QByteArray::fromStdString(base)) + extensionOf(p);
}

void CodeDialog::copyToClipboard() {
    refresh();
    if (text_.empty()) {
        prompts_.beep();
        return;
    }
    if (cut_) {
        problem_->setText(QString("The code is longer than %1 KB: save it to a file instead.")
                              .arg(limits::ShownCodeBytes >> 10));
        prompts_.beep();
        return;
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(text_));
    note_->setText(QString("Copied %1 bytes").arg(text_.size()));
}

void CodeDialog::saveAsProfile() {
    QString name = profiles_->currentIndex() > 0 ? profiles_->currentText() : QString();
    if (!prompts_.askText(this, "Save as profile", "Profile name:", name)) return;
    name = name.trimmed();
    if (name.isEmpty()) return;
    editor_.sidecar.profiles[name.toStdString()] = profile();
    editor_.codeProfile = name.toStdString();
    // Kept beside the pattern file when it is saved next.
    editor_.document.modifiedFlag = true;
    fillProfiles();
    profiles_->setCurrentIndex(profiles_->findText(name));
}

} // namespace dedur
