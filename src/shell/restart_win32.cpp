#include "install_sequence_win32.h"

typedef BOOL(WINAPI* OpenProcessTokenFn)(HANDLE, DWORD, PHANDLE);
typedef BOOL(WINAPI* LookupPrivilegeValueFn)(LPCSTR, LPCSTR, PLUID);
typedef BOOL(WINAPI* AdjustTokenPrivilegesFn)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD,
                                              PTOKEN_PRIVILEGES, PDWORD);

// Functions that Windows 95 may lack are looked up at run time, so that the
// program still loads there.
template <typename Fn>
static Fn Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The NT family refuses a restart to a process whose token has not enabled
// the shutdown privilege; the Windows 95 family has no tokens.
static void EnableShutdownPrivilege() {
    if (GetVersion() & 0x80000000)
        return;
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    if (advapi == nullptr)
        return;
    OpenProcessTokenFn openToken = Lookup<OpenProcessTokenFn>(advapi, "OpenProcessToken");
    LookupPrivilegeValueFn lookupValue =
        Lookup<LookupPrivilegeValueFn>(advapi, "LookupPrivilegeValueA");
    AdjustTokenPrivilegesFn adjust = Lookup<AdjustTokenPrivilegesFn>(advapi, "AdjustTokenPrivileges");
    if (openToken == nullptr || lookupValue == nullptr || adjust == nullptr)
        return;
    HANDLE token;
    if (!openToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES privileges;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (lookupValue(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        adjust(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
}

void RequestRestart() {
    EnableShutdownPrivilege();
    ExitWindowsEx(EWX_REBOOT, 0);
}
