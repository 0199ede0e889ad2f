// The state of the plan's values is read as one snapshot of the store: a
// write by another process between two of its reads shows in none of them.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "registry/ForwardingBackend.h"
#include "registry/LazyRegistry.h"
#include "registry/RegFile.h"
#include "registry/SqliteStore.h"
#include "registry/TestRegistry.h"
#include "tuning/PlanCheck.h"
#include "tuning/TuningPlan.h"

namespace ferro {
namespace {

// Reads through `inner`, and runs `between` once, before the `at`th read.
class InterruptedReads final : public ForwardingBackend {
public:
    InterruptedReads(RegistryBackend& inner, int at, std::function<void()> between)
        : inner_(inner), at_(at), between_(std::move(between))
    {
    }
    Status queryValue(KeyHandle k, const std::string& n, std::uint32_t& t, Bytes& d) override
    {
        if (++reads_ == at_)
            between_();
        return ForwardingBackend::queryValue(k, n, t, d);
    }

private:
    RegistryBackend* target() const override { return &inner_; }

    RegistryBackend& inner_;
    int reads_ = 0;
    const int at_;
    std::function<void()> between_;
};

TEST(StoreSnapshot, AStateReadWhileAnotherProcessImportsIsOneThatExisted)
{
    test::TestRegistry reg;
    SqliteStore reader(reg.storePath());
    ASSERT_TRUE(applyRegEntries(reader, planWrites(56)).empty());
    std::vector<Failure> unreadable;
    const std::string before = writeRegFile(captureState(reader, planValues(), unreadable));
    const auto importAnotherPlan = [&] {
        SqliteStore writer(reg.storePath());  // a connection of its own, as another process has
        ASSERT_TRUE(applyRegEntries(writer, planWrites(20000)).empty());
    };

    // Halfway through the backup's and show's reads, and through check's.
    InterruptedReads halfway(reader, 10, importAnotherPlan);
    EXPECT_EQ(writeRegFile(captureState(halfway, planValues(), unreadable)), before);
    EXPECT_TRUE(unreadable.empty());
    ASSERT_EQ(applyRegEntries(reader, planWrites(56)).size(), 0u);
    InterruptedReads checking(reader, 10, importAnotherPlan);
    EXPECT_TRUE(planDifferences(checking, 56).empty()) << "check saw part of the import";
    // The windows read through the registry that opens at its first use.
    ASSERT_EQ(applyRegEntries(reader, planWrites(56)).size(), 0u);
    const std::string settled = writeRegFile(captureState(reader, planValues(), unreadable));
    LazyRegistry windows([&] { return std::make_unique<InterruptedReads>(reader, 10, importAnotherPlan); },
                         [](const std::string&) {});
    EXPECT_EQ(writeRegFile(captureState(windows, planValues(), unreadable)), settled);

    // The import itself did land: read again, it shows whole.
    EXPECT_TRUE(planDifferences(reader, 20000).empty());
}

}  // namespace
}  // namespace ferro
#endif
