#pragma once

#include "ui/controller.h"
#include <array>
#include <cstdint>

namespace dedur {

// What the grid does as a whole: undo and redo, zoom, the fills and the
// colours it is drawn in.
class GridCommands : public Controller {
  public:
    using Controller::Controller;

    void undoOrRedo(int id);
    // One zoom step in (1) or out (-1), or back to the normal size (0); the
    // dot under the pointer (or the middle of what shows) stays in place.
    void zoom(int direction);
    // Setting > Zoom to fit: the largest cells at which the whole pattern shows.
    void zoomToFit();
    // Setting > Onion skin: the previous pattern faintly under the current one.
    void toggleOnionSkin();
    void fillAllDots(int id);
    void chooseColour(int id);

  private:
    // The zoom to cells `cell` wide (0: the normal size), the spot in view kept.
    void zoomTo(int cell);
    std::array<uint32_t, 16> customColours_{};
};

} // namespace dedur
