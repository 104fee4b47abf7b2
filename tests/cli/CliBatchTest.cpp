#include "SoxPeer.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;

TEST(CliBatch, ScriptOverFilesOfDifferentRatesAndFormatsMeasuredBySox)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    struct Input {
        const char* szName;
        const char* szRate;
        const char* szChannels;
        double dSeconds;
    };
    const std::vector<Input> inputs = { { "a.wav", "44100", "2", 1.0 },
        { "b.wav", "22050", "1", 2.0 }, { "c.au", "8000", "1", 1.5 } };
    for (const Input& in : inputs)
        ASSERT_NE(Sox::Synth(dir, in.szName, in.szRate, in.szChannels,
                      { std::to_string(in.dSeconds), "sine", "440", "vol", "0.25" }),
            "");
    // The file layout itself is the batch script tests'; show reads it back.
    std::string strLog;
    ASSERT_EQ(Cli(dir,
                  { "script", "make", dir.File("s.ovb"), "Amplify AmplifyGain=200",
                      "Insert Silence At The End SilenceTimes=500",
                      "convert sample rate SampleRate=16000" },
                  &strLog),
        0)
        << strLog;
    ASSERT_EQ(Cli(dir, { "script", "show", dir.File("s.ovb") }, &strLog), 0);
    EXPECT_EQ(strLog,
        "1. Amplify: Amplify Gain (%) = 200\n2. Insert Silence At The End: Silence Time (ms) = "
        "500\n3. Convert Sample Rate: Convert Sample Rate = 16000\n");

    std::vector<std::string> args = { "batch", dir.File("s.ovb"), "--out", dir.File("out"),
        "--format", "wav", "--keep-going" };
    for (const Input& in : inputs)
        args.push_back(dir.File(in.szName));
    args.insert(args.begin() + 4, dir.File("broken.wav")); // an unreadable input among them
    WriteAll(dir.File("broken.wav"), std::vector<uint8_t>(64, 'x'));
    EXPECT_EQ(Cli(dir, args, &strLog), 2);
    EXPECT_NE(strLog.find("FAILED " + dir.File("broken.wav") + ": "), std::string::npos) << strLog;
    EXPECT_NE(strLog.find(std::to_string(inputs.size()) + " done, 1 failed, 0 not processed"),
        std::string::npos)
        << strLog;
    for (const Input& in : inputs) {
        const std::string strOut = dir.File("out/" + std::string(in.szName).substr(0, 1) + ".wav");
        EXPECT_NE(strLog.find("ok " + dir.File(in.szName) + " -> " + strOut), std::string::npos);
        EXPECT_EQ(Sox::Info("-r", strOut), "16000\n") << in.szName;
        EXPECT_EQ(Sox::Info("-c", strOut), std::string(in.szChannels) + "\n") << in.szName;
        EXPECT_NEAR(Sox::Stat(strOut, "Length (seconds)"), in.dSeconds + 0.5, 0.002) << in.szName;
        EXPECT_NEAR(Sox::Stat(strOut, "Maximum amplitude"), 0.5, 0.01) << in.szName;
    }

    // Normalize with the values stored by the editor: a step without data.
    ASSERT_EQ(Cli(dir, { "script", "make", dir.File("n.ovb"), "Normalize" }), 0);
    std::string strIni = "[StoredValues]\nNormalizePeakLevel=80\n";
    WriteAll(dir.File("Orvenna.ini"), std::vector<uint8_t>(strIni.begin(), strIni.end()));
    ASSERT_EQ(Cli(dir, { "batch", dir.File("n.ovb"), dir.File("b.wav") }, &strLog), 0) << strLog;
    EXPECT_NEAR(Sox::Stat(dir.File("b.wav"), "Maximum amplitude"), 0.8, 0.01);
}

TEST(CliBatch, RawInputsReadWithThePropertiesGivenOnce)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    for (const char* szName : { "a.raw", "b.raw" })
        ASSERT_EQ(
            TestSupport::Run({ "sox", "-n", "-r", "11025", "-c", "2", "-b", "16", "-e", "signed",
                "-L", dir.File(szName), "synth", "1", "sine", "440", "vol", "0.5" }),
            0);
    ASSERT_EQ(Cli(dir, { "script", "make", dir.File("s.ovb"), "Amplify AmplifyGain=50" }), 0);
    std::string strLog;
    EXPECT_EQ(
        Cli(dir, { "batch", dir.File("s.ovb"), "--raw-rate", "100", dir.File("a.raw") }, &strLog),
        2);
    EXPECT_NE(strLog.find("bad value for --raw-rate: \"100\""), std::string::npos) << strLog;
    // 16-bit PCM (LE), 11025 Hz, stereo: none of them the stored defaults.
    ASSERT_EQ(Cli(dir,
                  { "batch", dir.File("s.ovb"), "--raw-format", "3", "--raw-rate", "11025",
                      "--raw-channels", "2", "--format", "wav", "--out", dir.File("out"),
                      dir.File("a.raw"), dir.File("b.raw") },
                  &strLog),
        0)
        << strLog;
    for (const char* szName : { "out/a.wav", "out/b.wav" }) {
        EXPECT_EQ(Sox::Info("-r", dir.File(szName)), "11025\n") << szName;
        EXPECT_EQ(Sox::Info("-c", dir.File(szName)), "2\n") << szName;
        EXPECT_NEAR(Sox::Stat(dir.File(szName), "Maximum amplitude"), 0.25, 0.01) << szName;
    }
}
