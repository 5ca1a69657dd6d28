// The three objects through which the client drives the extension. At most one of each exists at
// a time; each lives by its reference count and clears its global pointer when it goes.
#pragma once

#include "host/exchext_host.h"

class CExchExt final : public IExchExt {
public:
    CExchExt();
    ~CExchExt();  // not virtual: Release deletes the object as this class

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Install(LPEXCHEXTCALLBACK pCallback, ULONG ulContext, ULONG ulFlags) override;

    ULONG m_cRef;
    ULONG m_ulContext;
};

class CExchExtCommands final : public IExchExtCommands {
public:
    CExchExtCommands();
    ~CExchExtCommands();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP InstallCommands(LPEXCHEXTCALLBACK pCallback, HWND hWnd, HMENU hMenu,
                                 UINT* pidCommandBase, LPTBENTRY pToolbars, UINT nToolbars,
                                 ULONG ulFlags) override;
    STDMETHODIMP_(void) InitMenu(LPEXCHEXTCALLBACK pCallback) override;
    STDMETHODIMP DoCommand(LPEXCHEXTCALLBACK pCallback, UINT idCommand) override;
    STDMETHODIMP Help(LPEXCHEXTCALLBACK pCallback, UINT idCommand) override;
    STDMETHODIMP QueryHelpText(UINT idCommand, ULONG ulFlags, LPSTR pszText,
                               UINT cchText) override;
    STDMETHODIMP QueryButtonInfo(ULONG tbid, UINT itbb, LPTBBUTTON pButton, LPSTR pszDescription,
                                 UINT cchDescription, ULONG ulFlags) override;
    STDMETHODIMP ResetToolbar(ULONG tbid, ULONG ulFlags) override;

    ULONG m_cRef;
    UINT m_idRun;
    UINT m_itbb;
    int m_iBitmap;
    HWND m_hWnd;
};

class CExchExtUserEvents final : public IExchExtUserEvents {
public:
    CExchExtUserEvents();
    ~CExchExtUserEvents();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP_(void) OnSelectionChange(LPEXCHEXTCALLBACK pCallback) override;
    STDMETHODIMP_(void) OnObjectChange(LPEXCHEXTCALLBACK pCallback) override;

    ULONG m_cRef;
};

extern CExchExt* g_pExchExt;
extern CExchExtCommands* g_pExchExtCommands;
extern CExchExtUserEvents* g_pExchExtUserEvents;

extern "C" IExchExt* CALLBACK ExchEntryPoint(void);
