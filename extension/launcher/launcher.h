// Sends the running groupware its DDE open command for a forum.
#pragma once

#include <windows.h>

class CForumLauncher {
public:
    CForumLauncher();
    ~CForumLauncher();

    BOOL Open(const char* pszName);
    // One complete DDEML client conversation carrying pszCommand as an execute transaction.
    static BOOL Execute(const char* pszCommand);

    char m_szOpenCommand[80];  // format of the open command; the name goes in its quotes

private:
    CForumLauncher(const CForumLauncher&) = delete;
    CForumLauncher& operator=(const CForumLauncher&) = delete;
};
