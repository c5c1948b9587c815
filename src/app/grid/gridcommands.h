#pragma once

#include <array>
#include <cstdint>

namespace dedur {

struct Editor;
class Prompts;
class EditorView;

// What the grid does as a whole: undo and redo, zoom, the fills and the
// colours it is drawn in.
class GridCommands {
  public:
    GridCommands(Editor& editor, Prompts& prompts, EditorView& view)
        : editor_(editor), prompts_(prompts), view_(view) {}

    void undoOrRedo(int id);
    // One zoom step in (1) or out (-1), or back to the normal size (0); the
    // dot under the pointer (or the middle of what shows) stays in place.
    void zoom(int direction);
    void fillAllDots(int id);
    void chooseColour(int id);

  private:
    Editor& editor_;
    Prompts& prompts_;
    EditorView& view_;
    std::array<uint32_t, 16> customColours_{};
};

} // namespace dedur
