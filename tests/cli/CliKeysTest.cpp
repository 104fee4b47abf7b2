#include "SoxPeer.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
constexpr uint32_t kCtrlF1 = 0x20070;

// keys.dat in the Current data folder of a CLI run with its data in dir.
std::string WriteKeys(
    const TempDir& dir, const std::vector<std::pair<uint32_t, std::vector<uint32_t>>>& keys)
{
    std::vector<uint8_t> data { 0 };
    for (const auto& [uKey, ids] : keys) {
        Put32(data, uKey);
        data.push_back(uint8_t(ids.size()));
        for (uint32_t u : ids)
            Put32(data, u);
    }
    std::filesystem::create_directories(dir.File("Orvenna/Current"));
    const std::string strPath = dir.File("Orvenna/Current/keys.dat");
    EXPECT_TRUE(WriteAll(strPath, data));
    return strPath;
}
} // namespace

TEST(CliKeys, ListsMacrosAndRunsOneAsTheCommandsByHand)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    // Select All, Amplify, Convert to Stereo on Ctrl+F1; an unknown id on Shift+Num +.
    WriteKeys(dir, { { kCtrlF1, { 2007, 4001, 1008 } }, { 0x4006B, { 2007, 77 } } });
    std::string strOut;
    ASSERT_EQ(Cli(dir, { "keys" }, &strOut), 0) << strOut;
    EXPECT_EQ(
        strOut, "Ctrl+F1\tSelect All->Amplify->Convert to Stereo\nShift+Num +\tSelect All->\n");

    const std::string strIn
        = Sox::Synth(dir, "in.wav", "8000", "1", { "1", "sine", "300", "vol", "0.3" });
    ASSERT_EQ(Cli(dir,
                  { "edit", strIn, "-o", dir.File("byhand.wav"), "Select All",
                      "Amplify AmplifyGain=200", "Convert to Stereo" }),
        0);
    std::string strLog;
    ASSERT_EQ(
        Cli(dir, { "edit", strIn, "-o", dir.File("bykey.wav"), "key", "ctrl+f1" }, &strLog), 0)
        << strLog;
    const std::vector<uint8_t> byHand = ReadAll(dir.File("byhand.wav"));
    EXPECT_GT(byHand.size(), ReadAll(strIn).size() * 3 / 2) << "stereo now";
    EXPECT_EQ(ReadAll(dir.File("bykey.wav")), byHand);

    // No macro on the key, a key that is no key, a damaged file.
    EXPECT_EQ(Cli(dir, { "edit", strIn, "-o", dir.File("x.wav"), "key Alt+F1" }, &strLog), 2);
    EXPECT_NE(strLog.find("no key macro on Alt+F1"), std::string::npos) << strLog;
    EXPECT_EQ(Cli(dir, { "edit", strIn, "-o", dir.File("x.wav"), "key Ctrl+Banana" }, &strLog), 2);
    WriteAll(dir.File("bad.dat"), { 1, 0, 0 });
    EXPECT_EQ(Cli(dir, { "keys", "--file", dir.File("bad.dat") }, &strLog), 2);
    EXPECT_NE(strLog.find("does not have the same version"), std::string::npos) << strLog;
}
