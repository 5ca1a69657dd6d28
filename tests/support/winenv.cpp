#include "winenv.h"

std::string BinDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\') + 1);
}

std::string ScratchDir(const std::string& name)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "hopstart-" + name;
    CreateDirectoryA(dir.c_str(), NULL);
    return dir + "\\";
}

void SetLibraryPath(const char* pszPath)
{
    WritePrivateProfileStringA("Konvera", "LibraryFileVer2", pszPath, "winkonvera.ini");
    WritePrivateProfileStringA(NULL, NULL, NULL, "winkonvera.ini");  // flush the profile cache
}

void RemoveKonveraIni()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    WritePrivateProfileStringA(NULL, NULL, NULL, "winkonvera.ini");
    DeleteFileA((std::string(dir) + "\\winkonvera.ini").c_str());
}

bool SetRegistryDefault(HKEY hRoot, const std::string& keyPath, const std::string& value)
{
    HKEY hKey;
    if (RegCreateKeyA(hRoot, keyPath.c_str(), &hKey) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(hKey, NULL, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

void DeleteRegistryTree(HKEY hRoot, const std::string& keyPath)
{
    RegDeleteTreeA(hRoot, keyPath.c_str());
    RegDeleteKeyA(hRoot, keyPath.c_str());
}

HWND WaitForWindow(const char* pszClass, const char* pszTitle, DWORD timeoutMs)
{
    HWND hWnd = NULL;
    PumpUntil([&] { return (hWnd = FindWindowA(pszClass, pszTitle)) != NULL; }, timeoutMs);
    return hWnd;
}

long RunAndWait(const std::string& program, const std::string& commandLine, HANDLE hOutput,
                DWORD timeoutMs)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (hOutput) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = hOutput;
        si.hStdError = hOutput;
    }
    std::string line = commandLine;  // CreateProcessA may write to the buffer
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(program.empty() ? NULL : program.c_str(), &line[0], NULL, NULL,
                        hOutput != NULL, 0, NULL, NULL, &si, &pi))
        return -1;
    DWORD dwExit = static_cast<DWORD>(-2);
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &dwExit);
    else
        TerminateProcess(pi.hProcess, dwExit);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<long>(dwExit);
}
