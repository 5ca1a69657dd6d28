// The seven command operations, with HOPEXT.DLL loaded into a viewer of the test's own.
#include <gtest/gtest.h>

#include "konvera.h"
#include "menudriver.h"
#include "testviewer.h"
#include "winenv.h"

namespace {

const UINT B = 1000;
const char c_szForumTree[] = "Run Konvera=1000|-|Company news=1001|Sales{Price list=1003}";
const char c_szToolsBefore[] = "Address Book...=40010|Options...=134";

class ClientCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteStandardLibrary("commands");
        ASSERT_TRUE(m_viewer.Create());
        ASSERT_TRUE(m_session.Load()) << "HOPEXT.DLL, error " << GetLastError();
    }
    void TearDown() override
    {
        m_session.ReleaseInterfaces();
        m_viewer.Destroy();  // before the library goes: the toolbar runs its code
        m_session.Unload();
        KonveraStandIn::CloseAll();
    }

    std::vector<TBENTRY> StandardList()
    {
        return {{m_viewer.m_hToolbarWnd, EETBID_STANDARD, 0, OWN_BUTTONS}};
    }
    int ButtonCount(HWND hToolbar)
    {
        return static_cast<int>(SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0));
    }

    CExtSession m_session;
    CTestViewer m_viewer;
};

TEST_F(ClientCommandsTest, OutsideTheViewerNothingChanges)
{
    ASSERT_EQ(S_FALSE, m_session.Install(m_viewer.m_callback, 1));  // a context of another kind
    std::vector<TBENTRY> toolbars = StandardList();
    UINT idBase = B;
    EXPECT_EQ(S_FALSE, m_session.InstallCommands(m_viewer, &idBase, toolbars));
    EXPECT_EQ(B, idBase);
    EXPECT_EQ(static_cast<UINT>(OWN_BUTTONS), toolbars[0].itbbBase);
    EXPECT_EQ(0, m_viewer.m_callback.m_nGetMenuPos);
    EXPECT_EQ(c_szToolsBefore, MenuTree(m_viewer.m_hTools));
    m_session.m_pCommands->InitMenu(&m_viewer.m_callback);
    EXPECT_EQ(OWN_BUTTONS, ButtonCount(m_viewer.m_hToolbarWnd));
    EXPECT_EQ(S_FALSE, m_session.m_pCommands->DoCommand(&m_viewer.m_callback, B));
}

TEST_F(ClientCommandsTest, WithoutTheExtensionObjectNothingChanges)
{
    ASSERT_EQ(S_OK, m_session.Install(m_viewer.m_callback));
    m_session.m_pExt->Release();  // the client let go of the extension, not of its commands
    m_session.m_pExt = NULL;
    std::vector<TBENTRY> toolbars = StandardList();
    UINT idBase = B;
    EXPECT_EQ(S_FALSE, m_session.InstallCommands(m_viewer, &idBase, toolbars));
    EXPECT_EQ(B, idBase);
    EXPECT_EQ(static_cast<UINT>(OWN_BUTTONS), toolbars[0].itbbBase);
    EXPECT_EQ(c_szToolsBefore, MenuTree(m_viewer.m_hTools));
}

TEST_F(ClientCommandsTest, ViewerClaimsBlockSlotAndToolsPopup)
{
    ASSERT_EQ(S_OK, m_session.Install(m_viewer.m_callback));
    std::vector<TBENTRY> toolbars = StandardList();
    UINT idBase = B;
    EXPECT_EQ(S_FALSE, m_session.InstallCommands(m_viewer, &idBase, toolbars));
    EXPECT_EQ(B + 1 + STANDARD_ENTRIES, idBase);
    EXPECT_EQ(static_cast<UINT>(OWN_BUTTONS + 1), toolbars[0].itbbBase);
    EXPECT_EQ(m_viewer.m_hToolbarWnd, toolbars[0].hwnd);
    EXPECT_EQ(EETBID_STANDARD, toolbars[0].tbid);
    EXPECT_EQ(1, m_viewer.m_callback.m_nGetMenuPos);
    EXPECT_EQ(std::string(c_szToolsBefore) + "|-|Hopstart{" + c_szForumTree + "}",
              MenuTree(m_viewer.m_hTools));
}

TEST_F(ClientCommandsTest, ToolbarListsClaimTheLastStandardToolbarOnly)
{
    m_session.ReleaseInterfaces();  // each row starts from a freshly loaded library
    m_session.Unload();
    struct Row {
        const char* what;
        std::vector<int> tbids;  // one toolbar per entry; -1: standard id with a null window
        int iClaimed;            // entry whose slot is claimed, or -1
        bool bPrepared;          // the block is taken and the button goes onto that toolbar
    } rows[] = {
        {"one standard", {1}, 0, true},
        {"two standard: the later", {1, 1}, 1, true},
        {"standard before another", {1, 2}, 0, true},
        {"no standard", {2, 3}, -1, false},
        {"empty list", {}, -1, false},
        {"standard with a null window", {-1}, 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CExtSession session;
        CTestViewer viewer;
        ASSERT_TRUE(viewer.Create());
        ASSERT_TRUE(session.Load());
        ASSERT_EQ(S_OK, session.Install(viewer.m_callback));
        std::vector<TBENTRY> toolbars;
        for (size_t i = 0; i < row.tbids.size(); ++i) {
            HWND hToolbar = row.tbids[i] < 0 ? NULL : i == 0 ? viewer.m_hToolbarWnd
                                                             : viewer.AddToolbar();
            ULONG tbid = row.tbids[i] < 0 ? EETBID_STANDARD : static_cast<ULONG>(row.tbids[i]);
            toolbars.push_back({hToolbar, tbid, 0, 5u + static_cast<UINT>(i)});
        }
        std::vector<TBENTRY> before = toolbars;

        UINT idBase = B;
        EXPECT_EQ(S_FALSE, session.InstallCommands(viewer, &idBase, toolbars));
        session.m_pCommands->InitMenu(&viewer.m_callback);

        EXPECT_EQ(row.bPrepared ? B + 1 + STANDARD_ENTRIES : B, idBase);
        for (size_t i = 0; i < toolbars.size(); ++i) {
            bool bClaimed = static_cast<int>(i) == row.iClaimed;
            EXPECT_EQ(before[i].itbbBase + (bClaimed ? 1 : 0), toolbars[i].itbbBase) << i;
            EXPECT_EQ(before[i].hwnd, toolbars[i].hwnd) << i;
            if (toolbars[i].hwnd) {
                EXPECT_EQ(bClaimed && row.bPrepared ? OWN_BUTTONS + 1 : OWN_BUTTONS,
                          ButtonCount(toolbars[i].hwnd))
                    << i;
            }
        }
        // The Tools menu gets the separator and the popup whatever the list held.
        EXPECT_EQ(1, viewer.m_callback.m_nGetMenuPos);
        HMENU hTools = viewer.m_hTools;
        ASSERT_EQ(4, GetMenuItemCount(hTools)) << MenuTree(hTools);
        EXPECT_EQ(MF_SEPARATOR, GetMenuState(hTools, 2, MF_BYPOSITION) & MF_SEPARATOR);
        char szText[32] = "";
        GetMenuStringA(hTools, 3, szText, sizeof szText, MF_BYPOSITION);
        EXPECT_STREQ("Hopstart", szText);
        if (row.bPrepared) {
            EXPECT_EQ(c_szForumTree, MenuTree(HopstartPopup(hTools)));
        }

        session.ReleaseInterfaces();
        viewer.Destroy();
        session.Unload();
    }
}

TEST_F(ClientCommandsTest, ClientWithoutToolsMenuGetsNoAppendsButTheBlock)
{
    m_viewer.m_callback.m_hTools = NULL;
    ASSERT_EQ(S_OK, m_session.Install(m_viewer.m_callback));
    std::vector<TBENTRY> toolbars = StandardList();
    UINT idBase = B;
    EXPECT_EQ(S_FALSE, m_session.InstallCommands(m_viewer, &idBase, toolbars));
    EXPECT_EQ(B + 1 + STANDARD_ENTRIES, idBase);
    EXPECT_EQ(c_szToolsBefore, MenuTree(m_viewer.m_hTools));
    EXPECT_EQ("File{}|Tools{" + std::string(c_szToolsBefore) + "}", MenuTree(m_viewer.m_hMenuBar));
}

TEST_F(ClientCommandsTest, DoCommandTakesTheBlockOnly)
{
    KonveraStandIn konvera("commands-docommand");
    ASSERT_NE(nullptr, konvera.Start());
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    IExchExtCommands* pCommands = m_session.m_pCommands;
    CTestCallback& cb = m_viewer.m_callback;

    EXPECT_EQ(S_FALSE, pCommands->DoCommand(&cb, B - 1));
    EXPECT_EQ(S_FALSE, pCommands->DoCommand(&cb, B + 1 + STANDARD_ENTRIES));
    EXPECT_EQ(S_FALSE, pCommands->DoCommand(&cb, 0xFFFFFFFFu));
    EXPECT_EQ(S_OK, pCommands->DoCommand(&cb, B));  // Konvera runs: brought forward only
    EXPECT_EQ(S_OK, pCommands->DoCommand(&cb, B + 3));  // Price list
    std::string command = "[open(\"Pricing\")]";
    command += '\0';
    EXPECT_EQ(std::vector<std::string>{KonveraExecuteLine(command)},
              konvera.RecordLines("execute "));
}

TEST_F(ClientCommandsTest, DoCommandBeforeAnyPreparationTakesNothing)
{
    ASSERT_EQ(S_OK, m_session.Install(m_viewer.m_callback));
    std::vector<TBENTRY> none;
    UINT idBase = B;
    m_session.InstallCommands(m_viewer, &idBase, none);
    EXPECT_EQ(B, idBase);
    for (UINT id : {B - 1, B, B + 1})
        EXPECT_EQ(S_FALSE, m_session.m_pCommands->DoCommand(&m_viewer.m_callback, id)) << id;
}

struct CAboutBox {
    HWND m_hOwner = NULL;
    std::string m_text;
    bool m_bSeen = false;
};
CAboutBox g_about;

BOOL CALLBACK LongestStatic(HWND hChild, LPARAM)
{
    char szClass[16] = "";
    GetClassNameA(hChild, szClass, sizeof szClass);
    char szText[512] = "";
    GetWindowTextA(hChild, szText, sizeof szText);
    if (lstrcmpiA(szClass, "Static") == 0 && strlen(szText) > g_about.m_text.size())
        g_about.m_text = szText;
    return TRUE;
}

void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hBox = FindWindowA("#32770", "About Hopstart");
    if (!hBox || g_about.m_bSeen)
        return;
    g_about.m_bSeen = true;
    g_about.m_hOwner = GetWindow(hBox, GW_OWNER);
    EnumChildWindows(hBox, LongestStatic, 0);
    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
}

TEST_F(ClientCommandsTest, HelpShowsTheAboutBoxForTheRunCommandOnly)
{
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    g_about = CAboutBox();
    UINT_PTR idTimer = SetTimer(NULL, 0, 40, CloseAboutBox);
    EXPECT_EQ(S_OK, m_session.m_pCommands->Help(&m_viewer.m_callback, B));
    EXPECT_EQ(S_FALSE, m_session.m_pCommands->Help(&m_viewer.m_callback, B + 1));
    PumpUntil([] { return false; }, 200);  // a box for B + 1 would show up here
    KillTimer(NULL, idTimer);
    EXPECT_TRUE(g_about.m_bSeen);
    EXPECT_EQ(m_viewer.m_hWnd, g_about.m_hOwner);
    EXPECT_EQ("Called through IExchExtCommands::Help()\nContained in hopext.dll\n\n"
              "Konvera Hopstart 2.1, by the Hopstart Project developers\n"
              "Copyright (C) 2026 The Hopstart Project developers",
              g_about.m_text);
}

TEST_F(ClientCommandsTest, QueryHelpTextForTheRunCommand)
{
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    struct {
        UINT id;
        ULONG ulFlags;
        HRESULT hr;
        const char* pszText;
    } cases[] = {
        {B, EECQHT_STATUS, S_OK, "Konvera H"},
        {B, EECQHT_TOOLTIP, S_OK, "Konvera H"},
        {B, 3, S_OK, "#########"},  // neither kind: nothing copied
        {B + 1, EECQHT_STATUS, S_FALSE, "#########"},
    };
    for (auto& c : cases) {
        char szText[10];
        memset(szText, '#', sizeof szText - 1);
        szText[9] = '\0';
        EXPECT_EQ(c.hr, m_session.m_pCommands->QueryHelpText(c.id, c.ulFlags, szText, 10))
            << c.id << " flags " << c.ulFlags;
        EXPECT_STREQ(c.pszText, szText) << c.id << " flags " << c.ulFlags;
    }
    EXPECT_EQ(S_OK, m_session.m_pCommands->QueryHelpText(B, EECQHT_STATUS, NULL, 10));
}

TEST_F(ClientCommandsTest, QueryButtonInfoDescribesTheClaimedSlotOnly)
{
    ASSERT_TRUE(m_session.InstallViewer(m_viewer, B));
    IExchExtCommands* pCommands = m_session.m_pCommands;
    TBBUTTON button;
    memset(&button, 0xAB, sizeof button);
    EXPECT_EQ(S_OK, pCommands->QueryButtonInfo(EETBID_STANDARD, OWN_BUTTONS, &button, NULL, 0, 0));
    EXPECT_GE(button.iBitmap, 0);
    EXPECT_EQ(static_cast<int>(B), button.idCommand);
    EXPECT_EQ(TBSTATE_ENABLED, button.fsState);
    EXPECT_EQ(TBSTYLE_BUTTON, button.fsStyle);
    EXPECT_EQ(0u, button.dwData);
    EXPECT_EQ(-1, static_cast<int>(button.iString));

    // The image is the one the toolbar took for the inserted button.
    TBBUTTON inserted = {};
    LRESULT iButton = SendMessageA(m_viewer.m_hToolbarWnd, TB_COMMANDTOINDEX, B, 0);
    ASSERT_GE(iButton, 0);
    SendMessageA(m_viewer.m_hToolbarWnd, TB_GETBUTTON, iButton, reinterpret_cast<LPARAM>(&inserted));
    EXPECT_EQ(inserted.iBitmap, button.iBitmap);

    char szText[10] = "";
    EXPECT_EQ(S_OK, pCommands->QueryButtonInfo(7, OWN_BUTTONS, &button, szText, sizeof szText, 0));
    EXPECT_STREQ("Tools - K", szText);

    for (UINT slot : {0u, static_cast<UINT>(OWN_BUTTONS + 1), 0xFFFFFFFFu}) {
        TBBUTTON untouched;
        memset(&untouched, 0xAB, sizeof untouched);
        TBBUTTON sentinel = untouched;
        char szDesc[8] = "#######";
        EXPECT_EQ(S_FALSE, pCommands->QueryButtonInfo(EETBID_STANDARD, slot, &untouched, szDesc,
                                                      sizeof szDesc, 0));
        EXPECT_EQ(0, memcmp(&sentinel, &untouched, sizeof untouched)) << slot;
        EXPECT_STREQ("#######", szDesc);
    }
}

TEST_F(ClientCommandsTest, ResetToolbarInsertsTheButtonOnceAndAnswersOk)
{
    ASSERT_EQ(S_OK, m_session.Install(m_viewer.m_callback));
    std::vector<TBENTRY> toolbars = StandardList();
    UINT idBase = B;
    m_session.InstallCommands(m_viewer, &idBase, toolbars);
    EXPECT_EQ(S_OK, m_session.m_pCommands->ResetToolbar(EETBID_STANDARD, 0));
    EXPECT_EQ(S_OK, m_session.m_pCommands->ResetToolbar(2, 0));
    m_session.m_pCommands->InitMenu(&m_viewer.m_callback);
    EXPECT_EQ(OWN_BUTTONS + 1, ButtonCount(m_viewer.m_hToolbarWnd));
}

}  // namespace
