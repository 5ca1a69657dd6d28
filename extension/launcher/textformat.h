// Bounded formatting for the launcher's fixed buffers.
#pragma once

#include <windows.h>

#include <stdarg.h>
#include <stdio.h>

// Formats into pszBuffer (cchBuffer characters, NUL included), always NUL-terminated. Returns
// FALSE when the text had to be cut, so that a cut title, command line or command is never used.
inline BOOL FormatText(char* pszBuffer, size_t cchBuffer, const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    int n = vsnprintf(pszBuffer, cchBuffer, pszFormat, args);
    va_end(args);
    pszBuffer[cchBuffer - 1] = '\0';
    return n >= 0 && static_cast<size_t>(n) < cchBuffer;
}
