// The client's command line: options first, then the actions to play in order.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum ActionKind { ACT_CLICK, ACT_SHIFT_CLICK, ACT_DBLCLICK, ACT_CLICK_AT, ACT_PICK, ACT_TOOLS,
                  ACT_HELP, ACT_CLOSE };

struct CAction {
    ActionKind m_kind;
    int m_x, m_y;         // click-at
    std::string m_path;   // pick, tools: labels joined by '/'
};

struct COptions {
    std::string m_dll;    // empty: read the extension's registry value
    ULONG m_ulVersion = 0x000D0FA0;
    UINT m_idBase = 1000;
    std::string m_log;
    bool m_bStay = false;
    DWORD m_msHold = 0;
    std::string m_shot;   // a picture taken while a held menu is open
    std::vector<CAction> m_actions;
};

// False on an unknown word or a missing argument; error then names the word.
bool ParseOptions(int argc, char** argv, COptions& options, std::string& error);
