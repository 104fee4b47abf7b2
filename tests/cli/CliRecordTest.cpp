#include "SoxPeer.h"
#include "support/CliRun.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace TestSupport;

// Through the null input reading a file: the take is as long as asked, keeps
// the tone's strength, counts no dropouts, and leaves no working file.
TEST(CliRecord, RecordsTheInputAndTrimsItOnRequest)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::string strIn = dir.File("in.wav"), strData = dir.File("data");
    ASSERT_NE(Sox::Synth(dir, "in.wav", "22050", "1",
                  { "1", "sine", "500", "vol", "0.4", "pad", "0.5", "0.5" }),
        "");
    setenv("ORVENNA_NULL_DEVICE_INPUT", strIn.c_str(), 1);
    const struct {
        const char* szTrim;
        double dMinSeconds, dMaxSeconds;
    } aCases[] = { { "--no-autotrim", 2.0, 2.0 }, { "--autotrim", 1.05, 1.2 } };
    for (const auto& c : aCases) {
        SCOPED_TRACE(c.szTrim);
        std::string strOut, strTake = dir.File(std::string("take") + c.szTrim + ".wav");
        ASSERT_EQ(CliWithData(dir, strData,
                      { "record", strTake, "--device", "null", "--rate", "22050", "--channels", "1",
                          "--seconds", "2", c.szTrim },
                      &strOut),
            0)
            << strOut;
        EXPECT_NE(strOut.find(", 0 dropouts"), std::string::npos) << strOut;
        double dSeconds = Sox::Stat(strTake, "Length (seconds)");
        EXPECT_GE(dSeconds, c.dMinSeconds);
        EXPECT_LE(dSeconds, c.dMaxSeconds);
        EXPECT_NEAR(Sox::Stat(strTake, "Maximum amplitude"), 0.4, 0.01);
    }
    unsetenv("ORVENNA_NULL_DEVICE_INPUT");
    for (const auto& e : std::filesystem::recursive_directory_iterator(strData))
        EXPECT_NE(e.path().extension(), ".aud") << e.path();

    std::string strOut;
    EXPECT_EQ(Cli(dir, { "record", dir.File("x.wav"), "--device", "99" }, &strOut), 2);
    EXPECT_NE(strOut.find("no input device 99"), std::string::npos) << strOut;
}
