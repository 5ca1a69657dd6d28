// The button on the viewer's toolbar as the client meets it: inserted or found, the drop-down on a
// plain click, everything else passed on to the toolbar, a second viewer, and the library going
// away under a live toolbar.
#include <gtest/gtest.h>

#include "menudriver.h"
#include "testviewer.h"
#include "winenv.h"

namespace {

const UINT B = 1000;

class ClientToolbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteStandardLibrary("toolbar");
        ASSERT_TRUE(m_viewer.Create());
        ASSERT_TRUE(m_session.Load());
    }
    void TearDown() override
    {
        m_session.ReleaseInterfaces();
        m_viewer.Destroy();
        m_session.Unload();
    }

    // Sends a press (and the release after it) with the menu driver armed; returns what the
    // press answered.
    LRESULT Press(HWND hToolbar, UINT uMsg, WPARAM wParam, LPARAM lParam,
                  const std::string& pick = "")
    {
        m_driver.Arm(HopstartPopup(m_viewer.m_hTools), pick, 0);
        LRESULT result = SendMessageA(hToolbar, uMsg, wParam, lParam);
        SendMessageA(hToolbar, WM_LBUTTONUP, wParam & ~MK_LBUTTON, lParam);
        m_result = m_driver.Disarm();
        PumpPending();
        return result;
    }

    LPARAM CentreOf(HWND hToolbar, UINT id)
    {
        POINT pt = {};
        EXPECT_TRUE(ButtonCentre(hToolbar, id, pt));
        return MAKELPARAM(pt.x, pt.y);
    }

    CExtSession m_session;
    CTestViewer m_viewer;
    CMenuDriver m_driver;
    CMenuDriver::Result m_result = CMenuDriver::NO_MENU;
};

TEST_F(ClientToolbarTest, MissingButtonIsAddedWithTheRunCommand)
{
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    HWND hToolbar = m_viewer.m_hToolbarWnd;
    ASSERT_EQ(OWN_BUTTONS + 1, SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0));
    TBBUTTON button;
    memset(&button, 0xAB, sizeof button);
    ASSERT_TRUE(SendMessageA(hToolbar, TB_GETBUTTON, OWN_BUTTONS, reinterpret_cast<LPARAM>(&button)));
    TBBUTTON described = {};
    m_session.m_pCommands->QueryButtonInfo(EETBID_STANDARD, OWN_BUTTONS, &described, NULL, 0, 0);
    EXPECT_EQ(described.iBitmap, button.iBitmap);
    EXPECT_EQ(static_cast<int>(B), button.idCommand);
    EXPECT_EQ(TBSTATE_ENABLED, button.fsState);
    EXPECT_EQ(TBSTYLE_BUTTON, button.fsStyle);
    EXPECT_EQ(0u, button.dwData);
    EXPECT_EQ(0, static_cast<int>(button.iString));

    // Later calls of the same cycle add nothing.
    m_session.m_pCommands->InitMenu(&m_viewer.m_callback);
    m_session.m_pCommands->ResetToolbar(EETBID_STANDARD, 0);
    EXPECT_EQ(OWN_BUTTONS + 1, SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0));
}

TEST_F(ClientToolbarTest, ButtonThatTheClientPlacedIsKeptAndServed)
{
    HWND hToolbar = m_viewer.m_hToolbarWnd;
    TBBUTTON placed = {};
    placed.iBitmap = 1;
    placed.idCommand = B;
    placed.fsState = TBSTATE_ENABLED;
    placed.iString = -1;
    SendMessageA(hToolbar, TB_INSERTBUTTONA, 0, reinterpret_cast<LPARAM>(&placed));
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    EXPECT_EQ(OWN_BUTTONS + 1, SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0));
    EXPECT_EQ(0, SendMessageA(hToolbar, TB_COMMANDTOINDEX, B, 0));

    EXPECT_EQ(0, Press(hToolbar, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(hToolbar, B)));
    EXPECT_EQ(CMenuDriver::DISMISSED, m_result);  // the toolbar is subclassed all the same
}

TEST_F(ClientToolbarTest, PlainClickDropsTheForumMenuAtTheClickPoint)
{
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    HWND hToolbar = m_viewer.m_hToolbarWnd;
    POINT pt;
    ASSERT_TRUE(ButtonCentre(hToolbar, B, pt));
    EXPECT_EQ(0, Press(hToolbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y)));
    EXPECT_EQ(CMenuDriver::DISMISSED, m_result);
    ClientToScreen(hToolbar, &pt);
    EXPECT_EQ(pt.x, m_driver.MenuOrigin().x);
    EXPECT_EQ(pt.y, m_driver.MenuOrigin().y);
    // The press never reached the toolbar: only the release did.
    ASSERT_EQ(1u, CTestViewer::s_spied.size());
    EXPECT_EQ(static_cast<UINT>(WM_LBUTTONUP), CTestViewer::s_spied[0].m_uMsg);
    EXPECT_TRUE(m_viewer.m_commands.empty());
}

TEST_F(ClientToolbarTest, PickedForumReachesTheClientWindowAsItsCommand)
{
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    HWND hToolbar = m_viewer.m_hToolbarWnd;
    Press(hToolbar, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(hToolbar, B), "Sales/Price list");
    EXPECT_EQ(CMenuDriver::PICKED, m_result);
    EXPECT_EQ(std::vector<UINT>{B + 3}, m_viewer.m_commands);

    m_viewer.m_commands.clear();
    Press(hToolbar, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(hToolbar, B), "Run Konvera");
    EXPECT_EQ(std::vector<UINT>{B}, m_viewer.m_commands);
}

TEST_F(ClientToolbarTest, ShiftClickIsAnOrdinaryButtonPressSendingTheRunCommand)
{
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    HWND hToolbar = m_viewer.m_hToolbarWnd;
    LPARAM lParam = CentreOf(hToolbar, B);
    Press(hToolbar, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, lParam);
    EXPECT_EQ(CMenuDriver::NO_MENU, m_result);
    ASSERT_FALSE(CTestViewer::s_spied.empty());
    EXPECT_EQ(static_cast<UINT>(WM_LBUTTONDOWN), CTestViewer::s_spied[0].m_uMsg);
    EXPECT_EQ(static_cast<WPARAM>(MK_LBUTTON | MK_SHIFT), CTestViewer::s_spied[0].m_wParam);
    EXPECT_EQ(lParam, CTestViewer::s_spied[0].m_lParam);
    EXPECT_EQ(std::vector<UINT>{B}, m_viewer.m_commands);
}

TEST_F(ClientToolbarTest, OtherClicksArePassedOnUnchanged)
{
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    HWND hToolbar = m_viewer.m_hToolbarWnd;
    POINT pt;
    ASSERT_TRUE(ButtonCentre(hToolbar, B, pt));
    POINT own;
    ASSERT_TRUE(ButtonCentre(hToolbar, 40001, own));
    struct {
        const char* what;
        UINT uMsg;
        WPARAM wParam;
        LPARAM lParam;
    } cases[] = {
        {"on another button", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(own.x, own.y)},
        {"double click on the button", WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(pt.x, pt.y)},
        {"right button", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(pt.x, pt.y)},
        {"x with the top bit set", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x | 0x8000, pt.y)},
        {"y with the top bit set", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y | 0x8000)},
        {"both at 0xFFFF", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0xFFFF, 0xFFFF)},
    };
    CTestViewer::s_bSwallow = true;  // the toolbar's own procedure answers, and does nothing
    for (auto& c : cases) {
        CTestViewer::s_spied.clear();
        m_driver.Arm(HopstartPopup(m_viewer.m_hTools), "", 0);
        EXPECT_EQ(CTestViewer::SPY_RESULT, SendMessageA(hToolbar, c.uMsg, c.wParam, c.lParam))
            << c.what;
        EXPECT_EQ(CMenuDriver::NO_MENU, m_driver.Disarm()) << c.what;
        ASSERT_EQ(1u, CTestViewer::s_spied.size()) << c.what;
        EXPECT_EQ(c.uMsg, CTestViewer::s_spied[0].m_uMsg) << c.what;
        EXPECT_EQ(c.wParam, CTestViewer::s_spied[0].m_wParam) << c.what;
        EXPECT_EQ(c.lParam, CTestViewer::s_spied[0].m_lParam) << c.what;
    }
    CTestViewer::s_bSwallow = false;
}

TEST_F(ClientToolbarTest, SecondViewerAfterTheFirstExtensionObjectGetsButtonAndDropDown)
{
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    m_session.ReleaseInterfaces();  // the first viewer closes its extension

    CTestViewer second;
    ASSERT_TRUE(second.Create());
    LPFNEXCHEXTENTRY pfnEntry = reinterpret_cast<LPFNEXCHEXTENTRY>(
        reinterpret_cast<void*>(GetProcAddress(m_session.m_hLib, MAKEINTRESOURCEA(1))));
    m_session.m_pExt = pfnEntry();
    ASSERT_TRUE(m_session.InstallViewer(second, B));
    HWND hToolbar = second.m_hToolbarWnd;
    EXPECT_EQ(OWN_BUTTONS + 1, SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0));
    EXPECT_EQ(OWN_BUTTONS, SendMessageA(hToolbar, TB_COMMANDTOINDEX, B, 0));

    m_driver.Arm(HopstartPopup(second.m_hTools), "Company news", 0);
    EXPECT_EQ(0, SendMessageA(hToolbar, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(hToolbar, B)));
    EXPECT_EQ(CMenuDriver::PICKED, m_driver.Disarm());
    PumpPending();
    EXPECT_EQ(std::vector<UINT>{B + 1}, second.m_commands);
    m_session.ReleaseInterfaces();
    second.Destroy();
}

TEST_F(ClientToolbarTest, UnloadingUnderALiveToolbarLeavesItWorking)
{
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    HWND hToolbar = m_viewer.m_hToolbarWnd;
    LPARAM lParam = CentreOf(hToolbar, B);
    m_session.ReleaseInterfaces();
    m_session.Unload();
    ASSERT_EQ(nullptr, GetModuleHandleA("HOPEXT.DLL"));

    // The toolbar's procedure is no longer the library's: the one before it is back.
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(CTestViewer::SpyWndProc),
              GetWindowLongPtrA(hToolbar, GWLP_WNDPROC));
    CTestViewer::s_spied.clear();
    SendMessageA(hToolbar, WM_MOUSEMOVE, 0, lParam);
    SendMessageA(hToolbar, WM_LBUTTONDOWN, MK_LBUTTON, lParam);
    SendMessageA(hToolbar, WM_LBUTTONUP, 0, lParam);
    InvalidateRect(hToolbar, NULL, TRUE);
    UpdateWindow(hToolbar);
    PumpPending();
    EXPECT_EQ(2u, CTestViewer::s_spied.size());
    EXPECT_EQ(nullptr, FindWindowA("STATIC", "poller"));
}

}  // namespace
