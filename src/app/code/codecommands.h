#pragma once

#include "ui/controller.h"

namespace dedur {

// File > Export code...
class CodeCommands : public Controller {
  public:
    using Controller::Controller;

    void exportCode();
};

} // namespace dedur
