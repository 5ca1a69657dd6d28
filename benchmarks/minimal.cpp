// The least a client extension library can be: one exported function, and the button image.
#include <windows.h>

extern "C" __declspec(dllexport) void* CALLBACK BenchEntryPoint(void)
{
    static int s_object;
    return &s_object;
}
