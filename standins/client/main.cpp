// exchclient.exe: a stand-in for the Exchange client's viewer. It plays only the side of the
// client that the extension relies on: loading it, the calls of the host interface, a viewer with
// a menu bar and a standard toolbar, and commands routed back; its command line scripts a user.
#include <windows.h>
#include <commctrl.h>

#include <stdlib.h>

#include "clientlog.h"
#include "exthost.h"
#include "menudriver.h"
#include "options.h"
#include "viewer.h"

namespace {

// Lets everything that an action posted (a menu's WM_COMMAND, a toolbar notice) run.
void PumpIdle()
{
    DWORD idleSince = GetTickCount();
    while (GetTickCount() - idleSince < 150) {
        MSG msg;
        bool bAny = false;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            bAny = true;
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (bAny)
            idleSince = GetTickCount();
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
}

const char* ResultText(CMenuDriver::Result result)
{
    switch (result) {
    case CMenuDriver::PICKED: return "picked";
    case CMenuDriver::NOT_FOUND: return "not found";
    case CMenuDriver::DISMISSED: return "dismissed";
    default: return "no menu";
    }
}

// The Tools menu's "Hopstart" popup: the forum menu the button drops down.
HMENU ForumMenu(CViewer& viewer)
{
    int nPos = -1;
    HMENU hTools = FindPopupHolding(viewer.m_hMenuBar, ID_TOOLS_OPTIONS, &nPos);
    int nItems = hTools ? GetMenuItemCount(hTools) : 0;
    for (int i = nItems - 1; i >= 0; --i) {
        char szText[64] = "";
        GetMenuStringA(hTools, i, szText, sizeof szText, MF_BYPOSITION);
        if (lstrcmpA(szText, "Hopstart") == 0)
            return GetSubMenu(hTools, i);
    }
    return NULL;
}

class CScript {
public:
    CScript(const COptions& options, CViewer& viewer, CExtensionHost& host, CClientLog& log)
        : m_options(options), m_viewer(viewer), m_host(host), m_log(log)
    {
    }

    void Run()
    {
        const std::vector<CAction>& actions = m_options.m_actions;
        for (size_t i = 0; i < actions.size() && m_viewer.m_hWnd; ++i) {
            // A pick belongs to the click before it: the driver is armed before the menu opens.
            const CAction* pPick = i + 1 < actions.size() && actions[i + 1].m_kind == ACT_PICK
                                       ? &actions[i + 1]
                                       : NULL;
            if (Play(actions[i], pPick) && pPick)
                ++i;
            PumpIdle();
        }
    }

private:
    bool Play(const CAction& action, const CAction* pPick)
    {
        switch (action.m_kind) {
        case ACT_CLICK: return ClickButton(0, pPick);
        case ACT_SHIFT_CLICK: return ClickButton(MK_SHIFT, pPick);
        case ACT_DBLCLICK: return DoubleClick(pPick);
        case ACT_CLICK_AT: return Click(action.m_x, action.m_y, 0, pPick);
        case ACT_PICK: m_log.Line("pick %s no menu", action.m_path.c_str()); return false;
        case ACT_TOOLS: Tools(action.m_path); return false;
        case ACT_HELP: Help(); return false;
        case ACT_CLOSE: PostMessageA(m_viewer.m_hWnd, WM_CLOSE, 0, 0); return false;
        }
        return false;
    }

    bool ButtonCentre(POINT& pt)
    {
        HWND hToolbar = m_viewer.m_hToolbarWnd;
        LRESULT iButton = SendMessageA(hToolbar, TB_COMMANDTOINDEX, m_host.m_idBase, 0);
        RECT rc = {};
        if (iButton < 0 ||
            !SendMessageA(hToolbar, TB_GETITEMRECT, iButton, reinterpret_cast<LPARAM>(&rc))) {
            m_log.Line("button missing");
            return false;
        }
        pt.x = (rc.left + rc.right) / 2;
        pt.y = (rc.top + rc.bottom) / 2;
        return true;
    }

    bool ClickButton(WPARAM keys, const CAction* pPick)
    {
        POINT pt;
        if (!ButtonCentre(pt))
            return false;
        return Click(pt.x, pt.y, keys, pPick);
    }

    // Press and release; a menu that the press drops down is driven by the armed timer.
    bool Click(int x, int y, WPARAM keys, const CAction* pPick)
    {
        HWND hToolbar = m_viewer.m_hToolbarWnd;
        LPARAM lParam = MAKELPARAM(x, y);
        m_log.Line("click %d %d%s", x, y, keys & MK_SHIFT ? " shift" : "");
        m_driver.Arm(ForumMenu(m_viewer), pPick ? pPick->m_path : std::string(),
                     m_options.m_msHold, m_options.m_shot);
        SendMessageA(hToolbar, WM_LBUTTONDOWN, MK_LBUTTON | keys, lParam);
        SendMessageA(hToolbar, WM_LBUTTONUP, keys, lParam);
        CMenuDriver::Result result = m_driver.Disarm();
        if (result != CMenuDriver::NO_MENU) {
            POINT origin = m_driver.MenuOrigin();
            m_log.Line("dropdown at %ld %ld", origin.x, origin.y);
        }
        if (pPick)
            m_log.Line("pick %s %s", pPick->m_path.c_str(), ResultText(result));
        return true;
    }

    bool DoubleClick(const CAction* pPick)
    {
        POINT pt;
        if (!ButtonCentre(pt))
            return false;
        LPARAM lParam = MAKELPARAM(pt.x, pt.y);
        m_log.Line("dblclick %ld %ld", pt.x, pt.y);
        m_driver.Arm(ForumMenu(m_viewer), pPick ? pPick->m_path : std::string(),
                     m_options.m_msHold, m_options.m_shot);
        SendMessageA(m_viewer.m_hToolbarWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, lParam);
        SendMessageA(m_viewer.m_hToolbarWnd, WM_LBUTTONUP, 0, lParam);
        CMenuDriver::Result result = m_driver.Disarm();
        if (pPick)
            m_log.Line("pick %s %s", pPick->m_path.c_str(), ResultText(result));
        return true;
    }

    // Opens the Tools menu under its menu-bar title, as a click on the title would.
    void Tools(const std::string& path)
    {
        int nPos = -1;
        HMENU hTools = FindPopupHolding(m_viewer.m_hMenuBar, ID_TOOLS_OPTIONS, &nPos);
        RECT rc = {};
        GetMenuItemRect(m_viewer.m_hWnd, m_viewer.m_hMenuBar, 1, &rc);
        m_driver.Arm(hTools, path, m_options.m_msHold, m_options.m_shot);
        TrackPopupMenu(hTools, TPM_LEFTALIGN | TPM_TOPALIGN, rc.left, rc.bottom, 0,
                       m_viewer.m_hWnd, NULL);
        m_log.Line("tools %s %s", path.c_str(), ResultText(m_driver.Disarm()));
    }

    void Help()
    {
        ArmAboutCloser(m_log);
        m_host.Help(m_host.m_idBase);
        DisarmAboutCloser();
    }

    const COptions& m_options;
    CViewer& m_viewer;
    CExtensionHost& m_host;
    CClientLog& m_log;
    CMenuDriver m_driver;
};

int RunViewer(HINSTANCE hInstance, const COptions& options, CClientLog& log)
{
    CViewer viewer(log);
    if (!viewer.Create(hInstance)) {
        log.Line("viewer failed");
        return 3;
    }
    CExtensionHost host(viewer, log);
    if (!host.Load(options.m_dll))
        return 2;
    viewer.m_pHost = &host;
    host.Install(options.m_ulVersion, options.m_idBase);
    PumpIdle();

    CScript script(options, viewer, host, log);
    script.Run();
    if (!options.m_bStay && viewer.m_hWnd)
        PostMessageA(viewer.m_hWnd, WM_CLOSE, 0, 0);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    viewer.m_pHost = NULL;
    host.Release();
    host.Unload();
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    COptions options;
    std::string error;
    CClientLog log;
    bool bParsed = ParseOptions(__argc, __argv, options, error);
    if (!options.m_log.empty())
        log.Open(options.m_log.c_str());
    if (!bParsed) {
        log.Line("bad argument %s", error.c_str());
        return 1;
    }
    return RunViewer(hInstance, options, log);
}
