// winkonvera.exe: our own stand-in for the groupware Konvera (see konvera.h); startup and windows.
#include "konvera.h"

#include <stdlib.h>
#include <string.h>

static const char MAIN_CLASS[] = "Konvera";
static const char FORUM_CLASS[] = "KonveraForum";
static HINSTANCE s_hInstance;

static LRESULT CALLBACK MainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

void OpenForum(const char* pszName)
{
    std::string title = std::string(pszName) + " Forum";
    if (FindWindowA(FORUM_CLASS, title.c_str()))
        return;
    HWND hWnd = CreateWindowExA(0, FORUM_CLASS, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 300, 200, NULL, NULL, s_hInstance, NULL);
    if (!hWnd)
        return;
    ShowWindow(hWnd, SW_SHOWNORMAL);
    Record(std::string("opened ") + pszName);
}

static std::string Option(const char* pszName)
{
    const char* pszValue = getenv(pszName);
    return pszValue ? pszValue : "";
}

// Everything after the program token and one space.
static const char* CommandTail()
{
    const char* p = GetCommandLineA();
    if (*p == '"') {
        const char* pEnd = strchr(p + 1, '"');
        p = pEnd ? pEnd + 1 : p + strlen(p);
    } else {
        while (*p && *p != ' ' && *p != '\t')
            p++;
    }
    if (*p == ' ' || *p == '\t')
        p++;
    return p;
}

static void OpenForumList(const std::string& list)
{
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('|', start);
        if (end == std::string::npos)
            end = list.size();
        if (end > start)
            OpenForum(list.substr(start, end - start).c_str());
        start = end + 1;
    }
}

static bool RegisterClasses()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = s_hInstance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = MAIN_CLASS;
    if (!RegisterClassA(&wc))
        return false;
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = FORUM_CLASS;
    return RegisterClassA(&wc) != 0;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    s_hInstance = hInstance;
    OpenRecord();
    const char* pszTail = CommandTail();
    Record(std::string("cmdline ") + pszTail);

    std::string mode = Option("KONVERA_MODE");
    // The service is up before the main window exists, so whoever sees the window can use it.
    if (mode != "nodde" && !StartDdeServer(mode != "noanswer"))
        return 1;
    if (!RegisterClasses())
        return 1;
    OpenForumList(Option("KONVERA_FORUMS"));
    if (*pszTail)
        OpenForum(pszTail);

    bool bMinimised = Option("KONVERA_SHOW") == "min";
    HWND hWnd = CreateWindowExA(0, MAIN_CLASS, "Konvera",
                                WS_OVERLAPPEDWINDOW | (bMinimised ? WS_MINIMIZE : 0), CW_USEDEFAULT,
                                CW_USEDEFAULT, 400, 300, NULL, NULL, hInstance, NULL);
    if (!hWnd)
        return 1;
    ShowWindow(hWnd, bMinimised ? SW_SHOWMINNOACTIVE : SW_SHOW);
    Record("ready");

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    StopDdeServer();
    CloseRecord();
    return 0;
}
