// The forum menu and its command numbering, read back from the real popup menu, and the one-time
// preparation with its hidden poller window.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "afxlite.h"
#include "forumfile.h"
#include "forummenu/windowprocs.h"
#include "menudump.h"
#include "state/state.h"
#include "winenv.h"

namespace {

const UINT R = 1000;  // run command id

// One record of a forum list as the reader leaves it; a null label is a record without one.
struct Entry {
    const char* pszName;
    const char* pszLabel;
    bool bGroup;
};
Entry Forum(const char* pszName, const char* pszLabel) { return {pszName, pszLabel, false}; }
Entry Group(const char* pszLabel) { return {NULL, pszLabel, true}; }

char* Copy(const char* psz)
{
    return psz ? _strdup(psz) : NULL;
}

// Top-level "STATIC" windows titled "poller". The title is matched without asking the window,
// which answers nothing.
int CountPollers()
{
    int nCount = 0;
    for (HWND hWnd = NULL; (hWnd = FindWindowExA(NULL, hWnd, "STATIC", "poller")) != NULL;)
        nCount++;
    return nCount;
}

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AfxGetAppState()->m_hCurrentResourceHandle = GetModuleHandleA(NULL);
        g_pState = new CExtensionState;
        g_pState->m_hInstance = GetModuleHandleA(NULL);
    }
    void TearDown() override
    {
        DestroyPollerWindow();
        delete g_pState;
        g_pState = NULL;
    }

    CForumMenu& Menu() { return g_pState->m_forumMenu; }

    void SetEntries(const std::vector<Entry>& entries)
    {
        if (entries.empty())
            return;  // no entry array, as after an empty or missing file
        CForumMenu& menu = Menu();
        menu.m_nEntries = static_cast<int>(entries.size());
        menu.m_pEntries = new CForumEntry[entries.size()];
        for (size_t i = 0; i < entries.size(); i++) {
            menu.m_pEntries[i].m_pszName = Copy(entries[i].pszName);
            menu.m_pEntries[i].m_pszLabel = Copy(entries[i].pszLabel);
            menu.m_pEntries[i].m_bGroup = entries[i].bGroup;
        }
    }

    // Builds into a popup owned by the state, so that the state frees it.
    std::string Build(const std::vector<Entry>& entries)
    {
        SetEntries(entries);
        g_pState->m_hForumMenu = CreatePopupMenu();
        Menu().BuildMenu(g_pState->m_hForumMenu, R);
        return DumpMenu(g_pState->m_hForumMenu);
    }
};

TEST_F(MenuTest, ShapeAndNumberingFollowTheList)
{
    struct {
        const char* pszWhat;
        std::vector<Entry> entries;
        const char* pszMenu;
        UINT nCommands;
    } cases[] = {
        {"group 'Sales', then forum 'Pricing'",
         {Group("Sales"), Forum("Pricing", "Price list")},
         "\"Run Konvera\" 1000\n"
         "---\n"
         "\"Sales\" popup\n"
         "  \"Price list\" 1002\n",
         3},
        {"eight entries: a popup only for a group that heads a forum",
         {Forum("News", "Company news"), Group("Sales"), Forum("Pricing", "Price list"),
          Forum("Leads", "Sales leads"), Group("Archive"), Group("Support"),
          Forum("Defects", "Defect reports"), Group("Spare")},
         "\"Run Konvera\" 1000\n"
         "---\n"
         "\"Company news\" 1001\n"
         "\"Sales\" popup\n"
         "  \"Price list\" 1003\n"
         "  \"Sales leads\" 1004\n"
         "\"Support\" popup\n"
         "  \"Defect reports\" 1007\n",
         9},
        {"forums only",
         {Forum("A", "Alpha"), Forum("B", "Beta"), Forum("C", "Gamma")},
         "\"Run Konvera\" 1000\n"
         "---\n"
         "\"Alpha\" 1001\n"
         "\"Beta\" 1002\n"
         "\"Gamma\" 1003\n",
         4},
        {"groups only", {Group("Sales"), Group("Support"), Group("Spare")},
         "\"Run Konvera\" 1000\n"
         "---\n",
         4},
        {"labels are not names; the same label twice stays twice",
         {Forum("Pricing", "Sales"), Group("Sales"), Forum("Pricing", "Sales")},
         "\"Run Konvera\" 1000\n"
         "---\n"
         "\"Sales\" 1001\n"
         "\"Sales\" popup\n"
         "  \"Sales\" 1003\n",
         4},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        TearDown();
        SetUp();
        EXPECT_EQ(c.pszMenu, Build(c.entries));
        EXPECT_EQ(c.nCommands, Menu().m_nCommands);
        EXPECT_EQ(R + 1, Menu().m_idFirstEntry);
    }
}

TEST_F(MenuTest, NoListGivesTheRunCommandAloneWithoutSeparator)
{
    Menu().m_idFirstEntry = 0xDEADBEEF;
    EXPECT_EQ("\"Run Konvera\" 1000\n", Build({}));
    EXPECT_EQ(1u, Menu().m_nCommands);
    EXPECT_EQ(0xDEADBEEFu, Menu().m_idFirstEntry) << "set only when there is a list";
}

TEST_F(MenuTest, CountFollowsTheListWhenTheMenuIsMissing)
{
    SetEntries({Forum("News", "Company news"), Group("Sales"), Forum("Pricing", "Price list")});
    Menu().BuildMenu(NULL, R);
    EXPECT_EQ(4u, Menu().m_nCommands);
    EXPECT_EQ(R + 1, Menu().m_idFirstEntry);
}

TEST_F(MenuTest, RecordsWithoutLabelKeepTheirPlaceAndIds)
{
    std::string menu = Build({Forum("Unnamed", NULL), Group(NULL), Forum("Pricing", "Price list"),
                              Forum("Leads", NULL)});
    // A null text is handed to the menu as it is; the platform makes such an item a separator,
    // a popup included. The ids of the other items do not move.
    EXPECT_EQ("\"Run Konvera\" 1000\n"
              "---\n"
              "---\n"
              "--- popup\n"
              "  \"Price list\" 1003\n"
              "  ---\n",
              menu);
    EXPECT_EQ(5u, Menu().m_nCommands);
}

class PrepareTest : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        m_path = ScratchDir("menu") + "forums.kv2";
        SetLibraryPath(m_path.c_str());
    }
    void TearDown() override
    {
        MenuTest::TearDown();
        DeleteFileA(m_path.c_str());
        SetLibraryPath(NULL);
    }

    std::string m_path;
};

TEST_F(PrepareTest, FirstCallLoadsBuildsAndMakesThePoller)
{
    ASSERT_TRUE(ForumLibrary().Group("Sales").Forum("Pricing", "Price list").WriteTo(m_path));
    HWND hToolbar = reinterpret_cast<HWND>(0x10010);
    g_pState->Prepare(hToolbar, R);

    EXPECT_TRUE(g_pState->m_bPrepared);
    EXPECT_EQ(hToolbar, g_pState->m_hToolbarWnd);
    EXPECT_EQ(R, g_pState->m_idRun);
    ASSERT_TRUE(IsMenu(g_pState->m_hForumMenu));
    EXPECT_EQ("\"Run Konvera\" 1000\n"
              "---\n"
              "\"Sales\" popup\n"
              "  \"Price list\" 1002\n",
              DumpMenu(g_pState->m_hForumMenu));
    EXPECT_EQ(3u, Menu().m_nCommands);
    EXPECT_EQ(2, Menu().m_nEntries);

    // Hidden, disabled, top-level, and running the answer-nothing procedure.
    HWND hPoller = g_pState->m_hPollerWnd;
    ASSERT_TRUE(IsWindow(hPoller));
    EXPECT_EQ(1, CountPollers());
    EXPECT_EQ(nullptr, GetParent(hPoller));
    EXPECT_FALSE(IsWindowVisible(hPoller));
    EXPECT_EQ(static_cast<LONG_PTR>(WS_DISABLED),
              GetWindowLongPtrA(hPoller, GWL_STYLE) & (WS_DISABLED | WS_VISIBLE | WS_CHILD));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(PollerWndProc),
              GetWindowLongPtrA(hPoller, GWLP_WNDPROC));
}

TEST_F(PrepareTest, LaterCallsOnlyRecordToolbarAndRunCommand)
{
    ASSERT_TRUE(ForumLibrary().Group("Sales").Forum("Pricing", "Price list").WriteTo(m_path));
    g_pState->Prepare(reinterpret_cast<HWND>(0x10010), R);
    HMENU hMenu = g_pState->m_hForumMenu;
    HWND hPoller = g_pState->m_hPollerWnd;
    std::string before = DumpMenu(hMenu);

    // A changed file is not read again either.
    ASSERT_TRUE(ForumLibrary().Forum("Other", "Other").WriteTo(m_path));
    HWND hOther = reinterpret_cast<HWND>(0x20020);
    g_pState->Prepare(hOther, 2000);

    EXPECT_EQ(hOther, g_pState->m_hToolbarWnd);
    EXPECT_EQ(2000u, g_pState->m_idRun);
    EXPECT_EQ(hMenu, g_pState->m_hForumMenu);
    EXPECT_EQ(before, DumpMenu(hMenu)) << "the menu keeps the first numbering";
    EXPECT_EQ(3u, Menu().m_nCommands);
    EXPECT_EQ(R + 1, Menu().m_idFirstEntry);
    EXPECT_EQ(hPoller, g_pState->m_hPollerWnd);
    EXPECT_EQ(1, CountPollers());
}

TEST_F(PrepareTest, MissingFileStillPrepares)
{
    g_pState->Prepare(NULL, R);
    EXPECT_TRUE(g_pState->m_bPrepared);
    EXPECT_EQ("\"Run Konvera\" 1000\n", DumpMenu(g_pState->m_hForumMenu));
    EXPECT_EQ(1u, Menu().m_nCommands);
    EXPECT_EQ(nullptr, Menu().m_pEntries);
    EXPECT_TRUE(IsWindow(g_pState->m_hPollerWnd));

    // Not tried again once the file is there.
    ASSERT_TRUE(ForumLibrary().Forum("Pricing", "Price list").WriteTo(m_path));
    g_pState->Prepare(NULL, R);
    EXPECT_EQ(1u, Menu().m_nCommands);
    EXPECT_EQ(1, CountPollers());
}

TEST_F(PrepareTest, PollerAnswersZeroToEveryMessage)
{
    g_pState->Prepare(NULL, R);
    HWND hPoller = g_pState->m_hPollerWnd;
    ASSERT_TRUE(IsWindow(hPoller));
    char buffer[16];
    memset(buffer, '#', sizeof buffer);
    struct {
        UINT uMsg;
        WPARAM wParam;
        LPARAM lParam;
    } cases[] = {
        {WM_GETTEXTLENGTH, 0, 0},
        {WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)},
        {WM_SETTEXT, 0, reinterpret_cast<LPARAM>("other")},
        {WM_NCHITTEST, 0, 0},
        {WM_GETDLGCODE, 0, 0},
        {WM_QUERYENDSESSION, 0, 0},
        {WM_CLOSE, 0, 0},  // default processing would destroy the window
        {WM_USER + 5, 1, 2},
        {WM_APP + 7, 3, 4},
        {0xBFFF, 0, 0},
    };
    for (auto& c : cases) {
        EXPECT_EQ(0, SendMessageA(hPoller, c.uMsg, c.wParam, c.lParam)) << "message " << c.uMsg;
    }
    EXPECT_EQ('#', buffer[0]);
    EXPECT_TRUE(IsWindow(hPoller));
}

}  // namespace
