#pragma once

#include <QString>
#include <string>

#include "document/patternfile.h"
#include "imagedocument.h"
#include "ui/controller.h"

namespace dedur {

// What a file opens as, told by its name: a picture (.pbm .xbm .png .gif)
// is an image document; anything else is read as a pattern file.
DocumentKind documentKindOfPath(const std::string& path);

// New, Open, Save and Save as, the unsaved-changes question and the document
// the editor starts with; for every kind of document.
class FileCommands : public Controller {
  public:
    using Controller::Controller;
    // -1 when the user cancels, or when the save offered fails (or its
    // dialog is cancelled): the changes are not thrown away.
    int querySave();
    void newFile();
    // File > New image...: a blank picture of a display's size.
    void newImage();
    void openFile();
    // Opens `path` as its kind's document after the save question (a drop).
    bool openPath(const std::string& path);
    // true when the document (or glyph) is on disk afterwards.
    bool save();
    bool saveAs();
    void startupDocument();
    // What the open image's file said beyond its dots (its format first).
    const ImageFacts& imageFacts() const { return imageFacts_; }

  private:
    // Reports a long read or write of `path` through the prompts.
    FileProgress progressOf(const char* verb, const std::string& path);
    // Reads `path` as the document its name says.
    bool readDocument(const std::string& path, bool tooLargeAsMissing = false);
    bool readWithRetry(const std::string& path, bool tooLargeAsMissing = false);
    bool readImage(const std::string& path);
    // Shows the document just read from `path`, its first record current.
    void showOpened(const std::string& path);
    // The sidecar of a file just read; one that cannot be read whole is said
    // once a file and from then on left alone.
    void readSidecarOf(const std::string& path);
    // Writes the pattern file and its sidecar as one change: both targets are
    // checked first, under the pattern file's lock.
    bool writePair(const std::string& path);
    // Writes the image as `format` (and its sidecar) and takes `path` as the
    // document's name; false when nothing was written. `locked`: the caller
    // holds the lock of `path`.
    bool writeImage(const std::string& path, ImageFormat format, bool locked = false);
    bool saveImageAs(const QString& directory);
    // Saves the open BDF font to `path` and takes it as the document's name.
    bool writeFont(const std::string& path);
    // A document of several frames goes to a format of one picture only as
    // GIF, when the user says so: the name to write then, "" for none.
    std::string frameSafeName(const std::string& path, ImageFormat& format);
    // Whether a save writes the sidecar of `path` (it is not left alone and
    // holds something, or stands there already).
    bool writesSidecar(const std::string& path) const;

    std::string sidecarWarned_;
    // The pattern file whose sidecar could not be read whole: never written
    // over, which its first save says once.
    std::string sidecarLeftAlone_;
    bool leftAloneSaid_ = false;
    // The sidecar as this editor last read or wrote it, for the on-disk check.
    FileStamp sidecarStamp_;
    ImageFacts imageFacts_;
};

} // namespace dedur
