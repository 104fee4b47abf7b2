#include "support/CliRun.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
// A value of sox's stat report, -1 when missing.
double Stat(const std::string& strFile, const std::string& strName)
{
    std::string strOut;
    TestSupport::Run({ "sox", strFile, "-n", "stat" }, &strOut);
    size_t i = strOut.find(strName);
    return i == std::string::npos ? -1 : std::atof(strOut.c_str() + strOut.find(':', i) + 1);
}
} // namespace

// Through the null input reading a file: the take is as long as asked, keeps
// the tone's strength, counts no dropouts, and leaves no working file.
TEST(CliRecord, RecordsTheInputAndTrimsItOnRequest)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::string strIn = dir.File("in.wav"), strData = dir.File("data");
    ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "22050", "-c", "1", "-b", "16", strIn, "synth",
                  "1", "sine", "500", "vol", "0.4", "pad", "0.5", "0.5" }),
        0);
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
        double dSeconds = Stat(strTake, "Length (seconds)");
        EXPECT_GE(dSeconds, c.dMinSeconds);
        EXPECT_LE(dSeconds, c.dMaxSeconds);
        EXPECT_NEAR(Stat(strTake, "Maximum amplitude"), 0.4, 0.01);
    }
    unsetenv("ORVENNA_NULL_DEVICE_INPUT");
    for (const auto& e : std::filesystem::recursive_directory_iterator(strData))
        EXPECT_NE(e.path().extension(), ".aud") << e.path();

    std::string strOut;
    EXPECT_EQ(Cli(dir, { "record", dir.File("x.wav"), "--device", "99" }, &strOut), 2);
    EXPECT_NE(strOut.find("no input device 99"), std::string::npos) << strOut;
}
