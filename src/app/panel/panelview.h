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

namespace dedur {

struct Editor;

// The whole 96 x 48 panel at a small scale: every pattern's outline at its
// place, the current one highlighted with its dots, and under it the
// current pattern's display-memory bytes as the export writes them.
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
    // The pattern whose outline lies under a point of the panel, from 1; 0
    // for none.
    int patternAt(QPoint point) const;
    QRect panelRect() const;

  signals:
    void patternChosen(int number);
    // Moved, resized or closed: where it stands now.
    void placeChanged(const QRect& place);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The current pattern in the chosen code profile's layout, after the memory.
    void appendProfileBytes(std::string& text) const;
    static constexpr int Scale = 5; // pixels per SEG and per COM line
    static constexpr int Margin = 8;
    // Room for the SEG numbers above the panel and the COM numbers left of it.
    static constexpr int RulerTop = 18;
    static constexpr int RulerLeft = 28;
    void paintRulers(QPainter& p, const QRect& panel) const;
    // Every pattern's dots at its place, for "Show all".
    void combineAll();
    void showFrame();
    QRect outlineRect(const PatternOutline& outline) const;

    const Editor& editor_;
    std::vector<PatternOutline> outlines_;
    LcdImage image_;
    LcdImage all_;
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
