// The window procedures the extension puts into the client's toolbar and into its own poller
// window, and the calls that take them out again before the library's code goes away.
#pragma once

#include <windows.h>

LRESULT CALLBACK ToolbarWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PollerWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// The procedure the toolbar had before the last hook; what ToolbarWndProc passes messages on to.
extern WNDPROC g_pfnPrevToolbarProc;

// Puts the previous procedure back into every hooked toolbar that still runs ToolbarWndProc and
// starts a new hook cycle.
void UnhookToolbar();
// Takes PollerWndProc out of the poller window and destroys it (from its own thread).
void DestroyPollerWindow();
