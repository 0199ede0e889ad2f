// The registry the program opens at its first use: nothing before, once
// after, and a store that cannot be opened is told once and then refused.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "registry/LazyRegistry.h"
#include "ui/MemoryRegistry.h"

namespace ferro::test {
namespace {

TEST(LazyRegistryTest, OpensAtTheFirstUseOnlyAndThenPassesEveryCallOn)
{
    int opened = 0;
    std::vector<std::string> failures;
    LazyRegistry registry([&] { ++opened; return std::make_unique<MemoryRegistry>(); },
                          [&](const std::string& reason) { failures.push_back(reason); });
    EXPECT_EQ(opened, 0);

    KeyHandle key = 0;
    ASSERT_EQ(registry.createKey(RootKey::CurrentUser, "Software\\Test", key), kStatusOk);
    ASSERT_EQ(registry.setValue(key, "Speed", kRegSz, Bytes{'5', '6', 0}), kStatusOk);
    registry.closeKey(key);
    std::uint32_t type = 0;
    Bytes data;
    ASSERT_EQ(registry.openKey(RootKey::CurrentUser, "software\\test", kKeyReadAccess, key), kStatusOk);
    EXPECT_EQ(registry.queryValue(key, "speed", type, data), kStatusOk);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(data, (Bytes{'5', '6', 0}));
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(failures.empty());
}

TEST(LazyRegistryTest, AStoreThatCannotOpenIsToldOnceAndEveryCallFails)
{
    int opened = 0;
    std::vector<std::string> failures;
    LazyRegistry registry(
        [&]() -> std::unique_ptr<RegistryBackend> { ++opened; throw std::runtime_error("not a store: x.db"); },
        [&](const std::string& reason) { failures.push_back(reason); });

    KeyHandle key = 0;
    EXPECT_EQ(registry.openKey(RootKey::LocalMachine, "Software", kKeyReadAccess, key), kStatusIoFailed);
    EXPECT_EQ(registry.createKey(RootKey::LocalMachine, "Software", key), kStatusIoFailed);
    EXPECT_EQ(registry.beginChanges(), kStatusIoFailed);
    registry.closeKey(key);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(failures, std::vector<std::string>{"not a store: x.db"});
}

}  // namespace
}  // namespace ferro::test
