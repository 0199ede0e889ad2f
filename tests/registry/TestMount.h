#pragma once
// A small file system mounted over a folder for one test, and unmounted
// however the test ends. Mounting needs root, as the tests have in CI;
// elsewhere `why` says what stood in the way, for the test to skip with.
#ifdef __linux__
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace ferro::test {

class TestMount {
public:
    // An empty tmpfs of `bytes` over `folder`.
    static std::unique_ptr<TestMount> tmpfs(const std::string& folder, std::size_t bytes, std::string& why)
    {
        const std::string options = "size=" + std::to_string(bytes);
        return mounted(folder, ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()), why);
    }

    // `folder` over itself, read-only.
    static std::unique_ptr<TestMount> readOnlyBind(const std::string& folder, std::string& why)
    {
        auto bound = mounted(folder, ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr), why);
        if (bound && !bound->makeReadOnly(why, MS_BIND))
            return nullptr;
        return bound;
    }

    ~TestMount() { ::umount2(folder_.c_str(), MNT_DETACH); }
    TestMount(const TestMount&) = delete;
    TestMount& operator=(const TestMount&) = delete;

    // From now on nothing on it can be written.
    bool makeReadOnly(std::string& why, unsigned long more = 0)
    {
        if (::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | more, nullptr) == 0)
            return true;
        why = "cannot make " + folder_ + " read-only: " + std::strerror(errno);
        return false;
    }

private:
    explicit TestMount(std::string folder) : folder_(std::move(folder)) {}

    static std::unique_ptr<TestMount> mounted(const std::string& folder, int result, std::string& why)
    {
        if (result == 0)
            return std::unique_ptr<TestMount>(new TestMount(folder));
        why = ::geteuid() != 0 ? "mounting a file system needs root"
                               : "cannot mount over " + folder + ": " + std::strerror(errno);
        return nullptr;
    }

    std::string folder_;
};

// Fills the file system at `folder` until a write fails for want of room
// (with a file named filler<name>).
inline void fillDisk(const std::string& folder, const std::string& name)
{
    std::FILE* file = std::fopen((folder + "/filler" + name).c_str(), "wb");
    const std::string block(4096, 'x');
    while (file && std::fwrite(block.data(), 1, block.size(), file) == block.size() && std::fflush(file) == 0) {
    }
    if (file)
        std::fclose(file);
}

}  // namespace ferro::test
#endif
