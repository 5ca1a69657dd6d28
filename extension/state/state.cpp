#include "state.h"

AFX_EXTENSION_MODULE g_extModule;
CExtensionState* g_pState;

CExtensionState::CExtensionState()
    : m_hInstance(NULL), m_hForumMenu(NULL), m_hGroupwareWnd(NULL), m_hToolbarWnd(NULL),
      m_hPollerWnd(NULL), m_idRun(0), m_bPrepared(FALSE)
{
}

CExtensionState::~CExtensionState()
{
    // The popups attached to the forum menu go with it.
    if (m_hForumMenu)
        DestroyMenu(m_hForumMenu);
}
