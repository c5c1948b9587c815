#pragma once

#include <QDialog>

#include "ui/centeronscreen.h"
#include <functional>

#include "document/patternstore.h"
#include "panel/paneldefinitioncheck.h"

class QListWidget;

namespace dedur {

class NumberField;
class Prompts;

// "LCD Panel Definition": where a new pattern's left-top dot sits on the
// panel, its size and the SEG/COM directions of its rows and columns.
class PanelDefinitionDialog : public ScreenCentred<QDialog> {
    Q_OBJECT
  public:
    PanelDefinitionDialog(QWidget* parent, Prompts& prompts, const PanelDefinition& definition,
                          std::function<void(const PanelDefinition&)> apply);

    NumberField* field(PanelField which) const;
    QListWidget* leftToRightList() const { return leftToRight_; }
    QListWidget* topToBottomList() const { return topToBottom_; }
    const PanelDefinition& definition() const { return definition_; }

    void ok();
    void applyNow();

  private:
    bool check(); // stores the definition when every check passes
    void fieldNotified(PanelField which, int code);

    Prompts& prompts_;
    PanelDefinition definition_;
    std::function<void(const PanelDefinition&)> apply_;
    NumberField* seg_;
    NumberField* com_;
    NumberField* width_;
    NumberField* height_;
    QListWidget* leftToRight_;
    QListWidget* topToBottom_;
};

} // namespace dedur
