#include "konvera.h"

#include <stdio.h>
#include <stdlib.h>

static FILE* s_pRecord;

void OpenRecord()
{
    const char* pszPath = getenv("KONVERA_RECORD");
    if (pszPath && *pszPath)
        s_pRecord = fopen(pszPath, "ab");
}

void Record(const std::string& line)
{
    if (!s_pRecord)
        return;
    fwrite(line.data(), 1, line.size(), s_pRecord);
    fputc('\n', s_pRecord);
    fflush(s_pRecord);
}

void CloseRecord()
{
    if (s_pRecord)
        fclose(s_pRecord);
    s_pRecord = NULL;
}
