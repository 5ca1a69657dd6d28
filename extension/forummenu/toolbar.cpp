#include "state/state.h"

// Placeholder until the toolbar button lands.
void CForumMenu::InstallButton(int) {}

LRESULT CForumMenu::ToolbarProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}
