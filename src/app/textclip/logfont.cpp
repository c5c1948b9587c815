#include "textclip/logfont.h"

#include <cstdlib>

namespace dedur {

QFont fontFromRecord(const LogFontRecord& r) {
    QFont font;
    if (!r.face().empty()) font.setFamily(QString::fromLatin1(r.face().c_str()));
    if (r.height != 0) font.setPixelSize(std::abs(r.height));
    font.setWeight(static_cast<QFont::Weight>(r.weight == 0 ? 400 : std::clamp(r.weight, 1, 1000)));
    font.setItalic(r.italic != 0);
    font.setUnderline(r.underline != 0);
    font.setStrikeOut(r.strikeOut != 0);
    return font;
}

void recordFromFont(const QFont& font, LogFontRecord& r) {
    const int pixels = font.pixelSize() > 0
                           ? font.pixelSize()
                           : static_cast<int>(font.pointSizeF() * 96.0 / 72.0 + 0.5);
    r.height = -pixels;
    r.width = 0;
    r.weight = static_cast<int32_t>(font.weight());
    r.italic = font.italic() ? 1 : 0;
    r.underline = font.underline() ? 1 : 0;
    r.strikeOut = font.strikeOut() ? 1 : 0;
    r.setFace(font.family().toLatin1().toStdString());
}

} // namespace dedur
