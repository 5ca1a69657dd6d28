// The forum list read from the groupware's forum library file, the forum menu's command numbering
// and the toolbar button's state.
#pragma once

#include <windows.h>
#include <stdio.h>

// Longest strings the reader keeps; longer ones are cut to these lengths.
const int FORUM_NAME_MAX = 255;
const int FORUM_LABEL_MAX = 79;

// One record of the forum list: a forum, or a group header (no name) that starts a submenu.
class CForumEntry {
public:
    CForumEntry();
    ~CForumEntry();

    char* m_pszName;   // owned; null for a group header
    char* m_pszLabel;  // owned; null when the record's label was absent
    BOOL m_bGroup;

private:
    CForumEntry(const CForumEntry&) = delete;
    CForumEntry& operator=(const CForumEntry&) = delete;
};

class CForumMenu {
public:
    CForumMenu();
    ~CForumMenu();

    // Reading the forum library file.
    int Load();
    static BOOL ReadString(FILE* pFile, char* pszBuffer, int cchBuffer);
    static int CountRecords(FILE* pFile);
    static BOOL ReadRecords(FILE* pFile, int nCount, CForumEntry* pEntries);

    // The forum menu and its command numbering.
    void BuildMenu(HMENU hMenu, UINT idRun);

    // The toolbar button and its drop-down.
    void InstallButton(int iBitmap);
    LRESULT ToolbarProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Opening the forum of one entry.
    BOOL OpenEntry(int nIndex);

    CForumEntry* m_pEntries;  // owned array of m_nEntries entries, or null
    int m_nEntries;
    BOOL m_bToolbarHooked;
    UINT m_nCommands;
    UINT m_idFirstEntry;

private:
    CForumMenu(const CForumMenu&) = delete;
    CForumMenu& operator=(const CForumMenu&) = delete;
};
