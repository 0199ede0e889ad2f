#include "cli/TestWritePause.h"

#if defined(FERRO_TEST_HOOKS) && !defined(_WIN32)
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "registry/ForwardingBackend.h"

namespace ferro {
namespace {

class PausingBackend final : public ForwardingBackend {
public:
    PausingBackend(std::unique_ptr<RegistryBackend> inner, std::string log)
        : inner_(std::move(inner)), log_(std::move(log))
    {
    }

    Status setValue(KeyHandle key, const std::string& name, std::uint32_t type, const Bytes& data) override
    {
        return written(ForwardingBackend::setValue(key, name, type, data));
    }
    Status deleteValue(KeyHandle key, const std::string& name) override
    {
        return written(ForwardingBackend::deleteValue(key, name));
    }

private:
    RegistryBackend* target() const override { return inner_.get(); }

    Status written(Status status)
    {
        const int fd = ::open(log_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            const bool ok = ::write(fd, "written\n", 8) == 8;
            ::close(fd);
            if (!ok)
                std::abort();  // the test would wait for a line that never comes
        }
        ++written_;
        const std::string hold = log_ + ".hold";
        while (holdsAt(hold) == written_)
            ::usleep(1000);
        return status;
    }

    // The number of writes the hold file says to stop after; 0 when there is none.
    static long holdsAt(const std::string& hold)
    {
        char text[32] = {};
        const int fd = ::open(hold.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return 0;
        const ssize_t got = ::read(fd, text, sizeof text - 1);
        ::close(fd);
        return got > 0 ? std::strtol(text, nullptr, 10) : 0;
    }

    std::unique_ptr<RegistryBackend> inner_;
    std::string log_;
    long written_ = 0;
};

}  // namespace

std::unique_ptr<RegistryBackend> withTestWritePause(std::unique_ptr<RegistryBackend> backend)
{
    const char* log = std::getenv("FERROWINDER_TEST_WRITE_LOG");
    if (!log || !*log)
        return backend;
    return std::make_unique<PausingBackend>(std::move(backend), log);
}

}  // namespace ferro

#else

namespace ferro {

std::unique_ptr<RegistryBackend> withTestWritePause(std::unique_ptr<RegistryBackend> backend)
{
    return backend;
}

}  // namespace ferro

#endif
