// Reader throughput: CForumMenu::Load on a 100,000-record library against one plain fread of the
// file and one scan of its bytes; and the allocations Load makes, counted.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <new>
#include <string>
#include <vector>

#include "benchsupport.h"
#include "forummenu/forummenu.h"

// Allocation counting: malloc and free are wrapped at link time (--wrap), the array forms of new
// and delete are replaced here. Only calls from this program's own code (the reader's objects
// included) are seen; the run-time library's internal allocations are not.
extern "C" void* __real_malloc(size_t cb);
extern "C" void __real_free(void* p);

namespace {

bool g_bCounting;
long g_nMallocs;
long g_nFrees;
long g_nArrays;
size_t g_cbMalloced;

}  // namespace

extern "C" void* __wrap_malloc(size_t cb)
{
    if (g_bCounting) {
        ++g_nMallocs;
        g_cbMalloced += cb;
    }
    return __real_malloc(cb);
}

extern "C" void __wrap_free(void* p)
{
    if (g_bCounting && p)
        ++g_nFrees;
    __real_free(p);
}

void* operator new[](size_t cb, const std::nothrow_t&) noexcept
{
    if (g_bCounting)
        ++g_nArrays;
    return __real_malloc(cb ? cb : 1);
}

void* operator new[](size_t cb)
{
    if (g_bCounting)
        ++g_nArrays;
    return __real_malloc(cb ? cb : 1);
}

void operator delete[](void* p) noexcept
{
    if (g_bCounting && p)
        ++g_nFrees;
    __real_free(p);
}

void operator delete[](void* p, size_t) noexcept
{
    operator delete[](p);
}

namespace {

const int RECORDS = 100000;
const int PAIRS = 21;

volatile unsigned g_sink;

// The bare work: the whole file in one fread, then one pass over its bytes.
void BareRead(const std::string& path, std::vector<unsigned char>& buffer)
{
    FILE* pFile = fopen(path.c_str(), "rb");
    if (!pFile)
        return;
    size_t cb = fread(buffer.data(), 1, buffer.size(), pFile);
    fclose(pFile);
    unsigned sum = 0;
    for (size_t i = 0; i < cb; ++i)
        sum += buffer[i];
    g_sink = sum;
}

// The bare work plus the allocations the list must make: one array, one exact copy per string.
// Returns the array; the caller frees it and the copies outside the timing.
CForumEntry* BareReadAndAllocate(const std::string& path, std::vector<unsigned char>& buffer,
                                 std::vector<char*>& copies)
{
    BareRead(path, buffer);
    CForumEntry* pEntries = new (std::nothrow) CForumEntry[RECORDS];
    size_t n = 0;
    for (int i = 0; i < RECORDS; ++i) {
        // Group: its label; forum: name and label, of the lengths the writer gives them.
        if (i % 20 == 0) {
            copies[n++] = (char*)malloc(sizeof "Group 0000");
        } else {
            copies[n++] = (char*)malloc(sizeof "Forum 00000");
            copies[n++] = (char*)malloc(sizeof "Forum label 00000");
        }
    }
    g_sink = (unsigned)n;
    return pEntries;
}

void FreeCopies(CForumEntry* pEntries, std::vector<char*>& copies)
{
    for (size_t i = 0; i < copies.size(); ++i)
        free(copies[i]);
    delete[] pEntries;
}

struct CBreakdown {
    std::vector<double> m_profile, m_open, m_count, m_seek, m_array, m_read, m_close;
};

// Load's steps one by one, with the reader's own passes, to see where its time goes.
void TimeSteps(CBreakdown& bd)
{
    double t0 = Now();
    char szPath[260];
    GetPrivateProfileStringA("Konvera", "LibraryFileVer2", "WINKONVERA\\WINKONVERA.KV1", szPath,
                             sizeof szPath, "winkonvera.ini");
    double t1 = Now();
    FILE* pFile = fopen(szPath, "rb");
    char header[26];
    if (!pFile || fread(header, 1, sizeof header, pFile) != sizeof header)
        return;
    double t2 = Now();
    int nCount = CForumMenu::CountRecords(pFile);
    double t3 = Now();
    fseek(pFile, 26, SEEK_SET);
    double t4 = Now();
    CForumEntry* pEntries = new (std::nothrow) CForumEntry[nCount];
    double t5 = Now();
    CForumMenu::ReadRecords(pFile, nCount, pEntries);
    double t6 = Now();
    fclose(pFile);
    double t7 = Now();
    delete[] pEntries;
    bd.m_profile.push_back(t1 - t0);
    bd.m_open.push_back(t2 - t1);
    bd.m_count.push_back(t3 - t2);
    bd.m_seek.push_back(t4 - t3);
    bd.m_array.push_back(t5 - t4);
    bd.m_read.push_back(t6 - t5);
    bd.m_close.push_back(t7 - t6);
}

// The same popups as BuildMenu makes, from the same loaded entries, with bare calls.
void BareMenus(const CForumMenu& menu, HMENU hMenu, UINT idRun)
{
    AppendMenuA(hMenu, MF_STRING, idRun, "Run Konvera");
    AppendMenuA(hMenu, MF_SEPARATOR, 0, NULL);
    HMENU hCurrent = NULL;
    for (int i = 0; i < menu.m_nEntries; ++i) {
        const CForumEntry& e = menu.m_pEntries[i];
        if (e.m_bGroup) {
            hCurrent = CreatePopupMenu();
            AppendMenuA(hMenu, MF_POPUP, (UINT_PTR)hCurrent, e.m_pszLabel);
        } else {
            AppendMenuA(hCurrent ? hCurrent : hMenu, MF_STRING, idRun + 1 + i, e.m_pszLabel);
        }
    }
}

// Load and BuildMenu of the start-up, one by one, at the start-up's sizes.
void TimeLoadAndBuild()
{
    const int sizes[] = {1000, 10000, 100000};
    printf("\n  Start-up's InstallCommands, white-box (median ms of 9): Load | BuildMenu | bare menus"
           " from the same entries | BuildMenu/bare\n");
    for (int n : sizes) {
        std::string path = BenchDir() + "build" + std::to_string(n) + ".kv1";
        WriteGroupedLibrary(path, n, "Forum");
        SetLibraryPath(path);
        std::vector<double> load, build, bare;
        for (int i = 0; i < 9; ++i) {
            CForumMenu* pMenu = new (std::nothrow) CForumMenu;
            double t0 = Now();
            pMenu->Load();
            double t1 = Now();
            HMENU hMenu = CreatePopupMenu();
            double t2 = Now();
            pMenu->BuildMenu(hMenu, 1000);
            double t3 = Now();
            DestroyMenu(hMenu);
            hMenu = CreatePopupMenu();
            double t4 = Now();
            BareMenus(*pMenu, hMenu, 1000);
            double t5 = Now();
            DestroyMenu(hMenu);
            delete pMenu;
            load.push_back(t1 - t0);
            build.push_back(t3 - t2);
            bare.push_back(t5 - t4);
        }
        printf("  %-14d %10.3f | %10.3f | %10.3f | %6.3f\n", n, Median(load) * 1e3,
               Median(build) * 1e3, Median(bare) * 1e3, Median(build) / Median(bare));
    }
}

// The counting pass with the run-time library's default stream buffer and with a larger one.
void TimeCountingBuffers(const std::string& path)
{
    std::vector<double> plain, large;
    for (int i = 0; i < 9; ++i) {
        for (int k = 0; k < 2; ++k) {
            FILE* pFile = fopen(path.c_str(), "rb");
            if (!pFile)
                return;
            if (k)
                setvbuf(pFile, NULL, _IOFBF, 64 * 1024);
            fseek(pFile, 26, SEEK_SET);
            double t0 = Now();
            CForumMenu::CountRecords(pFile);
            (k ? large : plain).push_back(Now() - t0);
            fclose(pFile);
        }
    }
    PrintNote("counting pass (median ms): default stream buffer %.3f | 64 KB buffer (setvbuf) %.3f",
              Median(plain) * 1e3, Median(large) * 1e3);
}

// The strings Load kept, and the bytes exact-size copies of them take.
void CountStored(const CForumMenu& menu, long* pnStrings, size_t* pcb)
{
    *pnStrings = 0;
    *pcb = 0;
    for (int i = 0; menu.m_pEntries && i < menu.m_nEntries; ++i) {
        const CForumEntry& e = menu.m_pEntries[i];
        if (e.m_pszName) {
            ++*pnStrings;
            *pcb += strlen(e.m_pszName) + 1;
        }
        if (e.m_pszLabel) {
            ++*pnStrings;
            *pcb += strlen(e.m_pszLabel) + 1;
        }
    }
}

}  // namespace

int main()
{
    std::string path = BenchDir() + "reader100000.kv1";
    int nStrings = WriteGroupedLibrary(path, RECORDS, "Forum");
    SetLibraryPath(path);
    FILE* pFile = fopen(path.c_str(), "rb");
    if (!pFile) {
        printf("cannot open %s\n", path.c_str());
        return 1;
    }
    fseek(pFile, 0, SEEK_END);
    std::vector<unsigned char> buffer((size_t)ftell(pFile));
    fclose(pFile);

    CPairedTimes times;
    int nLoaded = 0;
    for (int i = -1; i < PAIRS; ++i) {
        double a = 0, b = 0;
        for (int k = 0; k < 2; ++k) {
            if ((k == 0) == ((i & 1) == 0)) {
                CForumMenu* pMenu = new (std::nothrow) CForumMenu;
                double t0 = Now();
                nLoaded = pMenu->Load();
                a = Now() - t0;
                delete pMenu;
            } else {
                double t0 = Now();
                BareRead(path, buffer);
                b = Now() - t0;
            }
        }
        if (i >= 0)
            times.Add(a, b);
    }

    PrintTableHeader("2. Reader throughput (100,000 records in groups of 20)",
                     "CForumMenu::Load (ini lookup, open, counting pass, array, reading pass)",
                     "fopen + one fread of the whole file + one scan of its bytes");
    char szLabel[64];
    snprintf(szLabel, sizeof szLabel, "%d rec, %u KB", RECORDS, (unsigned)(buffer.size() / 1024));
    PrintRow(szLabel, times, 3.0);
    PrintNote("Load returned %d (expected %d)", nLoaded, RECORDS);

    // Where the floor lies once the allocations are made as the list must make them.
    CPairedTimes withAllocs;
    std::vector<char*> copies((size_t)nStrings);
    for (int i = -1; i < PAIRS; ++i) {
        double a = 0, b = 0;
        for (int k = 0; k < 2; ++k) {
            if ((k == 0) == ((i & 1) == 0)) {
                CForumMenu* pMenu = new (std::nothrow) CForumMenu;
                double t0 = Now();
                pMenu->Load();
                a = Now() - t0;
                delete pMenu;
            } else {
                double t0 = Now();
                CForumEntry* pEntries = BareReadAndAllocate(path, buffer, copies);
                b = Now() - t0;
                FreeCopies(pEntries, copies);
            }
        }
        if (i >= 0)
            withAllocs.Add(a, b);
    }
    PrintRow("  vs B + allocations", withAllocs, 0);
    PrintNote("second row: B also makes the array and the %d exact-size string copies", nStrings);

    CBreakdown bd;
    for (int i = 0; i < 9; ++i)
        TimeSteps(bd);
    PrintNote("Load's steps (median ms): ini lookup %.3f | open+header %.3f | counting pass %.3f |"
              " seek %.3f | array %.3f | reading pass %.3f | close %.3f",
              Median(bd.m_profile) * 1e3, Median(bd.m_open) * 1e3, Median(bd.m_count) * 1e3,
              Median(bd.m_seek) * 1e3, Median(bd.m_array) * 1e3, Median(bd.m_read) * 1e3,
              Median(bd.m_close) * 1e3);

    TimeCountingBuffers(path);
    std::vector<double> mallocs;
    for (int i = 0; i < 9; ++i) {
        double t0 = Now();
        for (size_t k = 0; k < copies.size(); ++k)
            copies[k] = (char*)malloc(k % 2 ? 12 : 18);
        mallocs.push_back(Now() - t0);
        for (size_t k = 0; k < copies.size(); ++k)
            free(copies[k]);
    }
    PrintNote("%d mallocs of 12-18 bytes alone (median ms): %.3f", nStrings,
              Median(mallocs) * 1e3);
    TimeLoadAndBuild();
    SetLibraryPath(path);

    // Allocations of one Load, and what its destruction frees.
    CForumMenu* pMenu = new (std::nothrow) CForumMenu;
    g_nMallocs = g_nFrees = g_nArrays = 0;
    g_cbMalloced = 0;
    g_bCounting = true;
    pMenu->Load();
    g_bCounting = false;
    long nArrays = g_nArrays, nMallocs = g_nMallocs;
    size_t cbMalloced = g_cbMalloced;
    long nStored;
    size_t cbStored;
    CountStored(*pMenu, &nStored, &cbStored);
    g_nFrees = 0;
    g_bCounting = true;
    pMenu->~CForumMenu();
    g_bCounting = false;
    operator delete(pMenu);
    long nFreed = g_nFrees;

    printf("\n  Allocations of one Load (goal: exactly 1 array + 1 per stored string)\n");
    printf("  %-34s %10s %10s  %s\n", "", "counted", "expected", "result");
    printf("  %-34s %10ld %10d  %s\n", "array allocations (new[])", nArrays, 1,
           nArrays == 1 ? "met" : "MISSED");
    printf("  %-34s %10ld %10d  %s\n", "string allocations (malloc)", nMallocs, nStrings,
           nMallocs == nStrings ? "met" : "MISSED");
    printf("  %-34s %10ld %10ld  %s\n", "strings found stored in the list", nStored,
           (long)nStrings, nStored == nStrings ? "met" : "MISSED");
    printf("  %-34s %10lu %10lu  %s\n", "bytes malloc'd vs exact copies", (unsigned long)cbMalloced,
           (unsigned long)cbStored, cbMalloced == cbStored ? "met" : "MISSED");
    printf("  %-34s %10ld %10ld  %s\n", "freed by the list's destructor", nFreed,
           nArrays + nMallocs, nFreed == nArrays + nMallocs ? "met" : "MISSED");
    fflush(stdout);
    return 0;
}
