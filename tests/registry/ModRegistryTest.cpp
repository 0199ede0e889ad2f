#include <gtest/gtest.h>

#include "registry/TestRegistry.h"
#include "registry/modRegistry.h"
#include "tuning/TuningPlan.h"
#include "wizard/RegistryMessages.h"

namespace ferro {
namespace {

using test::TestRegistry;

class ModRegistryTest : public ::testing::Test {
protected:
    TestRegistry reg;
    std::string key = reg.key("Layer\\Deep\\Key");
    std::vector<std::string> messages;
    std::vector<Failure> failures;
    modRegistry::Registry layer{reg.backend(), [this](const Failure& f) {
                                    failures.push_back(f);
                                    messages.push_back(registryFailureText(f));
                                }};

    // CreateKey then SetKeyValue, as every caller does.
    void write(const std::string& name, const std::string& value, std::uint32_t type,
               RootKey root = RootKey::LocalMachine)
    {
        modRegistry::CreateKey(layer, key, root);
        modRegistry::SetKeyValue(layer, root, key, name, value, type);
    }

    ValueState stored(const std::string& name, RootKey root = RootKey::LocalMachine)
    {
        ValueState state;
        readValue(reg.backend(), {root, key, name}, state);
        return state;
    }
};

TEST_F(ModRegistryTest, TextIsStoredWithOneNul)
{
    write("Window", "16616", kRegSz);
    write("Empty", "", kRegSz);
    write("Looks", "dword:00000010", kRegSz);
    EXPECT_EQ(stored("Window").data, (Bytes{'1', '6', '6', '1', '6', 0}));
    EXPECT_EQ(stored("Window").type, kRegSz);
    EXPECT_EQ(stored("Empty").data, Bytes{0});
    const ValueState looks = stored("Looks");
    EXPECT_EQ(looks.type, kRegSz);
    EXPECT_EQ(looks.data.size(), 15u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ModRegistryTest, NumbersAreFourLittleEndianBytes)
{
    write("MTU", "1500", kRegDword);
    write("Negative", "-2", kRegDword);
    write("Largest", " 2147483647 ", kRegDword);
    EXPECT_EQ(stored("MTU").data, (Bytes{0xDC, 0x05, 0, 0}));
    EXPECT_EQ(stored("MTU").type, kRegDword);
    EXPECT_EQ(stored("Negative").data, (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(stored("Largest").data, (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
}

// Refused as data, with nothing thrown: which datum, and whether it is no
// number or a number too large.
TEST_F(ModRegistryTest, BadNumbersAreRefusedBeforeAnyWrite)
{
    const struct {
        const char* datum;
        Status status;
        const char* said;
    } cases[] = {{"abc", kStatusInvalidData, "not a whole number"},
                 {"", kStatusInvalidData, "not a whole number"},
                 {"12x", kStatusInvalidData, "not a whole number"},
                 {"1.5", kStatusInvalidData, "not a whole number"},
                 {"2147483648", kStatusOutOfRange, "outside -2147483648 to 2147483647"},
                 {"-2147483649", kStatusOutOfRange, "outside -2147483648 to 2147483647"},
                 {"99999999999999999999", kStatusOutOfRange, "outside -2147483648 to 2147483647"}};
    for (const auto& c : cases) {
        failures.clear();
        messages.clear();
        modRegistry::CreateKey(layer, key, RootKey::LocalMachine);
        modRegistry::SetKeyValue(layer, RootKey::LocalMachine, key, "Bad", c.datum, kRegDword);
        EXPECT_FALSE(stored("Bad").present) << c.datum;
        ASSERT_EQ(failures.size(), 1u) << c.datum;
        EXPECT_EQ(failures[0].operation, Failure::Operation::Conversion) << c.datum;
        EXPECT_EQ(failures[0].status, c.status) << c.datum;
        EXPECT_EQ(failures[0].datum, c.datum);
        EXPECT_EQ(messages[0], "cannot store \"" + std::string(c.datum) + "\" as REG_DWORD: " + c.said);
    }
}

TEST_F(ModRegistryTest, OtherTypesWriteNothingAndSayNothing)
{
    for (std::uint32_t type : {0u, 2u, 3u, 7u, 11u}) {
        write("Other", "x", type);
        EXPECT_FALSE(stored("Other").present) << type;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(ModRegistryTest, ReplacingChangesDataAndType)
{
    write("Value", "1500", kRegDword);
    write("VALUE", "text", kRegSz);
    const ValueState state = stored("value");
    EXPECT_EQ(state.type, kRegSz);
    EXPECT_EQ(state.data, (Bytes{'t', 'e', 'x', 't', 0}));
}

TEST_F(ModRegistryTest, MissingKeyGivesBothMessagesWithTheirCodes)
{
    // No CreateKey: the open fails with "not found", the write through the
    // null handle with "invalid handle".
    modRegistry::SetKeyValue(layer, RootKey::LocalMachine, reg.key("Nowhere"), "Value", "1", kRegSz);
    EXPECT_EQ(messages, (std::vector<std::string>{"RegOpenKey error - 2", "SetValue error - 6"}));
}

// The failure reaches its receiver as data: which call failed on which value
// with which status, or a datum refused before any call, never a status 0.
TEST_F(ModRegistryTest, FailuresArriveAsOperationPathAndStatus)
{
    using Operation = Failure::Operation;
    const std::string nowhere = reg.key("Nowhere");
    modRegistry::SetKeyValue(layer, RootKey::CurrentUser, nowhere, "Value", "1", kRegSz);
    const PlanEntry badNumber{1, RootKey::LocalMachine, key.c_str(), "Count", DataRule::Fixed, "many", kRegDword, "", false};
    EXPECT_TRUE(applyPlanEntry(layer, badNumber, kDefaultSpeed));

    ASSERT_EQ(failures.size(), 3u);
    const struct {
        Operation operation;
        RootKey root;
        std::string keyPath, valueName;
        Status status;
    } expected[] = {{Operation::OpenKey, RootKey::CurrentUser, nowhere, "Value", kStatusNotFound},
                    {Operation::SetValue, RootKey::CurrentUser, nowhere, "Value", kStatusInvalidHandle},
                    {Operation::Conversion, RootKey::LocalMachine, key, "Count", kStatusInvalidData}};
    for (std::size_t i = 0; i < failures.size(); ++i) {
        EXPECT_EQ(failures[i].operation, expected[i].operation) << i;
        EXPECT_TRUE(samePlace(failures[i].path, {expected[i].root, expected[i].keyPath, expected[i].valueName})) << i;
        EXPECT_EQ(failures[i].status, expected[i].status) << i;
    }
    EXPECT_EQ(messages[2], "cannot store \"many\" as REG_DWORD: not a whole number");
    EXPECT_FALSE(stored("Count").present);
}

TEST_F(ModRegistryTest, ValueLandsUnderTheRootItsKeyWasCreatedUnder)
{
    write("MaxConnectionsPerServer", "dword:00000010", kRegSz, RootKey::CurrentUser);
    EXPECT_TRUE(stored("MaxConnectionsPerServer", RootKey::CurrentUser).present);
    EXPECT_FALSE(stored("MaxConnectionsPerServer", RootKey::LocalMachine).present);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ModRegistryTest, CreateKeyMakesEveryLevelAndIsSilentWhenItExists)
{
    modRegistry::CreateKey(layer, reg.key("A\\B\\C\\D"), RootKey::LocalMachine);
    modRegistry::CreateKey(layer, reg.key("a\\b\\c\\d"), RootKey::LocalMachine);
    for (const char* level : {"A", "A\\B", "a\\B\\c", "A\\b\\C\\d"}) {
        KeyGuard found(reg.backend());
        EXPECT_EQ(reg.backend().openKey(RootKey::LocalMachine, reg.key(level), kKeyReadAccess, found.handle),
                  kStatusOk)
            << level;
    }
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace ferro
