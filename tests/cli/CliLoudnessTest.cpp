#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
struct Measured {
    double dIntegrated = NAN, dRange = NAN, dTruePeak = NAN;
};

// The number after strKey in strText, NAN when missing.
double After(const std::string& strText, const std::string& strKey)
{
    const size_t at = strText.find(strKey);
    return at == std::string::npos ? NAN : std::atof(strText.c_str() + at + strKey.size());
}

// ffmpeg's summary of its EBU R128 meter with the true peak.
Measured Ffmpeg(const std::string& strPath)
{
    std::string strOut;
    TestSupport::Run({ "ffmpeg", "-nostats", "-hide_banner", "-i", strPath, "-af",
                         "ebur128=peak=true", "-f", "null", "-" },
        &strOut);
    const std::string strSummary = strOut.substr(std::min(strOut.find("Summary:"), strOut.size()));
    return { After(strSummary, "I:"), After(strSummary, "LRA:"), After(strSummary, "Peak:") };
}

Measured Ours(const TempDir& dir, const std::string& strPath)
{
    std::string strOut;
    EXPECT_EQ(Cli(dir, { "info", strPath }, &strOut), 0) << strOut;
    return { After(strOut, "loudness"), After(strOut, "range"), After(strOut, "truepeak") };
}
} // namespace

TEST(CliLoudness, InfoAgreesWithFfmpeg)
{
    REQUIRE_PEER("ffmpeg");
    REQUIRE_PEER("sox");
    REQUIRE_PEER("espeak-ng");
    TempDir dir;
    const std::string strSpeech = dir.File("speech.wav"), strPink = dir.File("pink.wav"),
                      strQuiet = dir.File("quiet.wav"), strTalk = dir.File("talk.wav");
    ASSERT_EQ(TestSupport::Run({ "espeak-ng", "-w", strSpeech,
                  "Podcasters and anyone delivering audio are asked for a loudness, not a peak. "
                  "Quiet words follow, then louder ones, with pauses between." }),
        0);
    // Speech at 44.1 kHz stereo with a quieter second half; pink noise at 48 kHz.
    ASSERT_EQ(TestSupport::Run({ "sox", strSpeech, strQuiet, "gain", "-12" }), 0);
    ASSERT_EQ(
        TestSupport::Run({ "sox", strSpeech, strQuiet, "-r", "44100", "-c", "2", strTalk }), 0);
    ASSERT_EQ(TestSupport::Run({ "sox", "-R", "-n", "-r", "48000", "-c", "2", "-b", "16", strPink,
                  "synth", "20", "pinknoise", "tremolo", "0.2", "60", "vol", "0.3" }),
        0);
    for (const std::string& strPath : { strSpeech, strTalk, strPink }) {
        SCOPED_TRACE(strPath);
        const Measured ours = Ours(dir, strPath), peer = Ffmpeg(strPath);
        ASSERT_FALSE(std::isnan(peer.dIntegrated)) << "no ffmpeg summary";
        // ffmpeg prints one decimal: its rounding adds up to 0.05.
        EXPECT_NEAR(ours.dIntegrated, peer.dIntegrated, 0.1);
        EXPECT_NEAR(ours.dRange, peer.dRange, 0.15);
        EXPECT_NEAR(ours.dTruePeak, peer.dTruePeak, 0.15);
    }
}

TEST(CliLoudness, NormalizeLoudnessMeasuredByFfmpeg)
{
    REQUIRE_PEER("ffmpeg");
    REQUIRE_PEER("sox");
    TempDir dir;
    // Noise with a steady level; a quiet tone with clicks, whose true peak
    // stops the gain short of the target.
    const std::string strNoise = dir.File("noise.wav"), strTone = dir.File("tone.wav"),
                      strBurst = dir.File("burst.wav"), strClicks = dir.File("clicks.wav");
    const std::vector<std::string> kNew
        = { "sox", "-R", "-n", "-r", "44100", "-c", "2", "-b", "16" };
    auto Make = [&kNew](std::vector<std::string> args) {
        args.insert(args.begin(), kNew.begin(), kNew.end());
        return TestSupport::Run(args);
    };
    ASSERT_EQ(Make({ strNoise, "synth", "10", "pinknoise", "vol", "0.05" }), 0);
    ASSERT_EQ(Make({ strTone, "synth", "10", "sine", "1000", "vol", "0.02" }), 0);
    ASSERT_EQ(
        Make({ strBurst, "synth", "0.02", "sine", "3000", "vol", "0.8", "pad", "5", "5" }), 0);
    ASSERT_EQ(
        TestSupport::Run({ "sox", "-m", "-v", "1", strTone, "-v", "1", strBurst, strClicks }), 0);
    struct Case {
        std::string strIn;
        int iTarget;
        bool bReached;
    } cases[] = { { strNoise, -16, true }, { strNoise, -30, true }, { strClicks, -10, false } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strIn + " to " + std::to_string(c.iTarget));
        const std::string strOut = dir.File("out.wav");
        std::string strLog;
        ASSERT_EQ(Cli(dir,
                      { "edit", c.strIn, "-o", strOut, "Select All",
                          "Normalize Loudness NormalizeLoudness=" + std::to_string(c.iTarget) },
                      &strLog),
            0)
            << strLog;
        const Measured peer = Ffmpeg(strOut);
        EXPECT_LE(peer.dTruePeak, -1.0 + 0.2);
        EXPECT_EQ(strLog.find("was not reached") == std::string::npos, c.bReached) << strLog;
        if (c.bReached)
            EXPECT_NEAR(peer.dIntegrated, c.iTarget, 0.1);
        else
            EXPECT_LT(peer.dIntegrated, c.iTarget - 0.5);
    }
}
