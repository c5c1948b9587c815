#pragma once

#include "grid/drawingtools.h"

namespace dedur {

// The drawing tools and the commands that choose them.
int commandOfTool(Tool tool);
// false when `id` chooses no tool.
bool toolOfCommand(int id, Tool& tool);

} // namespace dedur
