#pragma once

#include <QTimer>
#include <QWidget>
#include <vector>

#include "panel/lcdimage.h"
#include "panel/paneloverview.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QPainter;
class QPlainTextEdit;
class QLabel;
class QScrollArea;
class QSpinBox;

namespace dedur {

struct Editor;

// The whole 96 x 48 panel, zoomable and scrolled in its own window: every
// pattern's outline at its place, the current one highlighted with its dots,
// and under it the current pattern's display-memory bytes as the export
// writes them.
class PanelView : public QWidget {
    Q_OBJECT
  public:
    PanelView(const Editor& editor, QWidget* parent);

    // Everything anew (patterns added, removed, moved, another current one)
    // or only the current pattern's dots.
    void refresh(bool outlinesChanged);
    QString bytesText() const;
    QCheckBox* showAllBox() const { return showAll_; }
    // Playback: the patterns of the range as frames, each at its place for
    // its delay. The document is never changed by it.
    void play();
    void stop();
    // The next frame (what the timer does when a frame's delay is over).
    void stepFrame();
    bool playing() const { return playing_; }
    int framePattern() const; // the pattern (from 1) the frame shows, 0 when stopped
    QLineEdit* playRange() const { return playRange_; }
    QCheckBox* loopBox() const { return loop_; }
    QTimer& frameTimer() { return frameTimer_; }
    // What "Show all" draws: every pattern's dots together.
    const LcdImage& allImage() const { return all_; }
    const LcdImage& image() const { return image_; }

    // Pixels a SEG or COM line is drawn with.
    int dotSize() const { return dot_; }
    void setDotSize(int pixels);
    QSpinBox* dotSizeBox() const { return dotSizeBox_; }
    QScrollArea* scrollArea() const { return scroll_; }
    QWidget* canvas() const { return canvas_; }
    // What the pointer is over: its SEG and COM and the pattern a click takes.
    QLabel* pointerLabel() const { return pointer_; }

    // The pattern (from 1) a click at a point of this widget takes, 0 for
    // none: where outlines overlap, the smallest first, and each further
    // click the next larger one after the current pattern.
    int patternAt(QPoint point) const;
    // The panel's rectangle in this widget's coordinates.
    QRect panelRect() const;

    // Called by the canvas the panel is painted on.
    void paintPanel(QPainter& p) const;
    void pointerMovedTo(QPoint canvasPoint);
    void clickedAt(QPoint canvasPoint);
    QSize canvasSize() const;

  signals:
    void patternChosen(int number);
    // Moved, resized or closed: where it stands now.
    void placeChanged(const QRect& place);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static constexpr int Margin = 8;
    static constexpr int DefaultDot = 5;
    // Room for the SEG numbers above the panel and the COM numbers left of it.
    static constexpr int RulerTop = 18;
    static constexpr int RulerLeft = 28;

    // The current pattern in the chosen code profile's layout, after the memory.
    void appendProfileBytes(std::string& text) const;
    void paintRulers(QPainter& p, const QRect& panel) const;
    void paintImage(QPainter& p, const QRect& panel, const LcdImage& image,
                    const QColor& colour) const;
    // Every pattern's dots at its place, for "Show all".
    void combineAll();
    void showFrame();
    void togglePlay();
    // Space plays or stops, Ctrl with +, - or the wheel zooms; true when taken.
    bool viewKey(QKeyEvent* event, QObject* from);
    QRect canvasPanelRect() const;
    QRect outlineRect(const PatternOutline& outline) const;
    // Patterns (from 1) whose outlines hold a canvas point, smallest first.
    std::vector<int> patternsUnder(QPoint canvasPoint) const;
    int clickTarget(const std::vector<int>& under) const;

    const Editor& editor_;
    std::vector<PatternOutline> outlines_;
    LcdImage image_;
    LcdImage all_;
    int dot_ = DefaultDot;
    QScrollArea* scroll_ = nullptr;
    QWidget* canvas_ = nullptr;
    QSpinBox* dotSizeBox_ = nullptr;
    QLabel* pointer_ = nullptr;
    QCheckBox* showAll_ = nullptr;
    QPushButton* play_ = nullptr;
    QLineEdit* playRange_ = nullptr;
    QCheckBox* loop_ = nullptr;
    QLabel* frameLabel_ = nullptr;
    QTimer frameTimer_;
    std::vector<int> frames_; // pattern indexes in playing order
    size_t frameAt_ = 0;
    bool playing_ = false;
    QPlainTextEdit* bytes_ = nullptr;
    QLabel* warning_ = nullptr;
};

} // namespace dedur
