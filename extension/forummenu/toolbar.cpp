#include <windows.h>
#include <commctrl.h>

#include "forummenu/windowprocs.h"
#include "state/state.h"

WNDPROC g_pfnPrevToolbarProc;

namespace {

// The toolbar clamps the index, so the button goes at the end whatever the button count.
const WPARAM INSERT_AT_END = 99;

// Toolbars hooked so far, so that unloading can take the subclass out of each one still alive.
const int MAX_HOOKED = 8;
HWND s_hHookedWnds[MAX_HOOKED];

BOOL RunsToolbarWndProc(HWND hWnd)
{
    return hWnd &&
           GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ToolbarWndProc);
}

void RememberHooked(HWND hWnd)
{
    int iFree = -1;
    for (int i = 0; i < MAX_HOOKED; i++) {
        if (s_hHookedWnds[i] == hWnd)
            return;
        if (iFree < 0 && !RunsToolbarWndProc(s_hHookedWnds[i]))
            iFree = i;
    }
    if (iFree >= 0)
        s_hHookedWnds[iFree] = hWnd;
}

void Subclass(HWND hToolbar)
{
    // Hooking a toolbar that runs our procedure already would make it its own predecessor, and
    // every message passed on would come straight back.
    if (RunsToolbarWndProc(hToolbar))
        return;
    g_pfnPrevToolbarProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        hToolbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ToolbarWndProc)));
    RememberHooked(hToolbar);
}

// The run command's button rectangle; empty when the toolbar has no such button.
LRESULT GetButtonRect(HWND hToolbar, UINT idRun, RECT* pRect)
{
    SetRectEmpty(pRect);
    LRESULT iButton = SendMessageA(hToolbar, TB_COMMANDTOINDEX, idRun, 0);
    return SendMessageA(hToolbar, TB_GETITEMRECT, iButton, reinterpret_cast<LPARAM>(pRect));
}

LRESULT PassOn(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (!g_pfnPrevToolbarProc)
        return 0;
    return CallWindowProcA(g_pfnPrevToolbarProc, hWnd, uMsg, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK ToolbarWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (!g_pState)
        return PassOn(hWnd, uMsg, wParam, lParam);
    return g_pState->m_forumMenu.ToolbarProc(hWnd, uMsg, wParam, lParam);
}

void CForumMenu::InstallButton(int iBitmap)
{
    if (m_bToolbarHooked)
        return;
    HWND hToolbar = g_pState->m_hToolbarWnd;
    if (!hToolbar)
        return;

    RECT rect;
    if (!GetButtonRect(hToolbar, g_pState->m_idRun, &rect)) {
        TBBUTTON button = {};
        button.iBitmap = iBitmap;
        button.idCommand = static_cast<int>(g_pState->m_idRun);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = TBSTYLE_BUTTON;
        button.dwData = 0;
        button.iString = 0;
        SendMessageA(hToolbar, TB_INSERTBUTTONA, INSERT_AT_END, reinterpret_cast<LPARAM>(&button));
    }
    m_bToolbarHooked = TRUE;
    Subclass(hToolbar);
}

LRESULT CForumMenu::ToolbarProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg != WM_LBUTTONDOWN || (wParam & MK_SHIFT))
        return PassOn(hWnd, uMsg, wParam, lParam);

    RECT rect;
    GetButtonRect(g_pState->m_hToolbarWnd, g_pState->m_idRun, &rect);
    // Unsigned on purpose: coordinates with the top bit set lie far right or below, not left.
    POINT pt = {static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    if (!PtInRect(&rect, pt))
        return PassOn(hWnd, uMsg, wParam, lParam);

    // The press is swallowed, so the toolbar never pushes the button; the pick comes back to
    // the toolbar as WM_COMMAND and goes on to the client from there.
    ClientToScreen(hWnd, &pt);
    TrackPopupMenu(g_pState->m_hForumMenu, 0, pt.x, pt.y, 0, g_pState->m_hToolbarWnd, NULL);
    return 0;
}

void UnhookToolbar()
{
    // Every hooked toolbar passes its messages on to g_pfnPrevToolbarProc, so putting that back
    // keeps what each of them does, less the drop-down.
    WNDPROC pfnPrev = g_pfnPrevToolbarProc ? g_pfnPrevToolbarProc : DefWindowProcA;
    for (HWND& hWnd : s_hHookedWnds) {
        if (RunsToolbarWndProc(hWnd))
            SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnPrev));
        hWnd = NULL;
    }
    if (g_pState)
        g_pState->m_forumMenu.m_bToolbarHooked = FALSE;
}
