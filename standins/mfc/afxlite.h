// Stand-in for the MFC framework: only the pieces the extension calls, with the effects it relies
// on (extension-module registration, the current resource handle, CString::LoadString and a
// bounded copy).
#pragma once

#include <windows.h>

struct AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
};

// The application state's current resource handle: where string resources are loaded from.
struct AFX_APP_STATE {
    HINSTANCE m_hCurrentResourceHandle;
};

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Ends the module's registration and frees the CDynLinkLibrary objects made for it.
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);
AFX_APP_STATE* AfxGetAppState();
HINSTANCE AfxGetResourceHandle();

// Makes an extension module's resources reachable through the framework. Created on the heap and
// handed to the framework, which owns it from then on.
class CDynLinkLibrary {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state);
    ~CDynLinkLibrary();

    HMODULE m_hModule;
    HMODULE m_hResource;
    CDynLinkLibrary* m_pNextDLL;

private:
    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;
};

// Copies at most nSize - 1 characters and a NUL; with nSize 0 or less it writes nothing.
LPSTR afx_lstrcpyn(LPSTR pszDest, LPCSTR pszSrc, int nSize);

class CString {
public:
    CString();
    CString(const CString& other);
    ~CString();
    CString& operator=(const CString& other);

    // Loads string resource nID from the current resource handle; empty when there is none.
    BOOL LoadString(UINT nID);
    int GetLength() const { return m_nLength; }
    BOOL IsEmpty() const { return m_nLength == 0; }
    operator LPCSTR() const { return m_pszData; }

private:
    BOOL Assign(LPCSTR psz, int nLength);
    void Empty();

    LPSTR m_pszData;  // never null: points at s_szEmpty when empty
    int m_nLength;
    static char s_szEmpty[1];
};
