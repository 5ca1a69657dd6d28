#include <new>

#include "state.h"

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID /*pReserved*/)
{
    switch (dwReason) {
    case DLL_PROCESS_ATTACH:
        // Without a state the library still loads; the extension then declines every context.
        g_pState = new (std::nothrow) CExtensionState;
        AfxInitExtensionModule(g_extModule, hInstance);
        new (std::nothrow) CDynLinkLibrary(g_extModule);  // owned by the framework from here on
        if (g_pState)
            g_pState->m_hInstance = hInstance;
        AfxGetAppState()->m_hCurrentResourceHandle = hInstance;
        break;
    case DLL_PROCESS_DETACH:
        AfxTermExtensionModule(g_extModule);
        if (g_pState) {
            delete g_pState;
            g_pState = NULL;
        }
        break;
    default:
        break;
    }
    return TRUE;
}
