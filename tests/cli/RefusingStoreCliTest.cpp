// A store that refuses every write, as the store does once it has fallen back
// to reading a file it cannot write (a full disk, a read-only file system),
// without the mount that makes the real case: the writing commands say why
// once and exit 3, the reading commands go on working, and nothing is lost.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <fstream>

#include "cli/CliRun.h"
#include "registry/ForwardingBackend.h"
#include "registry/SqliteStore.h"
#include "registry/TestRegistry.h"

namespace ferro {
namespace {

// The store at a path, refusing every write with `refusal` and reading as it stands.
class RefusingStore : public ForwardingBackend {
public:
    RefusingStore(const std::string& path, Status refusal) : store_(path), refusal_(refusal) {}
    Status createKey(RootKey, const std::string&, KeyHandle& out) override
    {
        out = 0;
        return refusal_;
    }
    Status openKey(RootKey root, const std::string& path, std::uint32_t access, KeyHandle& out) override
    {
        out = 0;
        return access & kKeyModifyingRights ? refusal_ : store_.openKey(root, path, access, out);
    }
    Status setValue(KeyHandle, const std::string&, std::uint32_t, const Bytes&) override { return refusal_; }
    Status deleteValue(KeyHandle, const std::string&) override { return refusal_; }
    Status beginChanges() override { return refusal_; }

private:
    RegistryBackend* target() const override { return &store_; }
    mutable SqliteStore store_;
    Status refusal_;
};

TEST(RefusingStore, WritesSayWhyOnceAndExit3ReadsWorkAndNothingIsLost)
{
    for (const Status refusal : {kStatusWriteProtected, kStatusDiskFull}) {
        SCOPED_TRACE(statusText(refusal));
        test::TestRegistry reg;
        const std::string store = reg.storePath();
        ASSERT_EQ(test::runTool({"apply", "--speed", "57"}, store).code, kExitOk);
        const std::string other = reg.folder() + "/other.reg";
        std::ofstream(other) << "Windows Registry Editor Version 5.00\r\n\r\n"
                                "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"a\"=\"b\"\r\n";
        const std::string before = test::runTool({"show"}, store).out;

        test::StringSource in;
        const auto run = [&](std::vector<std::string> args) {
            args.insert(args.end(), {"--registry", store});
            test::StringSink out, err;
            const int code = runCli(args, {in, out, err, false, [&](const std::string& path) {
                                               return std::make_unique<RefusingStore>(path, refusal);
                                           }});
            return test::CliResult{code, out.str(), err.str()};
        };
        for (const std::vector<std::string>& read :
             {std::vector<std::string>{"show"}, {"check", "--speed", "57"}, {"apply", "--speed", "1000", "--dry-run"}}) {
            const test::CliResult r = run(read);
            EXPECT_EQ(r.code, kExitOk) << read[0] << ": " << r.err;
            EXPECT_EQ(r.err, "") << read[0];
        }
        for (const std::vector<std::string>& write : {std::vector<std::string>{"import", other},
                                                      {"restore", "--yes"},
                                                      {"apply", "--speed", "1000", "--no-backup"}}) {
            const test::CliResult r = run(write);
            EXPECT_EQ(r.code, kExitFailed) << write[0];
            EXPECT_EQ(test::occurrences(r.err, statusText(refusal)), 1u) << write[0] << ": " << r.err;
        }
        EXPECT_EQ(test::runTool({"show"}, store).out, before);
    }
}

}  // namespace
}  // namespace ferro
#endif
