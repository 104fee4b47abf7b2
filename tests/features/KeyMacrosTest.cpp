#include "features/LKeyMacros.h"
#include "features/LVirtualKeys.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
std::vector<uint8_t> Bytes(std::initializer_list<uint32_t> words)
{
    // Every value is one byte unless it is above 0xFF, then four.
    std::vector<uint8_t> v;
    for (uint32_t w : words)
        if (w > 0xFF)
            TestSupport::Put32(v, w);
        else
            v.push_back(uint8_t(w));
    return v;
}

LOVMacroKeys Macro(uint32_t uKey, std::vector<uint32_t> ids)
{
    LOVMacroKeys m;
    m.uKey = uKey;
    for (uint32_t u : ids)
        m.commands.push_back({ u });
    return m;
}

constexpr uint32_t kCtrlF1 = kKeyCtrl | 0x70;
} // namespace

TEST(LKeyMacros, FilesWrittenByteByByteReadAsTheFormatSays)
{
    struct Case {
        const char* szName;
        std::vector<uint8_t> data;
        bool bAccepted;
        std::vector<LOVMacroKeys> expected;
    };
    std::vector<uint8_t> cutId = Bytes({ 0, kCtrlF1, 2, 2007 });
    cutId.insert(cutId.end(), { 0xD2, 0x07 }); // half of a second id
    std::vector<uint8_t> cutKey = Bytes({ 0, kCtrlF1, 1, 2007 });
    cutKey.insert(cutKey.end(), { 0x41, 0x00, 0x02 }); // three bytes of a key value
    const Case cases[] = {
        { "empty file", {}, false, {} },
        { "version only", { 0 }, true, {} },
        { "version 1", Bytes({ 1, kCtrlF1, 0 }), false, {} },
        { "two keys", Bytes({ 0, kCtrlF1, 2, 2007, 4002, kKeyShift | 0x70, 0 }), true,
            { Macro(kCtrlF1, { 2007, 4002 }), Macro(kKeyShift | 0x70, {}) } },
        { "id cut short keeps the key", cutId, true, { Macro(kCtrlF1, { 2007 }) } },
        { "count missing keeps the key", Bytes({ 0, kCtrlF1 }), true, { Macro(kCtrlF1, {}) } },
        { "key cut short ends the list", cutKey, true, { Macro(kCtrlF1, { 2007 }) } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szName);
        TestSupport::TempDir dir;
        ASSERT_TRUE(TestSupport::WriteAll(dir.File("keys.dat"), c.data));
        LKeyMacros macros;
        macros.Keys().push_back(Macro(1, { 1 })); // reading replaces what was there
        std::string strError;
        EXPECT_EQ(macros.Read(dir.File("keys.dat"), strError), c.bAccepted);
        EXPECT_EQ(strError, c.bAccepted ? "" : LKeyMacros::kVersionError);
        EXPECT_EQ(macros.Keys(), c.expected);
    }
    LKeyMacros none;
    std::string strError;
    EXPECT_TRUE(none.Read("/nonexistent/keys.dat", strError));
    EXPECT_TRUE(none.Keys().empty());
}

TEST(LKeyMacros, WrittenFileReadsBackAndStopsAt255Commands)
{
    LKeyMacros macros;
    macros.Keys() = { Macro(kCtrlF1, { 2007, 4001 }), Macro(kKeyAlt | 'A', {}) };
    std::vector<uint32_t> many(300, 4017);
    macros.Keys().push_back(Macro(kKeyShift | 0x6B, many));
    TestSupport::TempDir dir;
    ASSERT_TRUE(macros.Write(dir.File("keys.dat")));
    const std::vector<uint8_t> data = TestSupport::ReadAll(dir.File("keys.dat"));
    // Version, two short keys, and the long one cut to 255 ids.
    EXPECT_EQ(data.size(), size_t(1 + (5 + 8) + 5 + (5 + 255 * 4)));
    EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.begin() + 14),
        Bytes({ 0, kCtrlF1, 2, 2007, 4001 }));
    LKeyMacros back;
    std::string strError;
    ASSERT_TRUE(back.Read(dir.File("keys.dat"), strError));
    macros.Keys()[2].commands.resize(255);
    EXPECT_EQ(back.Keys(), macros.Keys());
    // A folder that does not exist cannot take the file.
    EXPECT_FALSE(macros.Write(dir.File("missing/keys.dat")));
}

TEST(LKeyMacros, KeyNamesReadBackAndModifiersMakeOtherKeys)
{
    const struct {
        uint32_t uKey;
        const char* szName;
    } cases[] = {
        { kCtrlF1, "Ctrl+F1" },
        { kKeyCtrl | kKeyAlt | kKeyShift | 'B', "Ctrl+Alt+Shift+B" },
        { kKeyCtrl | 0x6B, "Ctrl+Num +" },
        { 0x87, "F24" },
        { kKeyAlt | 0x22, "Alt+Page Down" },
        { kKeyCtrl | 0xDE, "Ctrl+'" },
        { kKeyCtrl | 0x3A, "Ctrl+0x3A" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LVirtualKeys::KeyName(c.uKey), c.szName);
        uint32_t uParsed = 0;
        EXPECT_TRUE(LVirtualKeys::ParseKeyName(c.szName, uParsed)) << c.szName;
        EXPECT_EQ(uParsed, c.uKey) << c.szName;
    }
    uint32_t u = 0;
    EXPECT_TRUE(LVirtualKeys::ParseKeyName("shift+ctrl+f1", u));
    EXPECT_EQ(u, kKeyCtrl | kKeyShift | 0x70);
    for (const char* sz : { "", "Ctrl+", "Hyper+A", "F25", "Ctrl+0x10000" })
        EXPECT_FALSE(LVirtualKeys::ParseKeyName(sz, u)) << sz;
}

TEST(LKeyMacros, TheFirstMacroOnAKeyRunsItsCommandsInOrder)
{
    LKeyMacros macros;
    macros.Keys() = { Macro(kCtrlF1, { 2007, 4001, 2007 }), Macro(kCtrlF1, { 4002 }),
        Macro(kKeyShift | 0x70, {}) };
    std::vector<int> ran;
    auto fnRun = [&ran](int iId) { ran.push_back(iId); };
    EXPECT_TRUE(macros.ProcessMacroKeyDown(kCtrlF1, fnRun));
    EXPECT_EQ(ran, (std::vector<int> { 2007, 4001, 2007 }));
    ran.clear();
    // An empty macro takes the key and does nothing; other modifiers miss.
    EXPECT_TRUE(macros.ProcessMacroKeyDown(kKeyShift | 0x70, fnRun));
    EXPECT_FALSE(macros.ProcessMacroKeyDown(kKeyCtrl | kKeyShift | 0x70, fnRun));
    EXPECT_TRUE(ran.empty());
}
