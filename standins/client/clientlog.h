// The stand-in client's text log: one line per event, flushed at once so that a test or the demo
// can read it while the client still runs.
#pragma once

#include <stdio.h>

class CClientLog {
public:
    CClientLog();
    ~CClientLog();

    bool Open(const char* pszPath);
    void Line(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

private:
    CClientLog(const CClientLog&) = delete;
    CClientLog& operator=(const CClientLog&) = delete;

    FILE* m_pFile;
};
