// What a program reading the tool's JSON and TSV gets for each type of value:
// typed data, the same in show, check and plan, read with a JSON reader.
#ifndef _WIN32
#include <gtest/gtest.h>

#include "cli/CliRun.h"
#include "cli/JsonValue.h"
#include "registry/TestRegistry.h"
#include "registry/ValueChanges.h"
#include "tuning/TuningPlan.h"

namespace ferro {
namespace {

using test::JsonReader;
using test::JsonValue;

// The plan's MTU: a REG_DWORD of 1500 above dial-up speeds.
const PlanEntry& mtu()
{
    return planEntry(kPlanSteps);
}

const JsonValue* entryFor(const JsonValue& list, const std::string& path)
{
    for (const JsonValue& e : list.array())
        if (e["path"].string() == path)
            return &e;
    return nullptr;
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out;
    for (std::size_t at = 0; at <= line.size();) {
        const std::size_t end = std::min(line.find('\t', at), line.size());
        out.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

TEST(TypedJson, EachTypeIsWrittenAsItsKindOfDataInShowAndCheck)
{
    const struct {
        const char* name;
        bool present;
        std::uint32_t type;
        Bytes data;
        const char* typeName;  // null when absent
        const char* json;      // the data as JSON text
        const char* tsv;       // the data in a TSV field
    } cases[] = {
        {"text", true, 1, {'1', '7', '5', '2', '0', 0}, "REG_SZ", R"("17520")", "17520"},
        {"quotes and backslashes", true, 1, {'a', '"', 'b', '\\', 'c', 0}, "REG_SZ", R"("a\"b\\c")", "a\"b\\c"},
        {"Windows-1252 letters", true, 1, {0xE9, 0x80, 0}, "REG_SZ", R"("\u00e9\u20ac")", "\xE9\x80"},
        {"a tab and a line", true, 1, {'a', '\t', 'b', '\n', 0}, "REG_SZ", R"("a\tb\n")", "a\\tb\\n"},
        {"expandable text", true, 2, {'%', 'W', '%', 0}, "REG_EXPAND_SZ", R"("%W%")", "%W%"},
        {"a number", true, 4, {0x78, 0x05, 0, 0}, "REG_DWORD", "1400", "1400"},
        {"the largest number", true, 4, {0xFF, 0xFF, 0xFF, 0xFF}, "REG_DWORD", "4294967295", "4294967295"},
        {"a number of three bytes", true, 4, {1, 2, 3}, "REG_DWORD", R"("010203")", "010203"},
        {"strings", true, 7, {'a', 0, 'b', 'c', 0, 0}, "REG_MULTI_SZ", R"(["a","bc"])", "a\\0bc"},
        {"no strings", true, 7, {0}, "REG_MULTI_SZ", "[]", ""},
        {"bytes", true, 3, {0x01, 0xAB}, "REG_BINARY", R"("01ab")", "01ab"},
        {"a 64-bit number", true, 11, {1, 0, 0, 0, 0, 0, 0, 0}, "REG_QWORD", R"("0100000000000000")",
         "0100000000000000"},
        {"a type without a name", true, 42, {7}, "REG_TYPE_42", R"("07")", "07"},
        {"absent", false, 0, {}, nullptr, "null", "-"},
    };
    const ValuePath place{mtu().root, mtu().keyPath, mtu().valueName};
    const std::string path = fullValuePath(place);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestRegistry reg;
        if (c.present) {
            ASSERT_EQ(writeValue(reg.backend(), place, c.type, c.data), kStatusOk);
        }
        JsonValue now{nullptr};
        if (c.present)
            now = JsonValue{JsonValue::Object{{"type", {std::string(c.typeName)}}, {"data", JsonReader::parse(c.json)}}};

        const JsonValue shown = JsonReader::parse(test::runTool({"show", "--format", "json"}, reg.storePath()).out);
        EXPECT_EQ(shown["format"].number(), 2);
        const JsonValue* inShow = entryFor(shown["values"], path);
        ASSERT_TRUE(inShow);
        EXPECT_TRUE(*inShow == (JsonValue{JsonValue::Object{{"path", {path}},
                                                            {"root", {std::string(rootName(place.root))}},
                                                            {"key", {place.keyPath}},
                                                            {"value", {place.valueName}},
                                                            {"now", now}}}));

        const JsonValue checked =
            JsonReader::parse(test::runTool({"check", "--speed", "57", "--format", "json"}, reg.storePath()).out);
        const JsonValue* inCheck = entryFor(checked["differences"], path);
        ASSERT_TRUE(inCheck);
        EXPECT_TRUE((*inCheck)["now"] == now);
        EXPECT_TRUE((*inCheck)["wanted"] == JsonReader::parse(R"({"type":"REG_DWORD","data":1500})"));

        const std::string tsv = test::runTool({"check", "--speed", "57", "--format", "tsv"}, reg.storePath()).out;
        const std::size_t line = tsv.find("\t" + place.valueName + "\t");
        ASSERT_NE(line, std::string::npos) << tsv;
        const std::vector<std::string> row = fields(tsv.substr(line + 1, tsv.find('\n', line) - line - 1));
        EXPECT_EQ(row, (std::vector<std::string>{place.valueName, c.present ? c.typeName : "-", c.tsv, "REG_DWORD",
                                                 "1500"}));
    }
}

// plan --format json: each step's wanted data typed as check writes it, and
// null where the step writes nothing at that speed.
TEST(TypedJson, PlanWritesEachStepsWantedDataTyped)
{
    const JsonValue plan = JsonReader::parse(test::runTool({"plan", "--speed", "56", "--format", "json"}).out);
    EXPECT_EQ(plan["format"].number(), 2);
    EXPECT_EQ(plan["speed"].number(), 56);
    ASSERT_EQ(plan["steps"].array().size(), static_cast<std::size_t>(kPlanSteps));
    for (const PlanEntry& e : tuningPlan()) {
        SCOPED_TRACE(e.step);
        const JsonValue& step = plan["steps"][static_cast<std::size_t>(e.step - 1)];
        EXPECT_EQ(step["step"].number(), e.step);
        EXPECT_EQ(step["path"].string(), fullValuePath({e.root, e.keyPath, e.valueName}));
        const std::optional<std::string> data = planData(e, 56);
        if (!data) {
            EXPECT_TRUE(step["wanted"].isNull());
        } else if (e.type == kRegDword) {
            EXPECT_EQ(step["wanted"]["data"].number(), std::stod(*data));
        } else {
            EXPECT_EQ(step["wanted"]["data"].string(), *data);
        }
    }
}

}  // namespace
}  // namespace ferro
#endif
