#pragma once

#include <string>

#include "document/patternfile.h"
#include "ui/controller.h"

namespace dedur {

// New, Open, Save and Save as, the unsaved-changes question and the document
// the editor starts with.
class FileCommands : public Controller {
  public:
    using Controller::Controller;
    // -1 when the user cancels, or when the save offered fails (or its
    // dialog is cancelled): the changes are not thrown away.
    int querySave();
    void newFile();
    void openFile();
    // true when the document (or glyph) is on disk afterwards.
    bool save();
    bool saveAs();
    void startupDocument();

  private:
    // Reports a long read or write of `path` through the prompts.
    FileProgress progressOf(const char* verb, const std::string& path);
    bool readWithRetry(const std::string& path, bool tooLargeAsMissing = false);
    // The sidecar of a file just read; one that cannot be read whole is said
    // once a file and from then on left alone.
    void readSidecarOf(const std::string& path);
    // Writes the pattern file and its sidecar as one change: both targets are
    // checked first, under the pattern file's lock.
    bool writePair(const std::string& path);
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
};

} // namespace dedur
