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
    // The sidecar of a file just read; a malformed one is said once a file.
    void readSidecarOf(const std::string& path);
    // After the pattern file is written: its sidecar beside it.
    bool writeSidecarOf(const std::string& path);

    std::string sidecarWarned_;
};

} // namespace dedur
