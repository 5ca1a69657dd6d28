#include "state/state.h"

// Placeholder until the launcher lands.
void CExtensionState::Dispatch(UINT) {}

BOOL CForumMenu::OpenEntry(int)
{
    return FALSE;
}

BOOL CExtensionState::Launch(const char*)
{
    return TRUE;
}
