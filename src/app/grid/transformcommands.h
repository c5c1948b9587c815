#pragma once

#include "grid/transform.h"

namespace dedur {

struct Editor;
class Prompts;
class EditorView;

// Flips, turns, inverts and shifts of the floating block or the pattern.
class TransformCommands {
  public:
    TransformCommands(Editor& editor, Prompts& prompts, EditorView& view)
        : editor_(editor), prompts_(prompts), view_(view) {}

    void apply(const Transform& transform);
    // The glyphs of the viewed-only font modes are not changed.
    static bool allowedIn(const Editor& editor);

  private:
    Editor& editor_;
    Prompts& prompts_;
    EditorView& view_;
};

} // namespace dedur
