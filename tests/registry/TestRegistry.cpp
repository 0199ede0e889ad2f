#include "registry/TestRegistry.h"

#include <atomic>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>

#include "registry/Advapi32Backend.h"
#else
#include <unistd.h>

#include "registry/SqliteStore.h"
#endif

namespace ferro::test {
namespace fs = std::filesystem;

namespace {
// "<pid>-<n>": unique among the test processes running at the same time.
std::string uniqueSuffix()
{
    static std::atomic<int> counter{0};
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    return std::to_string(pid) + "-" + std::to_string(counter++);
}
}  // namespace

#ifndef _WIN32

TestRegistry::TestRegistry()
{
    const std::string name = "ferro-test-" + uniqueSuffix();
    folder_ = (fs::temp_directory_path() / name).string();
    fs::create_directories(folder_);
    storePath_ = (fs::path(folder_) / "registry.db").string();
    backend_ = std::make_unique<SqliteStore>(storePath_);
    prefix_ = "Software\\FerroWinderTests";
}

TestRegistry::~TestRegistry()
{
    backend_.reset();
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

bool runningUnderWine()
{
    return false;
}

#else

// The real registry is shared by every test process, so each test works below
// keys of its own under both roots and removes them (with all they hold) at
// the end.
TestRegistry::TestRegistry()
{
    const std::string suffix = uniqueSuffix();
    folder_ = (fs::temp_directory_path() / ("ferro-test-" + suffix)).string();
    fs::create_directories(folder_);
    backend_ = std::make_unique<Advapi32Backend>();
    prefix_ = "Software\\FerroWinderTests-" + suffix;
}

TestRegistry::~TestRegistry()
{
    backend_.reset();
    // RegDeleteTreeA removes the named key itself too.
    (void)RegDeleteTreeA(HKEY_CURRENT_USER, prefix_.c_str());
    (void)RegDeleteTreeA(HKEY_LOCAL_MACHINE, prefix_.c_str());
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

bool runningUnderWine()
{
    // Wine's ntdll exports its version; Windows' does not.
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

#endif

std::string TestRegistry::key(const std::string& relative) const
{
    return relative.empty() ? prefix_ : prefix_ + "\\" + relative;
}

}  // namespace ferro::test
