#include "state/state.h"

// Placeholder until the menu builder lands.
void CExtensionState::Prepare(HWND hToolbarWnd, UINT idRun)
{
    m_hToolbarWnd = hToolbarWnd;
    m_idRun = idRun;
}

void CForumMenu::BuildMenu(HMENU, UINT) {}
