#pragma once

namespace dedur {

struct Editor;
struct Outcome;
class Prompts;
class EditorView;

// What every subject's controller works on: the editor's state, the prompts
// and the window, as the narrow view interface shows it.
class Controller {
  public:
    Controller(Editor& editor, Prompts& prompts, EditorView& view)
        : editor_(editor), prompts_(prompts), view_(view) {}

  protected:
    // Shows a failure's message over the window; true when there was one.
    bool failed(const Outcome& outcome);

    Editor& editor_;
    Prompts& prompts_;
    EditorView& view_;
};

} // namespace dedur
