#include <new>

#include "forummenu/windowprocs.h"
#include "state.h"

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID pReserved)
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
        // After FreeLibrary the client's toolbar and the poller window live on without this code:
        // take our procedures out of them first. At process exit no message reaches them again.
        if (!pReserved) {
            UnhookToolbar();
            DestroyPollerWindow();
        }
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
