#include "testviewer.h"

#include <gtest/gtest.h>

#include "forumfile.h"
#include "winenv.h"

namespace {

const char c_szViewerClass[] = "HopstartTestViewer";
const char c_szPrevProp[] = "HopstartTestPrevProc";

HRESULT Unexpected(const char* what)
{
    ADD_FAILURE() << "unexpected callback call: " << what;
    return E_FAIL;
}

bool IsMouseButton(UINT uMsg)
{
    return uMsg >= WM_LBUTTONDOWN && uMsg <= WM_MBUTTONDBLCLK;
}

}  // namespace

STDMETHODIMP CTestCallback::QueryInterface(REFIID, void** ppv)
{
    *ppv = NULL;
    return Unexpected("QueryInterface");
}
STDMETHODIMP_(ULONG) CTestCallback::AddRef()
{
    Unexpected("AddRef");
    return 1;
}
STDMETHODIMP_(ULONG) CTestCallback::Release()
{
    Unexpected("Release");
    return 1;
}
STDMETHODIMP CTestCallback::GetVersion(ULONG* pulVersion, ULONG)
{
    *pulVersion = m_ulVersion;
    return S_OK;
}
STDMETHODIMP CTestCallback::GetMenu(HMENU* phMenu)
{
    *phMenu = m_hMenuBar;
    return S_OK;
}
STDMETHODIMP CTestCallback::GetMenuPos(ULONG idCommand, HMENU* phMenu, ULONG* pposMin,
                                       ULONG* pposMax, ULONG ulFlags)
{
    ++m_nGetMenuPos;
    EXPECT_EQ(ID_TOOLS_OPTIONS, idCommand);
    EXPECT_EQ(nullptr, pposMin);
    EXPECT_EQ(nullptr, pposMax);
    EXPECT_EQ(0u, ulFlags);
    *phMenu = m_hTools;
    return m_hTools ? S_OK : E_FAIL;
}
STDMETHODIMP CTestCallback::Unused2() { return Unexpected("slot 2"); }
STDMETHODIMP CTestCallback::Unused4() { return Unexpected("slot 4"); }
STDMETHODIMP CTestCallback::Unused5() { return Unexpected("slot 5"); }
STDMETHODIMP CTestCallback::Unused6() { return Unexpected("slot 6"); }
STDMETHODIMP CTestCallback::Unused7() { return Unexpected("slot 7"); }
STDMETHODIMP CTestCallback::Unused8() { return Unexpected("slot 8"); }

std::vector<CSpiedMessage> CTestViewer::s_spied;
bool CTestViewer::s_bSwallow;

CTestViewer::CTestViewer() {}

CTestViewer::~CTestViewer()
{
    Destroy();
}

bool CTestViewer::Create()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ViewerWndProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = c_szViewerClass;
    RegisterClassA(&wc);  // fails harmlessly when a case before registered it

    m_hTools = CreatePopupMenu();
    AppendMenuA(m_hTools, MF_STRING, 40010, "Address Book...");
    AppendMenuA(m_hTools, MF_STRING, ID_TOOLS_OPTIONS, "Options...");
    m_hMenuBar = CreateMenu();
    AppendMenuA(m_hMenuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), "File");
    AppendMenuA(m_hMenuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(m_hTools), "Tools");
    m_hWnd = CreateWindowExA(0, c_szViewerClass, "Test viewer", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             40, 40, 600, 300, NULL, m_hMenuBar, wc.hInstance, NULL);
    if (!m_hWnd)
        return false;
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_callback.m_hMenuBar = m_hMenuBar;
    m_callback.m_hTools = m_hTools;
    m_hToolbarWnd = AddToolbar();
    s_spied.clear();
    s_bSwallow = false;
    return m_hToolbarWnd != NULL;
}

HWND CTestViewer::AddToolbar()
{
    HWND hToolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, NULL, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                    m_hWnd, NULL, GetModuleHandleA(NULL), NULL);
    if (!hToolbar)
        return NULL;
    SendMessageA(hToolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(hToolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(24, 23));
    TBADDBITMAP standard = {HINST_COMMCTRL, IDB_STD_LARGE_COLOR};
    SendMessageA(hToolbar, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard));
    for (int i = 0; i < OWN_BUTTONS; ++i) {
        TBBUTTON button = {};
        button.iBitmap = i;
        button.idCommand = 40001 + i;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = TBSTYLE_BUTTON;
        button.iString = -1;
        SendMessageA(hToolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageA(hToolbar, TB_AUTOSIZE, 0, 0);
    // The spy comes first, so that it is the procedure the extension passes messages on to.
    LONG_PTR prev = SetWindowLongPtrA(hToolbar, GWLP_WNDPROC,
                                      reinterpret_cast<LONG_PTR>(SpyWndProc));
    SetPropA(hToolbar, c_szPrevProp, reinterpret_cast<HANDLE>(prev));
    m_toolbars.push_back(hToolbar);
    return hToolbar;
}

void CTestViewer::Destroy()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);  // takes the toolbars and the menu bar with it
    m_hWnd = NULL;
    m_hToolbarWnd = NULL;
    m_toolbars.clear();
}

LRESULT CALLBACK CTestViewer::SpyWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC pfnPrev = reinterpret_cast<WNDPROC>(GetPropA(hWnd, c_szPrevProp));
    if (IsMouseButton(uMsg)) {
        s_spied.push_back({hWnd, uMsg, wParam, lParam});
        if (s_bSwallow)
            return SPY_RESULT;
    }
    if (uMsg == WM_NCDESTROY)
        RemovePropA(hWnd, c_szPrevProp);
    return pfnPrev ? CallWindowProcA(pfnPrev, hWnd, uMsg, wParam, lParam) : 0;
}

LRESULT CALLBACK CTestViewer::ViewerWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CTestViewer* pViewer = reinterpret_cast<CTestViewer*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (pViewer && uMsg == WM_COMMAND) {
        pViewer->m_commands.push_back(LOWORD(wParam));
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

CExtSession::~CExtSession()
{
    ReleaseInterfaces();
    Unload();
}

bool CExtSession::Load()
{
    m_hLib = LoadLibraryA("HOPEXT.DLL");
    if (!m_hLib)
        return false;
    FARPROC pfn = GetProcAddress(m_hLib, MAKEINTRESOURCEA(1));
    LPFNEXCHEXTENTRY pfnEntry = reinterpret_cast<LPFNEXCHEXTENTRY>(reinterpret_cast<void*>(pfn));
    m_pExt = pfnEntry ? pfnEntry() : NULL;
    return m_pExt != NULL;
}

HRESULT CExtSession::Install(CTestCallback& callback, ULONG ulContext)
{
    HRESULT hr = m_pExt->Install(&callback, ulContext, 0);
    m_pExt->QueryInterface(IID_IExchExtCommands, reinterpret_cast<void**>(&m_pCommands));
    m_pExt->QueryInterface(IID_IExchExtUserEvents, reinterpret_cast<void**>(&m_pEvents));
    return hr;
}

HRESULT CExtSession::InstallCommands(CTestViewer& viewer, UINT* pidBase,
                                     std::vector<TBENTRY>& toolbars)
{
    return m_pCommands->InstallCommands(&viewer.m_callback, viewer.m_hWnd, viewer.m_hMenuBar,
                                        pidBase, toolbars.empty() ? NULL : toolbars.data(),
                                        static_cast<UINT>(toolbars.size()), 0);
}

bool CExtSession::InstallViewer(CTestViewer& viewer, UINT idBase)
{
    if (Install(viewer.m_callback) != S_OK || !m_pCommands)
        return false;
    std::vector<TBENTRY> toolbars = {{viewer.m_hToolbarWnd, EETBID_STANDARD, 0, OWN_BUTTONS}};
    InstallCommands(viewer, &idBase, toolbars);
    m_pCommands->InitMenu(&viewer.m_callback);
    return true;
}

void CExtSession::ReleaseInterfaces()
{
    if (m_pEvents)
        m_pEvents->Release();
    if (m_pCommands)
        m_pCommands->Release();
    if (m_pExt)
        m_pExt->Release();
    m_pEvents = NULL;
    m_pCommands = NULL;
    m_pExt = NULL;
}

void CExtSession::Unload()
{
    if (m_hLib)
        FreeLibrary(m_hLib);
    m_hLib = NULL;
}

void WriteStandardLibrary(const std::string& scratchName)
{
    std::string path = ScratchDir(scratchName) + "forums.kv1";
    ForumLibrary lib;
    lib.Forum("News", "Company news").Group("Sales").Forum("Pricing", "Price list");
    ASSERT_TRUE(lib.WriteTo(path));
    SetLibraryPath(path.c_str());
}

std::string MenuTree(HMENU hMenu)
{
    std::string tree;
    int nItems = GetMenuItemCount(hMenu);
    for (int i = 0; i < nItems; ++i) {
        char szText[128] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = szText;
        info.cch = sizeof szText;
        GetMenuItemInfoA(hMenu, i, TRUE, &info);
        if (i > 0)
            tree += "|";
        if (info.fType & MFT_SEPARATOR)
            tree += "-";
        else if (info.hSubMenu)
            tree += std::string(szText) + "{" + MenuTree(info.hSubMenu) + "}";
        else
            tree += std::string(szText) + "=" + std::to_string(info.wID);
    }
    return tree;
}

HMENU HopstartPopup(HMENU hTools)
{
    for (int i = GetMenuItemCount(hTools) - 1; i >= 0; --i) {
        char szText[64] = "";
        GetMenuStringA(hTools, i, szText, sizeof szText, MF_BYPOSITION);
        if (std::string(szText) == "Hopstart")
            return GetSubMenu(hTools, i);
    }
    return NULL;
}

bool ButtonCentre(HWND hToolbar, UINT id, POINT& pt)
{
    LRESULT iButton = SendMessageA(hToolbar, TB_COMMANDTOINDEX, id, 0);
    RECT rc = {};
    if (iButton < 0 ||
        !SendMessageA(hToolbar, TB_GETITEMRECT, iButton, reinterpret_cast<LPARAM>(&rc)))
        return false;
    pt.x = (rc.left + rc.right) / 2;
    pt.y = (rc.top + rc.bottom) / 2;
    return true;
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
