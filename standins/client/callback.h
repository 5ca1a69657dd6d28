// The client's side of the extension callback: the build version, the menu bar and the popup
// holding a command. Every other operation is not implemented.
#pragma once

#include "exchext_host.h"

class CClientCallback : public IExchExtCallback {
public:
    CClientCallback();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetVersion(ULONG* pulVersion, ULONG ulFlags) override;
    STDMETHODIMP Unused2() override;
    STDMETHODIMP GetMenu(HMENU* phMenu) override;
    STDMETHODIMP Unused4() override;
    STDMETHODIMP Unused5() override;
    STDMETHODIMP Unused6() override;
    STDMETHODIMP Unused7() override;
    STDMETHODIMP Unused8() override;
    STDMETHODIMP GetMenuPos(ULONG idCommand, HMENU* phMenu, ULONG* pposMin, ULONG* pposMax,
                            ULONG ulFlags) override;

    ULONG m_ulVersion;
    HMENU m_hMenuBar;
};

// The popup under hMenu (at any depth) that holds command id, and the item's position in it.
HMENU FindPopupHolding(HMENU hMenu, UINT id, int* pnPos);
