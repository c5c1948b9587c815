#pragma once

#include <QFont>

#include "textclip/logfontrecord.h"

namespace dedur {

// The 60-byte font record and Qt fonts: a negative height is a pixel size,
// weight 0 means normal, the face name is Latin-1; the character set is kept.
QFont fontFromRecord(const LogFontRecord& record);
void recordFromFont(const QFont& font, LogFontRecord& record);

} // namespace dedur
