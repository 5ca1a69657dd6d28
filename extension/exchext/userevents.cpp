#include "exchext.h"

CExchExtUserEvents::CExchExtUserEvents() : m_cRef(1) {}

CExchExtUserEvents::~CExchExtUserEvents()
{
    g_pExchExtUserEvents = NULL;
}

STDMETHODIMP CExchExtUserEvents::QueryInterface(REFIID riid, void** ppv)
{
    *ppv = NULL;
    if (!IsEqualIID(riid, IID_IExchExtUserEvents) && !IsEqualIID(riid, IID_IUnknown))
        return E_NOINTERFACE;
    *ppv = static_cast<IExchExtUserEvents*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CExchExtUserEvents::AddRef()
{
    return ++m_cRef;
}

STDMETHODIMP_(ULONG) CExchExtUserEvents::Release()
{
    ULONG cRef = --m_cRef;
    if (cRef == 0)
        delete this;
    return cRef;
}

STDMETHODIMP_(void) CExchExtUserEvents::OnSelectionChange(LPEXCHEXTCALLBACK pCallback)
{
    // Without the commands object there is no run command to enable.
    if (!g_pExchExtCommands)
        return;
    HMENU hMenu = NULL;
    pCallback->GetMenu(&hMenu);
    if (!hMenu)
        return;
    EnableMenuItem(hMenu, g_pExchExtCommands->m_idRun, MF_BYCOMMAND | MF_ENABLED);
}

STDMETHODIMP_(void) CExchExtUserEvents::OnObjectChange(LPEXCHEXTCALLBACK /*pCallback*/) {}
