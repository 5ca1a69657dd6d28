// One extension as the client holds it: the library, its three interfaces and its command block.
#pragma once

#include <string>

#include "callback.h"

class CClientLog;
class CViewer;

class CExtensionHost {
public:
    CExtensionHost(CViewer& viewer, CClientLog& log);
    ~CExtensionHost();

    // Loads the library named, or the one the client's registry value names; enters it.
    bool Load(const std::string& dll);
    // Install for the viewer, then the command and user-event calls the client makes at start.
    void Install(ULONG ulVersion, UINT idBase);
    bool OwnsCommand(UINT id) const { return m_pCommands && id >= m_idBase && id < m_idNext; }
    HRESULT DoCommand(UINT id);
    HRESULT Help(UINT id);
    bool QueryHelpText(UINT id, ULONG ulFlags, char* pszText, UINT cchText);
    void InitMenu();
    // Releases every interface; Unload then frees the library.
    void Release();
    void Unload();

    UINT m_idBase;  // the run command
    UINT m_idNext;  // first id after the extension's block

private:
    CExtensionHost(const CExtensionHost&) = delete;
    CExtensionHost& operator=(const CExtensionHost&) = delete;

    bool ReadRegistration(std::string& path, int& nOrdinal);
    void InstallCommands();
    void LogMenu(HMENU hMenu, int nDepth);
    void LogToolbar();

    CViewer& m_viewer;
    CClientLog& m_log;
    CClientCallback m_callback;
    HMODULE m_hLib;
    IExchExt* m_pExt;
    IExchExtCommands* m_pCommands;
    IExchExtUserEvents* m_pEvents;
};
