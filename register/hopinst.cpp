// Hopinst: registers HOPEXT.DLL with the Exchange client by writing one value under the client's
// extension key. It shows nothing and always exits with 0.
#include <windows.h>

#include <stdio.h>

namespace {

const char kExtensionsKey[] = "SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions";
const char kValueName[] = "Hopstart";
const char kLibraryName[] = "\\HOPEXT.DLL";
const char kDataFormat[] = "4.0;%s;1;01000000000001;111000";
const size_t kBufferChars = 300;

}  // namespace

void RegisterExtension(const char* pszDirectory)
{
    char szPath[kBufferChars];
    snprintf(szPath, sizeof szPath, "%s%s", pszDirectory, kLibraryName);

    // A cut path would register a library that is not there, so a directory too long for the
    // value (over 260 characters) registers nothing. A cut path buffer cuts the data too.
    char szData[kBufferChars];
    int nData = snprintf(szData, sizeof szData, kDataFormat, szPath);
    if (nData < 0 || static_cast<size_t>(nData) >= sizeof szData)
        return;

    // The key belongs to the client: opened, never created.
    HKEY hKey;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, kExtensionsKey, &hKey) != ERROR_SUCCESS)
        return;
    // The length passed counts the characters only, without the NUL.
    RegSetValueExA(hKey, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(szData),
                   static_cast<DWORD>(nData));
    RegCloseKey(hKey);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int)
{
    if (lpCmdLine == NULL)
        return 0;
    while (*lpCmdLine == ' ')
        ++lpCmdLine;
    RegisterExtension(lpCmdLine);
    return 0;
}
