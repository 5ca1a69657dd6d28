// The groupware launcher against the stand-in groupware in a separate process: which windows come
// forward, what command line starts the program, and what the DDE open command carries.
#include <gtest/gtest.h>

#include "konvera.h"
#include "state/state.h"
#include "winenv.h"

#include <climits>
#include <initializer_list>
#include <string>

namespace {

const UINT ID_RUN = 1000;
const char SERVER_KEY[] = "Konvera.Document.2\\protocol\\StdFileEditing\\server";

std::string TestName()
{
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// hUpper lies above hLower in the z-order of top-level windows.
bool IsAbove(HWND hUpper, HWND hLower)
{
    for (HWND h = GetWindow(hUpper, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT))
        if (h == hLower)
            return true;
    return false;
}

std::string OpenCommand(const std::string& name)
{
    return std::string("[open(\"") + name + "\")]" + std::string(1, '\0');
}

class LauncherTest : public ::testing::Test {
protected:
    LauncherTest() : m_konvera(TestName()) {}

    void SetUp() override
    {
        DeleteRegistryTree(HKEY_CLASSES_ROOT, "Konvera.Document.2");
        g_pState = new CExtensionState;
        g_pState->m_idRun = ID_RUN;
    }

    void TearDown() override
    {
        KonveraStandIn::CloseAll();
        if (m_hOtherWnd)
            DestroyWindow(m_hOtherWnd);
        DeleteRegistryTree(HKEY_CLASSES_ROOT, "Konvera.Document.2");
        delete g_pState;
        g_pState = nullptr;
    }

    // The forum list as the reader leaves it; a null name makes a group header.
    void SetEntries(std::initializer_list<const char*> names)
    {
        CForumMenu& menu = g_pState->m_forumMenu;
        menu.m_nEntries = static_cast<int>(names.size());
        menu.m_pEntries = new CForumEntry[names.size()];
        int i = 0;
        for (const char* pszName : names) {
            CForumEntry& entry = menu.m_pEntries[i++];
            entry.m_bGroup = pszName == nullptr;
            entry.m_pszName = pszName ? _strdup(pszName) : nullptr;
            entry.m_pszLabel = _strdup(pszName ? pszName : "Group");
        }
    }

    // Chooses entry i from the menu, the way the client's command comes in.
    void Choose(int i) { g_pState->Dispatch(ID_RUN + 1 + i); }

    // Registers the stand-in under another name, so that starting it proves the registry was read.
    std::string RegisterCopy()
    {
        std::string path = ScratchDir(TestName()) + "regkonvera.exe";
        EXPECT_TRUE(CopyFileA((BinDir() + "winkonvera.exe").c_str(), path.c_str(), FALSE));
        EXPECT_TRUE(SetRegistryDefault(HKEY_CLASSES_ROOT, SERVER_KEY, path));
        return path;
    }

    // A window of another program in front of everything else.
    HWND OtherWindowInFront()
    {
        m_hOtherWnd = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                      0, 100, 100, NULL, NULL, NULL, NULL);
        return m_hOtherWnd;
    }

    KonveraStandIn m_konvera;
    HWND m_hOtherWnd = NULL;
};

// --- Not running: the program is started with the name on its command line ---

TEST_F(LauncherTest, RunCommandStartsTheRegisteredProgramWithTheWaitCursorUndone)
{
    std::string program = RegisterCopy();
    HCURSOR hArrow = LoadCursorA(NULL, IDC_ARROW);
    SetCursor(hArrow);

    g_pState->Dispatch(ID_RUN);

    EXPECT_EQ(hArrow, GetCursor());
    EXPECT_EQ(nullptr, g_pState->m_hGroupwareWnd);
    HWND hMain = m_konvera.WaitReady();
    ASSERT_NE(nullptr, hMain);
    EXPECT_STRCASEEQ(program.c_str(), WindowProgramPath(hMain).c_str());
    EXPECT_EQ((std::vector<std::string>{"cmdline ", "ready"}), m_konvera.Record());
}

TEST_F(LauncherTest, WithoutAUsableRegistrationTheDefaultProgramIsStarted)
{
    // "winkonvera.exe " is found beside the test program, the first place the search looks.
    struct {
        const char* pszCase;
        const char* pszValue;  // null: no value; "" with bKeyOnly: the key without "server"
        bool bKeyOnly;
    } cases[] = {
        {"no key", nullptr, false},
        {"key without server subkey", nullptr, true},
        {"value longer than 259 characters", "C:\\", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszCase);
        DeleteRegistryTree(HKEY_CLASSES_ROOT, "Konvera.Document.2");
        DeleteFileA(m_konvera.RecordPath().c_str());
        if (c.bKeyOnly)
            SetRegistryDefault(HKEY_CLASSES_ROOT, "Konvera.Document.2\\protocol\\StdFileEditing",
                               "");
        if (c.pszValue)
            SetRegistryDefault(HKEY_CLASSES_ROOT, SERVER_KEY,
                               c.pszValue + std::string(300, 'x') + ".exe");

        g_pState->Dispatch(ID_RUN);

        HWND hMain = m_konvera.WaitReady();
        ASSERT_NE(nullptr, hMain);
        EXPECT_STRCASEEQ((BinDir() + "winkonvera.exe").c_str(), WindowProgramPath(hMain).c_str());
        EXPECT_EQ((std::vector<std::string>{"cmdline ", "ready"}), m_konvera.Record());
        KonveraStandIn::CloseAll();
    }
}

TEST_F(LauncherTest, ForumOfAStoppedGroupwareGoesUnquotedOnTheCommandLine)
{
    std::string program = RegisterCopy();
    SetEntries({"Sales", "Sales Team"});
    for (int i = 0; i < 2; i++) {
        std::string name = g_pState->m_forumMenu.m_pEntries[i].m_pszName;
        SCOPED_TRACE(name);
        DeleteFileA(m_konvera.RecordPath().c_str());

        Choose(i);

        HWND hMain = m_konvera.WaitReady();
        ASSERT_NE(nullptr, hMain);
        EXPECT_STRCASEEQ(program.c_str(), WindowProgramPath(hMain).c_str());
        // The program opened the forum from its command line; nothing came over DDE.
        EXPECT_EQ((std::vector<std::string>{"cmdline " + name, "opened " + name, "ready"}),
                  m_konvera.Record());
        KonveraStandIn::CloseAll();
    }
}

TEST_F(LauncherTest, EmptyRegisteredProgramIsUsedAsItIs)
{
    // The command line is " Sales": it names no program that exists, so nothing starts.
    ASSERT_TRUE(SetRegistryDefault(HKEY_CLASSES_ROOT, SERVER_KEY, ""));
    SetEntries({"Sales"});

    Choose(0);

    EXPECT_EQ(nullptr, FindWindowA("Konvera", NULL));
    EXPECT_TRUE(m_konvera.Record().empty());
}

// --- Running: windows come forward, a missing forum window is asked for over DDE ---

TEST_F(LauncherTest, RunCommandRestoresAMinimisedGroupwareAndSendsNothing)
{
    m_konvera.SetOptions("", "Sales", true);
    HWND hMain = m_konvera.Start();
    ASSERT_NE(nullptr, hMain);
    ASSERT_TRUE(IsIconic(hMain));
    HWND hOther = OtherWindowInFront();

    g_pState->Dispatch(ID_RUN);

    EXPECT_EQ(hMain, g_pState->m_hGroupwareWnd);
    EXPECT_FALSE(IsIconic(hMain));
    EXPECT_TRUE(IsWindowVisible(hMain));
    EXPECT_TRUE(IsAbove(hMain, hOther));
    // Neither a forum window brought up nor a second program started.
    EXPECT_FALSE(IsAbove(FindWindowA(NULL, "Sales Forum"), hMain));
    EXPECT_TRUE(m_konvera.RecordLines("execute ").empty());
    EXPECT_EQ(1u, m_konvera.RecordLines("cmdline").size());
}

TEST_F(LauncherTest, ShownForumWindowIsBroughtForwardWithoutDde)
{
    m_konvera.SetOptions("", "Leads|Sales");
    HWND hMain = m_konvera.Start();
    ASSERT_NE(nullptr, hMain);
    HWND hForum = FindWindowA(NULL, "Sales Forum");
    ASSERT_NE(nullptr, hForum);
    ShowWindow(hForum, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(hForum));
    HWND hOther = OtherWindowInFront();
    SetEntries({"Leads", "Sales"});

    Choose(1);

    EXPECT_FALSE(IsIconic(hForum));
    EXPECT_TRUE(IsAbove(hForum, hMain));
    EXPECT_TRUE(IsAbove(hMain, hOther));
    EXPECT_TRUE(IsAbove(hForum, FindWindowA(NULL, "Leads Forum")));
    EXPECT_TRUE(m_konvera.RecordLines("execute ").empty());
}

TEST_F(LauncherTest, MissingForumWindowIsAskedForWithOneDdeOpenCommand)
{
    // The name is data, not format: a percent sign goes through unchanged.
    const char* names[] = {"Sales", "Sales Team", "50% off %s"};
    for (const char* pszName : names) {
        SCOPED_TRACE(pszName);
        DeleteFileA(m_konvera.RecordPath().c_str());
        HWND hMain = m_konvera.Start();
        ASSERT_NE(nullptr, hMain);
        HWND hOther = OtherWindowInFront();

        EXPECT_TRUE(g_pState->Launch(pszName));

        EXPECT_EQ(hMain, g_pState->m_hGroupwareWnd);
        EXPECT_TRUE(IsAbove(hMain, hOther));
        EXPECT_EQ((std::vector<std::string>{"cmdline ", "ready",
                                            KonveraExecuteLine(OpenCommand(pszName)),
                                            std::string("opened ") + pszName}),
                  m_konvera.Record());
        KonveraStandIn::CloseAll();
        DestroyWindow(m_hOtherWnd);
        m_hOtherWnd = NULL;
    }
    EXPECT_EQ("execute 16 5b6f70656e282253616c657322295d00", KonveraExecuteLine(OpenCommand("Sales")));
}

TEST_F(LauncherTest, UnansweredOpenCommandTimesOutAndLeavesTheGroupwareInFront)
{
    m_konvera.SetOptions("noanswer");
    HWND hMain = m_konvera.Start();
    ASSERT_NE(nullptr, hMain);
    HWND hOther = OtherWindowInFront();
    SetEntries({"Sales"});

    DWORD start = GetTickCount();
    Choose(0);
    DWORD elapsed = GetTickCount() - start;

    RecordProperty("elapsed_ms", static_cast<int>(elapsed));
    EXPECT_LT(elapsed, 2500u) << "the launcher waited past its timeout";
    EXPECT_TRUE(IsAbove(hMain, hOther));
    EXPECT_EQ((std::vector<std::string>{KonveraExecuteLine(OpenCommand("Sales"))}),
              m_konvera.RecordLines("execute "));
    EXPECT_TRUE(m_konvera.RecordLines("opened ").empty());
    // A conversation was made and the command handed over, whatever became of it.
    EXPECT_TRUE(CForumLauncher::Execute("[open(\"Leads\")]"));
}

TEST_F(LauncherTest, GroupwareWithoutDdeServiceIsOnlyBroughtForward)
{
    RegisterCopy();
    m_konvera.SetOptions("nodde");
    HWND hMain = m_konvera.Start();
    ASSERT_NE(nullptr, hMain);
    HWND hOther = OtherWindowInFront();
    SetEntries({"Sales"});

    EXPECT_FALSE(g_pState->m_launcher.Open("Sales"));
    Choose(0);

    EXPECT_TRUE(IsAbove(hMain, hOther));
    EXPECT_EQ((std::vector<std::string>{"cmdline ", "ready"}), m_konvera.Record());
    EXPECT_EQ(nullptr, FindWindowA(NULL, "Sales Forum"));
}

// --- Entries that name no forum, and names the letter of the formats would fail ---

TEST_F(LauncherTest, EntryWithoutAForumNameStartsAndSendsNothing)
{
    RegisterCopy();
    SetEntries({nullptr, "Sales", nullptr});
    g_pState->m_forumMenu.m_pEntries[2].m_bGroup = FALSE;  // left empty by a failed allocation
    struct {
        const char* pszCase;
        int nIndex;
    } cases[] = {
        {"group header", 0},
        {"entry the reader left empty", 2},
        {"index equal to the count", 3},
        {"index above the count", 4},
        {"negative index", -1},
        {"most negative index", INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszCase);
        EXPECT_FALSE(g_pState->m_forumMenu.OpenEntry(c.nIndex));
        if (c.nIndex != -1)  // entry -1 has the run command's id
            Choose(c.nIndex);
    }
    // An id below the run command wraps to an index far out of range.
    g_pState->Dispatch(ID_RUN - 1);

    // A count without an array (the list was never allocated).
    CForumEntry* pEntries = g_pState->m_forumMenu.m_pEntries;
    g_pState->m_forumMenu.m_pEntries = nullptr;
    EXPECT_FALSE(g_pState->m_forumMenu.OpenEntry(1));
    g_pState->m_forumMenu.m_pEntries = pEntries;

    EXPECT_EQ(nullptr, FindWindowA("Konvera", NULL));
    EXPECT_TRUE(m_konvera.Record().empty());
}

TEST_F(LauncherTest, LongestForumNameKeepsItsWholeTitleCommandLineAndCommand)
{
    const std::string name = std::string(FORUM_NAME_MAX - 5, 'n') + " tail";  // 255 characters
    SetEntries({name.c_str()});

    // Its window is found by the whole title.
    m_konvera.SetOptions("", name);
    HWND hMain = m_konvera.Start();
    ASSERT_NE(nullptr, hMain);
    HWND hForum = FindWindowA(NULL, (name + " Forum").c_str());
    ASSERT_NE(nullptr, hForum);
    Choose(0);
    EXPECT_TRUE(IsAbove(hForum, hMain));
    EXPECT_TRUE(m_konvera.RecordLines("execute ").empty());

    // Without its window, the whole name goes over DDE.
    SendMessageA(hForum, WM_CLOSE, 0, 0);
    ASSERT_FALSE(IsWindow(hForum));
    Choose(0);
    EXPECT_EQ((std::vector<std::string>{KonveraExecuteLine(OpenCommand(name))}),
              m_konvera.RecordLines("execute "));
    KonveraStandIn::CloseAll();

    // Not running, the whole name follows the program.
    m_konvera.SetOptions("");
    DeleteFileA(m_konvera.RecordPath().c_str());
    RegisterCopy();
    Choose(0);
    ASSERT_NE(nullptr, m_konvera.WaitReady());
    EXPECT_EQ((std::vector<std::string>{"cmdline " + name}), m_konvera.RecordLines("cmdline "));
}

TEST_F(LauncherTest, NameWithAQuoteIsNeverSentOverDde)
{
    HWND hMain = m_konvera.Start();
    ASSERT_NE(nullptr, hMain);
    HWND hOther = OtherWindowInFront();
    SetEntries({"Sales\")][quit(\""});

    EXPECT_FALSE(g_pState->m_launcher.Open("Sa\"les"));
    Choose(0);

    EXPECT_TRUE(IsAbove(hMain, hOther));
    EXPECT_EQ((std::vector<std::string>{"cmdline ", "ready"}), m_konvera.Record());
}

}  // namespace
