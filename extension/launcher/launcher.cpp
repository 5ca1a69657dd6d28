#include "launcher.h"

#include <string.h>

CForumLauncher::CForumLauncher()
{
    strcpy(m_szOpenCommand, "[open(\"%s\")]");
}

CForumLauncher::~CForumLauncher() = default;

// Placeholder until the launcher lands.
BOOL CForumLauncher::Open(const char*)
{
    return FALSE;
}

BOOL CForumLauncher::Execute(const char*)
{
    return FALSE;
}
