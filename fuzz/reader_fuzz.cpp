// libFuzzer harness for the forum library reader: every input is written out as the forum library
// file, read through CForumMenu::Load, and the entries are compared with what a small independent
// model of the file format expects. ASan/LSan catch overruns, bad frees and leaks on destruction.
#include <sanitizer/allocator_interface.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <new>
#include <string>
#include <vector>

#include "forummenu.h"

namespace {

char g_szPath[256];
bool g_bInReader;     // only the reader's own calls are counted and failed
int g_nOpenFiles;     // files the reader opened and has not closed yet
int g_nAllocations;   // the reader's allocations so far: the array first, then each string copy
int g_nFailAt = -1;   // the allocation that is made to fail, or -1

void Fail(const char* pszWhat, size_t nIndex)
{
    fprintf(stderr, "reader_fuzz: %s (entry %zu)\n", pszWhat, nIndex);
    abort();
}

// The model of one counted string at pos: presence, and the text cut to limit bytes.
bool ModelString(const uint8_t* pData, size_t cbData, size_t& pos, size_t limit, std::string& text)
{
    text.clear();
    if (pos >= cbData)
        return false;
    size_t len = pData[pos++];
    if (len == 0xFF) {
        if (cbData - pos < 2) {
            pos = cbData;
            return false;
        }
        len = pData[pos] | (pData[pos + 1] << 8);
        pos += 2;
    }
    if (len == 0)
        return false;
    if (cbData - pos < len) {
        pos = cbData;
        return false;
    }
    text.assign(reinterpret_cast<const char*>(pData) + pos, len < limit ? len : limit);
    pos += len;
    return true;
}

struct ModelEntry {
    bool bGroup;
    bool bName;  // a forum's name is stored; a group's is not
    std::string name;
    bool bLabel;
    std::string label;
};

std::vector<ModelEntry> ModelList(const uint8_t* pData, size_t cbData)
{
    std::vector<ModelEntry> list;
    if (cbData < 26 || pData[0] != 0x93 || pData[1] != 0xFF)
        return list;
    size_t pos = 26;
    ModelEntry entry;
    while (ModelString(pData, cbData, pos, FORUM_NAME_MAX, entry.name)) {
        entry.bGroup = entry.name == std::string("group");
        entry.bName = !entry.bGroup;
        entry.bLabel = ModelString(pData, cbData, pos, FORUM_LABEL_MAX, entry.label);
        list.push_back(entry);
    }
    return list;
}

// A string the reader stored: an exact-size heap block holding the text and its NUL.
void CheckCopy(const char* psz, const std::string& expected, size_t nIndex)
{
    if (!psz)
        Fail("string missing", nIndex);
    if (__sanitizer_get_allocated_size(psz) != expected.size() + 1)
        Fail("copy is not of exact size", nIndex);
    if (memcmp(psz, expected.data(), expected.size()) != 0 || psz[expected.size()] != '\0')
        Fail("wrong text", nIndex);
}

// What a failed allocation leaves: from the entry whose copy failed on, nothing is stored (a failed
// label keeps its entry's name or group flag). Returns the number of allocations the list needs.
int ApplyFailure(std::vector<ModelEntry>& list, int nFailAt)
{
    int nAllocation = 1;  // 0 is the array
    for (size_t i = 0; i < list.size(); ++i) {
        ModelEntry& entry = list[i];
        bool bFailed = false;
        if (!entry.bGroup && nAllocation++ == nFailAt) {
            entry = ModelEntry();
            bFailed = true;
        } else if (entry.bLabel && nAllocation++ == nFailAt) {
            entry.bLabel = false;
            bFailed = true;
        }
        if (bFailed) {
            for (size_t j = i + 1; j < list.size(); ++j)
                list[j] = ModelEntry();
            return nAllocation;
        }
    }
    return nAllocation;
}

// Loads the input with allocation nFailAt failing (-1: none); returns the allocations made.
int CheckLoad(const uint8_t* pData, size_t cbData, int nFailAt)
{
    std::vector<ModelEntry> expected = ModelList(pData, cbData);
    int nExpectedAllocations = expected.empty() ? 0 : ApplyFailure(expected, nFailAt);
    CForumMenu* pMenu = new CForumMenu;
    g_nAllocations = 0;
    g_nFailAt = nFailAt;
    g_bInReader = true;
    int nLoaded = pMenu->Load();
    g_bInReader = false;
    if (g_nOpenFiles != 0)
        Fail("file left open", 0);
    if (nFailAt < 0 && g_nAllocations != nExpectedAllocations)
        Fail("not one array and one copy per stored string", 0);

    size_t n = expected.size();
    if (pMenu->m_nEntries != (int)n)
        Fail("wrong count", n);
    if (nFailAt == 0 && n > 0) {
        if (nLoaded != 0 || pMenu->m_pEntries)
            Fail("failed array allocation not taken as an empty list", n);
        delete pMenu;
        return g_nAllocations;
    }
    if (nLoaded != (int)n)
        Fail("wrong result", n);
    if ((pMenu->m_pEntries != NULL) != (n > 0))
        Fail("array present without entries or missing", n);
    for (size_t i = 0; i < n; ++i) {
        const CForumEntry& entry = pMenu->m_pEntries[i];
        if (!entry.m_bGroup != !expected[i].bGroup)
            Fail("wrong group flag", i);
        if (expected[i].bName)
            CheckCopy(entry.m_pszName, expected[i].name, i);
        else if (entry.m_pszName)
            Fail("name stored for a group or after a failed allocation", i);
        if (expected[i].bLabel)
            CheckCopy(entry.m_pszLabel, expected[i].label, i);
        else if (entry.m_pszLabel)
            Fail("label stored for an absent one", i);
    }
    delete pMenu;
    return g_nAllocations;
}

// ReadString alone, with small exact-size buffers, over the whole input read as counted strings.
void CheckReadString(const uint8_t* pData, size_t cbData)
{
    FILE* pFile = fopen(g_szPath, "rb");
    if (!pFile)
        Fail("cannot reopen input", 0);
    size_t pos = 0;
    for (size_t k = 0; k < 64 && pos < cbData; ++k) {
        int cchBuffer = (int)(k % 10);
        char* pszBuffer = static_cast<char*>(malloc(cchBuffer));
        std::string text;
        bool bExpected = ModelString(pData, cbData, pos, cchBuffer > 0 ? cchBuffer - 1 : 0, text);
        BOOL bPresent = CForumMenu::ReadString(pFile, pszBuffer, cchBuffer);
        if (!bPresent != !bExpected)
            Fail("ReadString presence", k);
        if (bExpected && cchBuffer > 0 &&
            (memcmp(pszBuffer, text.data(), text.size()) != 0 || pszBuffer[text.size()] != '\0'))
            Fail("ReadString text", k);
        if (ftell(pFile) != (long)pos)
            Fail("ReadString position", k);
        free(pszBuffer);
    }
    fclose(pFile);
}

void RemoveInputFile()
{
    unlink(g_szPath);
}

}  // namespace

// The reader's ini lookup: the library file is always this run's input file.
DWORD GetPrivateProfileStringA(const char*, const char*, const char*, char* pszBuffer,
                               DWORD cchBuffer, const char*)
{
    snprintf(pszBuffer, cchBuffer, "%s", g_szPath);
    return (DWORD)strlen(pszBuffer);
}

// Linked with --wrap so that the reader's opens and closes can be counted and its allocations
// (malloc for strings, the nothrow array new for the entries) made to fail.
extern "C" FILE* __real_fopen(const char* pszPath, const char* pszMode);
extern "C" int __real_fclose(FILE* pFile);
extern "C" void* __real_malloc(size_t cb);
extern "C" void* __real__ZnamRKSt9nothrow_t(size_t cb, const std::nothrow_t& tag);

extern "C" FILE* __wrap_fopen(const char* pszPath, const char* pszMode)
{
    FILE* pFile = __real_fopen(pszPath, pszMode);
    if (pFile && g_bInReader)
        ++g_nOpenFiles;
    return pFile;
}

extern "C" int __wrap_fclose(FILE* pFile)
{
    if (g_bInReader)
        --g_nOpenFiles;
    return __real_fclose(pFile);
}

static bool AllocationFails()
{
    return g_bInReader && g_nAllocations++ == g_nFailAt;
}

extern "C" void* __wrap_malloc(size_t cb)
{
    return AllocationFails() ? NULL : __real_malloc(cb);
}

extern "C" void* __wrap__ZnamRKSt9nothrow_t(size_t cb, const std::nothrow_t& tag)
{
    return AllocationFails() ? NULL : __real__ZnamRKSt9nothrow_t(cb, tag);
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* pszDir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    snprintf(g_szPath, sizeof g_szPath, "%s/forumlib-fuzz-%d.kv1", pszDir, (int)getpid());
    atexit(RemoveInputFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t cbData)
{
    FILE* pFile = fopen(g_szPath, "wb");
    if (!pFile || fwrite(pData, 1, cbData, pFile) != cbData || fclose(pFile) != 0)
        Fail("cannot write input", 0);
    int nAllocations = CheckLoad(pData, cbData, -1);
    // Then each allocation failing in turn (a few of them for long lists).
    for (int k = 0; k < nAllocations; ++k) {
        if (nAllocations <= 8 || k < 3 || k == nAllocations / 2 || k == nAllocations - 1)
            CheckLoad(pData, cbData, k);
    }
    CheckReadString(pData, cbData);
    return 0;
}
