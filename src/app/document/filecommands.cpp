#include <QFileInfo>

#include "base/filelock.h"
#include "base/limits.h"
#include "base/safewrite.h"
#include "document/filecommands.h"
#include "document/newimagedialog.h"
#include "document/patternfile.h"
#include "editor.h"
#include "fonts/fontdocumentbridge.h"
#include "grid/selection.h"
#include "ui/commandids.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

namespace dedur {

namespace {

const char* const PatternFilter = "Pattern Files (*.pat)|*.pat|";
// Open takes every kind of document; the pattern files stay the first choice.
const char* const OpenFilter = "Pattern Files (*.pat)|*.pat|"
                               "Images (*.pbm *.xbm *.png *.gif)|*.pbm *.xbm *.png *.gif|"
                               "BDF Fonts (*.bdf)|*.bdf|"
                               "All Files (*)|*|";
const char* const FontFilter = "BDF Fonts (*.bdf)|*.bdf|";

constexpr ImageFormat ImageFormats[] = {ImageFormat::Pbm, ImageFormat::Xbm, ImageFormat::Png,
                                        ImageFormat::Gif};

std::string lowerExtension(ImageFormat format) {
    std::string name = imageFormatName(format);
    for (char& c : name) c = static_cast<char>(c - 'A' + 'a');
    return "." + name;
}

// Save as offers the image formats, the document's own first.
std::vector<ImageFormat> saveFormats(ImageFormat first) {
    std::vector<ImageFormat> formats{first};
    for (ImageFormat f : ImageFormats) {
        if (f != first) formats.push_back(f);
    }
    return formats;
}

QString imageSaveFilter(const std::vector<ImageFormat>& formats) {
    QString filter;
    for (ImageFormat f : formats) {
        const QString pattern = QString("*") + lowerExtension(f).c_str();
        filter += QString("%1 image (%2)|%2|").arg(imageFormatName(f), pattern);
    }
    return filter;
}

// Everything after the last '.' of the name is replaced by `extension`.
std::string withExtension(std::string path, const std::string& extension) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.erase(dot);
    return path + extension;
}

// Everything from the last '.' of the path (wherever it stands) becomes ".pat".
std::string forcePatExtension(std::string path) {
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos) path.erase(dot);
    return path + ".pat";
}

} // namespace

DocumentKind documentKindOfPath(const std::string& path) {
    if (imageFormatOfPath(path)) return DocumentKind::Image;
    if (isBdfPath(path)) return DocumentKind::Font;
    return DocumentKind::Patterns;
}

int FileCommands::querySave() {
    const Document& doc = editor_.document;
    if (!doc.modifiedFlag) return 0;
    const bool patterns = doc.editType == EditMode::Pattern;
    std::string name = patterns ? doc.patternFileName : fontPathFor(editor_.fontEdit, doc.editType);
    if (patterns && name.empty()) name = "Untitled file";
    const bool image = patterns && doc.kind == DocumentKind::Image;
    const Message question{
        formatText("%s\n%s", name.c_str(), "has not been saved.\nSave file before closing?"),
        image      ? "Save Image"
        : patterns ? "Save Pattern"
                   : "Save Font",
        MessageButtons::YesNoCancel, MessageIcon::Question};
    const int answer = prompts_.showMessage(view_.owner(), question);
    if (answer == IDCANCEL) return -1;
    // A save that did not happen (it failed, or its dialog was cancelled)
    // stops whatever asked, so the changes are not thrown away.
    if (answer == IDYES && !save()) return -1;
    return 0;
}

FileProgress FileCommands::progressOf(const char* verb, const std::string& path) {
    const QString label =
        QString("%1 %2").arg(verb, QFileInfo(QString::fromLocal8Bit(path.c_str())).fileName());
    return [this, label](uint64_t done, uint64_t total) {
        prompts_.showProgress(view_.owner(), label, done, total);
    };
}

bool FileCommands::readDocument(const std::string& path, bool tooLargeAsMissing) {
    const DocumentKind before = editor_.document.kind;
    bool read = false;
    switch (documentKindOfPath(path)) {
    case DocumentKind::Image:
        read = readImage(path);
        break;
    case DocumentKind::Font: {
        prompts_.setWaitCursor(true);
        const Outcome opened = openFontDocument(path, editor_.document, editor_.font);
        prompts_.setWaitCursor(false);
        read = !failed(opened);
        if (read) {
            editor_.document.fileStamp = fileStamp(path);
            editor_.sidecar = {};
            // Steps taken on another font's glyphs.
            editor_.history = {};
        }
        break;
    }
    case DocumentKind::Patterns:
        read = readWithRetry(path, tooLargeAsMissing);
        break;
    }
    // A step of another kind's document is no step of this one: its record
    // may not even fit.
    if (read && editor_.document.kind != before) editor_.history = {};
    return read;
}

bool FileCommands::readImage(const std::string& path) {
    prompts_.setWaitCursor(true);
    const Outcome result = readImageDocument(path, editor_.document, editor_.sidecar, imageFacts_);
    prompts_.setWaitCursor(false);
    if (failed(result)) return false;
    sidecarStamp_ = fileStamp(sidecarPath(path));
    sidecarLeftAlone_.clear();
    return true;
}

bool FileCommands::readWithRetry(const std::string& path, bool tooLargeAsMissing) {
    for (;;) {
        prompts_.setWaitCursor(true);
        Outcome result = readPatternFile(editor_.document, path, progressOf("Reading", path));
        prompts_.endProgress();
        prompts_.setWaitCursor(false);
        if (result.ok()) {
            if (editor_.document.kind != DocumentKind::Patterns) {
                setDocumentKind(editor_.document, DocumentKind::Patterns);
            }
            readSidecarOf(path);
            return true;
        }
        if (tooLargeAsMissing && result.failure == Failure::TooLarge) {
            result = {Failure::NotFound, 0, patternFileNotFound(path, "Can't Open File")};
        }
        const int answer = prompts_.showMessage(view_.owner(), result.message);
        if (result.failure != Failure::NotFound || answer != IDRETRY) return false;
    }
}

void FileCommands::readSidecarOf(const std::string& path) {
    const Outcome read = readSidecar(path, editor_.sidecar, editor_.document.patternCount);
    sidecarStamp_ = fileStamp(sidecarPath(path));
    sidecarLeftAlone_ = read.ok() ? std::string() : path;
    leftAloneSaid_ = false;
    if (read.ok() || sidecarWarned_ == path) return;
    sidecarWarned_ = path;
    prompts_.showMessage(view_.owner(), read.message);
}

bool FileCommands::writesSidecar(const std::string& path) const {
    return sidecarLeftAlone_ != path && (editor_.sidecar.chosen() || fileExists(sidecarPath(path)));
}

bool FileCommands::writePair(const std::string& path) {
    Document& doc = editor_.document;
    const std::string side = sidecarPath(path);
    const bool sidecar = writesSidecar(path);
    // A planted link or a read-only sidecar refuses the save before the
    // pattern file changes, so that names never sit on the wrong patterns.
    if (sidecar && failed(checkWritable(side, FileRole::Program))) return false;
    prompts_.setWaitCursor(true);
    const Outcome result = writePatternFile(doc, path, progressOf("Saving", path));
    prompts_.endProgress();
    prompts_.setWaitCursor(false);
    if (failed(result)) return false;
    if (!sidecar) {
        if (sidecarLeftAlone_ == path && !leftAloneSaid_) {
            leftAloneSaid_ = true;
            prompts_.showMessage(view_.owner(),
                                 {quotedPath(side) +
                                      " could not be read when the file was opened, so it was "
                                      "left as it is: the names, frame delays and code profiles "
                                      "of this document are not saved in it.",
                                  " ", MessageButtons::Ok, MessageIcon::Question});
        }
        return true;
    }
    const bool written = !failed(writeSidecar(path, editor_.sidecar));
    sidecarStamp_ = fileStamp(side);
    // The names are not on disk yet: the document still has something to save.
    if (!written) doc.modifiedFlag = true;
    return written;
}

void FileCommands::startupDocument() {
    Document& doc = editor_.document;
    if (!doc.patternFileName.empty()) {
        // A file too large to load is said to be so, then treated as one that
        // could not be opened.
        const bool tooLarge = exceedsPatternFileSize(doc.patternFileName);
        if (tooLarge) prompts_.showMessage(view_.owner(), patternFileTooLarge(doc.patternFileName));
        // A pipe or a device at the name is said to be one by the reader.
        const FileReadStatus status = probeRegularFile(doc.patternFileName);
        if (tooLarge ||
            (status != FileReadStatus::Ok && status != FileReadStatus::NotRegularFile)) {
            prompts_.showMessage(view_.owner(),
                                 patternFileNotFound(doc.patternFileName, "Open Fail"));
        }
        const int wanted = doc.currentPattern;
        const bool read = readDocument(doc.patternFileName, tooLarge);
        // An image opens on its first frame; the frame last shown is taken again.
        if (read && doc.kind != DocumentKind::Patterns && wanted > 0 && wanted < doc.patternCount) {
            doc.currentPattern = wanted;
        }
        if (doc.currentPattern > doc.patternCount - 1) doc.currentPattern = doc.patternCount - 1;
        if (read) {
            reloadWorkDots(doc);
            editor_.currentNumber = doc.currentPattern + 1;
            view_.setTitle(doc.patternFileName);
            return;
        }
    }
    doc.patternFileName.clear();
    doc.fileStamp = {};
    editor_.sidecar = {};
    if (doc.kind != DocumentKind::Patterns) {
        setDocumentKind(doc, DocumentKind::Patterns);
        editor_.history = {};
    }
    makeBlankDocument(doc);
    editor_.currentNumber = 1;
    view_.setTitle("Unname");
}

void FileCommands::newFile() {
    Document& doc = editor_.document;
    // New from an image always leaves it for a pattern file.
    const bool image = doc.kind != DocumentKind::Patterns;
    if (doc.patternCount == 1 && !image) {
        prompts_.beep();
        return;
    }
    view_.commitSelection();
    if (querySave() == -1) return;
    view_.setTitleText(QString("%1(%2)").arg(PatternTitle, "Unname"));
    if (image) {
        setDocumentKind(doc, DocumentKind::Patterns);
        editor_.history = {};
    }
    makeBlankDocument(doc);
    doc.patternFileName.clear();
    doc.fileStamp = {};
    editor_.sidecar = {};
    editor_.currentNumber = 1;
    view_.showNavigation(1);
    view_.repaintGrid(true);
    doc.modifiedFlag = false;
    view_.refreshButton(CmdDeletePattern);
    endFloatingBlock(editor_.selection, false);
}

void FileCommands::openFile() {
    Document& doc = editor_.document;
    if (querySave() == -1) return;
    const QString directory =
        doc.patternFileName.empty()
            ? QString()
            : QFileInfo(QString::fromLocal8Bit(doc.patternFileName.c_str())).absolutePath();
    const QString chosen = prompts_.askOpenFileName(view_.owner(), directory, OpenFilter, "Open");
    if (chosen.isEmpty()) return;
    const std::string path = chosen.toLocal8Bit().toStdString();
    if (!readDocument(path)) return;
    showOpened(path);
}

bool FileCommands::openPath(const std::string& path) {
    view_.commitSelection();
    if (querySave() == -1) return false;
    if (!readDocument(path)) return false;
    showOpened(path);
    return true;
}

void FileCommands::showOpened(const std::string& path) {
    Document& doc = editor_.document;
    doc.patternFileName = path;
    view_.setTitle(path);
    doc.currentPattern = 0;
    endFloatingBlock(editor_.selection, false);
    reloadWorkDots(doc);
    view_.repaintGrid(true);
    doc.modifiedFlag = false;
    editor_.currentNumber = 1;
    view_.showNavigation(1);
    view_.refreshButton(CmdDeletePattern);
}

void FileCommands::newImage() {
    NewImageDialog dialog(view_.owner());
    if (view_.showDialog(&dialog) != 1) return;
    view_.commitSelection();
    if (querySave() == -1) return;
    // The dialog's sizes are in range: nothing is refused once this starts.
    if (failed(newImageDocument(editor_.document, dialog.imageWidth(), dialog.imageHeight()))) {
        return;
    }
    editor_.history = {};
    editor_.sidecar = {};
    editor_.sidecar.layout = layoutName(dialog.layout());
    imageFacts_ = {};
    imageFacts_.format = dialog.format();
    sidecarLeftAlone_.clear();
    sidecarStamp_ = {};
    endFloatingBlock(editor_.selection, false);
    view_.setTitle(formatText("Untitled %d x %d image", dialog.imageWidth(), dialog.imageHeight()));
    view_.repaintGrid(true);
    editor_.currentNumber = 1;
    view_.showNavigation(1);
    view_.refreshButton(CmdDeletePattern);
}

bool FileCommands::save() {
    Document& doc = editor_.document;
    if (doc.editType != EditMode::Pattern)
        return view_.saveGlyph(); // saving in a font mode saves the glyph
    // What shows is what is saved: a block left floating would otherwise be
    // missing from the file, and the document, no longer marked modified,
    // would close without a question.
    view_.commitSelection();
    if (doc.patternFileName.empty()) return saveAs();
    const std::string& path = doc.patternFileName;
    // Another program changing the pair waits until this save is done.
    FileLock lock;
    if (failed(lock.lock(path, limits::PairLockWaitMs))) return false;
    // Another editor (or program) saved this file or its sidecar meanwhile:
    // ask first. A file deleted meanwhile is no conflict: it is written again.
    const FileStamp patternNow = fileStamp(path);
    const FileStamp sidecarNow = fileStamp(sidecarPath(path));
    const bool patternChanged =
        doc.fileStamp.known && patternNow.known && patternNow != doc.fileStamp;
    const bool sidecarChanged =
        writesSidecar(path) && sidecarNow.known && sidecarNow != sidecarStamp_;
    if ((patternChanged || sidecarChanged) &&
        prompts_.showMessage(view_.owner(),
                             changedOnDiskQuestion(patternChanged ? path : sidecarPath(path))) ==
            IDNO) {
        return false;
    }
    if (doc.kind == DocumentKind::Font) return writeFont(path);
    if (doc.kind == DocumentKind::Image) {
        ImageFormat format = imageFacts_.format;
        const std::string target = frameSafeName(path, format);
        return !target.empty() && writeImage(target, format, target == path);
    }
    if (!writePair(path)) return false;
    view_.setTitle(path);
    return !doc.modifiedFlag;
}

std::string FileCommands::frameSafeName(const std::string& path, ImageFormat& format) {
    const Document& doc = editor_.document;
    if (doc.patternCount == 1 || format == ImageFormat::Gif) return path;
    // Writing one frame of several would leave the rest unsaved behind a
    // document that says it is saved: the frames go to a GIF or nowhere.
    const std::string gif = withExtension(path, ".gif");
    const Message question{
        formatText("%s\nhas %d frames; a %s file holds one picture.\nSave the frames as %s?",
                   quotedPath(path).c_str(), doc.patternCount, imageFormatName(format),
                   quotedPath(gif).c_str()),
        "Save Image", MessageButtons::YesNo, MessageIcon::Question};
    if (prompts_.showMessage(view_.owner(), question) != IDYES) return {};
    if (gif != path && fileExists(gif) &&
        prompts_.showMessage(view_.owner(), overwriteQuestion(gif)) == IDNO) {
        return {};
    }
    format = ImageFormat::Gif;
    return gif;
}

bool FileCommands::writeImage(const std::string& path, ImageFormat format, bool locked) {
    Document& doc = editor_.document;
    // Another program writing the picture and its sidecar waits for this save.
    FileLock lock;
    if (!locked && failed(lock.lock(path, limits::PairLockWaitMs))) return false;
    prompts_.setWaitCursor(true);
    const Outcome written = writeImageDocument(path, doc, editor_.sidecar, imageFacts_, format);
    prompts_.setWaitCursor(false);
    if (failed(written)) return false;
    imageFacts_.format = format;
    doc.patternFileName = path;
    doc.fileStamp = fileStamp(path);
    sidecarStamp_ = fileStamp(sidecarPath(path));
    doc.modifiedFlag = false;
    view_.setTitle(path);
    return true;
}

bool FileCommands::saveAs() {
    Document& doc = editor_.document;
    view_.commitSelection();
    const QString directory =
        doc.patternFileName.empty()
            ? QString()
            : QFileInfo(QString::fromLocal8Bit(doc.patternFileName.c_str())).absolutePath();
    if (doc.kind == DocumentKind::Image) return saveImageAs(directory);
    if (doc.kind == DocumentKind::Font) {
        const QString font =
            prompts_.askSaveFileName(view_.owner(), directory, FontFilter, "Select a file to save");
        if (font.isEmpty()) return false;
        std::string path = font.toLocal8Bit().toStdString();
        if (!isBdfPath(path)) {
            const bool existed = fileExists(path);
            path += ".bdf";
            if (!existed && fileExists(path) &&
                prompts_.showMessage(view_.owner(), overwriteQuestion(path)) == IDNO) {
                return false;
            }
        }
        FileLock lock;
        if (failed(lock.lock(path, limits::PairLockWaitMs))) return false;
        return writeFont(path);
    }
    const QString chosen =
        prompts_.askSaveFileName(view_.owner(), directory, PatternFilter, "Select a file to save");
    if (chosen.isEmpty()) return false;
    const std::string picked = chosen.toLocal8Bit().toStdString();
    const bool existed = fileExists(picked);
    const std::string path = forcePatExtension(picked);
    // The dialog asked about the name it was given; a file that exists only
    // under the forced extension is asked about here.
    if (!existed && fileExists(path) &&
        prompts_.showMessage(view_.owner(), overwriteQuestion(path)) == IDNO) {
        return false;
    }
    FileLock lock;
    if (failed(lock.lock(path, limits::PairLockWaitMs))) return false;
    if (!writePair(path)) return false;
    doc.patternFileName = path;
    view_.setTitle(path);
    return !doc.modifiedFlag;
}

bool FileCommands::writeFont(const std::string& path) {
    Document& doc = editor_.document;
    prompts_.setWaitCursor(true);
    const Outcome written = saveFontDocument(path, doc, editor_.font);
    prompts_.setWaitCursor(false);
    if (failed(written)) return false;
    doc.patternFileName = path;
    doc.fileStamp = fileStamp(path);
    doc.modifiedFlag = false;
    view_.setTitle(path);
    return true;
}

bool FileCommands::saveImageAs(const QString& directory) {
    const std::vector<ImageFormat> formats = saveFormats(imageFacts_.format);
    int chosenType = 0;
    const QString chosen = prompts_.askSaveFileName(
        view_.owner(), directory, imageSaveFilter(formats), "Select a file to save", &chosenType);
    if (chosen.isEmpty()) return false;
    std::string path = chosen.toLocal8Bit().toStdString();
    // The name's own extension says the format; a name without one takes
    // the type chosen in the dialog, and its extension.
    ImageFormat format = formats[static_cast<size_t>(
        std::clamp(chosenType, 0, static_cast<int>(formats.size()) - 1))];
    if (const std::optional<ImageFormat> named = imageFormatOfPath(path)) {
        format = *named;
    } else {
        const bool existed = fileExists(path);
        path += lowerExtension(format);
        if (!existed && fileExists(path) &&
            prompts_.showMessage(view_.owner(), overwriteQuestion(path)) == IDNO) {
            return false;
        }
    }
    const std::string target = frameSafeName(path, format);
    return !target.empty() && writeImage(target, format);
}

} // namespace dedur
