#include "launcher.h"
#include "textformat.h"

#include <ddeml.h>
#include <string.h>

namespace {

const int COMMAND_MAX = 520;
const DWORD EXECUTE_TIMEOUT_MS = 1000;

// The launcher is a client only and answers nothing.
HDDEDATA CALLBACK DdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return NULL;
}

}  // namespace

CForumLauncher::CForumLauncher()
{
    strcpy(m_szOpenCommand, "[open(\"%s\")]");
}

CForumLauncher::~CForumLauncher() = default;

BOOL CForumLauncher::Open(const char* pszName)
{
    // The name goes between the command's quotes unescaped: one holding a quote could end the
    // open command early and have the groupware run whatever follows.
    if (strchr(pszName, '"'))
        return FALSE;
    char szCommand[COMMAND_MAX];
    if (!FormatText(szCommand, sizeof szCommand, m_szOpenCommand, pszName))
        return FALSE;
    return Execute(szCommand);
}

BOOL CForumLauncher::Execute(const char* pszCommand)
{
    DWORD idInst = 0;
    if (DdeInitializeA(&idInst, DdeCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return FALSE;
    HSZ hszService = DdeCreateStringHandleA(idInst, "Winkonvera", CP_WINANSI);
    HSZ hszTopic = DdeCreateStringHandleA(idInst, "System", CP_WINANSI);
    HCONV hConv = DdeConnect(idInst, hszService, hszTopic, NULL);
    DdeFreeStringHandle(idInst, hszService);
    DdeFreeStringHandle(idInst, hszTopic);
    if (!hConv) {
        DdeUninitialize(idInst);
        return FALSE;
    }

    // The transaction takes the data handle over; its outcome does not matter here.
    HDDEDATA hData = DdeCreateDataHandle(idInst, (LPBYTE)pszCommand,
                                         static_cast<DWORD>(strlen(pszCommand) + 1), 0, NULL, 0, 0);
    if (hData)
        DdeClientTransaction((LPBYTE)hData, 0xFFFFFFFF, hConv, NULL, 0, XTYP_EXECUTE,
                             EXECUTE_TIMEOUT_MS, NULL);
    DdeDisconnect(hConv);
    DdeUninitialize(idInst);
    return TRUE;
}
