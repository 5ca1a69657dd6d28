// The viewer main window: a menu bar whose Tools menu holds command 134, a standard toolbar with
// buttons of its own, and a status bar. Commands of the extension's block go to DoCommand.
#pragma once

#include <windows.h>

class CClientLog;
class CExtensionHost;

const UINT ID_FILE_NEW = 40001;
const UINT ID_FILE_OPEN = 40002;
const UINT ID_FILE_DELETE = 40003;
const UINT ID_FILE_PRINT = 40004;
const UINT ID_FILE_EXIT = 40005;
const UINT ID_TOOLS_ADDRESS_BOOK = 40010;
const UINT ID_TOOLS_OPTIONS = 134;  // the command the extension anchors its Tools popup on
const UINT ID_HELP_ABOUT = 40020;

class CViewer {
public:
    explicit CViewer(CClientLog& log);
    ~CViewer();

    bool Create(HINSTANCE hInstance);
    void SetStatus(const char* pszText);

    HWND m_hWnd;
    HWND m_hToolbarWnd;
    HWND m_hStatusWnd;
    HMENU m_hMenuBar;
    UINT m_nOwnButtons;         // the toolbar's first free slot as the viewer hands it out
    CExtensionHost* m_pHost;    // set once the extension is loaded; not owned

private:
    CViewer(const CViewer&) = delete;
    CViewer& operator=(const CViewer&) = delete;

    static LRESULT CALLBACK ViewerWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    LRESULT WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void CreateMenuBar();
    bool CreateToolbar(HINSTANCE hInstance);
    void OnCommand(UINT id);
    void OnMenuSelect(UINT id, UINT uFlags);
    void Layout();

    CClientLog& m_log;
};
