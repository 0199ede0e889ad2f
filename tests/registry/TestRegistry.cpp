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
std::string uniqueName()
{
    static std::atomic<int> counter{0};
#ifdef _WIN32
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    return "ferro-test-" + std::to_string(pid) + "-" + std::to_string(counter++);
}
}  // namespace

#ifndef _WIN32

TestRegistry::TestRegistry()
{
    const std::string name = uniqueName();
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

#endif

std::string TestRegistry::key(const std::string& relative) const
{
    return relative.empty() ? prefix_ : prefix_ + "\\" + relative;
}

}  // namespace ferro::test
