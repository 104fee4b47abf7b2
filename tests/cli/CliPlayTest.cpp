#include "SoxPeer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;

TEST(CliPlay, PlaysTheSelectionThroughTheNullDevice)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    setenv("ORVENNA_CONFIG_DIR", dir.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    const std::string strCapture = dir.File("played.wav"),
                      strIn = Sox::Synth(dir, "in.wav", "22050", "2",
                          { "1", "sine", "300", "sine", "500", "vol", "0.4" });
    setenv("ORVENNA_NULL_DEVICE_CAPTURE", strCapture.c_str(), 1);
    std::string strOut;
    int iResult = TestSupport::Run(
        { ORVENNA_CLI_PATH, "play", strIn, "--selection", "100", "0:00:00.600" }, &strOut);
    unsetenv("ORVENNA_NULL_DEVICE_CAPTURE");
    ASSERT_EQ(iResult, 0) << strOut;
    // The capture holds exactly frames 2205..13229 of the input.
    std::string strWant, strGot = Sox::Raw(strCapture);
    TestSupport::Run({ "sox", strIn, "-t", "raw", "-", "trim", "2205s", "11025s" }, &strWant);
    EXPECT_EQ(strGot.size(), 11025u * 4);
    EXPECT_TRUE(strGot == strWant) << "sample for sample";

    EXPECT_EQ(TestSupport::Run({ ORVENNA_CLI_PATH, "play", strIn, "--device", "99" }, &strOut), 2);
    EXPECT_NE(strOut.find("no output device 99"), std::string::npos) << strOut;
}
