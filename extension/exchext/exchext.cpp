#include "exchext.h"

#include <new>

#include "state/state.h"

CExchExt* g_pExchExt;
CExchExtCommands* g_pExchExtCommands;
CExchExtUserEvents* g_pExchExtUserEvents;

extern "C" IExchExt* CALLBACK ExchEntryPoint(void)
{
    if (!g_pExchExt)
        g_pExchExt = new (std::nothrow) CExchExt;
    if (!g_pExchExt)
        return NULL;
    g_pExchExt->AddRef();  // every call of the entry point adds one reference
    return g_pExchExt;
}

CExchExt::CExchExt() : m_cRef(0), m_ulContext(0) {}

CExchExt::~CExchExt()
{
    // A new extension object starts a new hook cycle: the next InitMenu installs the button again.
    if (g_pState)
        g_pState->m_forumMenu.m_bToolbarHooked = FALSE;
    g_pExchExt = NULL;
}

STDMETHODIMP CExchExt::QueryInterface(REFIID riid, void** ppv)
{
    *ppv = NULL;
    HRESULT hr = S_OK;
    if (IsEqualIID(riid, IID_IUnknown)) {
        *ppv = static_cast<IExchExt*>(this);
    } else if (IsEqualIID(riid, IID_IExchExt)) {
        *ppv = static_cast<IExchExt*>(g_pExchExt);
    } else if (IsEqualIID(riid, IID_IExchExtCommands)) {
        if (!g_pExchExtCommands)
            g_pExchExtCommands = new (std::nothrow) CExchExtCommands;
        *ppv = static_cast<IExchExtCommands*>(g_pExchExtCommands);
    } else if (IsEqualIID(riid, IID_IExchExtUserEvents)) {
        if (!g_pExchExtUserEvents)
            g_pExchExtUserEvents = new (std::nothrow) CExchExtUserEvents;
        *ppv = static_cast<IExchExtUserEvents*>(g_pExchExtUserEvents);
    } else {
        hr = E_NOINTERFACE;
    }
    if (!*ppv)
        return hr == S_OK ? E_OUTOFMEMORY : hr;
    static_cast<IUnknown*>(*ppv)->AddRef();
    return hr;
}

STDMETHODIMP_(ULONG) CExchExt::AddRef()
{
    return ++m_cRef;
}

STDMETHODIMP_(ULONG) CExchExt::Release()
{
    ULONG cRef = --m_cRef;
    if (cRef == 0)
        delete this;
    return cRef;
}

STDMETHODIMP CExchExt::Install(LPEXCHEXTCALLBACK pCallback, ULONG ulContext, ULONG /*ulFlags*/)
{
    m_ulContext = ulContext;
    // A failed GetVersion leaves 0, which is no client of ours.
    ULONG ulVersion = 0;
    pCallback->GetVersion(&ulVersion, EECBGV_GETBUILDVERSION);
    if ((ulVersion & 0xFFFF0000) != 0x000D0000)
        return S_FALSE;
    if (ulContext != EECONTEXT_VIEWER)
        return S_FALSE;
    // Without its state (allocation failed at load) the extension stays out of the viewer.
    if (!g_pState)
        return S_FALSE;
    return S_OK;
}
