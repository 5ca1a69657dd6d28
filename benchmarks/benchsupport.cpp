#include "benchsupport.h"

#include <commctrl.h>
#include <stdarg.h>
#include <stdio.h>

#include <algorithm>

#include "host/exchext_host.h"

double Now()
{
    static LARGE_INTEGER s_freq;
    if (!s_freq.QuadPart)
        QueryPerformanceFrequency(&s_freq);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart / (double)s_freq.QuadPart;
}

double Min(std::vector<double> v)
{
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

namespace {

std::vector<double> Ratios(const CPairedTimes& t)
{
    std::vector<double> r;
    for (size_t i = 0; i < t.m_a.size(); ++i)
        r.push_back(t.m_b[i] > 0 ? t.m_a[i] / t.m_b[i] : 0.0);
    return r;
}

}  // namespace

double CPairedTimes::MinA() const { return Min(m_a); }
double CPairedTimes::MinB() const { return Min(m_b); }
double CPairedTimes::MedianA() const { return Median(m_a); }
double CPairedTimes::MedianB() const { return Median(m_b); }
double CPairedTimes::MinRatio() const { return Min(Ratios(*this)); }
double CPairedTimes::MedianRatio() const { return Median(Ratios(*this)); }

void PrintTableHeader(const char* pszTitle, const char* pszA, const char* pszB)
{
    printf("\n%s\n  A = %s\n  B = %s\n", pszTitle, pszA, pszB);
    printf("  %-22s %5s %10s %10s %10s %10s %8s %8s %6s  %s\n", "case", "pairs", "A min ms",
           "A med ms", "B min ms", "B med ms", "A/B min", "A/B med", "goal", "result");
}

void PrintRow(const char* pszLabel, const CPairedTimes& t, double goal)
{
    // Without a goal the row only explains another one.
    double med = t.MedianRatio();
    const char* pszResult = goal <= 0 ? "(breakdown)" : med <= goal ? "met" : "MISSED";
    printf("  %-22s %5u %10.3f %10.3f %10.3f %10.3f %8.3f %8.3f %6.2f  %s\n", pszLabel,
           (unsigned)t.Count(), t.MinA() * 1e3, t.MedianA() * 1e3, t.MinB() * 1e3,
           t.MedianB() * 1e3, t.MinRatio(), med, goal, pszResult);
    fflush(stdout);
}

void PrintNote(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    printf("  ");
    vprintf(pszFormat, args);
    printf("\n");
    va_end(args);
    fflush(stdout);
}

void CLibraryWriter::Counted(const std::string& text)
{
    if (text.size() < 0xFF) {
        m_bytes += (char)text.size();
    } else {
        m_bytes += (char)0xFF;
        m_bytes += (char)(text.size() & 0xFF);
        m_bytes += (char)((text.size() >> 8) & 0xFF);
    }
    m_bytes += text;
}

void CLibraryWriter::Record(const std::string& name, const std::string& label)
{
    Counted(name);
    Counted(label);
}

bool CLibraryWriter::WriteTo(const std::string& path) const
{
    FILE* pFile = fopen(path.c_str(), "wb");
    if (!pFile)
        return false;
    static const char header[26] = {(char)0x93, (char)0xFF};
    bool ok = fwrite(header, 1, sizeof header, pFile) == sizeof header &&
              fwrite(m_bytes.data(), 1, m_bytes.size(), pFile) == m_bytes.size();
    return fclose(pFile) == 0 && ok;
}

int WriteGroupedLibrary(const std::string& path, int nRecords, const char* pszForumPrefix)
{
    CLibraryWriter writer;
    int nStrings = 0;
    char szName[64];
    char szLabel[64];
    for (int i = 0; i < nRecords; ++i) {
        if (i % 20 == 0) {
            snprintf(szLabel, sizeof szLabel, "Group %d", i / 20);
            writer.Record("group", szLabel);
            nStrings += 1;
        } else {
            snprintf(szName, sizeof szName, "%s %d", pszForumPrefix, i);
            snprintf(szLabel, sizeof szLabel, "Forum label %d", i);
            writer.Record(szName, szLabel);
            nStrings += 2;
        }
    }
    return writer.WriteTo(path) ? nStrings : -1;
}

std::string ProgramDir()
{
    char szPath[MAX_PATH];
    DWORD cch = GetModuleFileNameA(NULL, szPath, sizeof szPath);
    std::string path(szPath, cch);
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::string BenchDir()
{
    char szTemp[MAX_PATH];
    GetTempPathA(sizeof szTemp, szTemp);
    std::string dir = std::string(szTemp) + "hopbench\\";
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

void SetLibraryPath(const std::string& path)
{
    WritePrivateProfileStringA("Konvera", "LibraryFileVer2", path.c_str(), "winkonvera.ini");
}

// ---------------------------------------------------------------------------------------------
// The viewer.

namespace {

const UINT ID_TOOLS_ANCHOR = 134;  // the client's command that sits in its Tools menu

LRESULT CALLBACK FrameWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

BOOL RegisterFrameClass()
{
    static BOOL s_bRegistered;
    if (s_bRegistered)
        return TRUE;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FrameWndProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "HopbenchViewer";
    s_bRegistered = RegisterClassA(&wc) != 0;
    return s_bRegistered;
}

}  // namespace

CViewer::CViewer() : m_hFrameWnd(NULL), m_hToolbarWnd(NULL), m_hMenuBar(NULL), m_hToolsMenu(NULL)
{
}

CViewer::~CViewer()
{
    Destroy();
}

BOOL CViewer::Create()
{
    if (!RegisterFrameClass())
        return FALSE;
    m_hMenuBar = CreateMenu();
    m_hToolsMenu = CreatePopupMenu();
    AppendMenuA(m_hToolsMenu, MF_STRING, ID_TOOLS_ANCHOR, "Options...");
    AppendMenuA(m_hMenuBar, MF_POPUP, (UINT_PTR)m_hToolsMenu, "Tools");
    m_hFrameWnd = CreateWindowExA(0, "HopbenchViewer", "Viewer", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                                  480, NULL, m_hMenuBar, GetModuleHandleA(NULL), NULL);
    if (!m_hFrameWnd)
        return FALSE;
    m_hToolbarWnd = CreateWindowExA(0, TOOLBARCLASSNAMEA, NULL, WS_CHILD | WS_VISIBLE | CCS_TOP,
                                    0, 0, 0, 0, m_hFrameWnd, NULL, GetModuleHandleA(NULL), NULL);
    if (!m_hToolbarWnd)
        return FALSE;
    SendMessageA(m_hToolbarWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return TRUE;
}

void CViewer::Destroy()
{
    // The Tools menu's popups belong to whoever appended them: take them out before the frame's
    // menu bar is destroyed with the window.
    if (m_hToolsMenu) {
        while (GetMenuItemCount(m_hToolsMenu) > 1)
            RemoveMenu(m_hToolsMenu, 1, MF_BYPOSITION);
    }
    if (m_hFrameWnd)
        DestroyWindow(m_hFrameWnd);  // with the toolbar and the menu bar
    else if (m_hMenuBar)
        DestroyMenu(m_hMenuBar);
    m_hFrameWnd = NULL;
    m_hToolbarWnd = NULL;
    m_hMenuBar = NULL;
    m_hToolsMenu = NULL;
}

// ---------------------------------------------------------------------------------------------
// The client's callback and the extension host.

namespace {

class CCallback : public IExchExtCallback {
public:
    explicit CCallback(CViewer& viewer) : m_viewer(viewer) {}

    STDMETHODIMP QueryInterface(REFIID, void** ppv) override
    {
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetVersion(ULONG* pulVersion, ULONG) override
    {
        *pulVersion = 0x000D0FA0;
        return S_OK;
    }
    STDMETHODIMP Unused2() override { return E_NOTIMPL; }
    STDMETHODIMP GetMenu(HMENU* phMenu) override
    {
        *phMenu = m_viewer.m_hMenuBar;
        return S_OK;
    }
    STDMETHODIMP Unused4() override { return E_NOTIMPL; }
    STDMETHODIMP Unused5() override { return E_NOTIMPL; }
    STDMETHODIMP Unused6() override { return E_NOTIMPL; }
    STDMETHODIMP Unused7() override { return E_NOTIMPL; }
    STDMETHODIMP Unused8() override { return E_NOTIMPL; }
    STDMETHODIMP GetMenuPos(ULONG, HMENU* phMenu, ULONG* pposMin, ULONG* pposMax,
                            ULONG) override
    {
        *phMenu = m_viewer.m_hToolsMenu;
        if (pposMin)
            *pposMin = 0;
        if (pposMax)
            *pposMax = 0;
        return S_OK;
    }

private:
    CViewer& m_viewer;
};

CViewer* g_pHostViewer;  // the viewer of the extension host's latest start

BOOL CALLBACK DestroyPollerProc(HWND hWnd, LPARAM)
{
    char szTitle[16];
    if (GetWindowTextA(hWnd, szTitle, sizeof szTitle) && lstrcmpA(szTitle, "poller") == 0)
        DestroyWindow(hWnd);
    return TRUE;
}

}  // namespace

void DestroyPollerWindows()
{
    EnumThreadWindows(GetCurrentThreadId(), DestroyPollerProc, 0);
}

CExtensionHost::CExtensionHost()
    : m_hLib(NULL), m_pExt(NULL), m_pCommands(NULL), m_pUserEvents(NULL), m_idRun(0), m_idNext(0)
{
}

CExtensionHost::~CExtensionHost()
{
    if (g_pHostViewer)
        Stop(*g_pHostViewer);
}

BOOL CExtensionHost::Start(const std::string& dllPath, CViewer& viewer, UINT idBase,
                           double* pStages)
{
    double t0 = Now();
    g_pHostViewer = &viewer;
    CCallback callback(viewer);
    m_hLib = LoadLibraryA(dllPath.c_str());
    if (!m_hLib)
        return FALSE;
    double t1 = Now();
    LPFNEXCHEXTENTRY pfnEntry = (LPFNEXCHEXTENTRY)(void*)GetProcAddress(m_hLib, (LPCSTR)1);
    if (!pfnEntry)
        return FALSE;
    IExchExt* pExt = pfnEntry();
    if (!pExt)
        return FALSE;
    m_pExt = pExt;
    if (pExt->Install(&callback, EECONTEXT_VIEWER, 0) != S_OK)
        return FALSE;
    IExchExtCommands* pCommands = NULL;
    IExchExtUserEvents* pUserEvents = NULL;
    pExt->QueryInterface(IID_IExchExtCommands, (void**)&pCommands);
    pExt->QueryInterface(IID_IExchExtUserEvents, (void**)&pUserEvents);
    m_pCommands = pCommands;
    m_pUserEvents = pUserEvents;
    if (!pCommands)
        return FALSE;
    double t2 = Now();
    TBENTRY toolbars[1] = {{viewer.m_hToolbarWnd, EETBID_STANDARD, 0, 0}};
    UINT idCommand = idBase;
    pCommands->InstallCommands(&callback, viewer.m_hFrameWnd, viewer.m_hMenuBar, &idCommand,
                               toolbars, 1, 0);
    double t3 = Now();
    pCommands->InitMenu(&callback);
    if (pStages) {
        double t4 = Now();
        pStages[0] = t1 - t0;
        pStages[1] = t2 - t1;
        pStages[2] = t3 - t2;
        pStages[3] = t4 - t3;
    }
    m_idRun = idBase;
    m_idNext = idCommand;
    return TRUE;
}

HRESULT CExtensionHost::DoCommand(UINT id)
{
    CCallback callback(*g_pHostViewer);
    return static_cast<IExchExtCommands*>(m_pCommands)->DoCommand(&callback, id);
}

void CExtensionHost::Stop(CViewer& viewer)
{
    // Windows that run the library's procedures go while the library is still loaded.
    DestroyPollerWindows();
    viewer.Destroy();
    if (m_pUserEvents)
        m_pUserEvents->Release();
    if (m_pCommands)
        m_pCommands->Release();
    if (m_pExt)
        m_pExt->Release();
    m_pUserEvents = m_pCommands = m_pExt = NULL;
    if (m_hLib)
        FreeLibrary(m_hLib);
    m_hLib = NULL;
    g_pHostViewer = NULL;
}
