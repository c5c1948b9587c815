// Any settings text loads without harm, and a value written into it is the
// value read back.
#include <cstdlib>
#include <string>

#include "editor.h"
#include "editorsettings.h"
#include "fuzzinput.h"
#include "settings/settingsfile.h"

using namespace dedur;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Input in(data, size);
    const bool window = in.byte() & 1;
    const char* section = window ? SectionWindow : SectionOthers;
    std::string key;
    for (int n = in.range(1, 8); n > 0; --n) key += static_cast<char>('A' + in.range(0, 25));
    std::string value;
    for (int n = in.range(0, 20); n > 0; --n) value += static_cast<char>(in.range(33, 126));
    const std::string text = in.rest();

    Editor editor;
    applySettingsText(editor, text);
    if (editor.settings.gridX < 4 || editor.settings.gridX > 20) std::abort();
    if (editor.settings.gridY < 4 || editor.settings.gridY > 16) std::abort();

    const std::string rewritten = rewriteSettings(text, section, key, value);
    // Keys match as prefixes, so another key of the same start may answer a
    // later read first; the entry itself must be there.
    if (rewritten.find(key + " = " + value + "\r\n") == std::string::npos) std::abort();
    (void)readSetting(&rewritten, section, key, 250);
    return 0;
}
