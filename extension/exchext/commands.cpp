#include "exchext.h"

#include "state/state.h"

CExchExtCommands::CExchExtCommands() : m_cRef(0), m_idRun(0), m_itbb(0), m_iBitmap(0), m_hWnd(NULL)
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

// The command operations proper come with the toolbar button and the command block.

STDMETHODIMP CExchExtCommands::InstallCommands(LPEXCHEXTCALLBACK, HWND, HMENU, UINT*, LPTBENTRY,
                                               UINT, ULONG)
{
    return S_FALSE;
}

STDMETHODIMP_(void) CExchExtCommands::InitMenu(LPEXCHEXTCALLBACK) {}

STDMETHODIMP CExchExtCommands::DoCommand(LPEXCHEXTCALLBACK, UINT)
{
    return S_FALSE;
}

STDMETHODIMP CExchExtCommands::Help(LPEXCHEXTCALLBACK, UINT)
{
    return S_FALSE;
}

STDMETHODIMP CExchExtCommands::QueryHelpText(UINT, ULONG, LPSTR, UINT)
{
    return S_FALSE;
}

STDMETHODIMP CExchExtCommands::QueryButtonInfo(ULONG, UINT, LPTBBUTTON, LPSTR, UINT, ULONG)
{
    return S_FALSE;
}

STDMETHODIMP CExchExtCommands::ResetToolbar(ULONG, ULONG)
{
    return S_OK;
}
