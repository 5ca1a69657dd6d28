// The toolbar button and its drop-down on a real common toolbar: the hook cycle, the button as
// inserted, which messages are swallowed and which reach the toolbar's previous procedure, and
// what unloading leaves in the toolbar.
//
// Each toolbar is first subclassed by a recorder, which then is the procedure the extension's
// subclass passes messages on to; the recorder chains to the real toolbar procedure.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "afxlite.h"
#include "forummenu/windowprocs.h"
#include "state/state.h"
#include "winenv.h"

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved);

namespace {

const UINT R = 1000;             // run command id
const LRESULT ANSWER = 0x5EED;   // what the recorder answers for the message under test
const char ORIGINAL_PROC[] = "HopTestOriginalProc";

struct Call {
    HWND hWnd;
    UINT uMsg;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Call> g_calls;
Call g_answerFor;  // the one message the recorder answers itself instead of chaining
std::vector<UINT> g_parentCommands;

bool IsAnswered(const Call& c)
{
    return c.uMsg && c.hWnd == g_answerFor.hWnd && c.uMsg == g_answerFor.uMsg &&
           c.wParam == g_answerFor.wParam && c.lParam == g_answerFor.lParam;
}

// Two recorders, so that a test can tell which one a hook took as its predecessor.
template <int N> LRESULT CALLBACK RecorderWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    Call call = {hWnd, uMsg, wParam, lParam};
    g_calls.push_back(call);
    if (IsAnswered(call))
        return ANSWER;
    WNDPROC pfnOriginal = reinterpret_cast<WNDPROC>(GetPropA(hWnd, ORIGINAL_PROC));
    if (uMsg == WM_NCDESTROY)
        RemovePropA(hWnd, ORIGINAL_PROC);
    return CallWindowProcA(pfnOriginal, hWnd, uMsg, wParam, lParam);
}
const WNDPROC Recorder1 = RecorderWndProc<1>;
const WNDPROC Recorder2 = RecorderWndProc<2>;

LRESULT CALLBACK ParentWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_COMMAND)
        g_parentCommands.push_back(LOWORD(wParam));
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

std::vector<Call> CallsOf(UINT uMsg)
{
    std::vector<Call> calls;
    for (auto& c : g_calls)
        if (c.uMsg == uMsg)
            calls.push_back(c);
    return calls;
}

// The recorded messages, for failure messages.
std::string Listing(const std::vector<Call>& calls)
{
    std::string out;
    char line[80];
    for (auto& c : calls) {
        snprintf(line, sizeof line, "%04x %llx %llx\n", c.uMsg,
                 static_cast<unsigned long long>(c.wParam),
                 static_cast<unsigned long long>(c.lParam));
        out += line;
    }
    return out;
}

LONG_PTR ProcOf(HWND hWnd)
{
    return GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
}
LONG_PTR AsLong(WNDPROC pfn)
{
    return reinterpret_cast<LONG_PTR>(pfn);
}

// Drives the modal loop of a dropped-down menu from a thread timer: notes where the menu showed,
// then sends it one key a tick, and Escape once the keys are used up.
struct MenuDriver {
    std::vector<WPARAM> keys;
    size_t iNext = 0;
    bool bSeen = false;
    RECT rect = {};
};
MenuDriver g_driver;

void CALLBACK MenuTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hMenu = FindWindowA("#32768", NULL);
    if (!hMenu || !IsWindowVisible(hMenu))
        return;
    if (!g_driver.bSeen) {
        g_driver.bSeen = true;
        GetWindowRect(hMenu, &g_driver.rect);
    }
    WPARAM key = g_driver.iNext < g_driver.keys.size() ? g_driver.keys[g_driver.iNext++] : VK_ESCAPE;
    PostMessageA(hMenu, WM_KEYDOWN, key, 0);
}

// Sends one message to the toolbar with the menu driver running; a menu that opens is closed.
LRESULT SendWithMenuDriver(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                           std::vector<WPARAM> keys = {})
{
    g_driver = MenuDriver();
    g_driver.keys = keys;
    UINT_PTR idTimer = SetTimer(NULL, 0, 50, MenuTimerProc);
    LRESULT lResult = SendMessageA(hWnd, uMsg, wParam, lParam);
    KillTimer(NULL, idTimer);
    return lResult;
}

class ToolbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitCommonControls();
        HINSTANCE hInstance = GetModuleHandleA(NULL);
        AfxGetAppState()->m_hCurrentResourceHandle = hInstance;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentWndProc;
        wc.hInstance = hInstance;
        wc.lpszClassName = "HopTestParent";
        RegisterClassA(&wc);
        m_hParent = CreateWindowExA(0, "HopTestParent", "viewer", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    100, 120, 500, 300, NULL, NULL, hInstance, NULL);
        ASSERT_NE(nullptr, m_hParent);

        g_pState = new CExtensionState;
        g_pState->m_hInstance = hInstance;
        g_calls.clear();
        g_answerFor = Call();
        g_parentCommands.clear();
    }
    void TearDown() override
    {
        // Back to the recorders first: a failed test must not leave a toolbar that loops.
        for (size_t i = 0; i < m_toolbars.size(); i++) {
            SetWindowLongPtrA(m_toolbars[i], GWLP_WNDPROC, AsLong(m_recorders[i]));
            DestroyWindow(m_toolbars[i]);
        }
        DestroyWindow(m_hParent);
        if (g_pState) {
            DestroyPollerWindow();
            delete g_pState;
            g_pState = NULL;
        }
    }

    // A standard toolbar with buttons of these commands, subclassed by a recorder.
    HWND MakeToolbar(std::vector<UINT> commands, WNDPROC pfnRecorder = Recorder1)
    {
        HWND hWnd = CreateWindowExA(0, TOOLBARCLASSNAMEA, NULL, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                    m_hParent, reinterpret_cast<HMENU>(1), GetModuleHandleA(NULL),
                                    NULL);
        EXPECT_NE(nullptr, hWnd);
        SendMessageA(hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        SendMessageA(hWnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(24, 23));
        for (UINT id : commands) {
            TBBUTTON button = {};
            button.idCommand = static_cast<int>(id);
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = TBSTYLE_BUTTON;
            SendMessageA(hWnd, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
        }
        SetPropA(hWnd, ORIGINAL_PROC, reinterpret_cast<HANDLE>(GetWindowLongPtrA(hWnd, GWLP_WNDPROC)));
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, AsLong(pfnRecorder));
        m_toolbars.push_back(hWnd);
        m_recorders.push_back(pfnRecorder);
        return hWnd;
    }

    // What the command interface leaves: the toolbar and run command recorded, a forum menu.
    void Prepared(HWND hToolbar)
    {
        g_pState->m_hToolbarWnd = hToolbar;
        g_pState->m_idRun = R;
        if (g_pState->m_hForumMenu)
            return;
        CForumMenu& menu = g_pState->m_forumMenu;
        menu.m_nEntries = 2;
        menu.m_pEntries = new CForumEntry[2];
        menu.m_pEntries[0].m_bGroup = TRUE;
        menu.m_pEntries[0].m_pszLabel = _strdup("Sales");
        menu.m_pEntries[1].m_pszName = _strdup("Pricing");
        menu.m_pEntries[1].m_pszLabel = _strdup("Price list");
        g_pState->m_hForumMenu = CreatePopupMenu();
        menu.BuildMenu(g_pState->m_hForumMenu, R);
    }

    // A toolbar with the run button placed, hooked, and with the recorder's list cleared.
    HWND HookedToolbar()
    {
        HWND hWnd = MakeToolbar({10, R, 12});
        Prepared(hWnd);
        g_pState->m_forumMenu.InstallButton(7);
        g_calls.clear();
        return hWnd;
    }

    static RECT RunButtonRect(HWND hToolbar)
    {
        RECT rect = {};
        LRESULT i = SendMessageA(hToolbar, TB_COMMANDTOINDEX, R, 0);
        SendMessageA(hToolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    static POINT Centre(const RECT& rect)
    {
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    HWND m_hParent = NULL;
    std::vector<HWND> m_toolbars;
    std::vector<WNDPROC> m_recorders;
};

TEST_F(ToolbarTest, NothingHappensBeforePreparation)
{
    HWND hToolbar = MakeToolbar({10, 11});
    g_pState->m_forumMenu.InstallButton(7);
    EXPECT_TRUE(g_calls.empty()) << Listing(g_calls);
    EXPECT_FALSE(g_pState->m_forumMenu.m_bToolbarHooked);
    EXPECT_EQ(AsLong(Recorder1), ProcOf(hToolbar));

    // The next call after a preparation hooks.
    g_pState->Prepare(hToolbar, R);
    g_pState->m_forumMenu.InstallButton(7);
    EXPECT_TRUE(g_pState->m_forumMenu.m_bToolbarHooked);
    EXPECT_EQ(AsLong(ToolbarWndProc), ProcOf(hToolbar));
    EXPECT_EQ(3, SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0));
}

TEST_F(ToolbarTest, ButtonPlacedByTheClientIsKeptAndTheToolbarHooked)
{
    HWND hToolbar = MakeToolbar({10, R, 12});
    Prepared(hToolbar);
    g_pState->m_forumMenu.InstallButton(7);

    ASSERT_EQ(2u, g_calls.size()) << Listing(g_calls);
    EXPECT_EQ(static_cast<UINT>(TB_COMMANDTOINDEX), g_calls[0].uMsg);
    EXPECT_EQ(R, g_calls[0].wParam);
    EXPECT_EQ(0, g_calls[0].lParam);
    EXPECT_EQ(static_cast<UINT>(TB_GETITEMRECT), g_calls[1].uMsg);
    EXPECT_EQ(1u, g_calls[1].wParam);
    EXPECT_EQ(3, SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0));
    EXPECT_TRUE(g_pState->m_forumMenu.m_bToolbarHooked);
    EXPECT_EQ(AsLong(ToolbarWndProc), ProcOf(hToolbar));
    EXPECT_EQ(Recorder1, g_pfnPrevToolbarProc);
}

TEST_F(ToolbarTest, MissingButtonIsInsertedAtTheEndOnceACycle)
{
    HWND hToolbar = MakeToolbar({10, 11, 12});
    Prepared(hToolbar);
    g_pState->m_forumMenu.InstallButton(7);

    // The toolbar then sizes itself; nothing else of ours follows.
    ASSERT_GE(g_calls.size(), 3u) << Listing(g_calls);
    EXPECT_EQ(1u, CallsOf(TB_INSERTBUTTONA).size() + CallsOf(TB_INSERTBUTTONW).size());
    EXPECT_EQ(static_cast<UINT>(TB_GETITEMRECT), g_calls[1].uMsg);
    EXPECT_EQ(static_cast<WPARAM>(-1), g_calls[1].wParam);
    EXPECT_EQ(static_cast<UINT>(TB_INSERTBUTTONA), g_calls[2].uMsg);
    EXPECT_EQ(99u, g_calls[2].wParam);
    ASSERT_EQ(4, SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0));
    TBBUTTON button;
    memset(&button, 0xAB, sizeof button);
    ASSERT_TRUE(SendMessageA(hToolbar, TB_GETBUTTON, 3, reinterpret_cast<LPARAM>(&button)));
    EXPECT_EQ(7, button.iBitmap);
    EXPECT_EQ(static_cast<int>(R), button.idCommand);
    EXPECT_EQ(TBSTATE_ENABLED, button.fsState);
    EXPECT_EQ(TBSTYLE_BUTTON, button.fsStyle);
    EXPECT_EQ(0u, button.dwData);
    EXPECT_EQ(0, button.iString);
    RECT rect = RunButtonRect(hToolbar);
    EXPECT_FALSE(IsRectEmpty(&rect));
    EXPECT_TRUE(g_pState->m_forumMenu.m_bToolbarHooked);
    EXPECT_EQ(AsLong(ToolbarWndProc), ProcOf(hToolbar));

    // While the cycle lasts, nothing more: not for this toolbar, nor for another one that a
    // later preparation recorded.
    g_calls.clear();
    g_pState->m_forumMenu.InstallButton(7);
    HWND hOther = MakeToolbar({10});
    g_pState->Prepare(hOther, R);
    g_pState->m_forumMenu.InstallButton(7);
    EXPECT_TRUE(g_calls.empty()) << Listing(g_calls);
    EXPECT_EQ(4, SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0));
    EXPECT_EQ(1, SendMessageA(hOther, TB_BUTTONCOUNT, 0, 0));
    EXPECT_EQ(AsLong(Recorder1), ProcOf(hOther));
    EXPECT_EQ(Recorder1, g_pfnPrevToolbarProc);
}

TEST_F(ToolbarTest, PlainClickOnTheButtonDropsTheForumMenuThereAndIsSwallowed)
{
    HWND hToolbar = HookedToolbar();
    POINT pt = Centre(RunButtonRect(hToolbar));
    EXPECT_EQ(0, SendWithMenuDriver(hToolbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y)));

    ASSERT_TRUE(g_driver.bSeen) << "no menu dropped down";
    ClientToScreen(hToolbar, &pt);
    EXPECT_EQ(pt.x, g_driver.rect.left);
    EXPECT_EQ(pt.y, g_driver.rect.top);
    EXPECT_TRUE(CallsOf(WM_LBUTTONDOWN).empty()) << "the press reached the toolbar";
    // The toolbar owns the menu: it is told of the forum menu's opening.
    std::vector<Call> inits = CallsOf(WM_INITMENUPOPUP);
    ASSERT_FALSE(inits.empty());
    EXPECT_EQ(hToolbar, inits[0].hWnd);
    EXPECT_EQ(reinterpret_cast<WPARAM>(g_pState->m_hForumMenu), inits[0].wParam);
    EXPECT_TRUE(g_parentCommands.empty());
}

TEST_F(ToolbarTest, PickedItemReachesTheClientWindowAsCommand)
{
    struct {
        const char* pszWhat;
        std::vector<WPARAM> keys;
        UINT id;
    } cases[] = {
        {"Run Konvera", {VK_DOWN, VK_RETURN}, R},
        {"Sales/Price list", {VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN}, R + 2},
    };
    HWND hToolbar = HookedToolbar();
    POINT pt = Centre(RunButtonRect(hToolbar));
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        g_calls.clear();
        g_parentCommands.clear();
        EXPECT_EQ(0, SendWithMenuDriver(hToolbar, WM_LBUTTONDOWN, 0, MAKELPARAM(pt.x, pt.y),
                                        c.keys));
        PumpUntil([] { return !g_parentCommands.empty(); }, 2000);
        std::vector<Call> commands = CallsOf(WM_COMMAND);
        ASSERT_EQ(1u, commands.size());
        EXPECT_EQ(c.id, LOWORD(commands[0].wParam));
        EXPECT_EQ(std::vector<UINT>{c.id}, g_parentCommands);
    }
}

TEST_F(ToolbarTest, EverythingElseIsPassedOnUnchanged)
{
    HWND hToolbar = HookedToolbar();
    RECT rect = RunButtonRect(hToolbar);
    POINT in = Centre(rect);
    struct {
        const char* pszWhat;
        UINT uMsg;
        WPARAM wParam;
        LPARAM lParam;
    } cases[] = {
        {"click with Shift", WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(in.x, in.y)},
        {"click right of the button", WM_LBUTTONDOWN, MK_LBUTTON,
         MAKELPARAM(rect.right + 40, in.y)},
        {"click below the button", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(in.x, rect.bottom + 1)},
        {"x with its top bit set", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0x8000 | in.x, in.y)},
        {"y with its top bit set", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(in.x, 0xFFFF)},
        {"double click", WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(in.x, in.y)},
        {"right button", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(in.x, in.y)},
        {"button up", WM_LBUTTONUP, 0, MAKELPARAM(in.x, in.y)},
        {"mouse move", WM_MOUSEMOVE, 0, MAKELPARAM(in.x, in.y)},
        {"command", WM_COMMAND, R, 0},
        {"toolbar message", TB_BUTTONCOUNT, 0, 0},
        {"private message", WM_APP + 1, 0x1234, 0x5678},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        g_calls.clear();
        g_answerFor = {hToolbar, c.uMsg, c.wParam, c.lParam};
        EXPECT_EQ(ANSWER, SendWithMenuDriver(hToolbar, c.uMsg, c.wParam, c.lParam));
        EXPECT_FALSE(g_driver.bSeen) << "a menu dropped down";
        std::vector<Call> calls = CallsOf(c.uMsg);
        ASSERT_EQ(1u, calls.size());
        EXPECT_EQ(hToolbar, calls[0].hWnd);
        EXPECT_EQ(c.wParam, calls[0].wParam);
        EXPECT_EQ(c.lParam, calls[0].lParam);
    }
}

TEST_F(ToolbarTest, WithoutPreviousProcedureEveryMissGetsZero)
{
    HWND hToolbar = HookedToolbar();
    POINT in = Centre(RunButtonRect(hToolbar));
    WNDPROC pfnSaved = g_pfnPrevToolbarProc;
    g_calls.clear();
    g_pfnPrevToolbarProc = NULL;  // as after a failed subclass
    LRESULT lShift = SendWithMenuDriver(hToolbar, WM_LBUTTONDOWN, MK_SHIFT, MAKELPARAM(in.x, in.y));
    LRESULT lCount = SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0);
    bool bSeen = g_driver.bSeen;
    g_pfnPrevToolbarProc = pfnSaved;

    EXPECT_EQ(0, lShift);
    EXPECT_EQ(0, lCount);
    EXPECT_FALSE(bSeen);
    EXPECT_TRUE(g_calls.empty()) << Listing(g_calls);
}

TEST_F(ToolbarTest, NewCycleHooksTheNewToolbarOverItsOwnPredecessor)
{
    HWND hFirst = HookedToolbar();
    g_pState->m_forumMenu.m_bToolbarHooked = FALSE;  // the extension object went away
    HWND hSecond = MakeToolbar({10, 11}, Recorder2);
    g_pState->Prepare(hSecond, R);
    g_pState->m_forumMenu.InstallButton(7);

    EXPECT_TRUE(g_pState->m_forumMenu.m_bToolbarHooked);
    EXPECT_EQ(AsLong(ToolbarWndProc), ProcOf(hSecond));
    EXPECT_EQ(Recorder2, g_pfnPrevToolbarProc);
    EXPECT_EQ(3, SendMessageA(hSecond, TB_BUTTONCOUNT, 0, 0));
    EXPECT_EQ(AsLong(ToolbarWndProc), ProcOf(hFirst)) << "the first subclass stays";
    EXPECT_EQ(3, SendMessageA(hFirst, TB_BUTTONCOUNT, 0, 0));
}

TEST_F(ToolbarTest, HookingAHookedToolbarAgainNeverMakesItItsOwnPredecessor)
{
    HWND hToolbar = HookedToolbar();
    HWND hSecond = MakeToolbar({10, R}, Recorder2);
    struct {
        const char* pszWhat;
        HWND hBetween;  // toolbar hooked in a cycle between the two hooks of hToolbar, or none
        WNDPROC pfnPrev;
    } cases[] = {
        {"same toolbar next cycle", NULL, Recorder1},
        {"after another toolbar's cycle", hSecond, Recorder2},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        if (c.hBetween) {
            g_pState->m_forumMenu.m_bToolbarHooked = FALSE;
            g_pState->Prepare(c.hBetween, R);
            g_pState->m_forumMenu.InstallButton(7);
        }
        g_pState->m_forumMenu.m_bToolbarHooked = FALSE;
        g_pState->Prepare(hToolbar, R);
        g_pState->m_forumMenu.InstallButton(7);

        EXPECT_EQ(AsLong(ToolbarWndProc), ProcOf(hToolbar));
        ASSERT_EQ(c.pfnPrev, g_pfnPrevToolbarProc) << "a message passed on would come back";
        g_calls.clear();
        g_answerFor = {hToolbar, WM_APP + 2, 0, 0};
        EXPECT_EQ(ANSWER, SendMessageA(hToolbar, WM_APP + 2, 0, 0));
        EXPECT_EQ(1u, CallsOf(WM_APP + 2).size());
        EXPECT_EQ(3, SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0));
    }
}

TEST_F(ToolbarTest, UnloadPutsPreviousProceduresBackAndDestroysThePoller)
{
    HWND hFirst = HookedToolbar();
    g_pState->Prepare(hFirst, R);
    HWND hPoller = g_pState->m_hPollerWnd;
    ASSERT_TRUE(IsWindow(hPoller));
    g_pState->m_forumMenu.m_bToolbarHooked = FALSE;
    HWND hSecond = MakeToolbar({10, R}, Recorder2);
    g_pState->Prepare(hSecond, R);
    g_pState->m_forumMenu.InstallButton(7);

    EXPECT_TRUE(DllMain(GetModuleHandleA(NULL), DLL_PROCESS_DETACH, NULL));
    EXPECT_EQ(nullptr, g_pState);
    EXPECT_FALSE(IsWindow(hPoller));
    EXPECT_EQ(AsLong(Recorder2), ProcOf(hSecond));
    // The first toolbar was passing its messages on to the last stored predecessor already.
    EXPECT_EQ(AsLong(Recorder2), ProcOf(hFirst));

    // A click on the button is the toolbar's own again.
    POINT in = Centre(RunButtonRect(hSecond));
    g_calls.clear();
    g_answerFor = {hSecond, WM_LBUTTONDOWN, 0, MAKELPARAM(in.x, in.y)};
    EXPECT_EQ(ANSWER, SendWithMenuDriver(hSecond, WM_LBUTTONDOWN, 0, MAKELPARAM(in.x, in.y)));
    EXPECT_FALSE(g_driver.bSeen);
    EXPECT_EQ(3, SendMessageA(hFirst, TB_BUTTONCOUNT, 0, 0));
}

TEST_F(ToolbarTest, ProcessExitLeavesTheWindowsAndTheyOutliveTheState)
{
    HWND hToolbar = HookedToolbar();
    POINT in = Centre(RunButtonRect(hToolbar));
    EXPECT_TRUE(DllMain(GetModuleHandleA(NULL), DLL_PROCESS_DETACH, reinterpret_cast<LPVOID>(1)));
    EXPECT_EQ(nullptr, g_pState);
    EXPECT_EQ(AsLong(ToolbarWndProc), ProcOf(hToolbar));

    // Without a state every message goes on to the previous procedure.
    g_answerFor = {hToolbar, WM_LBUTTONDOWN, 0, MAKELPARAM(in.x, in.y)};
    EXPECT_EQ(ANSWER, SendWithMenuDriver(hToolbar, WM_LBUTTONDOWN, 0, MAKELPARAM(in.x, in.y)));
    EXPECT_FALSE(g_driver.bSeen);
    UnhookToolbar();
    EXPECT_EQ(AsLong(Recorder1), ProcOf(hToolbar));
}

DWORD WINAPI PreparingThread(LPVOID pEvent)
{
    g_pState->Prepare(NULL, R);
    HWND hPoller = g_pState->m_hPollerWnd;
    SetEvent(pEvent);
    return PumpUntil([&] { return !IsWindow(hPoller); }, 5000) ? 0 : 1;
}

TEST_F(ToolbarTest, PollerOfAnotherThreadIsClosedByItsOwnThread)
{
    HANDLE hReady = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE hThread = CreateThread(NULL, 0, PreparingThread, hReady, 0, NULL);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hReady, 5000));
    HWND hPoller = g_pState->m_hPollerWnd;
    ASSERT_TRUE(IsWindow(hPoller));

    DestroyPollerWindow();
    LONG_PTR proc = ProcOf(hPoller);
    EXPECT_TRUE(proc == 0 || proc == AsLong(DefWindowProcA)) << "still running PollerWndProc";
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(hThread, 5000));
    DWORD dwExit = 2;
    GetExitCodeThread(hThread, &dwExit);
    EXPECT_EQ(0u, dwExit) << "the poller was not closed";
    EXPECT_FALSE(IsWindow(hPoller));
    CloseHandle(hThread);
    CloseHandle(hReady);
}

}  // namespace
