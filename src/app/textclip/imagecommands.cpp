#include "textclip/imagecommands.h"

#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QImageReader>
#include <QLineEdit>
#include <QSpinBox>
#include <climits>

#include "base/fileread.h"
#include "base/limits.h"
#include "base/numbertext.h"
#include "base/safewrite.h"
#include "code/codejob.h"
#include "editor.h"
#include "image/gifanimation.h"
#include "image/imagedots.h"
#include "image/imagefile.h"
#include "panel/panelexport.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "textclip/pasteandclear.h"
#include "ui/clipboardbitmap.h"
#include "ui/commandids.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

namespace dedur {

namespace {

Message problem(const QString& text) {
    return {text.toStdString(), " ", MessageButtons::Ok, MessageIcon::Question};
}

// The last answers of the animation export, kept in the settings.
constexpr const char* GifScaleKey = "GIFSCALE";
constexpr const char* GifLoopsKey = "GIFLOOPS";

// A number the settings keep; `fallback` when it is missing or out of range
// (a hand-edited one).
int rememberedNumber(const Editor& editor, const char* key, int low, int high, int fallback) {
    std::string text;
    if (editor.settingsLinkRefused ||
        !readSettingsFile(makeWorkPath(editor.startupDirectory, SettingsFileName), text)) {
        return fallback;
    }
    const std::string value = readSetting(&text, SectionOthers, key);
    if (value.empty()) return fallback;
    const long long number = leadingDecimal(value, INT_MAX);
    return number >= low && number <= high ? static_cast<int>(number) : fallback;
}

void rememberNumber(const Editor& editor, const char* key, int value) {
    if (editor.settingsLinkRefused) return;
    if (!writeSetting(makeWorkPath(editor.startupDirectory, SettingsFileName), SectionOthers, key,
                      std::to_string(value))) {
        editor.settingsWriteFailed = true;
    }
}

// The patterns, the dot size and the plays of an animated GIF, as render
// OUT.gif takes them.
class AnimationDialog : public QDialog {
  public:
    AnimationDialog(QWidget* parent, int scale, int loops) : QDialog(parent) {
        setWindowTitle("Export animation");
        auto* form = new QFormLayout(this);
        range = new QLineEdit(this);
        range->setObjectName("frames");
        range->setPlaceholderText("all");
        form->addRow("&Patterns for the frames (e.g. 1-5; empty for all):", range);
        this->scale = new QSpinBox(this);
        this->scale->setObjectName("scale");
        this->scale->setRange(limits::RenderScaleMin, limits::RenderScaleMax);
        this->scale->setSuffix(" px");
        this->scale->setValue(scale);
        form->addRow("&Dot size:", this->scale);
        this->loops = new QSpinBox(this);
        this->loops->setObjectName("loops");
        this->loops->setRange(0, limits::GifLoopsMax);
        this->loops->setSpecialValueText("for ever");
        this->loops->setValue(loops);
        form->addRow("P&lays (0: for ever):", this->loops);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        form->addRow(buttons);
    }

    QLineEdit* range;
    QSpinBox* scale;
    QSpinBox* loops;
};

} // namespace

void ImageCommands::importImage() {
    QString filter = "Images (";
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        filter += "*." + QString::fromLatin1(format) + " ";
    }
    filter = filter.trimmed() + ")|" + filter.mid(8).trimmed().replace(' ', ';') + "|";
    const QString path = prompts_.askOpenFileName(view_.owner(), QString(),
                                                  filter + "All files (*.*)|*.*|", "Import image");
    if (!path.isEmpty()) importImageFile(path);
}

void ImageCommands::importImageFile(const QString& path) {
    if (editor_.document.editType != EditMode::Pattern) {
        prompts_.beep();
        return;
    }
    // Read through the core: a pipe or a device is refused unread, and the
    // pixel limit is the command line's.
    const std::string file = QFile::encodeName(path).toStdString();
    std::string bytes;
    const FileReadStatus status = readFileLimited(file, limits::ImageFileBytes, bytes);
    if (status != FileReadStatus::Ok) {
        prompts_.showMessage(view_.owner(), imageReadRefusal(file, status));
        return;
    }
    if (failed(imageHeaderRefusal(bytes, file))) return;
    // An animation may come in as patterns, a frame each. Its frames are
    // counted and sized from the headers, and one larger than a pattern is
    // refused before the question and before any pixel is decoded; a still
    // GIF is a picture like any other.
    if (bytes.compare(0, 3, "GIF") == 0) {
        int count = gifFrameCount(bytes, limits::GifFrames);
        if (count > 1 &&
            failed(checkGifHeaders(bytes, file, limits::GifSide, limits::GifFrames, count))) {
            return;
        }
        if (count > 1) {
            const int answer = prompts_.showMessage(
                view_.owner(),
                {formatText("Import %d frames as new patterns?\n\nYes: each frame becomes a "
                            "pattern after the last one.\nNo: only the first frame comes in, "
                            "as a floating block.",
                            count),
                 " ", MessageButtons::YesNoCancel, MessageIcon::Question});
            if (answer == IDCANCEL) return;
            if (answer == IDYES) {
                importFrames(bytes, file);
                return;
            }
        }
    }
    QByteArray data = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    // Formats that tell their size first are refused before their pixels
    // are decoded; the others once they are.
    const QSize size = reader.size();
    if (size.isValid() &&
        failed(imageSizeRefusal(file, uint64_t(size.width()), uint64_t(size.height())))) {
        return;
    }
    const QImage image = reader.read();
    if (!image.isNull() &&
        failed(imageSizeRefusal(file, uint64_t(image.width()), uint64_t(image.height())))) {
        return;
    }
    if (image.isNull()) {
        prompts_.showMessage(view_.owner(),
                             problem(QString("Could not read the image \"%1\": %2")
                                         .arg(QFileInfo(path).fileName(), reader.errorString())));
        return;
    }
    const GridGeometry g = view_.gridGeometry();
    const PlatformBitmap bitmap = bitmapFromImage(image);
    if (!pasteBitmapAsBlock(editor_.document, editor_.history, editor_.selection, bitmap, g.px(),
                            g.py(), std::string())
             .pasted) {
        prompts_.showMessage(view_.owner(), problem("The image could not be turned into dots"));
        return;
    }
    if (editor_.grid.tool != Tool::Select) view_.selectTool(CmdSelect);
    view_.repaintGrid(true);
    view_.refreshHistoryButtons();
}

void ImageCommands::importFrames(const std::string& bytes, const std::string& file) {
    Document& doc = editor_.document;
    std::vector<GifFrame> frames;
    if (failed(decodeGifFrames(bytes, file, limits::GifSide, limits::GifFrames, frames))) return;
    view_.commitSelection();
    // Placed as the panel definition places a new pattern; each frame's
    // delay is kept beside the file.
    PatternHeader header = headerFromDefinition(doc.panelDefinition);
    header.width = static_cast<int16_t>(frames.front().image.width);
    header.height = static_cast<int16_t>(frames.front().image.height);
    for (const GifFrame& frame : frames) {
        const DotGrid dots = dotsFromImage(frame.image, std::nullopt, false);
        appendPattern(doc, &header);
        std::copy(dots.dots.begin(), dots.dots.end(), doc.workDots.begin());
        storeWorkDots(doc);
        if (frame.delayMs != Sidecar::DefaultFrameDelay) {
            editor_.sidecar.delays[doc.patternCount] =
                std::clamp(frame.delayMs, 1, Sidecar::MaxFrameDelay);
        }
    }
    doc.modifiedFlag = true;
    editor_.currentNumber = doc.currentPattern + 1;
    view_.showNavigation(editor_.currentNumber);
    view_.refreshButton(CmdDeletePattern);
    view_.repaintGrid(true);
}

void ImageCommands::exportAnimation(const std::string& file, int scale) {
    Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern) {
        prompts_.beep();
        return;
    }
    AnimationDialog dialog(
        view_.owner(),
        rememberedNumber(editor_, GifScaleKey, limits::RenderScaleMin, limits::RenderScaleMax,
                         std::clamp(scale, limits::RenderScaleMin, limits::RenderScaleMax)),
        rememberedNumber(editor_, GifLoopsKey, 0, limits::GifLoopsMax, 0));
    if (view_.showDialog(&dialog) != QDialog::Accepted) return;
    scale = dialog.scale->value();
    const int loops = dialog.loops->value();
    rememberNumber(editor_, GifScaleKey, scale);
    rememberNumber(editor_, GifLoopsKey, loops);
    const std::string numbers = dialog.range->text().trimmed().toStdString();
    const PanelRange range =
        parsePanelRange(numbers.empty() ? RangeChoice::All : RangeChoice::Numbers, numbers,
                        doc.patternCount, doc.currentPattern);
    if (failed(range.outcome)) return;
    // The range reader takes a number past the last pattern as the last; the
    // animation would then show frames other than the ones asked for.
    if (const std::string past = rangePastLast(numbers, doc.patternCount); !past.empty()) {
        prompts_.showMessage(view_.owner(), {past, " ", MessageButtons::Ok, MessageIcon::Question});
        return;
    }
    view_.commitSelection();
    // Drawn a frame at a time while the file is written.
    DotFrames frames;
    std::vector<int> records;
    for (int i = 0; i < doc.patternCount; ++i) {
        if (range.panelFlags[static_cast<size_t>(i)] != 1) continue;
        PatternHeader h;
        getHeader(doc, i, h);
        frames.sizes.emplace_back(h.width, h.height);
        frames.delaysMs.push_back(editor_.sidecar.delayOf(i + 1));
        records.push_back(i);
    }
    frames.dots = [&doc, &records](int frame) {
        const int i = records[static_cast<size_t>(frame)];
        PatternHeader h;
        getHeader(doc, i, h);
        DotGrid dots{h.width, h.height, std::vector<uint8_t>(size_t(h.width * h.height), DOT_OFF)};
        recordDots(doc, i, dots.dots.data());
        return dots;
    };
    GifAnimation animation;
    if (failed(animateDots(frames, scale, false, loops, animation))) return;
    failed(writeFileSafely(file, gifByteStream(animation)));
}

void ImageCommands::exportImage() {
    const Selection& sel = editor_.selection;
    const Document& doc = editor_.document;
    // The floating block when one floats, otherwise the whole pattern.
    DotGrid dots;
    if (sel.selectionState != SelectionState::None) {
        dots = {sel.blockRect.width(), sel.blockRect.height(), sel.floatingBlock};
    } else {
        dots = {doc.patternWidth,
                doc.patternHeight,
                {doc.workDots.begin(), doc.workDots.begin() + doc.patternDotCount}};
    }
    // A name without the extension of a type we write gets the chosen type's.
    int type = 0;
    QString path = prompts_.askSaveFileName(view_.owner(), QString(),
                                            "PNG image (*.png)|*.png|Animated GIF (*.gif)|*.gif|",
                                            "Export image", &type);
    if (path.isEmpty()) return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != "png" && suffix != "gif") path += type == 1 ? ".gif" : ".png";
    // Each dot as large as a cell of the grid (the animation asks).
    const int scale = std::max<int>(1, std::min(editor_.settings.gridX, editor_.settings.gridY));
    const std::string file = QFile::encodeName(path).toStdString();
    if (QFileInfo(path).suffix().compare("gif", Qt::CaseInsensitive) == 0) {
        exportAnimation(file, scale);
        return;
    }
    const Outcome outcome = writeFileSafely(file, encodePng(renderDots(dots, scale, false)));
    failed(outcome);
}

} // namespace dedur
