#pragma once

namespace dedur {

struct Editor;
class Prompts;
class EditorView;

// Copy, Cut, Clear and Paste: dots to and from the clipboard as a bitmap.
class ClipboardCommands {
  public:
    ClipboardCommands(Editor& editor, Prompts& prompts, EditorView& view)
        : editor_(editor), prompts_(prompts), view_(view) {}

    void copy();
    void cutOrClear(int id);
    void paste();

  private:
    Editor& editor_;
    Prompts& prompts_;
    EditorView& view_;
};

} // namespace dedur
