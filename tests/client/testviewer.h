// A small viewer of the test's own for driving HOPEXT.DLL in process: a window with a menu bar
// (Tools holding command 134), real common toolbars whose procedures a spy records, a callback
// that answers as a client does, and the library loaded and entered as the client loads it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "exchext_host.h"

const UINT ID_TOOLS_OPTIONS = 134;
const int OWN_BUTTONS = 3;

// GetVersion, GetMenu and GetMenuPos as the client answers them; nothing else may be called.
class CTestCallback : public IExchExtCallback {
public:
    ULONG m_ulVersion = 0x000D0FA0;
    HMENU m_hMenuBar = NULL;
    HMENU m_hTools = NULL;   // what GetMenuPos(134) gives; null plays a client without one
    int m_nGetMenuPos = 0;

    STDMETHODIMP QueryInterface(REFIID, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetVersion(ULONG* pulVersion, ULONG ulFlags) override;
    STDMETHODIMP Unused2() override;
    STDMETHODIMP GetMenu(HMENU* phMenu) override;
    STDMETHODIMP Unused4() override;
    STDMETHODIMP Unused5() override;
    STDMETHODIMP Unused6() override;
    STDMETHODIMP Unused7() override;
    STDMETHODIMP Unused8() override;
    STDMETHODIMP GetMenuPos(ULONG idCommand, HMENU* phMenu, ULONG* pposMin, ULONG* pposMax,
                            ULONG ulFlags) override;
};

// One mouse message as a toolbar's own procedure received it.
struct CSpiedMessage {
    HWND m_hWnd;
    UINT m_uMsg;
    WPARAM m_wParam;
    LPARAM m_lParam;
};

class CTestViewer {
public:
    CTestViewer();
    ~CTestViewer();

    // The main window, its menu bar and one standard toolbar with OWN_BUTTONS buttons.
    bool Create();
    // Another toolbar child of the main window, with the same buttons.
    HWND AddToolbar();
    void Destroy();

    HWND m_hWnd = NULL;
    HWND m_hToolbarWnd = NULL;
    HMENU m_hMenuBar = NULL;
    HMENU m_hTools = NULL;
    CTestCallback m_callback;
    std::vector<UINT> m_commands;  // WM_COMMAND ids that reached the main window

    // What the toolbars' own procedures got (mouse buttons only); with m_bSwallow set they
    // answer SPY_RESULT instead of acting.
    static std::vector<CSpiedMessage> s_spied;
    static bool s_bSwallow;
    static const LRESULT SPY_RESULT = 0x5A5A;
    static LRESULT CALLBACK SpyWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK ViewerWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    std::vector<HWND> m_toolbars;
};

// HOPEXT.DLL loaded from disk, entered by ordinal 1 and installed as one viewer's extension.
class CExtSession {
public:
    CExtSession() = default;
    ~CExtSession();

    bool Load();
    // Install for the context, then the two interfaces as the client asks for them.
    HRESULT Install(CTestCallback& callback, ULONG ulContext = EECONTEXT_VIEWER);
    HRESULT InstallCommands(CTestViewer& viewer, UINT* pidBase, std::vector<TBENTRY>& toolbars);
    // Install, InstallCommands on the viewer's standard toolbar at base, InitMenu.
    bool InstallViewer(CTestViewer& viewer, UINT idBase);
    void ReleaseInterfaces();
    void Unload();

    HMODULE m_hLib = NULL;
    IExchExt* m_pExt = NULL;
    IExchExtCommands* m_pCommands = NULL;
    IExchExtUserEvents* m_pEvents = NULL;

private:
    CExtSession(const CExtSession&) = delete;
    CExtSession& operator=(const CExtSession&) = delete;
};

// The forum list of most cases: one forum before the first group, then a group of one forum.
//   Run Konvera (B), separator, Company news (B+1), Sales { Price list (B+3) }
void WriteStandardLibrary(const std::string& scratchName);
const int STANDARD_ENTRIES = 3;

// A menu as text: "Run Konvera=1000|-|Company news=1001|Sales{Price list=1003}".
std::string MenuTree(HMENU hMenu);
// The Tools menu's "Hopstart" popup (the last one), or null.
HMENU HopstartPopup(HMENU hTools);
// Centre of the button carrying command id, in toolbar client coordinates; false without one.
bool ButtonCentre(HWND hToolbar, UINT id, POINT& pt);
// Runs the messages already queued (a menu's WM_COMMAND, a toolbar's notices).
void PumpPending();
