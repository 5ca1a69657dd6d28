#include "afxlite.h"

#include <new>
#include <string.h>

namespace {

AFX_APP_STATE g_appState;
CDynLinkLibrary* g_pFirstDLL;  // the framework's list of extension modules

}  // namespace

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll)
{
    CDynLinkLibrary** ppLink = &g_pFirstDLL;
    while (*ppLink) {
        CDynLinkLibrary* pDLL = *ppLink;
        if (bAll || pDLL->m_hModule == state.hModule) {
            *ppLink = pDLL->m_pNextDLL;
            delete pDLL;
        } else {
            ppLink = &pDLL->m_pNextDLL;
        }
    }
    state.bInitialized = FALSE;
}

AFX_APP_STATE* AfxGetAppState()
{
    return &g_appState;
}

HINSTANCE AfxGetResourceHandle()
{
    if (g_appState.m_hCurrentResourceHandle)
        return g_appState.m_hCurrentResourceHandle;
    return GetModuleHandleA(NULL);
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_pNextDLL(g_pFirstDLL)
{
    g_pFirstDLL = this;
}

CDynLinkLibrary::~CDynLinkLibrary() = default;

LPSTR afx_lstrcpyn(LPSTR pszDest, LPCSTR pszSrc, int nSize)
{
    if (nSize <= 0 || !pszDest)
        return pszDest;
    int n = 0;
    if (pszSrc) {
        while (n < nSize - 1 && pszSrc[n])
            ++n;
        memcpy(pszDest, pszSrc, n);
    }
    pszDest[n] = '\0';
    return pszDest;
}

char CString::s_szEmpty[1];

CString::CString() : m_pszData(s_szEmpty), m_nLength(0) {}

CString::CString(const CString& other) : m_pszData(s_szEmpty), m_nLength(0)
{
    Assign(other.m_pszData, other.m_nLength);
}

CString::~CString()
{
    Empty();
}

CString& CString::operator=(const CString& other)
{
    if (this != &other)
        Assign(other.m_pszData, other.m_nLength);
    return *this;
}

BOOL CString::LoadString(UINT nID)
{
    // Resource strings are at most 65535 characters; the framework's own limit is 255.
    char szBuffer[256];
    int nLength = ::LoadStringA(AfxGetResourceHandle(), nID, szBuffer, sizeof szBuffer);
    if (nLength <= 0) {
        Empty();
        return FALSE;
    }
    return Assign(szBuffer, nLength);
}

BOOL CString::Assign(LPCSTR psz, int nLength)
{
    Empty();
    if (nLength == 0)
        return TRUE;
    LPSTR pszNew = new (std::nothrow) char[nLength + 1];
    if (!pszNew)
        return FALSE;
    memcpy(pszNew, psz, nLength);
    pszNew[nLength] = '\0';
    m_pszData = pszNew;
    m_nLength = nLength;
    return TRUE;
}

void CString::Empty()
{
    if (m_pszData != s_szEmpty)
        delete[] m_pszData;
    m_pszData = s_szEmpty;
    m_nLength = 0;
}
