// The extension as the client meets it: HOPEXT.DLL loaded from disk and entered by ordinal 1.
#include <gtest/gtest.h>

#include "host/exchext_host.h"

namespace {

// A callback that answers GetVersion and GetMenu and fails the test on any other call.
class CTestCallback : public IExchExtCallback {
public:
    ULONG m_ulVersion = 0x000D0000;
    HRESULT m_hrVersion = S_OK;
    HMENU m_hMenu = NULL;
    int m_nGetVersion = 0;

    STDMETHODIMP QueryInterface(REFIID, void** ppv) override
    {
        ADD_FAILURE() << "unexpected QueryInterface on the callback";
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override
    {
        ADD_FAILURE() << "the callback is not reference-counted";
        return 1;
    }
    STDMETHODIMP_(ULONG) Release() override
    {
        ADD_FAILURE() << "the callback is not reference-counted";
        return 1;
    }
    STDMETHODIMP GetVersion(ULONG* pulVersion, ULONG ulFlags) override
    {
        ++m_nGetVersion;
        EXPECT_EQ(EECBGV_GETBUILDVERSION, ulFlags);
        if (m_hrVersion == S_OK)
            *pulVersion = m_ulVersion;
        return m_hrVersion;
    }
    STDMETHODIMP Unused2() override { return Unexpected("slot 2"); }
    STDMETHODIMP GetMenu(HMENU* phMenu) override
    {
        *phMenu = m_hMenu;
        return S_OK;
    }
    STDMETHODIMP Unused4() override { return Unexpected("slot 4"); }
    STDMETHODIMP Unused5() override { return Unexpected("slot 5"); }
    STDMETHODIMP Unused6() override { return Unexpected("slot 6"); }
    STDMETHODIMP Unused7() override { return Unexpected("slot 7"); }
    STDMETHODIMP Unused8() override { return Unexpected("slot 8"); }
    STDMETHODIMP GetMenuPos(ULONG, HMENU*, ULONG*, ULONG*, ULONG) override
    {
        return Unexpected("GetMenuPos");
    }

private:
    HRESULT Unexpected(const char* what)
    {
        ADD_FAILURE() << "unexpected callback call: " << what;
        return E_FAIL;
    }
};

const IID IID_Unknown_Other = {0x00020D14, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Each test gets the library freshly loaded, so that every object starts from nothing.
class EntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hLib = LoadLibraryA("HOPEXT.DLL");
        ASSERT_NE(nullptr, m_hLib) << "LoadLibrary failed, error " << GetLastError();
        m_pfnEntry = reinterpret_cast<LPFNEXCHEXTENTRY>(
            reinterpret_cast<void*>(GetProcAddress(m_hLib, MAKEINTRESOURCEA(1))));
        ASSERT_NE(nullptr, m_pfnEntry);
    }
    void TearDown() override
    {
        if (m_hLib) {
            EXPECT_TRUE(FreeLibrary(m_hLib));
        }
    }

    HMODULE m_hLib = NULL;
    LPFNEXCHEXTENTRY m_pfnEntry = NULL;
};

TEST_F(EntryTest, OrdinalOneIsExchEntryPointByName)
{
    EXPECT_EQ(reinterpret_cast<void*>(m_pfnEntry),
              reinterpret_cast<void*>(GetProcAddress(m_hLib, "ExchEntryPoint")));
}

TEST_F(EntryTest, EntryPointTwiceReturnsOneObjectWithTwoReferences)
{
    IExchExt* pExt1 = m_pfnEntry();
    ASSERT_NE(nullptr, pExt1);
    IExchExt* pExt2 = m_pfnEntry();
    EXPECT_EQ(pExt1, pExt2);
    EXPECT_EQ(3u, pExt1->AddRef());
    EXPECT_EQ(2u, pExt1->Release());
    EXPECT_EQ(1u, pExt1->Release());
    EXPECT_EQ(0u, pExt2->Release());
}

TEST_F(EntryTest, ReleasedExtensionIsMadeAfresh)
{
    IExchExt* pExt = m_pfnEntry();
    CTestCallback callback;
    pExt->Install(&callback, 1, 0);
    EXPECT_EQ(0u, pExt->Release());
    pExt = m_pfnEntry();
    EXPECT_EQ(2u, pExt->AddRef());
    pExt->Release();
    EXPECT_EQ(0u, pExt->Release());
}

TEST_F(EntryTest, ExtensionAnswersItselfForUnknownAndExchExt)
{
    IExchExt* pExt = m_pfnEntry();
    const IID* iids[] = {&IID_IUnknown, &IID_IExchExt};
    for (const IID* piid : iids) {
        void* pv = reinterpret_cast<void*>(0xdeadbeef);
        EXPECT_EQ(S_OK, pExt->QueryInterface(*piid, &pv));
        EXPECT_EQ(static_cast<void*>(pExt), pv);
    }
    EXPECT_EQ(2u, pExt->Release());
    EXPECT_EQ(1u, pExt->Release());
    EXPECT_EQ(0u, pExt->Release());
}

TEST_F(EntryTest, CommandsObjectIsSharedCountedAndRecreated)
{
    IExchExt* pExt = m_pfnEntry();
    IUnknown* pCmd1 = NULL;
    IUnknown* pCmd2 = NULL;
    ASSERT_EQ(S_OK, pExt->QueryInterface(IID_IExchExtCommands, reinterpret_cast<void**>(&pCmd1)));
    ASSERT_EQ(S_OK, pExt->QueryInterface(IID_IExchExtCommands, reinterpret_cast<void**>(&pCmd2)));
    EXPECT_EQ(pCmd1, pCmd2);
    EXPECT_EQ(1u, pCmd1->Release());
    EXPECT_EQ(0u, pCmd2->Release());

    IUnknown* pCmd3 = NULL;
    ASSERT_EQ(S_OK, pExt->QueryInterface(IID_IExchExtCommands, reinterpret_cast<void**>(&pCmd3)));
    EXPECT_EQ(2u, pCmd3->AddRef());  // a new object, counted from 1
    pCmd3->Release();
    EXPECT_EQ(0u, pCmd3->Release());
    pExt->Release();
}

TEST_F(EntryTest, UserEventsObjectIsNeverFreed)
{
    IExchExt* pExt = m_pfnEntry();
    IUnknown* pEvents = NULL;
    ASSERT_EQ(S_OK, pExt->QueryInterface(IID_IExchExtUserEvents, reinterpret_cast<void**>(&pEvents)));
    EXPECT_EQ(1u, pEvents->Release());  // created at 1, handed out at 2

    IUnknown* pAgain = NULL;
    ASSERT_EQ(S_OK, pExt->QueryInterface(IID_IExchExtUserEvents, reinterpret_cast<void**>(&pAgain)));
    EXPECT_EQ(pEvents, pAgain);
    EXPECT_EQ(1u, pAgain->Release());
    pExt->Release();
}

TEST_F(EntryTest, RefusedInterfacesGiveNoInterfaceNullAndNoCount)
{
    IExchExt* pExt = m_pfnEntry();
    IUnknown* pCmd = NULL;
    IUnknown* pEvents = NULL;
    ASSERT_EQ(S_OK, pExt->QueryInterface(IID_IExchExtCommands, reinterpret_cast<void**>(&pCmd)));
    ASSERT_EQ(S_OK, pExt->QueryInterface(IID_IExchExtUserEvents, reinterpret_cast<void**>(&pEvents)));

    struct {
        IUnknown* pObject;
        const IID* piid;
        const char* what;
    } cases[] = {
        {pExt, &IID_IExchExtCallback, "extension, callback iid"},
        {pExt, &IID_Unknown_Other, "extension, unknown iid"},
        {pCmd, &IID_IExchExtCallback, "commands, callback iid"},
        {pCmd, &IID_IExchExt, "commands, extension iid"},
        {pCmd, &IID_IExchExtUserEvents, "commands, user-events iid"},
        {pEvents, &IID_IExchExt, "user events, extension iid"},
        {pEvents, &IID_IExchExtCommands, "user events, commands iid"},
    };
    for (auto& c : cases) {
        void* pv = reinterpret_cast<void*>(0xdeadbeef);
        EXPECT_EQ(E_NOINTERFACE, c.pObject->QueryInterface(*c.piid, &pv)) << c.what;
        EXPECT_EQ(nullptr, pv) << c.what;
        ULONG cRef = c.pObject->AddRef();
        c.pObject->Release();
        EXPECT_EQ(c.pObject == pEvents ? 3u : 2u, cRef) << c.what;  // unchanged counts
    }

    // Each of the other two answers IUnknown and its own interface with itself.
    const IID* cmdIids[] = {&IID_IExchExtCommands, &IID_IUnknown};
    for (const IID* piid : cmdIids) {
        void* pv = NULL;
        EXPECT_EQ(S_OK, pCmd->QueryInterface(*piid, &pv));
        EXPECT_EQ(static_cast<void*>(pCmd), pv);
        pCmd->Release();
    }
    const IID* evIids[] = {&IID_IExchExtUserEvents, &IID_IUnknown};
    for (const IID* piid : evIids) {
        void* pv = NULL;
        EXPECT_EQ(S_OK, pEvents->QueryInterface(*piid, &pv));
        EXPECT_EQ(static_cast<void*>(pEvents), pv);
        pEvents->Release();
    }
    pCmd->Release();
    pEvents->Release();
    pExt->Release();
}

TEST_F(EntryTest, InstallAcceptsOnlyTheViewerOfBuildMajorD)
{
    struct {
        ULONG ulVersion;
        ULONG ulContext;
        HRESULT hrExpected;
    } cases[] = {
        {0x000D0000, EECONTEXT_VIEWER, S_OK},
        {0x000D0FA0, EECONTEXT_VIEWER, S_OK},
        {0x000DFFFF, EECONTEXT_VIEWER, S_OK},
        {0x000C0FA0, EECONTEXT_VIEWER, S_FALSE},
        {0x000E0000, EECONTEXT_VIEWER, S_FALSE},
        {0x010D0000, EECONTEXT_VIEWER, S_FALSE},
        {0x000D0000, 1, S_FALSE},
        {0x000D0000, 3, S_FALSE},
        {0x000D0000, 0, S_FALSE},
        {0x000C0000, 1, S_FALSE},
    };
    IExchExt* pExt = m_pfnEntry();
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        CTestCallback callback;
        callback.m_ulVersion = cases[i].ulVersion;
        EXPECT_EQ(cases[i].hrExpected, pExt->Install(&callback, cases[i].ulContext, 0))
            << "[" << i << "] version " << std::hex << cases[i].ulVersion << " context "
            << cases[i].ulContext;
        EXPECT_EQ(1, callback.m_nGetVersion) << "[" << i << "]";
    }
    pExt->Release();
}

TEST_F(EntryTest, InstallWithFailedGetVersionDeclines)
{
    IExchExt* pExt = m_pfnEntry();
    CTestCallback callback;
    callback.m_hrVersion = E_FAIL;
    EXPECT_EQ(S_FALSE, pExt->Install(&callback, EECONTEXT_VIEWER, 0));
    pExt->Release();
}

TEST_F(EntryTest, SelectionChangeEnablesTheRunCommandAgain)
{
    IExchExt* pExt = m_pfnEntry();
    IExchExtCommands* pCmd = NULL;
    IExchExtUserEvents* pEvents = NULL;
    ASSERT_EQ(S_OK, pExt->QueryInterface(IID_IExchExtCommands, reinterpret_cast<void**>(&pCmd)));
    ASSERT_EQ(S_OK, pExt->QueryInterface(IID_IExchExtUserEvents, reinterpret_cast<void**>(&pEvents)));

    // A fresh commands object has its run command at 0 until InstallCommands sets it; a menu
    // item with id 0 stands in for it here.
    CTestCallback callback;
    callback.m_hMenu = CreateMenu();
    AppendMenuA(callback.m_hMenu, MF_STRING | MF_GRAYED, 0, "Run Konvera");
    AppendMenuA(callback.m_hMenu, MF_STRING | MF_GRAYED, 7, "Other");
    pEvents->OnSelectionChange(&callback);
    EXPECT_EQ(static_cast<UINT>(MF_ENABLED), GetMenuState(callback.m_hMenu, 0, MF_BYCOMMAND));
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), GetMenuState(callback.m_hMenu, 7, MF_BYCOMMAND));

    pEvents->OnObjectChange(&callback);
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), GetMenuState(callback.m_hMenu, 7, MF_BYCOMMAND));
    DestroyMenu(callback.m_hMenu);
    pCmd->Release();
    pEvents->Release();
    pExt->Release();
}

}  // namespace
