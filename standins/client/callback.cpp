#include "callback.h"

CClientCallback::CClientCallback() : m_ulVersion(0), m_hMenuBar(NULL) {}

// The callback lives as long as the viewer; it is handed out, never counted.
STDMETHODIMP CClientCallback::QueryInterface(REFIID, void** ppv)
{
    *ppv = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CClientCallback::AddRef()
{
    return 1;
}

STDMETHODIMP_(ULONG) CClientCallback::Release()
{
    return 1;
}

STDMETHODIMP CClientCallback::GetVersion(ULONG* pulVersion, ULONG /*ulFlags*/)
{
    *pulVersion = m_ulVersion;
    return S_OK;
}

STDMETHODIMP CClientCallback::GetMenu(HMENU* phMenu)
{
    *phMenu = m_hMenuBar;
    return S_OK;
}

STDMETHODIMP CClientCallback::GetMenuPos(ULONG idCommand, HMENU* phMenu, ULONG* pposMin,
                                         ULONG* pposMax, ULONG /*ulFlags*/)
{
    int nPos = -1;
    HMENU hPopup = FindPopupHolding(m_hMenuBar, idCommand, &nPos);
    *phMenu = hPopup;
    if (!hPopup)
        return E_FAIL;
    if (pposMin)
        *pposMin = static_cast<ULONG>(nPos);
    if (pposMax)
        *pposMax = static_cast<ULONG>(nPos);
    return S_OK;
}

STDMETHODIMP CClientCallback::Unused2() { return E_NOTIMPL; }
STDMETHODIMP CClientCallback::Unused4() { return E_NOTIMPL; }
STDMETHODIMP CClientCallback::Unused5() { return E_NOTIMPL; }
STDMETHODIMP CClientCallback::Unused6() { return E_NOTIMPL; }
STDMETHODIMP CClientCallback::Unused7() { return E_NOTIMPL; }
STDMETHODIMP CClientCallback::Unused8() { return E_NOTIMPL; }

HMENU FindPopupHolding(HMENU hMenu, UINT id, int* pnPos)
{
    int nItems = GetMenuItemCount(hMenu);
    for (int i = 0; i < nItems; ++i) {
        HMENU hSub = GetSubMenu(hMenu, i);
        if (!hSub)
            continue;
        int nSubItems = GetMenuItemCount(hSub);
        for (int j = 0; j < nSubItems; ++j) {
            if (GetMenuItemID(hSub, j) == id) {
                *pnPos = j;
                return hSub;
            }
        }
        HMENU hDeeper = FindPopupHolding(hSub, id, pnPos);
        if (hDeeper)
            return hDeeper;
    }
    return NULL;
}
