#pragma once

#include "base/outcome.h"
#include "panel/addressrule.h"

namespace dedur {

struct Document;
struct History;
struct Selection;
struct PanelDefinition;

enum class PanelField { None, Seg, Com, Width, Height };

// The values of the panel definition dialog as the user left them.
struct PanelDefinitionFields {
    int beginSeg = 1;
    int beginCom = 1;
    int width = 12;
    int height = 12;
    int leftToRight = 0;
    int topToBottom = 2;
};

struct PanelDefinitionCheck {
    Outcome outcome;
    PanelField focus = PanelField::None; // the field to focus after the message
};

// The checks of OK and Apply, in their order; the first failure is reported.
PanelDefinitionCheck checkPanelDefinition(const PanelDefinitionFields& fields);
// The range a numeric field keeps while typing.
void panelFieldRange(PanelField field, int& low, int& high);
PanelDefinition toPanelDefinition(const PanelDefinitionFields& fields);
// Apply: the definition becomes current and the current pattern takes its
// size and placement (after an undo snapshot).
void applyPanelDefinition(Document& doc, History& history, const Selection& sel,
                          const PanelDefinition& definition);

} // namespace dedur
