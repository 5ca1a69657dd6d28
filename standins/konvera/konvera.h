// Stand-in for the groupware Konvera, our own: only the windows, command line and DDE open command
// the extension relies on, with a record of what it was given. Options come from the environment.
#pragma once

#include <windows.h>

#include <string>

// The record file named by KONVERA_RECORD: one line per event, flushed at once.
void OpenRecord();
void Record(const std::string& line);
void CloseRecord();

// Shows the forum's window "<name> Forum" unless it is open already; records "opened <name>".
void OpenForum(const char* pszName);

// The DDE service "Winkonvera", topic "System". With bAnswer false, executes are left unanswered.
bool StartDdeServer(bool bAnswer);
void StopDdeServer();
