// The few Win32 names the forum list reader needs, so that it builds natively for the fuzzer.
// The one function, GetPrivateProfileStringA, is defined by the harness.
#pragma once

#include <stdint.h>

typedef int BOOL;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef intptr_t LRESULT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef struct HWND__* HWND;
typedef struct HMENU__* HMENU;

#define TRUE 1
#define FALSE 0

DWORD GetPrivateProfileStringA(const char* pszSection, const char* pszKey, const char* pszDefault,
                               char* pszBuffer, DWORD cchBuffer, const char* pszFile);
