// The test main of the Windows build, made for running under Wine unattended:
// - standard output in binary mode: in text mode every "\n" leaves as CR LF,
//   and the test listing that ctest's discovery reads would then carry a CR
//   after each suite name;
// - a crash ends the process with a failure code at once: Wine would open its
//   crash dialog (which waits forever without a display) or even exit with 0;
// - a watchdog ends a test that hangs (a modal box nobody answers) with a
//   failure, well before ctest's own timeout has to kill Wine's processes.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

namespace {

constexpr UINT kCrashExitCode = 70;
constexpr UINT kHangExitCode = 71;
constexpr DWORD kWatchdogMs = 60000;

LONG WINAPI endOnCrash(EXCEPTION_POINTERS* info)
{
    std::fprintf(stderr, "\nCrash: exception 0x%08lx at %p\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                 info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), kCrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

DWORD WINAPI watchdog(void*)
{
    Sleep(kWatchdogMs);
    std::fprintf(stderr, "\nWatchdog: the test did not end within %lu ms\n",
                 static_cast<unsigned long>(kWatchdogMs));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), kHangExitCode);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    SetUnhandledExceptionFilter(endOnCrash);
    // No "abort, retry, ignore" box from the C runtime either.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::testing::InitGoogleTest(&argc, argv);
    const HANDLE guard = CreateThread(nullptr, 0, watchdog, nullptr, 0, nullptr);
    if (!guard) {
        std::fprintf(stderr, "cannot start the watchdog thread\n");
        return 1;
    }
    CloseHandle(guard);
    return RUN_ALL_TESTS();
}
