#include <gtest/gtest.h>

#include <cstdio>

#include "registry/RegFile.h"
#include "registry/TestRegistry.h"

namespace ferro {
namespace {

using test::TestRegistry;

RegEntry value(const std::string& key, const std::string& name, std::uint32_t type, Bytes data,
               RootKey root = RootKey::LocalMachine)
{
    return {ValuePath{root, key, name}, ValueState{true, type, std::move(data)}};
}

RegEntry deletion(const std::string& key, const std::string& name)
{
    return {ValuePath{RootKey::CurrentUser, key, name}, std::nullopt};
}

void expectSameEntries(const std::vector<RegEntry>& a, const std::vector<RegEntry>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_TRUE(samePlace(a[i].path, b[i].path)) << fullValuePath(a[i].path);
        const bool aPresent = a[i].state && a[i].state->present;
        const bool bPresent = b[i].state && b[i].state->present;
        ASSERT_EQ(aPresent, bPresent) << fullValuePath(a[i].path);
        if (aPresent) {
            EXPECT_EQ(a[i].state->type, b[i].state->type) << fullValuePath(a[i].path);
            EXPECT_EQ(a[i].state->data, b[i].state->data) << fullValuePath(a[i].path);
        }
    }
}

// Every kind of datum the store can hold, including those that cannot be
// written as "text" without changing their bytes.
std::vector<RegEntry> awkwardEntries(const std::string& key)
{
    return {
        value(key, "Plain", kRegSz, {'1', '6', '6', '1', '6', 0}),
        value(key, "Quotes \"and\" \\slashes\\", kRegSz, {'C', ':', '\\', '"', 'x', '"', 0}),
        value(key, "Empty", kRegSz, {0}),
        value(key, "NoNul", kRegSz, {'a', 'b'}),
        value(key, "InnerNul", kRegSz, {'a', 0, 'b', 0}),
        value(key, "Lines", kRegSz, {'a', '\r', '\n', 'b', 0}),
        value(key, "Western", kRegSz, {0xE9, 0xFC, 0x80, 0}),
        value(key, "", kRegSz, {'d', 'e', 'f', 0}),
        value(key, "Number", kRegDword, {0xDC, 0x05, 0, 0}),
        value(key, "ShortNumber", kRegDword, {1, 2}),
        value(key, "Binary", 3, {0, 0xFF, 0x10}),
        value(key, "EmptyBinary", 3, {}),
        value(key, "Multi", 7, {'a', 0, 0}),
        value(key, "Qword", 0xB, {1, 2, 3, 4, 5, 6, 7, 8}),
        value(key + "\\Sub Key", "Other", kRegSz, {'x', 0}, RootKey::CurrentUser),
        deletion(key, "Gone"),
    };
}

TEST(RegFile, WritesTheRegistryEditorFormat)
{
    const std::string text = writeRegFile({
        value("Software\\A", "S", kRegSz, {'a', '"', '\\', 0}),
        value("Software\\A", "MTU", kRegDword, {0xDC, 0x05, 0, 0}),
        deletion("Software\\B", "Old"),
        value("software\\a", "Bin", 3, {1, 0xAB}),
    });
    EXPECT_EQ(text,
              "Windows Registry Editor Version 5.00\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\A]\r\n"
              "\"S\"=\"a\\\"\\\\\"\r\n"
              "\"MTU\"=dword:000005dc\r\n"
              "\"Bin\"=hex:01,ab\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\B]\r\n"
              "\"Old\"=-\r\n");
}

TEST(RegFile, RoundTripKeepsEveryByte)
{
    const std::vector<RegEntry> entries = awkwardEntries("Software\\Round Trip");
    const std::string text = writeRegFile(entries);
    // The writer groups by key, so compare against the grouped order.
    std::vector<RegEntry> grouped;
    for (const RegEntry& e : entries)
        if (e.path.root == RootKey::LocalMachine)
            grouped.push_back(e);
    for (const RegEntry& e : entries)
        if (e.path.root == RootKey::CurrentUser)
            grouped.push_back(e);
    expectSameEntries(readRegFile(text), grouped);
    EXPECT_EQ(writeRegFile(readRegFile(text)), text);
}

TEST(RegFile, RoundTripThroughTheRegistry)
{
    TestRegistry reg;
    std::vector<RegEntry> entries = awkwardEntries(reg.key("Round Trip"));
    EXPECT_TRUE(applyRegEntries(reg.backend(), entries).empty());

    std::vector<ValuePath> paths;
    for (const RegEntry& e : entries)
        paths.push_back(e.path);
    std::vector<Failure> unreadable;
    const std::vector<RegEntry> state = captureState(reg.backend(), paths, unreadable);
    EXPECT_TRUE(unreadable.empty());
    expectSameEntries(state, entries);

    // Read back from text and applied again, the registry holds the same.
    EXPECT_TRUE(applyRegEntries(reg.backend(), readRegFile(writeRegFile(state))).empty());
    expectSameEntries(captureState(reg.backend(), paths, unreadable), entries);
}

TEST(RegFile, ReadsWhatTheRegistryEditorWrites)
{
    // UTF-16LE with a byte-order mark, continued hex lines, comments, REGEDIT4.
    const std::string ascii =
        "Windows Registry Editor Version 5.00\r\n\r\n; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\X]\r\n"
        "\"Long\"=hex:01,02,\\\r\n  03,04\r\n"
        "@=\"default\"\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char c : ascii) {
        utf16 += c;
        utf16 += '\0';
    }
    for (const std::string& text : {ascii, utf16}) {
        const std::vector<RegEntry> entries = readRegFile(text);
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].state->data, (Bytes{1, 2, 3, 4}));
        EXPECT_EQ(entries[1].path.valueName, "");
    }
    EXPECT_EQ(readRegFile("REGEDIT4\n[HKCU\\A]\n\"v\"=dword:1\n").at(0).state->data, (Bytes{1, 0, 0, 0}));
}

TEST(RegFile, BadInputNamesItsLine)
{
    const std::string header = "Windows Registry Editor Version 5.00\r\n\r\n";
    const struct {
        std::string text;
        int line;
    } cases[] = {
        {"", 0},
        {"Windows Registry Editor\r\n", 1},
        {header + "\"Orphan\"=\"x\"\r\n", 3},
        {header + "[HKEY_CLASSES_ROOT\\A]\r\n", 3},
        {header + "[HKEY_LOCAL_MACHINE\\A\r\n", 3},
        {header + "[HKEY_LOCAL_MACHINE]\r\n", 3},
        {header + "[HKEY_LOCAL_MACHINE\\A\\\\B]\r\n", 3},
        {header + "[-HKEY_LOCAL_MACHINE\\A]\r\n", 3},
        {header + "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=dword:123456789\r\n", 4},
        {header + "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=dword:xyz\r\n", 4},
        {header + "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=\"open\r\n", 4},
        {header + "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=\"a\\nb\"\r\n", 4},
        {header + "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=\"a\" junk\r\n", 4},
        {header + "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=hex:1,02\r\n", 4},
        {header + "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=hex(zz):01\r\n", 4},
        {header + "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=hex:01,\\\r\n  0g\r\n\"w\"=-\r\n", 4},
        {header + "[HKEY_LOCAL_MACHINE\\A]\r\n\"ok\"=-\r\nv=1\r\n", 5},
        {header + "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"\r\n", 4},
        {header + "[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=unknown\r\n", 4},
    };
    for (const auto& c : cases) {
        try {
            readRegFile(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const RegParseError& e) {
            EXPECT_EQ(e.line(), c.line) << c.text << " -> " << e.what();
            EXPECT_NE(std::string(e.what()).find("line " + std::to_string(c.line)), std::string::npos);
        }
    }
}

TEST(RegFile, ApplyDeletesAndCountsAnAbsentValueAsDone)
{
    TestRegistry reg;
    const std::string key = reg.key("Apply");
    EXPECT_TRUE(applyRegEntries(reg.backend(), {value(key, "v", kRegSz, {'1', 0})}).empty());
    const std::vector<RegEntry> removeTwice{{{RootKey::LocalMachine, key, "V"}, std::nullopt},
                                            {{RootKey::LocalMachine, key, "v"}, std::nullopt},
                                            {{RootKey::LocalMachine, key + "\\Missing", "v"}, std::nullopt}};
    EXPECT_TRUE(applyRegEntries(reg.backend(), removeTwice).empty());
    ValueState state;
    EXPECT_EQ(readValue(reg.backend(), {RootKey::LocalMachine, key, "v"}, state), kStatusNotFound);
}

// A 200 KB value as the registry editor writes it: 640 KB of continued lines.
TEST(RegFile, ALongBinaryValueOnManyContinuedLinesReadsWhole)
{
    Bytes data(200 * 1024);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Big]\r\n\"Blob\"=hex:";
    char hex[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(hex, sizeof hex, "%02x", data[i]);
        text += hex;
        if (i + 1 < data.size())
            text += (i % 25 == 24) ? ",\\\r\n  " : ",";
    }
    text += "\r\n\"After\"=dword:00000001\r\n";
    ASSERT_GT(text.size(), 640u * 1024);
    const std::vector<RegEntry> entries = readRegFile(text);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].state->type, 3u);
    EXPECT_TRUE(entries[0].state->data == data);
    EXPECT_EQ(entries[1].path.valueName, "After");
}

#ifndef _WIN32
// On the store a file is applied whole or not at all: a write that fails at
// the end takes back those before it.
TEST(RegFile, OnTheStoreAFailingEntryUndoesTheWholeFile)
{
    TestRegistry reg;
    const std::string key = reg.key("AllOrNothing");
    ASSERT_TRUE(applyRegEntries(reg.backend(), {value(key, "old", kRegSz, {'1', 0})}).empty());
    const std::vector<RegEntry> entries{value(key, "new", kRegSz, {'2', 0}),
                                        {{RootKey::LocalMachine, key, "old"}, std::nullopt},
                                        value(key + "\\\\Empty level", "v", kRegSz, {'3', 0})};
    const std::vector<Failure> failures = applyRegEntries(reg.backend(), entries);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].path.keyPath.find("Empty level"), std::string::npos);
    ValueState state;
    EXPECT_EQ(readValue(reg.backend(), {RootKey::LocalMachine, key, "new"}, state), kStatusNotFound);
    EXPECT_EQ(readValue(reg.backend(), {RootKey::LocalMachine, key, "old"}, state), kStatusOk);

    // Without the bad entry it all goes through, read from text as import does.
    const ApplyResult result = applyRegFile(reg.backend(), writeRegFile({entries[0], entries[1]}));
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.entries, 2u);
    EXPECT_EQ(readValue(reg.backend(), {RootKey::LocalMachine, key, "new"}, state), kStatusOk);
    EXPECT_EQ(readValue(reg.backend(), {RootKey::LocalMachine, key, "old"}, state), kStatusNotFound);
}
#endif

}  // namespace
}  // namespace ferro
