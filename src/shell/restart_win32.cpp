#include "restart_win32.h"

#include "base/platform_win32.h"

typedef BOOL(WINAPI* OpenProcessTokenFn)(HANDLE, DWORD, PHANDLE);
typedef BOOL(WINAPI* LookupPrivilegeValueFn)(LPCSTR, LPCSTR, PLUID);
typedef BOOL(WINAPI* AdjustTokenPrivilegesFn)(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD,
                                              PTOKEN_PRIVILEGES, PDWORD);

// The NT family refuses a restart to a process whose token has not enabled
// the shutdown privilege; the Windows 95 family has no tokens.
static void EnableShutdownPrivilege() {
    if (IsWindows95Family())
        return;
    const char advapi[] = "advapi32.dll";
    auto openToken = LookUpFunction<OpenProcessTokenFn>(advapi, "OpenProcessToken");
    auto lookupValue = LookUpFunction<LookupPrivilegeValueFn>(advapi, "LookupPrivilegeValueA");
    auto adjust = LookUpFunction<AdjustTokenPrivilegesFn>(advapi, "AdjustTokenPrivileges");
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
