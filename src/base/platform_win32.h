// What differs between the two families of Windows the program runs on.
#pragma once

#include <windows.h>

// The Windows 95 family sets the top bit of GetVersion; it has no security
// tokens and lacks some of the NT family's file functions.
inline bool IsWindows95Version(DWORD version) {
    return (version & 0x80000000) != 0;
}

inline bool IsWindows95Family() {
    return IsWindows95Version(GetVersion());
}

// A function that Windows 95 may lack, looked up at run time so that the
// program still loads there. Null when the module or the function is absent.
template <typename Fn>
Fn LookUpFunction(const char* module, const char* name) {
    HMODULE handle = GetModuleHandleA(module);
    if (handle == nullptr)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}
