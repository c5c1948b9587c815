#pragma once

#include <functional>
#include <string>

#include "fontgen.h"

class QProgressDialog;
class QWidget;

namespace dedur {

// Makes the glyph files in `directory` from the installed free fonts, with a
// bar and Cancel over `owner` (a cancelled run writes nothing). `watch`, when
// given, sees the bar at each report.
fontgen::Result
makeGlyphFilesShowingProgress(QWidget* owner, const std::string& directory,
                              const std::function<void(QProgressDialog&)>& watch = {});

// The command that makes them from a shell, with the folder quoted for one.
std::string makeFontsCommandFor(const std::string& directory);

} // namespace dedur
