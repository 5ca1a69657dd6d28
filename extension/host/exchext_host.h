// The Exchange client's extension interfaces, as the client calls them and as the extension calls
// back. COM layout, stdcall; the order of operations in each table is the client's and must not
// change.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <unknwn.h>

// Contexts, flags and toolbar ids the client passes.
const ULONG EECONTEXT_VIEWER = 2;
const ULONG EECBGV_GETBUILDVERSION = 1;
const ULONG EETBID_STANDARD = 1;
const ULONG EECQHT_STATUS = 1;
const ULONG EECQHT_TOOLTIP = 2;

// Interface identifiers, 00020D10-0000-0000-C000-000000000046 onward. Internal linkage keeps them
// out of the way of any platform import library.
static const IID IID_IExchExtCallback =
    {0x00020D10, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID IID_IExchExt =
    {0x00020D11, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID IID_IExchExtCommands =
    {0x00020D12, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
static const IID IID_IExchExtUserEvents =
    {0x00020D13, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// One toolbar of the viewer, as the client lists them for InstallCommands.
struct TBENTRY {
    HWND hwnd;      // toolbar window
    ULONG tbid;     // toolbar id; EETBID_STANDARD for the standard toolbar
    ULONG ulFlags;  // not read by the extension
    UINT itbbBase;  // first free button slot; the extension advances it by the slots it claims
};
typedef TBENTRY* LPTBENTRY;

// The client's side. The extension calls GetVersion, GetMenu and GetMenuPos only; the other
// slots keep those three at the first, third and ninth places after IUnknown.
struct IExchExtCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetVersion(ULONG* pulVersion, ULONG ulFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused2() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMenu(HMENU* phMenu) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused8() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMenuPos(ULONG idCommand, HMENU* phMenu, ULONG* pposMin,
                                                 ULONG* pposMax, ULONG ulFlags) = 0;
};
typedef IExchExtCallback* LPEXCHEXTCALLBACK;

struct IExchExt : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Install(LPEXCHEXTCALLBACK pCallback, ULONG ulContext,
                                              ULONG ulFlags) = 0;
};

struct IExchExtCommands : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE InstallCommands(LPEXCHEXTCALLBACK pCallback, HWND hWnd,
                                                      HMENU hMenu, UINT* pidCommandBase,
                                                      LPTBENTRY pToolbars, UINT nToolbars,
                                                      ULONG ulFlags) = 0;
    virtual void STDMETHODCALLTYPE InitMenu(LPEXCHEXTCALLBACK pCallback) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoCommand(LPEXCHEXTCALLBACK pCallback, UINT idCommand) = 0;
    virtual HRESULT STDMETHODCALLTYPE Help(LPEXCHEXTCALLBACK pCallback, UINT idCommand) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryHelpText(UINT idCommand, ULONG ulFlags, LPSTR pszText,
                                                    UINT cchText) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryButtonInfo(ULONG tbid, UINT itbb, LPTBBUTTON pButton,
                                                      LPSTR pszDescription, UINT cchDescription,
                                                      ULONG ulFlags) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResetToolbar(ULONG tbid, ULONG ulFlags) = 0;
};

struct IExchExtUserEvents : public IUnknown {
    virtual void STDMETHODCALLTYPE OnSelectionChange(LPEXCHEXTCALLBACK pCallback) = 0;
    virtual void STDMETHODCALLTYPE OnObjectChange(LPEXCHEXTCALLBACK pCallback) = 0;
};

// The library's one export, ordinal 1.
typedef IExchExt*(CALLBACK* LPFNEXCHEXTENTRY)(void);
