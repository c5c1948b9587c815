#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

namespace dedur {

// The pattern as drawn beside what a display shows from the code's bytes:
// two grids of dots, the dots where they differ marked.
class DotPreview : public QWidget {
    Q_OBJECT
  public:
    explicit DotPreview(QWidget* parent = nullptr);

    // `shown` empty: the bytes cannot be read that way (too few of them).
    void setDots(int width, int height, std::vector<uint8_t> drawn, std::vector<uint8_t> shown);
    // Dots that differ between the two; -1 when the display shows nothing.
    int differences() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int cell() const;

    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> drawn_;
    std::vector<uint8_t> shown_;
};

} // namespace dedur
