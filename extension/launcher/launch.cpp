// Bringing the groupware and a forum's window forward, or starting the groupware program.
#include "state/state.h"
#include "textformat.h"

namespace {

const char SERVER_KEY[] = "Konvera.Document.2\\protocol\\StdFileEditing";
const char DEFAULT_PROGRAM[] = "winkonvera.exe";

// Room for the longest name the reader keeps, " Forum" and the NUL.
const int TITLE_MAX = FORUM_NAME_MAX + 6 + 1;
const int PROGRAM_MAX = 260;
// Program (at most 259 characters), one space, the longest name and the NUL fit.
const int COMMAND_LINE_MAX = 524;

void ShowInFront(HWND hWnd)
{
    ShowWindow(hWnd, IsIconic(hWnd) ? SW_RESTORE : SW_SHOW);
    BringWindowToTop(hWnd);
}

// Any top-level window with this title. Some systems take the empty class name for any class;
// others (Wine) reject it and find nothing, so the title alone is tried next.
HWND FindForumWindow(const char* pszTitle)
{
    HWND hWnd = FindWindowA("", pszTitle);
    return hWnd ? hWnd : FindWindowA(NULL, pszTitle);
}

// The registered groupware program, or the default name when there is none.
void GetProgram(char* pszProgram)
{
    HKEY hKey;
    BOOL bFound = FALSE;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, SERVER_KEY, &hKey) == ERROR_SUCCESS) {
        LONG cb = PROGRAM_MAX;
        bFound = RegQueryValueA(hKey, "server", pszProgram, &cb) == ERROR_SUCCESS;
        RegCloseKey(hKey);
    }
    if (!bFound)
        FormatText(pszProgram, PROGRAM_MAX, "%s", DEFAULT_PROGRAM);
    pszProgram[PROGRAM_MAX - 1] = '\0';
}

// The name travels on the command line only; the program opens that forum itself.
void StartGroupware(const char* pszName)
{
    char szProgram[PROGRAM_MAX];
    GetProgram(szProgram);
    char szCommandLine[COMMAND_LINE_MAX];
    if (!FormatText(szCommandLine, sizeof szCommandLine, "%s %s", szProgram, pszName))
        return;
    HCURSOR hPrevCursor = SetCursor(LoadCursorA(NULL, IDC_WAIT));
    WinExec(szCommandLine, SW_SHOW);
    SetCursor(hPrevCursor);
}

}  // namespace

BOOL CExtensionState::Launch(const char* pszName)
{
    char szTitle[TITLE_MAX];
    BOOL bTitle = FormatText(szTitle, sizeof szTitle, "%s Forum", pszName);

    m_hGroupwareWnd = FindWindowA("Konvera", NULL);
    if (!m_hGroupwareWnd) {
        StartGroupware(pszName);
        return TRUE;
    }
    ShowInFront(m_hGroupwareWnd);
    if (!*pszName)
        return TRUE;

    // A name too long for any title we can form is only asked for over DDE.
    HWND hForumWnd = bTitle ? FindForumWindow(szTitle) : NULL;
    if (hForumWnd)
        ShowInFront(hForumWnd);
    else
        m_launcher.Open(pszName);
    return TRUE;
}
