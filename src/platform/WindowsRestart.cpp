#include "platform/WindowsRestart.h"

#include <windows.h>

#include "platform/WindowsCalls.h"

namespace ferro {
namespace {

// The privilege is held by interactive users but disabled by default.
bool enableShutdownPrivilege()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool enabled = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid) &&
                   AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    // AdjustTokenPrivileges succeeds even when the token lacks the privilege;
    // only the last error tells.
    enabled = enabled && GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return enabled;
}

}  // namespace

bool requestWindowsRestart()
{
    // Without the privilege ExitWindowsEx refuses; asking anyway lets Windows
    // give its own answer rather than ours. 95, 98 and Me have no privileges
    // (their advapi32 has the calls as stubs only).
    if (win32::wideRoad())
        (void)enableShutdownPrivilege();
    return ExitWindowsEx(EWX_REBOOT, 0) != FALSE;
}

}  // namespace ferro
