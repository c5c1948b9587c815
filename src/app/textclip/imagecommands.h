#pragma once

class QString;

namespace dedur {

struct Editor;
class Prompts;
class EditorView;

// Image files in and out: an image comes in as a floating block, as a pasted
// one does; the pattern or the floating block goes out as a PNG.
class ImageCommands {
  public:
    ImageCommands(Editor& editor, Prompts& prompts, EditorView& view)
        : editor_(editor), prompts_(prompts), view_(view) {}

    void importImage(); // asks for the file
    void importImageFile(const QString& path);
    void exportImage();

  private:
    Editor& editor_;
    Prompts& prompts_;
    EditorView& view_;
};

} // namespace dedur
