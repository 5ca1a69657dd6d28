#include "konvera.h"

#include <ddeml.h>
#include <stdio.h>

#include <vector>

static DWORD s_idInst;
static HSZ s_hszService;
static HSZ s_hszTopic;
static bool s_bAnswer;

static std::string Hex(const std::vector<BYTE>& bytes)
{
    std::string hex;
    char sz[3];
    for (BYTE b : bytes) {
        snprintf(sz, sizeof sz, "%02x", b);
        hex += sz;
    }
    return hex;
}

// [open("X")] opens forum X; anything else is only recorded.
static void RunCommand(const std::vector<BYTE>& bytes)
{
    std::string command(bytes.begin(), bytes.end());
    command = command.substr(0, command.find('\0'));
    const std::string head = "[open(\"", tail = "\")]";
    if (command.size() < head.size() + tail.size() || command.compare(0, head.size(), head) != 0 ||
        command.compare(command.size() - tail.size(), tail.size(), tail) != 0)
        return;
    std::string name = command.substr(head.size(), command.size() - head.size() - tail.size());
    OpenForum(name.c_str());
}

static HDDEDATA OnExecute(HDDEDATA hData)
{
    DWORD cb = DdeGetData(hData, NULL, 0, 0);
    std::vector<BYTE> bytes(cb);
    if (cb)
        DdeGetData(hData, bytes.data(), cb, 0);
    char szCount[16];
    snprintf(szCount, sizeof szCount, "%lu", static_cast<unsigned long>(cb));
    Record(std::string("execute ") + szCount + " " + Hex(bytes));
    // A blocked transaction is never resumed: the client's timeout runs out while this thread
    // goes on serving its windows and can still be closed at once.
    if (!s_bAnswer)
        return CBR_BLOCK;
    RunCommand(bytes);
    return (HDDEDATA)DDE_FACK;
}

static HDDEDATA CALLBACK DdeCallback(UINT uType, UINT, HCONV, HSZ hsz1, HSZ hsz2, HDDEDATA hData,
                                     ULONG_PTR, ULONG_PTR)
{
    switch (uType) {
    case XTYP_CONNECT:
        return (HDDEDATA)(ULONG_PTR)(DdeCmpStringHandles(hsz1, s_hszTopic) == 0 &&
                                     DdeCmpStringHandles(hsz2, s_hszService) == 0);
    case XTYP_EXECUTE:
        return OnExecute(hData);
    default:
        return NULL;
    }
}

bool StartDdeServer(bool bAnswer)
{
    s_bAnswer = bAnswer;
    if (DdeInitializeA(&s_idInst, DdeCallback, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS |
                                                    CBF_SKIP_UNREGISTRATIONS,
                       0) != DMLERR_NO_ERROR)
        return false;
    s_hszService = DdeCreateStringHandleA(s_idInst, "Winkonvera", CP_WINANSI);
    s_hszTopic = DdeCreateStringHandleA(s_idInst, "System", CP_WINANSI);
    return DdeNameService(s_idInst, s_hszService, NULL, DNS_REGISTER) != NULL;
}

void StopDdeServer()
{
    if (!s_idInst)
        return;
    DdeNameService(s_idInst, s_hszService, NULL, DNS_UNREGISTER);
    DdeFreeStringHandle(s_idInst, s_hszService);
    DdeFreeStringHandle(s_idInst, s_hszTopic);
    DdeUninitialize(s_idInst);
    s_idInst = 0;
}
