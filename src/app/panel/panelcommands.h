#pragma once

namespace dedur {

struct Editor;
class Prompts;
class EditorView;

// The LCD panel definition, the panel data export and import, and the
// selection report.
class PanelCommands {
  public:
    PanelCommands(Editor& editor, Prompts& prompts, EditorView& view)
        : editor_(editor), prompts_(prompts), view_(view) {}

    void definition();
    void exportData();
    // Fills the current pattern from an exported .DAT or .BIN file.
    void importData();
    void selectionReport();

  private:
    Editor& editor_;
    Prompts& prompts_;
    EditorView& view_;
};

} // namespace dedur
