#pragma once

#include <string>

#include "ui/controller.h"

class QString;

namespace dedur {

// Image files in and out: an image comes in as a floating block, as a pasted
// one does (an animated GIF, if the user wants, as a pattern a frame); the
// pattern or the floating block goes out as a PNG, a range of patterns as an
// animated GIF.
class ImageCommands : public Controller {
  public:
    using Controller::Controller;

    void importImage(); // asks for the file
    void importImageFile(const QString& path);
    void exportImage();

  private:
    // Every frame of an animated GIF appended as a pattern, with its delay.
    void importFrames(const std::string& bytes, const std::string& file);
    // A range of patterns as an animated GIF, each frame for its delay. The
    // patterns, dot size and plays are asked for; the dot size and plays
    // last chosen are offered again, `scale` before any was chosen.
    void exportAnimation(const std::string& file, int scale);
};

} // namespace dedur
