// Library load and unload: the state record and the framework registration that DllMain makes.
// DllMain is linked into this test and called with HOPEXT.DLL's own module handle, so that
// what it leaves behind can be read.
#include <gtest/gtest.h>

#include "afxlite.h"
#include "resource.h"
#include "state/state.h"

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved);

namespace {

TEST(Lifetime, LoadAndUnloadWithoutClientCalls)
{
    HMODULE hLib = LoadLibraryA("HOPEXT.DLL");
    ASSERT_NE(nullptr, hLib);
    EXPECT_TRUE(FreeLibrary(hLib));
    EXPECT_EQ(nullptr, GetModuleHandleA("HOPEXT.DLL"));
}

TEST(Lifetime, AttachMakesAnUnpreparedStateAndTheLibraryTheResourceModule)
{
    HMODULE hLib = LoadLibraryExA("HOPEXT.DLL", NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, hLib);
    ASSERT_TRUE(DllMain(hLib, DLL_PROCESS_ATTACH, NULL));
    ASSERT_NE(nullptr, g_pState);
    EXPECT_EQ(hLib, g_pState->m_hInstance);
    EXPECT_FALSE(g_pState->m_bPrepared);
    EXPECT_EQ(nullptr, g_pState->m_hForumMenu);
    EXPECT_EQ(nullptr, g_pState->m_hToolbarWnd);
    EXPECT_EQ(nullptr, g_pState->m_hPollerWnd);
    EXPECT_EQ(nullptr, g_pState->m_hGroupwareWnd);
    EXPECT_EQ(nullptr, g_pState->m_forumMenu.m_pEntries);
    EXPECT_EQ(0, g_pState->m_forumMenu.m_nEntries);
    EXPECT_EQ(0u, g_pState->m_forumMenu.m_nCommands);
    EXPECT_FALSE(g_pState->m_forumMenu.m_bToolbarHooked);
    EXPECT_STREQ("[open(\"%s\")]", g_pState->m_launcher.m_szOpenCommand);
    EXPECT_EQ(12u, strlen(g_pState->m_launcher.m_szOpenCommand));

    EXPECT_EQ(hLib, AfxGetResourceHandle());
    CString text;
    EXPECT_TRUE(text.LoadString(IDS_RUN_KONVERA));
    EXPECT_STREQ("Run Konvera", text);

    // Thread notices change nothing.
    CExtensionState* pState = g_pState;
    EXPECT_TRUE(DllMain(hLib, DLL_THREAD_ATTACH, NULL));
    EXPECT_TRUE(DllMain(hLib, DLL_THREAD_DETACH, NULL));
    EXPECT_EQ(pState, g_pState);

    EXPECT_TRUE(DllMain(hLib, DLL_PROCESS_DETACH, NULL));
    EXPECT_EQ(nullptr, g_pState);
    FreeLibrary(hLib);
}

TEST(Lifetime, StateOwnsEntriesAndTheirStrings)
{
    // Group headers have no name and some records no label: destruction frees only what is
    // there (the heap checks of the runtime would catch a bad free).
    CExtensionState* pState = new CExtensionState;
    CForumMenu& menu = pState->m_forumMenu;
    menu.m_nEntries = 3;
    menu.m_pEntries = new CForumEntry[3];
    menu.m_pEntries[0].m_bGroup = TRUE;
    menu.m_pEntries[0].m_pszLabel = _strdup("Sales");
    menu.m_pEntries[1].m_pszName = _strdup("Pricing");
    menu.m_pEntries[2].m_pszName = _strdup("Leads");
    menu.m_pEntries[2].m_pszLabel = _strdup("Sales leads");
    pState->m_hForumMenu = CreatePopupMenu();
    HMENU hMenu = pState->m_hForumMenu;
    delete pState;
    EXPECT_FALSE(IsMenu(hMenu));
}

TEST(Framework, BoundedCopyWritesAtMostSizeCharacters)
{
    struct {
        int nSize;
        const char* pszExpected;
    } cases[] = {
        {0, "########"},  // nothing written, not even a NUL
        {-1, "########"},
        {1, ""},
        {4, "Kon"},
        {8, "Konvera"},
    };
    for (auto& c : cases) {
        char buffer[9];
        memset(buffer, '#', 8);
        buffer[8] = '\0';
        afx_lstrcpyn(buffer, "Konvera Hopstart", c.nSize);
        EXPECT_STREQ(c.pszExpected, buffer) << "size " << c.nSize;
    }
}

TEST(Framework, MissingStringLoadsEmpty)
{
    CString text;
    EXPECT_FALSE(text.LoadString(9999));
    EXPECT_STREQ("", text);
    EXPECT_EQ(0, text.GetLength());
}

}  // namespace
