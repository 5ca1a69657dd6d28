#include "forummenu/windowprocs.h"
#include "resource.h"
#include "state/state.h"

LRESULT CALLBACK PollerWndProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

void CExtensionState::Prepare(HWND hToolbarWnd, UINT idRun)
{
    m_hToolbarWnd = hToolbarWnd;
    m_idRun = idRun;
    if (m_bPrepared)
        return;

    // Nothing here is retried: a missing list, menu or window stays missing for the process.
    m_forumMenu.Load();
    m_hForumMenu = CreatePopupMenu();
    m_forumMenu.BuildMenu(m_hForumMenu, idRun);
    m_hPollerWnd = CreateWindowExA(0, "STATIC", "poller", WS_DISABLED, 0, 0, 0, 0, NULL, NULL,
                                   m_hInstance, NULL);
    if (m_hPollerWnd)
        SetWindowLongPtrA(m_hPollerWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PollerWndProc));
    m_bPrepared = TRUE;
}

void CForumMenu::BuildMenu(HMENU hMenu, UINT idRun)
{
    CString strRun;
    strRun.LoadString(IDS_RUN_KONVERA);
    AppendMenuA(hMenu, MF_STRING, idRun, strRun);
    m_nCommands++;
    if (!m_pEntries)
        return;

    m_idFirstEntry = idRun + 1;
    AppendMenuA(hMenu, MF_SEPARATOR, 0, NULL);
    HMENU hSubMenu = NULL;
    for (int i = 0; i < m_nEntries; i++) {
        const CForumEntry& entry = m_pEntries[i];
        if (!entry.m_bGroup) {
            AppendMenuA(hSubMenu ? hSubMenu : hMenu, MF_STRING, m_idFirstEntry + i,
                        entry.m_pszLabel);
        } else if (i + 1 < m_nEntries && !m_pEntries[i + 1].m_bGroup) {
            // Only a group that heads a forum gets a popup; the others leave the current one.
            hSubMenu = CreatePopupMenu();
            if (hSubMenu && !AppendMenuA(hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(hSubMenu),
                                         entry.m_pszLabel)) {
                DestroyMenu(hSubMenu);  // not attached, so the forum menu would never free it
                hSubMenu = NULL;
            }
        }
        m_nCommands++;
    }
}

void DestroyPollerWindow()
{
    if (!g_pState || !g_pState->m_hPollerWnd)
        return;
    HWND hWnd = g_pState->m_hPollerWnd;
    g_pState->m_hPollerWnd = NULL;
    if (GetWindowLongPtrA(hWnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(PollerWndProc))
        return;  // gone already, or no longer running our code

    // Default processing from here on, so that the window's teardown frees what it holds and a
    // window of another thread can still close itself once this library is gone.
    SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
    if (GetWindowThreadProcessId(hWnd, NULL) == GetCurrentThreadId())
        DestroyWindow(hWnd);
    else
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
}
