#pragma once

#include "ui/controller.h"

class QString;

namespace dedur {

// Image files in and out: an image comes in as a floating block, as a pasted
// one does; the pattern or the floating block goes out as a PNG.
class ImageCommands : public Controller {
  public:
    using Controller::Controller;

    void importImage(); // asks for the file
    void importImageFile(const QString& path);
    void exportImage();
};

} // namespace dedur
