// Small helpers for tests that run under Wine: paths beside the test program, the groupware's ini
// file, registry keys, and waiting on windows and processes without fixed sleeps.
#pragma once

#include <windows.h>

#include <string>

// The directory holding the test program (and the built DLL and programs), with a trailing '\'.
std::string BinDir();
// A fresh scratch directory for one test, under the prefix's temp directory, with a trailing '\'.
std::string ScratchDir(const std::string& name);

// Points the groupware's ini file ("winkonvera.ini", section "Konvera") at a forum library path;
// with a null path the key is removed; RemoveKonveraIni deletes the whole ini file.
void SetLibraryPath(const char* pszPath);
void RemoveKonveraIni();

// Sets or deletes a registry value's default text under a key path (created as needed).
bool SetRegistryDefault(HKEY hRoot, const std::string& keyPath, const std::string& value);
void DeleteRegistryTree(HKEY hRoot, const std::string& keyPath);

// Runs the thread's message loop until pred() is true or timeoutMs passes; returns pred().
template <class Pred> bool PumpUntil(Pred pred, DWORD timeoutMs = 10000)
{
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// Runs a program with this command line (its first token names the program; a non-empty
// program path is used as given), waits up to timeoutMs and returns its exit code: -1 when it
// did not start, -2 when it had to be ended. With hOutput, its stdout and stderr go there.
long RunAndWait(const std::string& program, const std::string& commandLine, HANDLE hOutput = NULL,
                DWORD timeoutMs = 30000);

// Finds a top-level window by class and/or title, waiting up to timeoutMs for it to appear.
HWND WaitForWindow(const char* pszClass, const char* pszTitle, DWORD timeoutMs = 10000);
