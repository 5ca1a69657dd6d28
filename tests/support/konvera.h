// Drives the stand-in groupware winkonvera.exe from tests: its options (environment variables that
// a program started by the code under test inherits too), its record, starting and closing it.
//
//   KonveraStandIn konvera("forum-shown");
//   konvera.SetOptions("normal", "Sales|Leads");
//   HWND hMain = konvera.Start();
//   ... konvera.Record() ...
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class KonveraStandIn {
public:
    // Sets a fresh, empty record file under ScratchDir(name) and clears the other options.
    explicit KonveraStandIn(const std::string& name);
    // Closes every stand-in still running and clears the options.
    ~KonveraStandIn();

    // KONVERA_MODE ("" for normal, "nodde", "noanswer"), KONVERA_FORUMS ("A|B"), KONVERA_SHOW.
    void SetOptions(const std::string& mode, const std::string& forums = "",
                    bool bMinimised = false);

    // Starts BinDir()winkonvera.exe with "<program> <tail>" (no space when tail is empty) and
    // waits until it is ready; returns its main window or NULL.
    HWND Start(const std::string& tail = "");
    // Waits for a stand-in that someone else started: its main window and its "ready" line.
    HWND WaitReady(DWORD timeoutMs = 10000);

    std::vector<std::string> Record() const;
    // The lines of the record that start with prefix (e.g. "execute ").
    std::vector<std::string> RecordLines(const std::string& prefix) const;
    const std::string& RecordPath() const { return m_recordPath; }

    // Posts WM_CLOSE to every stand-in main window and waits for each process to end.
    static void CloseAll();

private:
    std::string m_recordPath;
};

// The record line for one DDE execute carrying these bytes (NUL included).
std::string KonveraExecuteLine(const std::string& bytes);
// Full path of the program that owns a window ("" when it cannot be read).
std::string WindowProgramPath(HWND hWnd);
