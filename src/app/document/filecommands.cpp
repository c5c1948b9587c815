#include <QFileInfo>

#include "base/filelock.h"
#include "base/limits.h"
#include "base/safewrite.h"
#include "document/filecommands.h"
#include "document/patternfile.h"
#include "editor.h"
#include "grid/selection.h"
#include "ui/commandids.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

namespace dedur {

namespace {

const char* const PatternFilter = "Pattern Files (*.pat)|*.pat|";

// Everything from the last '.' of the path (wherever it stands) becomes ".pat".
std::string forcePatExtension(std::string path) {
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos) path.erase(dot);
    return path + ".pat";
}

} // namespace

int FileCommands::querySave() {
    const Document& doc = editor_.document;
    if (!doc.modifiedFlag) return 0;
    const bool patterns = doc.editType == EditMode::Pattern;
    std::string name = patterns ? doc.patternFileName : fontPathFor(editor_.fontEdit, doc.editType);
    if (patterns && name.empty()) name = "Untitled file";
    const Message question{
        formatText("%s\n%s", name.c_str(), "has not been saved.\nSave file before closing?"),
        patterns ? "Save Pattern" : "Save Font", MessageButtons::YesNoCancel,
        MessageIcon::Question};
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

bool FileCommands::readWithRetry(const std::string& path, bool tooLargeAsMissing) {
    for (;;) {
        prompts_.setWaitCursor(true);
        Outcome result = readPatternFile(editor_.document, path, progressOf("Reading", path));
        prompts_.endProgress();
        prompts_.setWaitCursor(false);
        if (result.ok()) {
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
        const bool read = readWithRetry(doc.patternFileName, tooLarge);
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
    makeBlankDocument(doc);
    editor_.currentNumber = 1;
    view_.setTitle("Unname");
}

void FileCommands::newFile() {
    Document& doc = editor_.document;
    if (doc.patternCount == 1) {
        prompts_.beep();
        return;
    }
    view_.commitSelection();
    if (querySave() == -1) return;
    view_.setTitleText(QString("%1(%2)").arg(PatternTitle, "Unname"));
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
    const QString chosen =
        prompts_.askOpenFileName(view_.owner(), directory, PatternFilter, "Open");
    if (chosen.isEmpty()) return;
    const std::string path = chosen.toLocal8Bit().toStdString();
    if (!readWithRetry(path)) return;
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
    if (!writePair(path)) return false;
    view_.setTitle(path);
    return !doc.modifiedFlag;
}

bool FileCommands::saveAs() {
    Document& doc = editor_.document;
    view_.commitSelection();
    const QString directory =
        doc.patternFileName.empty()
            ? QString()
            : QFileInfo(QString::fromLocal8Bit(doc.patternFileName.c_str())).absolutePath();
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

} // namespace dedur
