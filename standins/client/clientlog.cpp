#include "clientlog.h"

#include <stdarg.h>

CClientLog::CClientLog() : m_pFile(NULL) {}

CClientLog::~CClientLog()
{
    if (m_pFile)
        fclose(m_pFile);
}

bool CClientLog::Open(const char* pszPath)
{
    m_pFile = fopen(pszPath, "w");
    return m_pFile != NULL;
}

void CClientLog::Line(const char* pszFormat, ...)
{
    if (!m_pFile)
        return;
    va_list args;
    va_start(args, pszFormat);
    vfprintf(m_pFile, pszFormat, args);
    va_end(args);
    fputc('\n', m_pFile);
    fflush(m_pFile);
}
