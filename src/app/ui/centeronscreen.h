#pragma once

#include <QShowEvent>

class QWidget;

namespace dedur {

// Moves a top-level window, keeping its size, to the middle of its screen:
// x = (screen width - window width) / 2, y likewise.
void centerOnScreen(QWidget* window);

// A window of type Base that opens in the middle of the screen, whatever
// window owns it (Qt would centre it over its owner).
template <typename Base> class ScreenCentred : public Base {
  public:
    using Base::Base;

  protected:
    void showEvent(QShowEvent* event) override {
        Base::showEvent(event); // a message box takes its size here
        if (!event->spontaneous()) centerOnScreen(this);
    }
};

} // namespace dedur
