#include "exchext.h"

#include "afxlite.h"
#include "resource.h"
#include "state/state.h"

namespace {

const UINT ID_TOOLS_ANCHOR = 134;  // a command of the client's Tools menu
const char c_szPopupTitle[] = "Hopstart";
const char c_szAboutTitle[] = "About Hopstart";
const char c_szAboutText[] =
    "Called through IExchExtCommands::Help()\n"
    "Contained in hopext.dll\n"
    "\n"
    "Konvera Hopstart 2.1, by the Hopstart Project developers\n"
    "Copyright (C) 2026 The Hopstart Project developers";

// The last standard toolbar of the client's list, or null.
TBENTRY* FindStandardToolbar(LPTBENTRY pToolbars, UINT nToolbars)
{
    if (!pToolbars)
        return NULL;
    for (UINT i = nToolbars; i > 0; --i) {
        if (pToolbars[i - 1].tbid == EETBID_STANDARD)
            return &pToolbars[i - 1];
    }
    return NULL;
}

void CopyString(UINT nID, LPSTR pszBuffer, UINT cchBuffer)
{
    CString text;
    text.LoadString(nID);
    afx_lstrcpyn(pszBuffer, text, static_cast<int>(cchBuffer));
}

}  // namespace

// Slot and image stay "none" until InstallCommands finds a standard toolbar.
CExchExtCommands::CExchExtCommands()
    : m_cRef(0), m_idRun(0), m_itbb(static_cast<UINT>(-1)), m_iBitmap(-1), m_hWnd(NULL)
{
}

CExchExtCommands::~CExchExtCommands()
{
    g_pExchExtCommands = NULL;
}

STDMETHODIMP CExchExtCommands::QueryInterface(REFIID riid, void** ppv)
{
    *ppv = NULL;
    if (!IsEqualIID(riid, IID_IExchExtCommands) && !IsEqualIID(riid, IID_IUnknown))
        return E_NOINTERFACE;
    *ppv = static_cast<IExchExtCommands*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CExchExtCommands::AddRef()
{
    return ++m_cRef;
}

STDMETHODIMP_(ULONG) CExchExtCommands::Release()
{
    ULONG cRef = --m_cRef;
    if (cRef == 0)
        delete this;
    return cRef;
}

STDMETHODIMP CExchExtCommands::InstallCommands(LPEXCHEXTCALLBACK pCallback, HWND hWnd,
                                               HMENU /*hMenu*/, UINT* pidCommandBase,
                                               LPTBENTRY pToolbars, UINT nToolbars,
                                               ULONG /*ulFlags*/)
{
    if (!g_pExchExt || !g_pState || !pidCommandBase)
        return S_FALSE;
    if (g_pExchExt->m_ulContext != EECONTEXT_VIEWER)
        return S_FALSE;

    m_hWnd = hWnd;
    m_idRun = *pidCommandBase;

    TBENTRY* pStandard = FindStandardToolbar(pToolbars, nToolbars);
    if (pStandard) {
        HWND hToolbarWnd = pStandard->hwnd;
        m_itbb = pStandard->itbbBase;
        pStandard->itbbBase += 1;
        if (hToolbarWnd) {
            TBADDBITMAP bitmap = {g_pState->m_hInstance, IDB_HOPSTART};
            m_iBitmap = static_cast<int>(
                SendMessageA(hToolbarWnd, TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&bitmap)));
            g_pState->Prepare(hToolbarWnd, m_idRun);
        }
    }

    // Without a Tools menu there is nowhere to put the popup.
    HMENU hToolsMenu = NULL;
    if (pCallback)
        pCallback->GetMenuPos(ID_TOOLS_ANCHOR, &hToolsMenu, NULL, NULL, 0);
    if (hToolsMenu) {
        AppendMenuA(hToolsMenu, MF_SEPARATOR, 0, NULL);
        AppendMenuA(hToolsMenu, MF_POPUP | MF_BYPOSITION,
                    reinterpret_cast<UINT_PTR>(g_pState->m_hForumMenu), c_szPopupTitle);
    }

    *pidCommandBase += g_pState->m_forumMenu.m_nCommands;
    return S_FALSE;  // the client goes on asking the other extensions
}

STDMETHODIMP_(void) CExchExtCommands::InitMenu(LPEXCHEXTCALLBACK /*pCallback*/)
{
    if (g_pState)
        g_pState->m_forumMenu.InstallButton(m_iBitmap);
}

STDMETHODIMP CExchExtCommands::DoCommand(LPEXCHEXTCALLBACK /*pCallback*/, UINT idCommand)
{
    if (!g_pState)
        return S_FALSE;
    // Counted from the block's start, so that a block at the top of the id range cannot wrap.
    if (idCommand < m_idRun || idCommand - m_idRun >= g_pState->m_forumMenu.m_nCommands)
        return S_FALSE;
    g_pState->Dispatch(idCommand);
    return S_OK;
}

STDMETHODIMP CExchExtCommands::Help(LPEXCHEXTCALLBACK /*pCallback*/, UINT idCommand)
{
    if (idCommand != m_idRun)
        return S_FALSE;
    MessageBoxA(m_hWnd, c_szAboutText, c_szAboutTitle, MB_OK);
    return S_OK;
}

STDMETHODIMP CExchExtCommands::QueryHelpText(UINT idCommand, ULONG ulFlags, LPSTR pszText,
                                             UINT cchText)
{
    if (idCommand != m_idRun)
        return S_FALSE;
    if ((ulFlags == EECQHT_STATUS || ulFlags == EECQHT_TOOLTIP) && pszText)
        CopyString(IDS_HELP_TEXT, pszText, cchText);
    return S_OK;
}

STDMETHODIMP CExchExtCommands::QueryButtonInfo(ULONG /*tbid*/, UINT itbb, LPTBBUTTON pButton,
                                               LPSTR pszDescription, UINT cchDescription,
                                               ULONG /*ulFlags*/)
{
    if (itbb != m_itbb)
        return S_FALSE;
    if (pButton) {
        ZeroMemory(pButton, sizeof *pButton);
        pButton->iBitmap = m_iBitmap;
        pButton->idCommand = static_cast<int>(m_idRun);
        pButton->fsState = TBSTATE_ENABLED;
        pButton->fsStyle = TBSTYLE_BUTTON;
        pButton->dwData = 0;
        pButton->iString = -1;  // no text under the image
    }
    if (pszDescription)
        CopyString(IDS_BUTTON_DESCRIPTION, pszDescription, cchDescription);
    return S_OK;
}

STDMETHODIMP CExchExtCommands::ResetToolbar(ULONG /*tbid*/, ULONG /*ulFlags*/)
{
    if (g_pState)
        g_pState->m_forumMenu.InstallButton(m_iBitmap);
    return S_OK;
}
