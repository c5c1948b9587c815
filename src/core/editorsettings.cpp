#include "editorsettings.h"

#include <filesystem>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/message.h"
#include "base/numbertext.h"
#include "base/safewrite.h"
#include "base/textlines.h"
#include "editor.h"
#include "settings/settingsfile.h"

namespace dedur {

namespace {

uint32_t parseColour(const std::string& text) {
    const double value = std::strtod(text.c_str(), nullptr);
    if (!(value >= 0)) return 0;
    if (value >= 4294967295.0) return 4294967295u;
    return static_cast<uint32_t>(value);
}

// Numbers in the settings read as atoi reads them, saturating at the int's range.
long decimal(const std::string& text) {
    return static_cast<long>(leadingDecimal(text, INT_MAX));
}

std::string settingsPath(const Editor& editor) {
    return makeWorkPath(editor.startupDirectory, SettingsFileName);
}

// One key written; a failed write is remembered for the editor to say once
// (a link at the name was already said at start-up).
void put(const Editor& editor, const char* section, const std::string& key,
         const std::string& value) {
    if (!writeSetting(settingsPath(editor), section, key, value) && !editor.settingsLinkRefused) {
        editor.settingsWriteFailed = true;
    }
}

} // namespace

void applySettingsText(Editor& editor, const std::string& text) {
    Settings& s = editor.settings;
    Document& doc = editor.document;
    auto read = [&text](const char* section, const char* key) {
        return readSetting(&text, section, key, 80);
    };
    std::string value;
    if (!(value = read(SectionOthers, "LINECOLOR")).empty()) s.lineColor = parseColour(value);
    if (!(value = read(SectionOthers, "DOTCOLOR")).empty()) s.dotColor = parseColour(value);
    if (!(value = read(SectionOthers, "BGCOLOR")).empty()) s.bgColor = parseColour(value);
    if (!(value = read(SectionOthers, "GRIDX")).empty()) {
        s.gridX = static_cast<int16_t>(std::clamp<long>(decimal(value), -32768, 32767));
    }
    if (!(value = read(SectionOthers, "GRIDY")).empty()) {
        s.gridY = static_cast<int16_t>(std::clamp<long>(decimal(value), -32768, 32767));
    }
    s.gridX = std::clamp<int16_t>(s.gridX, 4, 20);
    s.gridY = std::clamp<int16_t>(s.gridY, 4, 16);
    if (!(value = read(SectionOthers, "ZOOMCELL")).empty()) {
        const long cell = decimal(value);
        s.zoomCell = cell >= 4 && cell <= 40 ? static_cast<int>(cell) : 0;
    }
    s.onionSkin = read(SectionOthers, "ONIONSKIN") == "1";
    s.codeChoices = readSetting(&text, SectionOthers, "CODEEXPORT", 250);
    s.codeProfile = readSetting(&text, SectionOthers, "CODEPROFILE", 250);
    if (!(value = read(SectionOthers, "PATFILE")).empty()) {
        doc.patternFileName = value;
        if (!(value = read(SectionOthers, "PATNO")).empty()) {
            doc.currentPattern = static_cast<int32_t>(std::clamp<long>(decimal(value), 0, 1024));
        }
    }
    if (!(value = read(SectionOthers, "EDITTYPE")).empty()) {
        // Any number: a mode the editor does not know starts in pattern mode.
        doc.editType = static_cast<EditMode>(static_cast<int>(decimal(value)));
    }
    if (!(value = read(SectionOthers, "STD16X15FONT")).empty()) {
        editor.fontEdit.currentCode16 = uncheckedHexValue(value);
    }
    if (!(value = read(SectionOthers, "STD24X24FONT")).empty()) {
        editor.fontEdit.currentCode24 = uncheckedHexValue(value);
    }
    value = read(SectionWindow, "MAINWINRECT");
    WindowRect& r = s.mainWinRect;
    std::sscanf(value.c_str(), "%d,%d,%d,%d", &r.left, &r.top, &r.right, &r.bottom);
    value = read(SectionOthers, "PANELVIEW");
    WindowRect& v = s.panelViewRect;
    std::sscanf(value.c_str(), "%d,%d,%d,%d", &v.left, &v.top, &v.right, &v.bottom);
}

int loadSettings(Editor& editor) {
    const std::string path = settingsPath(editor);
    std::string text;
    // The program chose the name: a link planted there is neither read nor
    // written through, and the defaults stand.
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        editor.settingsLinkRefused = true;
        return 0;
    }
    if (!readSettingsFile(path, text)) {
        // Made only where nothing, not even a link, has the name.
        createEmptyFile(path);
        return -1;
    }
    applySettingsText(editor, text);
    return 1;
}

Message settingsWriteFailure(const std::string& directory) {
    return {formatText("The settings could not be saved in \"%s\"; the colours, window places "
                       "and last file of this run will not be remembered.",
                       printable(makeWorkPath(directory, SettingsFileName)).c_str()),
            " ", MessageButtons::Ok, MessageIcon::Question};
}

Message settingsLinkRefusal(const std::string& directory) {
    return {formatText("\"%s\" is a symbolic link. dedur neither reads nor writes its settings "
                       "through a link: it runs with the default settings and leaves the link "
                       "alone.",
                       printable(makeWorkPath(directory, SettingsFileName)).c_str()),
            " ", MessageButtons::Ok, MessageIcon::Question};
}

int saveModeSettings(const Editor& editor) {
    const Document& doc = editor.document;
    put(editor, SectionOthers, "EDITTYPE", std::to_string(static_cast<int>(doc.editType)));
    if (doc.editType == EditMode::Pattern) {
        if (doc.patternFileName.empty()) return 1;
        put(editor, SectionOthers, "PATFILE", doc.patternFileName);
        put(editor, SectionOthers, "PATNO", std::to_string(doc.currentPattern));
    } else if (doc.editType == EditMode::Font16x15) {
        put(editor, SectionOthers, "STD16X15FONT",
            formatText("%04X", editor.fontEdit.currentCode16));
    } else {
        put(editor, SectionOthers, "STD24X24FONT",
            formatText("%04X", editor.fontEdit.currentCode24));
    }
    return 1;
}

void saveWindowRect(const Editor& editor, const WindowRect& rect, bool minimised) {
    if (minimised) return;
    put(editor, SectionWindow, "MAINWINRECT", windowRectValue(rect));
}

void saveColour(const Editor& editor, const char* key, uint32_t colour) {
    put(editor, SectionOthers, key, formatText("%lu", static_cast<unsigned long>(colour)));
}

void savePanelViewRect(const Editor& editor, const WindowRect& rect) {
    put(editor, SectionOthers, "PANELVIEW", windowRectValue(rect));
}

void saveZoom(const Editor& editor) {
    put(editor, SectionOthers, "ZOOMCELL", std::to_string(editor.settings.zoomCell));
}

void saveCodeChoices(const Editor& editor) {
    put(editor, SectionOthers, "CODEEXPORT", editor.settings.codeChoices);
    put(editor, SectionOthers, "CODEPROFILE", editor.settings.codeProfile);
}

void saveOnionSkin(const Editor& editor) {
    put(editor, SectionOthers, "ONIONSKIN", editor.settings.onionSkin ? "1" : "0");
}

} // namespace dedur
