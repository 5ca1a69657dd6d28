#include "viewer.h"

#include <commctrl.h>

#include "clientlog.h"
#include "exthost.h"

namespace {

const char c_szViewerClass[] = "ExchClientViewer";
const char c_szReady[] = "Ready";
const UINT ID_TOOLBAR = 200;
const UINT ID_STATUS = 201;

struct CToolbarButton {
    int m_iImage;  // index into the standard large images; -1 for a separator
    UINT m_id;
} const c_buttons[] = {
    {STD_FILENEW, ID_FILE_NEW},
    {STD_FILEOPEN, ID_FILE_OPEN},
    {-1, 0},
    {STD_DELETE, ID_FILE_DELETE},
    {STD_PRINT, ID_FILE_PRINT},
};

}  // namespace

CViewer::CViewer(CClientLog& log)
    : m_hWnd(NULL), m_hToolbarWnd(NULL), m_hStatusWnd(NULL), m_hMenuBar(NULL), m_nOwnButtons(0),
      m_pHost(NULL), m_log(log)
{
}

CViewer::~CViewer()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

bool CViewer::Create(HINSTANCE hInstance)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = ViewerWndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = c_szViewerClass;
    if (!RegisterClassA(&wc))
        return false;

    CreateMenuBar();
    m_hWnd = CreateWindowExA(0, c_szViewerClass, "Inbox - Exchange client stand-in",
                             WS_OVERLAPPEDWINDOW, 40, 40, 640, 400, NULL, m_hMenuBar, hInstance,
                             this);
    if (!m_hWnd)
        return false;
    if (!CreateToolbar(hInstance))
        return false;
    m_hStatusWnd = CreateWindowExA(0, STATUSCLASSNAMEA, c_szReady, WS_CHILD | WS_VISIBLE, 0, 0, 0,
                                   0, m_hWnd, reinterpret_cast<HMENU>(UINT_PTR(ID_STATUS)),
                                   hInstance, NULL);
    Layout();
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    UpdateWindow(m_hWnd);
    return true;
}

void CViewer::CreateMenuBar()
{
    HMENU hFile = CreatePopupMenu();
    AppendMenuA(hFile, MF_STRING, ID_FILE_NEW, "New Message");
    AppendMenuA(hFile, MF_STRING, ID_FILE_OPEN, "Open");
    AppendMenuA(hFile, MF_STRING, ID_FILE_DELETE, "Delete");
    AppendMenuA(hFile, MF_STRING, ID_FILE_PRINT, "Print...");
    AppendMenuA(hFile, MF_SEPARATOR, 0, NULL);
    AppendMenuA(hFile, MF_STRING, ID_FILE_EXIT, "Exit");
    HMENU hTools = CreatePopupMenu();
    AppendMenuA(hTools, MF_STRING, ID_TOOLS_ADDRESS_BOOK, "Address Book...");
    AppendMenuA(hTools, MF_STRING, ID_TOOLS_OPTIONS, "Options...");
    HMENU hHelp = CreatePopupMenu();
    AppendMenuA(hHelp, MF_STRING, ID_HELP_ABOUT, "About the Viewer...");

    m_hMenuBar = CreateMenu();
    AppendMenuA(m_hMenuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(hFile), "File");
    AppendMenuA(m_hMenuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(hTools), "Tools");
    AppendMenuA(m_hMenuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(hHelp), "Help");
}

bool CViewer::CreateToolbar(HINSTANCE hInstance)
{
    m_hToolbarWnd = CreateWindowExA(0, TOOLBARCLASSNAMEA, NULL,
                                    WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0,
                                    0, m_hWnd, reinterpret_cast<HMENU>(UINT_PTR(ID_TOOLBAR)),
                                    hInstance, NULL);
    if (!m_hToolbarWnd)
        return false;
    SendMessageA(m_hToolbarWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP standard = {HINST_COMMCTRL, IDB_STD_LARGE_COLOR};
    int iFirst = static_cast<int>(
        SendMessageA(m_hToolbarWnd, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard)));
    // The extension's image is 24 x 23; the standard large images are 24 x 24 and still fit.
    SendMessageA(m_hToolbarWnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(24, 23));

    for (const CToolbarButton& b : c_buttons) {
        TBBUTTON button = {};
        button.iBitmap = b.m_iImage < 0 ? 0 : iFirst + b.m_iImage;
        button.idCommand = static_cast<int>(b.m_id);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = b.m_iImage < 0 ? TBSTYLE_SEP : TBSTYLE_BUTTON;
        button.iString = -1;
        SendMessageA(m_hToolbarWnd, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    }
    m_nOwnButtons = static_cast<UINT>(SendMessageA(m_hToolbarWnd, TB_BUTTONCOUNT, 0, 0));
    SendMessageA(m_hToolbarWnd, TB_AUTOSIZE, 0, 0);
    return true;
}

void CViewer::SetStatus(const char* pszText)
{
    if (m_hStatusWnd)
        SendMessageA(m_hStatusWnd, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(pszText));
}

void CViewer::Layout()
{
    if (m_hToolbarWnd)
        SendMessageA(m_hToolbarWnd, TB_AUTOSIZE, 0, 0);
    if (m_hStatusWnd)
        SendMessageA(m_hStatusWnd, WM_SIZE, 0, 0);
}

void CViewer::OnCommand(UINT id)
{
    if (m_pHost && m_pHost->OwnsCommand(id)) {
        m_pHost->DoCommand(id);
        return;
    }
    if (id == ID_FILE_EXIT) {
        PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
        return;
    }
    m_log.Line("command %u", id);
}

void CViewer::OnMenuSelect(UINT id, UINT uFlags)
{
    char szText[256] = "";
    bool bItem = !(uFlags & (MF_POPUP | MF_SEPARATOR)) && uFlags != 0xFFFF;
    if (bItem && m_pHost && m_pHost->QueryHelpText(id, EECQHT_STATUS, szText, sizeof szText))
        SetStatus(szText);
    else
        SetStatus(c_szReady);
}

LRESULT CALLBACK CViewer::ViewerWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_NCCREATE) {
        CViewer* pViewer =
            static_cast<CViewer*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        pViewer->m_hWnd = hWnd;
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pViewer));
    }
    CViewer* pViewer = reinterpret_cast<CViewer*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (!pViewer)
        return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    return pViewer->WndProc(hWnd, uMsg, wParam, lParam);
}

LRESULT CViewer::WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_COMMAND:  // from the menus (lParam 0) and passed on by the toolbar
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_INITMENU:
        if (m_pHost)
            m_pHost->InitMenu();
        return 0;
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_CLOSE:
        // The extension goes before its viewer's windows do.
        if (m_pHost)
            m_pHost->Release();
        DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        m_hWnd = NULL;
        m_hToolbarWnd = NULL;
        m_hStatusWnd = NULL;
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    }
}
