#pragma once

namespace dedur {

struct Editor;
class Prompts;
class EditorView;

// The LCD panel definition, the panel data export and import, the
// selection report and the live panel view.
class PanelCommands {
  public:
    PanelCommands(Editor& editor, Prompts& prompts, EditorView& view)
        : editor_(editor), prompts_(prompts), view_(view) {}

    void definition();
    void exportData();
    // Fills the current pattern from an exported .DAT or .BIN file.
    void importData();
    void selectionReport();
    // The live panel view: opened (or raised), and kept up to date.
    void showPanelView();
    void refreshPanelView(bool outlines);
    class PanelView* panelView() const {
        return panelView_;
    }

  private:
    Editor& editor_;
    Prompts& prompts_;
    EditorView& view_;
    class PanelView* panelView_ = nullptr;
};

} // namespace dedur
