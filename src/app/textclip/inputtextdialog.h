#pragma once

#include <QDialog>
#include <QImage>
#include <QPointer>

class QLabel;
class QLineEdit;
class QPushButton;

namespace dedur {

class TextCommands;

// "Input Text to copy": a line of text drawn in a chosen font on a white
// strip; a framed part of the strip goes to the clipboard as a bitmap, ready
// to be pasted into a pattern.
class InputTextDialog : public QDialog {
    Q_OBJECT
  public:
    InputTextDialog(TextCommands& texts, QWidget* parent);

    QLineEdit* edit() const { return edit_; }
    QPushButton* copyButton() const { return copy_; }
    QRect sampleArea() const { return sample_; }
    QRect marquee() const { return marqueeShown_ ? marquee_ : QRect(); }
    const QImage& surface() const { return surface_; }
    QLabel* hint() const { return hint_; }

    void copy();
    void chooseFont();
    // Frames the characters selected in the text field (when nothing is framed).
    void frameSelectedCharacters();
    // The hint timer check: the hint goes once the pointer has left the strip.
    void checkHint(QPoint globalPosition);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void layOut();
    void redraw();
    void drawSample();
    void xorMarquee(const QRect& r);
    void removeMarquee();
    void updateHint(QPoint at, bool afterTextChange);

    TextCommands& texts_;
    QLineEdit* edit_;
    QPushButton* fontButton_;
    QPushButton* copy_;
    QRect sample_;
    QRect marquee_; // right and bottom are the edges, as drawn
    bool marqueeShown_ = false;
    bool dragging_ = false;
    QPoint anchor_;
    QPointer<QLabel> hint_;
    QImage surface_;
};

} // namespace dedur
