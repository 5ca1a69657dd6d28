// Reads the groupware's forum library file into the forum list: a counting pass, one array
// allocation of exactly that many entries, then a reading pass over the same bytes.
#include "forummenu.h"

#include <limits.h>
#include <new>
#include <stdlib.h>
#include <string.h>

namespace {

const unsigned char LIBRARY_MAGIC[2] = {0x93, 0xFF};  // 0xFF93, little-endian
const int HEADER_SKIP = 24;
const int LONG_FORM = 0xFF;

// Consumes cchSkip bytes; TRUE when all of them were in the file.
BOOL SkipBytes(FILE* pFile, int cchSkip)
{
    char scratch[256];
    while (cchSkip > 0) {
        size_t cchChunk = cchSkip < (int)sizeof scratch ? (size_t)cchSkip : sizeof scratch;
        if (fread(scratch, 1, cchChunk, pFile) != cchChunk)
            return FALSE;
        cchSkip -= (int)cchChunk;
    }
    return TRUE;
}

// Reads one counted string, keeping at most cchBuffer - 1 bytes and a NUL. The rest of a longer
// string is consumed, so every pass moves through the file alike whatever its buffer size.
// *pcchText receives the number of bytes kept (the text may hold NUL bytes of its own).
BOOL ReadCounted(FILE* pFile, char* pszBuffer, int cchBuffer, int* pcchText)
{
    *pcchText = 0;
    if (cchBuffer > 0)
        pszBuffer[0] = '\0';

    int cchString = fgetc(pFile);
    if (cchString == EOF)
        return FALSE;
    if (cchString == LONG_FORM) {
        int nLow = fgetc(pFile);
        if (nLow == EOF)
            return FALSE;
        int nHigh = fgetc(pFile);
        if (nHigh == EOF)
            return FALSE;
        cchString = nLow | (nHigh << 8);
    }
    if (cchString == 0)
        return FALSE;

    int cchRoom = cchBuffer > 0 ? cchBuffer - 1 : 0;
    int cchKeep = cchString < cchRoom ? cchString : cchRoom;
    size_t cchRead = fread(pszBuffer, 1, (size_t)cchKeep, pFile);
    if (cchBuffer > 0)
        pszBuffer[cchRead] = '\0';
    if (cchRead != (size_t)cchKeep)
        return FALSE;
    if (!SkipBytes(pFile, cchString - cchKeep))
        return FALSE;
    *pcchText = cchKeep;
    return TRUE;
}

// An exact-size heap copy (freed by the entry's destructor), or null when memory runs out.
char* CopyText(const char* pszText, int cchText)
{
    char* pszCopy = (char*)malloc((size_t)cchText + 1);
    if (pszCopy)
        memcpy(pszCopy, pszText, (size_t)cchText + 1);
    return pszCopy;
}

BOOL IsGroupName(const char* pszName, int cchName)
{
    return cchName == 5 && memcmp(pszName, "group", 5) == 0;
}

// Everything after the file is open; the caller closes it.
int ReadLibrary(FILE* pFile, CForumMenu& menu)
{
    unsigned char magic[2];
    if (fread(magic, 1, sizeof magic, pFile) != sizeof magic ||
        memcmp(magic, LIBRARY_MAGIC, sizeof magic) != 0)
        return 0;
    // The rest of the header is not interpreted; a file ending within it holds no records.
    char header[HEADER_SKIP];
    if (fread(header, 1, sizeof header, pFile) != sizeof header)
        return 0;

    long nFirstRecord = ftell(pFile);
    if (nFirstRecord < 0)
        return 0;
    menu.m_nEntries = CForumMenu::CountRecords(pFile);
    if (menu.m_nEntries == 0)
        return 0;
    if (fseek(pFile, nFirstRecord, SEEK_SET) != 0) {
        menu.m_nEntries = 0;
        return 0;
    }

    menu.m_pEntries = new (std::nothrow) CForumEntry[menu.m_nEntries];
    if (!menu.m_pEntries)
        return 0;
    CForumMenu::ReadRecords(pFile, menu.m_nEntries, menu.m_pEntries);
    return menu.m_nEntries;
}

}  // namespace

int CForumMenu::Load()
{
    char szPath[260];
    GetPrivateProfileStringA("Konvera", "LibraryFileVer2", "WINKONVERA\\WINKONVERA.KV1", szPath,
                             sizeof szPath, "winkonvera.ini");
    FILE* pFile = fopen(szPath, "rb");
    if (!pFile)
        return 0;
    int nEntries = ReadLibrary(pFile, *this);
    fclose(pFile);
    return nEntries;
}

BOOL CForumMenu::ReadString(FILE* pFile, char* pszBuffer, int cchBuffer)
{
    int cchText;
    return ReadCounted(pFile, pszBuffer, cchBuffer, &cchText);
}

int CForumMenu::CountRecords(FILE* pFile)
{
    char szBuffer[256];
    int nCount = 0;
    while (nCount < INT_MAX && ReadString(pFile, szBuffer, sizeof szBuffer)) {
        ++nCount;
        ReadString(pFile, szBuffer, sizeof szBuffer);
    }
    return nCount;
}

BOOL CForumMenu::ReadRecords(FILE* pFile, int nCount, CForumEntry* pEntries)
{
    char szName[260];
    char szLabel[80];
    for (int i = 0; i < nCount; ++i) {
        CForumEntry& entry = pEntries[i];
        int cchName;
        // Names keep the same length limit as in the counting pass.
        if (!ReadCounted(pFile, szName, FORUM_NAME_MAX + 1, &cchName))
            return FALSE;
        if (IsGroupName(szName, cchName)) {
            entry.m_bGroup = TRUE;
        } else {
            entry.m_pszName = CopyText(szName, cchName);
            if (!entry.m_pszName)
                return FALSE;
        }

        int cchLabel;
        if (ReadCounted(pFile, szLabel, sizeof szLabel, &cchLabel)) {
            entry.m_pszLabel = CopyText(szLabel, cchLabel);
            if (!entry.m_pszLabel)
                return FALSE;
        }
    }
    return TRUE;
}
