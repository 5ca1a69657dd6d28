#include "forummenu.h"

// Placeholder until the reader lands: no list.
int CForumMenu::Load()
{
    return 0;
}

BOOL CForumMenu::ReadString(FILE*, char*, int)
{
    return FALSE;
}

int CForumMenu::CountRecords(FILE*)
{
    return 0;
}

BOOL CForumMenu::ReadRecords(FILE*, int, CForumEntry*)
{
    return TRUE;
}
