#include "exthost.h"

#include <stdlib.h>

#include "clientlog.h"
#include "viewer.h"

namespace {

const char c_szExtensionsKey[] = "SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions";
const char c_szValueName[] = "Hopstart";

// Field n (from 0) of a ';'-separated value.
std::string Field(const std::string& value, int n)
{
    size_t start = 0;
    for (int i = 0; i < n; ++i) {
        start = value.find(';', start);
        if (start == std::string::npos)
            return std::string();
        ++start;
    }
    size_t end = value.find(';', start);
    return value.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

CExtensionHost::CExtensionHost(CViewer& viewer, CClientLog& log)
    : m_idBase(0), m_idNext(0), m_viewer(viewer), m_log(log), m_hLib(NULL), m_pExt(NULL),
      m_pCommands(NULL), m_pEvents(NULL)
{
}

CExtensionHost::~CExtensionHost()
{
    Release();
    Unload();
}

bool CExtensionHost::ReadRegistration(std::string& path, int& nOrdinal)
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, c_szExtensionsKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    char szValue[1024] = "";
    DWORD cbValue = sizeof szValue - 1;
    DWORD dwType = 0;
    LONG rc = RegQueryValueExA(hKey, c_szValueName, NULL, &dwType,
                               reinterpret_cast<BYTE*>(szValue), &cbValue);
    RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS || dwType != REG_SZ)
        return false;
    szValue[cbValue < sizeof szValue ? cbValue : sizeof szValue - 1] = '\0';
    path = Field(szValue, 1);
    nOrdinal = atoi(Field(szValue, 2).c_str());
    return !path.empty() && nOrdinal > 0;
}

bool CExtensionHost::Load(const std::string& dll)
{
    std::string path = dll;
    int nOrdinal = 1;
    if (path.empty() && !ReadRegistration(path, nOrdinal)) {
        m_log.Line("load failed: no registration");
        return false;
    }
    m_hLib = LoadLibraryA(path.c_str());
    if (!m_hLib) {
        m_log.Line("load failed: %s error %lu", path.c_str(), GetLastError());
        return false;
    }
    FARPROC pfnProc = GetProcAddress(m_hLib, MAKEINTRESOURCEA(nOrdinal));
    LPFNEXCHEXTENTRY pfnEntry =
        reinterpret_cast<LPFNEXCHEXTENTRY>(reinterpret_cast<void*>(pfnProc));
    m_pExt = pfnEntry ? pfnEntry() : NULL;
    if (!m_pExt) {
        m_log.Line("load failed: no extension at ordinal %d", nOrdinal);
        return false;
    }
    m_log.Line("loaded %s ordinal %d", path.c_str(), nOrdinal);
    return true;
}

void CExtensionHost::Install(ULONG ulVersion, UINT idBase)
{
    m_callback.m_ulVersion = ulVersion;
    m_callback.m_hMenuBar = m_viewer.m_hMenuBar;
    m_idBase = m_idNext = idBase;
    if (!m_pExt)
        return;
    HRESULT hr = m_pExt->Install(&m_callback, EECONTEXT_VIEWER, 0);
    m_log.Line("install 0x%08lX", static_cast<unsigned long>(hr));
    if (hr != S_OK)
        return;  // declined: the extension takes no part in this viewer
    m_pExt->QueryInterface(IID_IExchExtCommands, reinterpret_cast<void**>(&m_pCommands));
    m_pExt->QueryInterface(IID_IExchExtUserEvents, reinterpret_cast<void**>(&m_pEvents));
    if (m_pCommands)
        InstallCommands();
    if (m_pEvents)
        m_pEvents->OnSelectionChange(&m_callback);
}

void CExtensionHost::InstallCommands()
{
    TBENTRY toolbar = {m_viewer.m_hToolbarWnd, EETBID_STANDARD, 0, m_viewer.m_nOwnButtons};
    UINT idBase = m_idBase;
    m_pCommands->InstallCommands(&m_callback, m_viewer.m_hWnd, m_viewer.m_hMenuBar, &idBase,
                                 &toolbar, 1, 0);
    m_idNext = idBase;
    m_log.Line("commands base %u -> %u", m_idBase, m_idNext);

    int nPos = -1;
    HMENU hTools = FindPopupHolding(m_viewer.m_hMenuBar, ID_TOOLS_OPTIONS, &nPos);
    int nItems = hTools ? GetMenuItemCount(hTools) : 0;
    for (int i = 0; i < nItems; ++i) {
        char szText[128] = "";
        GetMenuStringA(hTools, i, szText, sizeof szText, MF_BYPOSITION);
        if (lstrcmpA(szText, "Hopstart") == 0 && GetSubMenu(hTools, i)) {
            m_log.Line("menu popup Hopstart");
            LogMenu(GetSubMenu(hTools, i), 1);
        }
    }

    m_pCommands->InitMenu(&m_callback);
    m_pCommands->ResetToolbar(EETBID_STANDARD, 0);
    LogToolbar();

    char szText[256] = "";
    if (QueryHelpText(m_idBase, EECQHT_STATUS, szText, sizeof szText))
        m_log.Line("helptext %s", szText);
}

void CExtensionHost::LogMenu(HMENU hMenu, int nDepth)
{
    char szIndent[64] = "";
    for (int i = 0; i < nDepth && i < 31; ++i)
        lstrcatA(szIndent, "  ");
    int nItems = GetMenuItemCount(hMenu);
    for (int i = 0; i < nItems; ++i) {
        char szText[128] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = szText;
        info.cch = sizeof szText;
        GetMenuItemInfoA(hMenu, i, TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            m_log.Line("menu %sseparator", szIndent);
        } else if (info.hSubMenu) {
            m_log.Line("menu %spopup %s", szIndent, szText);
            LogMenu(info.hSubMenu, nDepth + 1);
        } else {
            m_log.Line("menu %sitem %u %s", szIndent, info.wID, szText);
        }
    }
}

void CExtensionHost::LogToolbar()
{
    HWND hToolbar = m_viewer.m_hToolbarWnd;
    int nButtons = static_cast<int>(SendMessageA(hToolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < nButtons; ++i) {
        TBBUTTON button = {};
        SendMessageA(hToolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        m_log.Line("toolbar %d id %d bitmap %d", i, button.idCommand, button.iBitmap);
    }
}

HRESULT CExtensionHost::DoCommand(UINT id)
{
    HRESULT hr = m_pCommands->DoCommand(&m_callback, id);
    m_log.Line("docommand %u -> 0x%08lX", id, static_cast<unsigned long>(hr));
    return hr;
}

HRESULT CExtensionHost::Help(UINT id)
{
    if (!m_pCommands)
        return E_FAIL;
    HRESULT hr = m_pCommands->Help(&m_callback, id);
    m_log.Line("help %u -> 0x%08lX", id, static_cast<unsigned long>(hr));
    return hr;
}

bool CExtensionHost::QueryHelpText(UINT id, ULONG ulFlags, char* pszText, UINT cchText)
{
    return m_pCommands && m_pCommands->QueryHelpText(id, ulFlags, pszText, cchText) == S_OK;
}

void CExtensionHost::InitMenu()
{
    if (m_pCommands)
        m_pCommands->InitMenu(&m_callback);
}

void CExtensionHost::Release()
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

void CExtensionHost::Unload()
{
    if (!m_hLib)
        return;
    FreeLibrary(m_hLib);
    m_hLib = NULL;
    m_log.Line("released");
}
