#pragma once

#include <QSize>

#include "settings/settings.h"

namespace dedur {

// Where the main window goes, in the screen's own pixels (right and bottom
// exclusive): the classic formula for a grid of gridX by gridY cells...
WindowRect defaultWindowRect(int gridX, int gridY, QSize screen, int menuHeight, int captionHeight);
// ...or the saved rectangle put on the screen (its corner on it, right and
// bottom cut to it), unless none was saved or what is left is too small to
// use.
WindowRect windowRect(WindowRect saved, int gridX, int gridY, QSize screen, int menuHeight,
                      int captionHeight);

} // namespace dedur
