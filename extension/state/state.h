// The extension's one per-process record, created at library load and destroyed at unload.
#pragma once

#include <windows.h>

#include "afxlite.h"
#include "forummenu/forummenu.h"
#include "launcher/launcher.h"

class CExtensionState {
public:
    CExtensionState();
    ~CExtensionState();

    // Records the toolbar and run command; the first call also loads the list and builds the menu.
    void Prepare(HWND hToolbarWnd, UINT idRun);
    // Carries out one command of the extension's block.
    void Dispatch(UINT id);
    // Brings the groupware (and the named forum) forward, asks it to open the forum, or starts it.
    BOOL Launch(const char* pszName);

    HINSTANCE m_hInstance;
    CForumMenu m_forumMenu;
    HMENU m_hForumMenu;
    HWND m_hGroupwareWnd;
    HWND m_hToolbarWnd;
    CForumLauncher m_launcher;
    HWND m_hPollerWnd;
    UINT m_idRun;
    BOOL m_bPrepared;

private:
    CExtensionState(const CExtensionState&) = delete;
    CExtensionState& operator=(const CExtensionState&) = delete;
};

extern AFX_EXTENSION_MODULE g_extModule;
extern CExtensionState* g_pState;
