#pragma once

namespace dedur {

struct Editor;
class Prompts;
class EditorView;

// Adding, inserting, deleting and visiting patterns, the number box, and
// the pattern size.
class PatternListCommands {
  public:
    PatternListCommands(Editor& editor, Prompts& prompts, EditorView& view)
        : editor_(editor), prompts_(prompts), view_(view) {}

    void add(bool insert);
    void deleteCurrent();
    void goTo(int number);
    // The number box's notifications: a typed number jumps there.
    void numberBoxNotified(int code);
    void changeSize();

  private:
    Editor& editor_;
    Prompts& prompts_;
    EditorView& view_;
};

} // namespace dedur
