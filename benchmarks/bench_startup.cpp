// Client start-up: the whole extension start in a viewer against the bare platform work that the
// same result needs, for forum libraries of several sizes.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "benchsupport.h"

namespace {

const UINT ID_BASE = 1000;
const UINT ID_BITMAP = 129;
const int RUN_STRING_ID = 131;

struct CSize {
    int nRecords;
    int nPairs;
};
const CSize c_sizes[] = {{10, 41}, {1000, 31}, {10000, 15}, {100000, 7}};

std::string g_dllPath;
std::string g_minimalPath;

// ---- The bare work: what the same result costs when done directly. ----

// Appends the counted string at *pos to the text buffer; FALSE when absent.
BOOL TakeString(const unsigned char* pBytes, size_t cb, size_t* pPos, char* pszText, size_t cch)
{
    if (*pPos >= cb)
        return FALSE;
    size_t n = pBytes[(*pPos)++];
    if (n == 0xFF) {
        if (*pPos + 2 > cb)
            return FALSE;
        n = pBytes[*pPos] | (pBytes[*pPos + 1] << 8);
        *pPos += 2;
    }
    if (n == 0 || *pPos + n > cb)
        return FALSE;
    size_t nKeep = n < cch ? n : cch - 1;
    memcpy(pszText, pBytes + *pPos, nKeep);
    pszText[nKeep] = '\0';
    *pPos += n;
    return TRUE;
}

struct CBareResult {
    HMODULE hLib;
    HMENU hPopup;
    HWND hHidden;
    double stages[5];  // load, read, menus, toolbar, window
};

// The same menus, button and window as the extension makes, straight from the file's bytes.
void BareStart(CViewer& viewer, const std::string& libPath, std::vector<unsigned char>& buffer,
               CBareResult* pResult)
{
    double t0 = Now();
    pResult->hLib = LoadLibraryA(g_minimalPath.c_str());
    FARPROC pfnEntry = GetProcAddress(pResult->hLib, "BenchEntryPoint");
    if (pfnEntry)
        pfnEntry();
    double t1 = Now();

    FILE* pFile = fopen(libPath.c_str(), "rb");
    size_t cb = pFile ? fread(buffer.data(), 1, buffer.size(), pFile) : 0;
    if (pFile)
        fclose(pFile);
    double t2 = Now();

    HMENU hPopup = CreatePopupMenu();
    AppendMenuA(hPopup, MF_STRING, ID_BASE, "Run Konvera");
    AppendMenuA(hPopup, MF_SEPARATOR, 0, NULL);
    size_t pos = 26;
    char szName[256];
    char szLabel[80];
    UINT id = ID_BASE + 1;
    HMENU hCurrent = NULL;
    // Records are known to be group-then-forums here, so a group always heads a popup.
    while (TakeString(buffer.data(), cb, &pos, szName, sizeof szName)) {
        BOOL bLabel = TakeString(buffer.data(), cb, &pos, szLabel, sizeof szLabel);
        if (strcmp(szName, "group") == 0) {
            hCurrent = CreatePopupMenu();
            AppendMenuA(hPopup, MF_POPUP, (UINT_PTR)hCurrent, bLabel ? szLabel : NULL);
        } else {
            AppendMenuA(hCurrent ? hCurrent : hPopup, MF_STRING, id, bLabel ? szLabel : NULL);
        }
        ++id;
    }
    AppendMenuA(viewer.m_hToolsMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(viewer.m_hToolsMenu, MF_POPUP | MF_BYPOSITION, (UINT_PTR)hPopup, "Hopstart");
    double t3 = Now();

    TBADDBITMAP bitmap = {pResult->hLib, ID_BITMAP};
    int iBitmap = (int)SendMessageA(viewer.m_hToolbarWnd, TB_ADDBITMAP, 1, (LPARAM)&bitmap);
    TBBUTTON button = {};
    button.iBitmap = iBitmap;
    button.idCommand = ID_BASE;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = TBSTYLE_BUTTON;
    SendMessageA(viewer.m_hToolbarWnd, TB_INSERTBUTTON, 0, (LPARAM)&button);
    double t4 = Now();

    pResult->hHidden = CreateWindowExA(0, "STATIC", "hidden", WS_DISABLED, 0, 0, 0, 0, NULL, NULL,
                                       GetModuleHandleA(NULL), NULL);
    pResult->hPopup = hPopup;
    double t5 = Now();
    double marks[6] = {t0, t1, t2, t3, t4, t5};
    for (int i = 0; i < 5; ++i)
        pResult->stages[i] = marks[i + 1] - marks[i];
}

void BareStop(CViewer& viewer, CBareResult& result)
{
    DestroyWindow(result.hHidden);
    viewer.Destroy();  // takes the popup out of the Tools menu
    DestroyMenu(result.hPopup);
    FreeLibrary(result.hLib);
}

// ---- Checks that each extension start did the whole work, afresh. ----

struct CChecks {
    int nRuns = 0;
    int nFullStarts = 0;   // ids claimed, Tools popup, toolbar button, poller window all there
    int nUnloaded = 0;     // module gone after FreeLibrary
    int nBareMatches = 0;  // bare popup has the same number of top-level items
};

int ExpectedTopItems(int nRecords)
{
    int nGroups = (nRecords + 19) / 20;  // every group heads at least one forum here
    return 2 + nGroups;
}

BOOL HasPoller()
{
    HWND hWnd = FindWindowA("STATIC", "poller");
    DWORD pid = 0;
    if (hWnd)
        GetWindowThreadProcessId(hWnd, &pid);
    return hWnd && pid == GetCurrentProcessId();
}

BOOL CheckExtensionStart(CViewer& viewer, CExtensionHost& host, int nRecords)
{
    if (host.m_idNext - host.m_idRun != (UINT)(1 + nRecords))
        return FALSE;
    if (GetMenuItemCount(viewer.m_hToolsMenu) != 3)
        return FALSE;
    HMENU hPopup = GetSubMenu(viewer.m_hToolsMenu, 2);
    if (!hPopup || GetMenuItemCount(hPopup) != ExpectedTopItems(nRecords))
        return FALSE;
    if (SendMessageA(viewer.m_hToolbarWnd, TB_BUTTONCOUNT, 0, 0) != 1)
        return FALSE;
    return HasPoller();
}

// ---- One size. ----

struct CStageTimes {
    std::vector<double> m_load, m_entry, m_install, m_initMenu;
    std::vector<double> m_bare[5];
};

void RunSize(const CSize& size, CPairedTimes& times, CStageTimes& stages, CChecks& checks)
{
    std::string libPath = BenchDir() + "startup" + std::to_string(size.nRecords) + ".kv1";
    WriteGroupedLibrary(libPath, size.nRecords, "Forum");
    SetLibraryPath(libPath);
    FILE* pFile = fopen(libPath.c_str(), "rb");
    fseek(pFile, 0, SEEK_END);
    std::vector<unsigned char> buffer((size_t)ftell(pFile));
    fclose(pFile);

    // One warm-up of each, not counted.
    for (int i = -1; i < size.nPairs; ++i) {
        double a = 0, b = 0;
        for (int k = 0; k < 2; ++k) {
            BOOL bExtensionFirst = (i & 1) == 0;
            BOOL bExtension = (k == 0) == bExtensionFirst;
            CViewer viewer;
            viewer.Create();
            if (bExtension) {
                CExtensionHost host;
                double st[4] = {};
                double t0 = Now();
                host.Start(g_dllPath, viewer, ID_BASE, st);
                a = Now() - t0;
                if (i >= 0) {
                    ++checks.nRuns;
                    checks.nFullStarts += CheckExtensionStart(viewer, host, size.nRecords);
                    stages.m_load.push_back(st[0]);
                    stages.m_entry.push_back(st[1]);
                    stages.m_install.push_back(st[2]);
                    stages.m_initMenu.push_back(st[3]);
                }
                host.Stop(viewer);
                if (i >= 0 && !GetModuleHandleA("HOPEXT.DLL"))
                    ++checks.nUnloaded;
            } else {
                CBareResult result;
                double t0 = Now();
                BareStart(viewer, libPath, buffer, &result);
                b = Now() - t0;
                for (int s = 0; i >= 0 && s < 5; ++s)
                    stages.m_bare[s].push_back(result.stages[s]);
                if (i >= 0 && GetMenuItemCount(result.hPopup) == ExpectedTopItems(size.nRecords))
                    ++checks.nBareMatches;
                BareStop(viewer, result);
            }
        }
        if (i >= 0)
            times.Add(a, b);
    }
}

// LoadLibrary + GetProcAddress + FreeLibrary alone, for the libraries given, interleaved.
void TimeLoadsOnly(const std::vector<std::string>& paths, const char* pszProc)
{
    const int nRounds = 41;
    std::vector<std::vector<double>> times(paths.size());
    for (int i = -1; i < nRounds; ++i) {
        for (size_t k = 0; k < paths.size(); ++k) {
            size_t which = (k + (size_t)(i + 1)) % paths.size();
            double t0 = Now();
            HMODULE hLib = LoadLibraryA(paths[which].c_str());
            FARPROC pfn = hLib ? GetProcAddress(hLib, which == 1 ? pszProc : (LPCSTR)1) : NULL;
            double t1 = Now();
            if (hLib)
                FreeLibrary(hLib);
            if (i >= 0 && pfn)
                times[which].push_back(t1 - t0);
        }
    }
    printf("\n  LoadLibrary + GetProcAddress alone (%d rounds, interleaved; median / min ms)\n",
           nRounds);
    for (size_t k = 0; k < paths.size(); ++k) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(paths[k].c_str(), GetFileExInfoStandard, &data);
        const char* pszName = paths[k].c_str() + paths[k].find_last_of("\\/") + 1;
        printf("  %-28s %8lu bytes %8.3f / %8.3f%s\n", pszName, (unsigned long)data.nFileSizeLow,
               Median(times[k]) * 1e3, Min(times[k]) * 1e3, times[k].empty() ? " (not loaded)" : "");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    g_dllPath = ProgramDir() + "HOPEXT.DLL";
    g_minimalPath = ProgramDir() + "bench_minimal.dll";
    const size_t nSizes = sizeof c_sizes / sizeof c_sizes[0];
    std::vector<CPairedTimes> times(nSizes);
    std::vector<CStageTimes> stages(nSizes);
    CChecks checks;
    for (size_t i = 0; i < nSizes; ++i)
        RunSize(c_sizes[i], times[i], stages[i], checks);

    PrintTableHeader("1. Client start-up (libraries in groups of 20: a group, then 19 forums)",
                     "extension start: LoadLibrary HOPEXT.DLL, ordinal 1, Install, 2x QueryInterface,"
                     " InstallCommands, InitMenu",
                     "bare work: LoadLibrary of a one-export DLL, one fread of the file, the same"
                     " popups (CreatePopupMenu/AppendMenuA), TB_ADDBITMAP + TB_INSERTBUTTON, one"
                     " hidden window");
    for (size_t i = 0; i < nSizes; ++i) {
        char szLabel[32];
        snprintf(szLabel, sizeof szLabel, "%d records", c_sizes[i].nRecords);
        PrintRow(szLabel, times[i], 1.25);
    }

    printf("\n  Extension's own share (A med - B med) per record; goal: flat within 1.5x from 1,000"
           " to 100,000\n");
    printf("  %-14s %12s %16s %22s\n", "records", "share ms", "share/record us",
           "(share-share@10)/rec us");
    double shareSmall = times[0].MedianA() - times[0].MedianB();
    double lo = 1e9, hi = 0, loM = 1e9, hiM = 0;
    for (size_t i = 0; i < nSizes; ++i) {
        int n = c_sizes[i].nRecords;
        double share = times[i].MedianA() - times[i].MedianB();
        double perRecord = share / n * 1e6;
        double marginal = i ? (share - shareSmall) / (n - c_sizes[0].nRecords) * 1e6 : 0.0;
        printf("  %-14d %12.3f %16.3f %22s\n", n, share * 1e3, perRecord,
               i ? std::to_string(marginal).c_str() : "-");
        if (n >= 1000) {
            lo = perRecord < lo ? perRecord : lo;
            hi = perRecord > hi ? perRecord : hi;
            loM = marginal < loM ? marginal : loM;
            hiM = marginal > hiM ? marginal : hiM;
        }
    }
    double spread = lo > 0 ? hi / lo : 0;
    printf("  share/record spread (max/min, 1,000..100,000): %.2fx, goal 1.50x: %s\n", spread,
           lo > 0 && spread <= 1.5 ? "met" : "MISSED");
    printf("  marginal share/record spread (fixed part at 10 records taken out): %.2fx\n",
           loM > 0 ? hiM / loM : 0);

    printf("\n  Breakdown of A (median ms): load | entry+Install+QI | InstallCommands | InitMenu\n");
    for (size_t i = 0; i < nSizes; ++i)
        printf("  %-14d %8.3f | %8.3f | %10.3f | %8.3f\n", c_sizes[i].nRecords,
               Median(stages[i].m_load) * 1e3, Median(stages[i].m_entry) * 1e3,
               Median(stages[i].m_install) * 1e3, Median(stages[i].m_initMenu) * 1e3);
    printf("\n  Breakdown of B (median ms): load | fread | menus | TB_ADDBITMAP+TB_INSERTBUTTON |"
           " window\n");
    for (size_t i = 0; i < nSizes; ++i)
        printf("  %-14d %8.3f | %8.3f | %10.3f | %8.3f | %8.3f\n", c_sizes[i].nRecords,
               Median(stages[i].m_bare[0]) * 1e3, Median(stages[i].m_bare[1]) * 1e3,
               Median(stages[i].m_bare[2]) * 1e3, Median(stages[i].m_bare[3]) * 1e3,
               Median(stages[i].m_bare[4]) * 1e3);

    printf("\n  checks: %d of %d extension starts did the whole work afresh (ids 1+n claimed, Tools"
           " popup with the expected items, one toolbar button, a poller window);\n"
           "          %d of %d left HOPEXT.DLL unloaded after FreeLibrary; %d of %d bare runs built"
           " the same top-level menu\n",
           checks.nFullStarts, checks.nRuns, checks.nUnloaded, checks.nRuns, checks.nBareMatches,
           checks.nRuns);
    // Where the fixed part of the load goes: HOPEXT.DLL against the one-export DLL, and against a
    // stripped copy of HOPEXT.DLL when run.sh made one (its path is the first argument).
    std::vector<std::string> loads = {g_dllPath, g_minimalPath};
    if (argc > 1)
        loads.push_back(argv[1]);
    TimeLoadsOnly(loads, "BenchEntryPoint");
    fflush(stdout);
    return 0;
}
