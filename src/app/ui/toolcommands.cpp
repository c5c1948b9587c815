#include "ui/toolcommands.h"

#include "ui/commandids.h"

namespace dedur {

namespace {

struct ToolCommand {
    Tool tool;
    int id;
};

const ToolCommand ToolCommands[] = {
    {Tool::Point, CmdDrawPoint},
    {Tool::Erase, CmdErasePoint},
    {Tool::Line, CmdDrawLine},
    {Tool::OutlineRectangle, CmdOutlineRectangle},
    {Tool::FilledRectangle, CmdFillRectangle},
    {Tool::Select, CmdSelect},
    {Tool::OutlineEllipse, CmdOutlineEllipse},
    {Tool::FilledEllipse, CmdFillEllipse},
};

} // namespace

int commandOfTool(Tool tool) {
    for (const ToolCommand& t : ToolCommands) {
        if (t.tool == tool) return t.id;
    }
    return CmdDrawPoint;
}

bool toolOfCommand(int id, Tool& tool) {
    for (const ToolCommand& t : ToolCommands) {
        if (t.id == id) {
            tool = t.tool;
            return true;
        }
    }
    return false;
}

} // namespace dedur
