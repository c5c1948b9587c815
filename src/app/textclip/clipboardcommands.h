#pragma once

#include "ui/controller.h"

namespace dedur {

// Copy, Cut, Clear and Paste: dots to and from the clipboard as a bitmap.
class ClipboardCommands : public Controller {
  public:
    using Controller::Controller;

    void copy();
    void cutOrClear(int id);
    void paste();
};

} // namespace dedur
