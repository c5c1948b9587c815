#pragma once

#include <QSize>

#include "settings/settings.h"

namespace dedur {

// Where the main window goes, in the screen's own pixels (right and bottom
// exclusive): the classic formula for a grid of gridX by gridY cells...
WindowRect defaultWindowRect(int gridX, int gridY, QSize screen, int menuHeight, int captionHeight);
// ...or the saved rectangle with its right and bottom cut to the screen,
// unless none was saved or its size is absurd.
WindowRect windowRect(WindowRect saved, int gridX, int gridY, QSize screen, int menuHeight,
                      int captionHeight);

} // namespace dedur
