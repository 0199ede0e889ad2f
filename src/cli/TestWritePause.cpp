#include "cli/TestWritePause.h"

#if defined(FERRO_TEST_HOOKS) && !defined(_WIN32)
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace ferro {
namespace {

class PausingBackend final : public RegistryBackend {
public:
    PausingBackend(std::unique_ptr<RegistryBackend> inner, std::string log)
        : inner_(std::move(inner)), log_(std::move(log))
    {
    }

    Status createKey(RootKey root, const std::string& path, KeyHandle& out) override
    {
        return inner_->createKey(root, path, out);
    }
    Status openKey(RootKey root, const std::string& path, std::uint32_t access, KeyHandle& out) override
    {
        return inner_->openKey(root, path, access, out);
    }
    Status setValue(KeyHandle key, const std::string& name, std::uint32_t type, const Bytes& data) override
    {
        return written(inner_->setValue(key, name, type, data));
    }
    Status queryValue(KeyHandle key, const std::string& name, std::uint32_t& type, Bytes& data) override
    {
        return inner_->queryValue(key, name, type, data);
    }
    Status deleteValue(KeyHandle key, const std::string& name) override
    {
        return written(inner_->deleteValue(key, name));
    }
    void closeKey(KeyHandle key) override { inner_->closeKey(key); }
    Status beginChanges() override { return inner_->beginChanges(); }
    Status commitChanges() override { return inner_->commitChanges(); }
    void discardChanges() override { inner_->discardChanges(); }
    bool changesAreAllOrNothing() const override { return inner_->changesAreAllOrNothing(); }
    Status beginReading() override { return inner_->beginReading(); }
    void endReading() override { inner_->endReading(); }

private:
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
