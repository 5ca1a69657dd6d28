#include "menudump.h"

namespace {

void DumpItems(HMENU hMenu, const std::string& indent, std::string& out)
{
    int nItems = GetMenuItemCount(hMenu);
    for (int i = 0; i < nItems; i++) {
        char text[256] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(hMenu, i, TRUE, &info)) {
            out += indent + "<unreadable>\n";
            continue;
        }
        std::string item = (info.fType & MFT_SEPARATOR) ? "---" : "\"" + std::string(text) + "\"";
        if (info.hSubMenu) {
            out += indent + item + " popup\n";
            DumpItems(info.hSubMenu, indent + "  ", out);
        } else if (info.fType & MFT_SEPARATOR) {
            out += indent + item + "\n";
        } else {
            out += indent + item + " " + std::to_string(info.wID) + "\n";
        }
    }
}

}  // namespace

std::string DumpMenu(HMENU hMenu)
{
    std::string out;
    DumpItems(hMenu, "", out);
    return out;
}
