#pragma once

#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>
#include <vector>

#include "ui/numberfield.h"

namespace dedur {

// One button of the palette; rectangles in strip coordinates, bounds included.
struct PaletteButton {
    int left = -1;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int normalImage;
    int pressedImage;
    int latchedImage; // -1 for push buttons
    int disabledImage;
    int currentImage;
    int savedImage;
    bool pressed = false;
    bool marked;
    bool enabled;
    int command;
    const char* tooltip;
    QPointer<QLabel> tooltipWindow;
    QPointer<QLabel> keyWindow; // beside the tooltip: the keys that do the same
    int group;

    bool contains(QPoint p) const {
        return left >= 0 && p.x() >= left && p.x() <= right && p.y() >= top && p.y() <= bottom;
    }
};

std::vector<PaletteButton> makePaletteTable();
// The keys of the accelerator table that run `command`, its own first
// ("F3, Ctrl+S"); empty when it has none.
QString paletteKeyNames(int command);

inline constexpr int PaletteStripHeight = 57;

// The band at the top of the window: the navigation row (number box, scroll
// bar, count) and the button palette under it.
class PaletteStrip : public QWidget {
    Q_OBJECT
  public:
    // Tooltips are children of `tooltipParent`, so that they may hang over the grid.
    PaletteStrip(QWidget* parent, QWidget* tooltipParent);

    std::vector<PaletteButton>& buttons() { return buttons_; }
    PaletteButton* find(int command);
    int findMarked() const;
    int findPressed() const;

    // Button row placement from (x, y); groups are 8 pixels apart.
    void layoutButtons(int x, int y);
    // Creates the navigation controls again; returns the y of the button row.
    int createNavigationStrip(bool withNumberBox);
    // `name`: the pattern's name for code, shown beside the count.
    void showNavigation(int number, int count, const QString& name = {});

    // Brings a button's enabled state to `enabled`.
    void setButtonEnabled(int command, bool enabled);
    // Moves the mark to a tool's button (latched image) from the marked one.
    void markTool(int command);
    void repaintButtons();
    void reshowTooltip();
    // Every tick: a tooltip goes once the pointer has left its button.
    void tooltipCheck();
    void destroyTooltips();

    NumberField* numberBox() const { return numberBox_; }
    QScrollBar* scrollBar() const { return scrollBar_; }
    QLabel* countLabel() const { return countLabel_; }
    QLabel* nameLabel() const { return nameLabel_; }

  signals:
    void commandPosted(int command);
    void beep();
    void navigate(int action);
    void numberBoxNotified(int code);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void showTooltip(PaletteButton& button);
    void closeTooltip(PaletteButton& button);
    void setImage(PaletteButton& button, int image);
    void fitCountLabel();

    std::vector<PaletteButton> buttons_;
    QWidget* tooltipParent_;
    QPointer<NumberField> numberBox_;
    QPointer<QLabel> lowLabel_;
    QPointer<QScrollBar> scrollBar_;
    QPointer<QLabel> countLabel_;
    QPointer<QLabel> nameLabel_;
};

} // namespace dedur
