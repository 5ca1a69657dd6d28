#include "forummenu.h"

#include <stdlib.h>

CForumEntry::CForumEntry() : m_pszName(NULL), m_pszLabel(NULL), m_bGroup(FALSE) {}

CForumEntry::~CForumEntry()
{
    if (m_pszName)
        free(m_pszName);
    if (m_pszLabel)
        free(m_pszLabel);
}

CForumMenu::CForumMenu()
    : m_pEntries(NULL), m_nEntries(0), m_bToolbarHooked(FALSE), m_nCommands(0), m_idFirstEntry(0)
{
}

CForumMenu::~CForumMenu()
{
    if (m_pEntries)
        delete[] m_pEntries;
}
