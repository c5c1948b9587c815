#pragma once

#include "ui/controller.h"

namespace dedur {

// Adding, inserting, deleting and visiting patterns, the number box, and
// the pattern size.
class PatternListCommands : public Controller {
  public:
    using Controller::Controller;

    void add(bool insert);
    void deleteCurrent();
    void goTo(int number);
    // The number box's notifications: a typed number jumps there.
    void numberBoxNotified(int code);
    void changeSize();
    // Pattern > Name...: the identifier the current pattern's code carries.
    void nameCurrent();
    // Pattern > Frame delay...: the current pattern's delay as a frame, or a
    // range's ("1-5: 250").
    void frameDelay();
};

} // namespace dedur
