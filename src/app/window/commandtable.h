#pragma once

#include <QMenu>
#include <QMenuBar>
#include <Qt>
#include <functional>
#include <map>
#include <vector>

#include "grid/drawingtools.h"
#include "ui/commandids.h"
#include "ui/paletteimages.h"
#include "ui/toolcommands.h"

namespace dedur {

class MainWindow;

// How a command's button looks on the palette and where it sits.
struct PaletteLook {
    int order = 0; // 0: no button; buttons run from left to right by order
    int group = 0; // a gap opens before the first button of each group
    const char* tooltip = nullptr;
    int normal = -1;
    int pressed = -1;
    int latched = -1; // -1 for push buttons
    int disabled = -1;
    int current = -1; // the image it starts with
    bool marked = false;
    bool enabled = true;
};

// One command of the program: its menu item, key, palette button, the rules
// that check or enable its item, and what it does.
struct CommandRow {
    int id = 0;
    const char* popup = nullptr; // menu title; nullptr: no menu item
    const char* text = nullptr;  // "\t" puts the key's name on the right
    const char* submenu = nullptr;
    bool separatorBefore = false;
    bool separatorAfter = false;
    int key = 0; // accelerator; 0: none
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    bool (*checked)(const MainWindow&) = nullptr; // nullptr: not checkable
    bool (*enabled)(const MainWindow&) = nullptr; // nullptr: always enabled
    // Why the item is disabled, as its tooltip and status tip say while it is.
    const char* (*disabledWhy)(const MainWindow&) = nullptr;
    PaletteLook palette;
    void (*run)(MainWindow&, int id) = nullptr; // nullptr: a key without an action
    // A key that runs another command (when that one is enabled); its name
    // shows beside that command's menu item.
    int sameAs = 0;
    // The key belongs to a text field that has the focus (Delete, Ctrl+V...).
    bool yieldsToText = false;
};

// Every command in menu order, popup by popup.
const std::vector<CommandRow>& commandTable();
const CommandRow* findCommand(int id);
// The name of the first key that stands for command `id`, as a menu shows
// it ("Ctrl+Z"); empty when there is none.
QString extraKeyName(int id);
// The menu titles in the order of the menu bar.
const std::vector<const char*>& menuTitles();

// The menu bar built from the table: a menu per title, the items in table
// order, each ending in `dispatch`; `opening` runs as a menu opens (and lives
// as long as `context`). The actions by command, and the Edit menu (which the
// grid also opens).
struct BuiltMenus {
    std::map<int, QAction*> actions;
    QMenu* edit = nullptr;
};
BuiltMenus buildMenuBar(QMenuBar& bar, QObject* context, const std::function<void(int)>& dispatch,
                        const std::function<void()>& opening);

} // namespace dedur
