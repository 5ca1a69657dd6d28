#include "menudriver.h"

#include "clientlog.h"
#include "snapshot.h"

namespace {

const UINT TICK_MS = 40;
const int MAX_STEPS = 200;

CMenuDriver* g_pDriver;

// The highlighted item of a popup, or -1.
int HilitedItem(HMENU hMenu)
{
    int nItems = GetMenuItemCount(hMenu);
    for (int i = 0; i < nItems; ++i) {
        if (GetMenuState(hMenu, i, MF_BYPOSITION) & MF_HILITE)
            return i;
    }
    return -1;
}

int FindItem(HMENU hMenu, const std::string& label)
{
    int nItems = GetMenuItemCount(hMenu);
    for (int i = 0; i < nItems; ++i) {
        char szText[128] = "";
        GetMenuStringA(hMenu, i, szText, sizeof szText, MF_BYPOSITION);
        if (label == szText)
            return i;
    }
    return -1;
}

}  // namespace

void CMenuDriver::Arm(HMENU hMenu, const std::string& path, DWORD msHold,
                      const std::string& shot)
{
    *this = CMenuDriver();
    m_hMenu = hMenu;
    m_path = path;
    m_msHold = msHold;
    m_shot = shot;
    g_pDriver = this;
    m_idTimer = SetTimer(NULL, 0, TICK_MS, TimerProc);
}

CMenuDriver::Result CMenuDriver::Disarm()
{
    if (m_idTimer)
        KillTimer(NULL, m_idTimer);
    m_idTimer = 0;
    g_pDriver = NULL;
    return m_result;
}

void CALLBACK CMenuDriver::TimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_pDriver)
        g_pDriver->Step();
}

std::string CMenuDriver::NextLabel() const
{
    size_t end = m_path.find('/', m_nLabel);
    return m_path.substr(m_nLabel, end == std::string::npos ? std::string::npos : end - m_nLabel);
}

void CMenuDriver::Key(HWND hMenuWnd, WPARAM vk)
{
    PostMessageA(hMenuWnd, WM_KEYDOWN, vk, 0);
    ++m_nSteps;
}

// One key per tick: move down until the wanted item is highlighted, then open it or choose it.
void CMenuDriver::Step()
{
    HWND hMenuWnd = FindWindowA("#32768", NULL);
    if (m_bDone || !hMenuWnd || !IsWindowVisible(hMenuWnd))
        return;
    if (!m_tickSeen) {
        m_tickSeen = GetTickCount();
        RECT rc = {};
        GetWindowRect(hMenuWnd, &rc);
        m_ptOrigin.x = rc.left;
        m_ptOrigin.y = rc.top;
    }
    if (m_result == NO_MENU)
        m_result = DISMISSED;
    if (m_path.empty() || m_nSteps > MAX_STEPS || !m_hMenu) {
        Key(hMenuWnd, VK_ESCAPE);
        return;
    }
    int iWanted = FindItem(m_hMenu, NextLabel());
    if (iWanted < 0) {
        m_result = NOT_FOUND;
        m_path.clear();
        Key(hMenuWnd, VK_ESCAPE);
        return;
    }
    if (HilitedItem(m_hMenu) != iWanted) {
        Key(hMenuWnd, VK_DOWN);
        return;
    }
    HMENU hSub = GetSubMenu(m_hMenu, iWanted);
    size_t slash = m_path.find('/', m_nLabel);
    if (hSub && slash != std::string::npos) {
        m_hMenu = hSub;
        m_nLabel = slash + 1;
        Key(hMenuWnd, VK_RIGHT);
        return;
    }
    if (GetTickCount() - m_tickSeen < m_msHold) {
        // Kept open for a picture.
        if (!m_shot.empty() && GetTickCount() - m_tickSeen >= m_msHold / 2) {
            SaveSnapshot(m_shot);
            m_shot.clear();
        }
        return;
    }
    m_result = PICKED;
    m_bDone = true;
    Key(hMenuWnd, VK_RETURN);
}

namespace {

CClientLog* g_pAboutLog;
UINT_PTR g_idAboutTimer;

BOOL CALLBACK LongestStaticProc(HWND hChild, LPARAM lParam)
{
    char szClass[16] = "";
    GetClassNameA(hChild, szClass, sizeof szClass);
    if (lstrcmpiA(szClass, "Static") != 0)
        return TRUE;
    char szText[1024] = "";
    GetWindowTextA(hChild, szText, sizeof szText);
    std::string& best = *reinterpret_cast<std::string*>(lParam);
    if (strlen(szText) > best.size())
        best = szText;
    return TRUE;
}

void CALLBACK AboutTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hBox = FindWindowA("#32770", "About Hopstart");
    if (!hBox || !g_pAboutLog)
        return;
    std::string text;
    EnumChildWindows(hBox, LongestStaticProc, reinterpret_cast<LPARAM>(&text));
    std::string escaped;
    for (char c : text) {
        if (c == '\n')
            escaped += "\\n";
        else if (c != '\r')
            escaped += c;
    }
    g_pAboutLog->Line("about %s", escaped.c_str());
    g_pAboutLog = NULL;
    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
}

}  // namespace

void ArmAboutCloser(CClientLog& log)
{
    g_pAboutLog = &log;
    g_idAboutTimer = SetTimer(NULL, 0, TICK_MS, AboutTimerProc);
}

void DisarmAboutCloser()
{
    if (g_idAboutTimer)
        KillTimer(NULL, g_idAboutTimer);
    g_idAboutTimer = 0;
    g_pAboutLog = NULL;
}
