#pragma once

#include "ui/controller.h"

namespace dedur {

// The LCD panel definition, the panel data export and import, the
// selection report and the live panel view.
class PanelCommands : public Controller {
  public:
    using Controller::Controller;

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
    class PanelView* panelView_ = nullptr;
};

} // namespace dedur
