// From a command id of the extension's block to the groupware launch it stands for.
#include "state/state.h"

void CExtensionState::Dispatch(UINT id)
{
    if (id == m_idRun) {
        Launch("");
        return;
    }
    m_forumMenu.OpenEntry(static_cast<int>(id - m_idRun - 1));
}

BOOL CForumMenu::OpenEntry(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nEntries || !m_pEntries || !g_pState)
        return FALSE;
    // A group header, or an entry the reader could not fill, names no forum to open.
    const char* pszName = m_pEntries[nIndex].m_pszName;
    if (!pszName)
        return FALSE;
    return g_pState->Launch(pszName);
}
