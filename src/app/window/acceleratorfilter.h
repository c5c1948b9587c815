#pragma once

#include <QObject>

class QKeyEvent;

namespace dedur {

class MainWindow;

// The accelerator table: every key is looked up before the widget with the
// focus sees it, so F3 or Ctrl+E work as well in the pattern-number box or
// the input-text field as over the grid. Keys in a modal dialog, a message
// box or an open menu stay theirs.
class AcceleratorFilter : public QObject {
  public:
    explicit AcceleratorFilter(MainWindow& window);

    // The command of a key of the table, 0 for any other key.
    static int commandFor(const QKeyEvent& key);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MainWindow& window_;
};

} // namespace dedur
