// Shared pieces of the benchmark programs: a high-resolution clock, paired A/B samples with their
// table, a forum library writer, and a stand-in viewer that starts the extension as a client does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Seconds since an arbitrary start, from QueryPerformanceCounter.
double Now();

// Samples of two ways of getting the same result, taken as interleaved pairs.
class CPairedTimes {
public:
    void Add(double a, double b) { m_a.push_back(a); m_b.push_back(b); }
    size_t Count() const { return m_a.size(); }
    double MinA() const;
    double MinB() const;
    double MedianA() const;
    double MedianB() const;
    double MinRatio() const;
    double MedianRatio() const;

    std::vector<double> m_a;
    std::vector<double> m_b;
};

double Min(std::vector<double> v);
double Median(std::vector<double> v);

// One row of a result table: label, A and B in milliseconds, the ratio, the goal and its verdict.
void PrintTableHeader(const char* pszTitle, const char* pszA, const char* pszB);
void PrintRow(const char* pszLabel, const CPairedTimes& times, double goal);
void PrintNote(const char* pszFormat, ...);

// Forum library files: magic 93 FF, 24 header bytes, records of two counted strings.
class CLibraryWriter {
public:
    void Record(const std::string& name, const std::string& label);
    bool WriteTo(const std::string& path) const;

private:
    void Counted(const std::string& text);
    std::string m_bytes;
};

// nRecords records in groups of 20: a group record, then 19 forums. Returns the number of
// strings the reader stores (a group's label; a forum's name and label).
int WriteGroupedLibrary(const std::string& path, int nRecords, const char* pszForumPrefix);

// The directory of this program, with a trailing '\'.
std::string ProgramDir();
// A scratch directory under the temp directory, with a trailing '\'.
std::string BenchDir();
// Points the groupware's ini file at a forum library.
void SetLibraryPath(const std::string& path);

// A viewer as the client shows it: a hidden frame window with a menu bar holding a Tools menu, and
// a standard toolbar. Made and destroyed per run so that runs do not accumulate.
class CViewer {
public:
    CViewer();
    ~CViewer();
    BOOL Create();
    void Destroy();

    HWND m_hFrameWnd;
    HWND m_hToolbarWnd;
    HMENU m_hMenuBar;
    HMENU m_hToolsMenu;
};

// The extension started in a viewer through the real library, as the client starts it.
class CExtensionHost {
public:
    CExtensionHost();
    ~CExtensionHost();

    // LoadLibrary, ordinal 1, Install, both QueryInterface calls, InstallCommands, InitMenu.
    // pStages, when given, receives 4 times in seconds: load, entry to QueryInterface,
    // InstallCommands, InitMenu.
    BOOL Start(const std::string& dllPath, CViewer& viewer, UINT idBase, double* pStages = NULL);
    // Everything the start made goes: the poller window, the interfaces, the library.
    void Stop(CViewer& viewer);
    HRESULT DoCommand(UINT id);

    HMODULE m_hLib;
    IUnknown* m_pExt;
    IUnknown* m_pCommands;
    IUnknown* m_pUserEvents;
    UINT m_idRun;
    UINT m_idNext;
};

// Closes any "poller" window that a start left behind (the library never destroys its own).
void DestroyPollerWindows();
