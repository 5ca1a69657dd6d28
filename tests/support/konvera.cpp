#include "konvera.h"

#include "winenv.h"

#include <stdio.h>

#include <algorithm>
#include <fstream>

KonveraStandIn::KonveraStandIn(const std::string& name) : m_recordPath(ScratchDir(name) + "record.txt")
{
    DeleteFileA(m_recordPath.c_str());
    SetEnvironmentVariableA("KONVERA_RECORD", m_recordPath.c_str());
    SetOptions("");
}

KonveraStandIn::~KonveraStandIn()
{
    CloseAll();
    SetEnvironmentVariableA("KONVERA_RECORD", NULL);
    SetEnvironmentVariableA("KONVERA_MODE", NULL);
    SetEnvironmentVariableA("KONVERA_FORUMS", NULL);
    SetEnvironmentVariableA("KONVERA_SHOW", NULL);
}

void KonveraStandIn::SetOptions(const std::string& mode, const std::string& forums, bool bMinimised)
{
    SetEnvironmentVariableA("KONVERA_MODE", mode.empty() ? NULL : mode.c_str());
    SetEnvironmentVariableA("KONVERA_FORUMS", forums.empty() ? NULL : forums.c_str());
    SetEnvironmentVariableA("KONVERA_SHOW", bMinimised ? "min" : NULL);
}

HWND KonveraStandIn::Start(const std::string& tail)
{
    std::string commandLine = "\"" + BinDir() + "winkonvera.exe\"";
    if (!tail.empty())
        commandLine += " " + tail;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, buffer.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return NULL;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return WaitReady();
}

HWND KonveraStandIn::WaitReady(DWORD timeoutMs)
{
    HWND hWnd = NULL;
    PumpUntil(
        [&] {
            hWnd = FindWindowA("Konvera", NULL);
            if (!hWnd)
                return false;
            std::vector<std::string> lines = Record();
            return std::find(lines.begin(), lines.end(), "ready") != lines.end();
        },
        timeoutMs);
    return hWnd;
}

std::vector<std::string> KonveraStandIn::Record() const
{
    std::vector<std::string> lines;
    std::ifstream file(m_recordPath, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> KonveraStandIn::RecordLines(const std::string& prefix) const
{
    std::vector<std::string> lines;
    for (const std::string& line : Record())
        if (line.compare(0, prefix.size(), prefix) == 0)
            lines.push_back(line);
    return lines;
}

void KonveraStandIn::CloseAll()
{
    // More than one may run when a test started the program twice; give up after a few.
    for (int i = 0; i < 8; i++) {
        HWND hWnd = FindWindowA("Konvera", NULL);
        if (!hWnd)
            return;
        DWORD pid = 0;
        GetWindowThreadProcessId(hWnd, &pid);
        HANDLE hProcess = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
        if (!hProcess) {
            PumpUntil([&] { return !IsWindow(hWnd); }, 5000);
            continue;
        }
        if (WaitForSingleObject(hProcess, 5000) != WAIT_OBJECT_0)
            TerminateProcess(hProcess, 1);
        WaitForSingleObject(hProcess, 5000);
        CloseHandle(hProcess);
    }
}

std::string KonveraExecuteLine(const std::string& bytes)
{
    std::string line = "execute " + std::to_string(bytes.size()) + " ";
    char hex[3];
    for (unsigned char c : bytes) {
        snprintf(hex, sizeof hex, "%02x", c);
        line += hex;
    }
    return line;
}

std::string WindowProgramPath(HWND hWnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    HANDLE hProcess = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!hProcess)
        return "";
    char path[MAX_PATH];
    DWORD cch = sizeof path;
    BOOL bOk = QueryFullProcessImageNameA(hProcess, 0, path, &cch);
    CloseHandle(hProcess);
    return bOk ? std::string(path, cch) : "";
}
