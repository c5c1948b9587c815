#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace dedur {

// What a display should show beside what it shows from the code's bytes:
// two grids of dots, the dots where they differ marked (lit by mistake, or
// missing), with a legend of the two marks.
class DotPreview : public QWidget {
    Q_OBJECT
  public:
    explicit DotPreview(QWidget* parent = nullptr);

    // `expected` and `shown` are '1'/'0' row after row; `shown` empty: the
    // bytes cannot be read. `title` heads the expected dots; `note` (such as how many
    // bytes the display reads) goes under the display's heading.
    void setDots(int width, int height, std::vector<uint8_t> expected, std::vector<uint8_t> shown,
                 const QString& title = "Pattern", const QString& note = {});
    // Dots that differ between the two; -1 when the display shows nothing.
    int differences() const;
    // The display's heading and note, as drawn.
    QString displayCaption() const;
    const QString& note() const { return note_; }
    const std::vector<uint8_t>& expectedDots() const { return expected_; }
    const std::vector<uint8_t>& shownDots() const { return shown_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int cell() const;
    int captionHeight() const;

    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> expected_;
    std::vector<uint8_t> shown_;
    QString title_;
    QString note_;
};

} // namespace dedur
