#pragma once

#include "grid/transform.h"
#include "ui/controller.h"

namespace dedur {

// Flips, turns, inverts and shifts of the floating block or the pattern.
class TransformCommands : public Controller {
  public:
    using Controller::Controller;

    void apply(const Transform& transform);
    // The glyphs of the viewed-only font modes are not changed.
    static bool allowedIn(const Editor& editor);
};

} // namespace dedur
