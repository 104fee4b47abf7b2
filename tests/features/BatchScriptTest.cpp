#include "features/LBatchScript.h"
#include "platform/LSettings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {
using Bytes = std::vector<uint8_t>;

// Version 0; Amplify with a gain of 150; Convert Sample Rate with no data.
const Bytes kScript = { 0, 3, 0, 0, 0, 2, 0, 0, 0, 0x96, 0, 16, 0, 0, 0, 0, 0, 0, 0 };

TEST(BatchScript, FileLayoutReadWrittenAndDamagedFilesHandled)
{
    std::vector<CommandDataItem> items;
    std::string strError;
    ASSERT_EQ(ParseBatchScript(kScript, items, strError), 0);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].uCommandId, 3u);
    EXPECT_EQ(items[0].data, Bytes({ 0x96, 0 }));
    EXPECT_EQ(items[1].uCommandId, 16u);
    EXPECT_EQ(items[1].GetDataSize(), 0u);
    EXPECT_EQ(FormatBatchScript(items), kScript);

    struct Case {
        const char* szWhat;
        Bytes bytes;
        int iResult;
        size_t nItems;
    };
    const Case cases[] = {
        { "version 1", { 1, 3, 0, 0, 0, 0, 0, 0, 0 }, 2, 0 },
        { "empty file", {}, 2, 0 },
        { "version byte only", { 0 }, 0, 0 },
        { "record header cut short", { 0, 3, 0, 0, 0, 2, 0, 0, 0, 0x96, 0, 4, 0, 0 }, 0, 1 },
        { "data cut short", { 0, 3, 0, 0, 0, 2, 0, 0, 0, 0x96 }, 0, 0 },
        { "size beyond the file", { 0, 3, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2 }, 0, 0 },
    };
    for (const Case& c : cases) {
        strError.clear();
        EXPECT_EQ(ParseBatchScript(c.bytes, items, strError), c.iResult) << c.szWhat;
        EXPECT_EQ(items.size(), c.nItems) << c.szWhat;
        EXPECT_EQ(strError, c.iResult ? kBatchVersionError : "") << c.szWhat;
    }
}

CommandDataItem Item(uint32_t uId, Bytes data)
{
    return { uId, std::move(data) };
}

TEST(BatchScript, ValuesFromDataOrStoredSettingsAndCheckedBeforeRunning)
{
    LSettings::Get().SetInt("StoredValues", "AmplifyGain", 250);
    LSettings::Get().SetInt("StoredValues", "ConvertSampleRate", 22050);
    struct Case {
        CommandDataItem item;
        const char* szKey;
        int32_t iValue; // when it resolves
        const char* szError; // the start of the refusal, or null
        const char* szDescription;
    };
    const Case cases[] = {
        { Item(3, { 0x96, 0 }), "AmplifyGain", 150, nullptr, "Amplify Gain (%) = 150" },
        { Item(3, { 0x96 }), "AmplifyGain", 250, nullptr, "Amplify Gain (%) = 250" },
        { Item(16, {}), "SampleRate", 22050, nullptr, "Convert Sample Rate = 22050" },
        { Item(16, { 0, 0, 0, 0 }), "", 0, "\"Convert Sample Rate\": Sample rates must be",
            nullptr },
        { Item(17, { 3 }), "", 0, "The channel count must be 1", nullptr },
        { Item(1, { 0xFB, 0xFF, 0xFF, 0xFF }), "", 0,
            "\"Insert Silence At The Start\": SilenceTimes must be between 0",
            "Silence Time (ms) = -5" },
        { Item(99, {}), "", 0, "Unknown command (id 99)", "Unknown command (id 99)" },
        { Item(15, { 0xEC, 2, 3 }), "CompressorRatio", 2, nullptr,
            "Threshold (db) = -20, Ratio = 2:1, Limit (db) = 3" },
        // A ratio index past the list is let through: the compressor ignores it.
        { Item(15, { 0xEC, 9, 3 }), "CompressorRatio", 9, nullptr,
            "Threshold (db) = -20, Ratio = , Limit (db) = 3" },
        { Item(11, { 0xD0 }), "", 0, "\"Noise Reduction\": NoiseGateLevel must be between -40",
            "Noise Gate Level (dB) = -48" },
        { Item(10, {}), "", 0, nullptr, "" },
    };
    for (const Case& c : cases) {
        LBatchStep step;
        std::string strError;
        const bool bOk = LBatchCommands::Resolve(c.item, step, strError);
        if (c.szError) {
            EXPECT_FALSE(bOk) << c.szError;
            EXPECT_NE(strError.find(c.szError), std::string::npos) << strError;
        } else if (*c.szKey) {
            ASSERT_TRUE(bOk) << strError;
            EXPECT_EQ(step.values.Get(c.szKey), c.iValue) << c.szKey;
        }
        if (c.szDescription) {
            EXPECT_EQ(LBatchCommands::Describe(c.item), c.szDescription);
        }
    }
    // Every command of the table runs an effect of this program.
    for (const LBatchCommand& c : LBatchCommands::All()) {
        LBatchStep step;
        std::string strError;
        EXPECT_TRUE(LBatchCommands::Resolve(Item(c.uId, {}), step, strError)) << strError;
        EXPECT_EQ(step.pEffect, LBatchCommands::FindEffect(c)) << c.szName;
    }
}
} // namespace
