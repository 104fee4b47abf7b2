#include "SoxPeer.h"
#include "support/CliRun.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace TestSupport;

TEST(CliEdit, ScriptOfCommandsWithDialogAnswers)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::string strIn = Sox::Tone(dir, "in.wav"), strOut = dir.File("out.wav");
    std::string strLog;
    ASSERT_EQ(Cli(dir,
                  { "edit", strIn, "-o", strOut, "select", "1000", "2000", "Cut", "Select All",
                      "amplify amplifygain=150", "Insert Silence At The End SilenceTimes=1500" },
                  &strLog),
        0)
        << strLog;
    EXPECT_NEAR(Sox::Stat(strOut, "Length (seconds)"), 4.0 + 1.5, 1e-4);
    EXPECT_NEAR(Sox::Stat(strOut, "Maximum amplitude"), 0.75, 0.002);
    EXPECT_NEAR(Sox::Stat(strIn, "Length (seconds)"), 5.0, 1e-4)
        << "the input is left alone with -o";

    // The answer is stored: Amplify without values uses 150 again. Undo
    // takes back the last command only.
    const std::string strAgain = dir.File("again.wav"), strOnce = dir.File("once.wav");
    ASSERT_EQ(
        Cli(dir, { "edit", strIn, "-o", strAgain, "Select All", "Amplify", "Reverse", "Undo" }), 0);
    ASSERT_EQ(Cli(dir, { "edit", strIn, "-o", strOnce, "Select All", "Amplify" }), 0);
    EXPECT_NEAR(Sox::Stat(strAgain, "Maximum amplitude"), 0.75, 0.002);
    EXPECT_EQ(ReadAll(strAgain), ReadAll(strOnce));

    // Without -o the input is replaced; a script that changes nothing writes nothing.
    ASSERT_EQ(Cli(dir, { "edit", strIn, "select 0:00:01.000 0:00:02.5", "Delete" }), 0);
    EXPECT_NEAR(Sox::Stat(strIn, "Length (seconds)"), 3.5, 1e-4);
    const auto tBefore = std::filesystem::last_write_time(strIn);
    ASSERT_EQ(Cli(dir, { "edit", strIn, "select 0 100" }), 0);
    EXPECT_EQ(std::filesystem::last_write_time(strIn), tBefore);
}

TEST(CliEdit, MistakesNameTheirPartAndWriteNothing)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::string strIn = Sox::Tone(dir, "in.wav", "1");
    std::vector<uint8_t> before = ReadAll(strIn);
    struct Case {
        std::vector<std::string> script;
        const char* szNamed;
    };
    for (const Case& c : { Case { { "Frobnicate" }, "Frobnicate" },
             Case { { "Select All", "Amplify Gain=3" }, "Gain" },
             Case { { "Select All", "Amplify AmplifyGain=500" }, "less than 400%" },
             Case { { "select", "1000" }, "select needs START END" },
             Case { { "position 1:99" }, "1:99" },
             Case { { "Insert Silence At The End SilenceTimes=x" }, "x" },
             Case { { "Select All", "Envelope points=0:0,300:1" }, "is not a curve" } }) {
        std::vector<std::string> args { "edit", strIn };
        args.insert(args.end(), c.script.begin(), c.script.end());
        std::string strOut;
        EXPECT_EQ(Cli(dir, args, &strOut), 2) << c.script.back();
        EXPECT_NE(strOut.find(c.szNamed), std::string::npos) << strOut;
        EXPECT_EQ(ReadAll(strIn), before) << c.script.back();
    }
    int iFiles = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path()))
        iFiles += e.path().extension() == ".wav"
            || e.path().string().find(".part-") != std::string::npos;
    EXPECT_EQ(iFiles, 1);
}

// Select All and effects that only render a source go from the file straight
// to the output; a position step first keeps the script on the document.
// Both give the same bytes, refuse the same values with the same words, and
// the straight run needs no audio working folder (here one that cannot be
// made). A loud stereo input, so that the limiter works on the way out.
TEST(CliEdit, WholeFileEffectsStreamToTheDocumentsBytes)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::string strIn = dir.File("in.wav"), strBlocked = dir.File("blocked");
    ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "44100", "-c", "2", "-b", "16", strIn, "synth",
                  "2", "sine", "440", "sine", "660", "vol", "0.9" }),
        0);
    ASSERT_TRUE(WriteAll(strBlocked, { 0 }));
    const std::vector<std::vector<std::string>> scripts = {
        { "Echo EchoTime=250 EchoGain=50" },
        { "Reverb ReverbLevel=100 ReverbTime=50" },
        { "High-Pass Filter LowCutFreq=250" },
        { "Equalizer points=0:200,30:60,100:150,180:90,255:128" },
        { "High-Pass Filter LowCutFreq=1000", "Echo EchoTime=100 EchoGain=90" },
        { "Echo EchoTime=5000" },
    };
    for (const auto& script : scripts) {
        std::vector<std::string> streamed { "edit", strIn, "-o", dir.File("s.wav"), "Select All" };
        std::vector<std::string> document { "edit", strIn, "-o", dir.File("d.wav"), "position 0",
            "Select All" };
        streamed.insert(streamed.end(), script.begin(), script.end());
        document.insert(document.end(), script.begin(), script.end());
        std::string strStreamed, strDocument;
        const int iExit = CliWithData(dir, strBlocked, streamed, &strStreamed);
        EXPECT_EQ(iExit, Cli(dir, document, &strDocument)) << script.back();
        EXPECT_EQ(strStreamed, strDocument) << script.back();
        if (iExit == 0) {
            EXPECT_EQ(ReadAll(dir.File("s.wav")), ReadAll(dir.File("d.wav"))) << script.back();
        }
    }
    EXPECT_GT(Sox::Stat(dir.File("s.wav"), "Maximum amplitude"), 0.99)
        << "loud enough to be limited";
    EXPECT_EQ(CliWithData(dir, strBlocked,
                  { "edit", strIn, "-o", dir.File("d.wav"), "position 0", "Select All", "Echo" }),
        2)
        << "a document needs the working folder";
    // Without -o the input is replaced, as Save replaces it.
    const std::string strA = dir.File("a.wav"), strB = dir.File("b.wav");
    std::filesystem::copy_file(strIn, strA);
    std::filesystem::copy_file(strIn, strB);
    EXPECT_EQ(CliWithData(dir, strBlocked, { "edit", strA, "Select All", "Reverb" }), 0);
    EXPECT_EQ(Cli(dir, { "edit", strB, "position 0", "Select All", "Reverb" }), 0);
    EXPECT_EQ(ReadAll(strA), ReadAll(strB));
    EXPECT_NE(ReadAll(strA), ReadAll(strIn));
    // The straight run stores its answers as the dialogs do.
    ASSERT_EQ(Cli(dir,
                  { "edit", strIn, "-o", dir.File("s.wav"), "Select All",
                      "Echo EchoTime=120 EchoGain=40" }),
        0);
    ASSERT_EQ(
        Cli(dir, { "edit", strIn, "-o", dir.File("d.wav"), "position 0", "Select All", "Echo" }),
        0);
    EXPECT_EQ(ReadAll(dir.File("s.wav")), ReadAll(dir.File("d.wav")));
}

TEST(CliEdit, EffectsListsEveryEffectWithItsKeysRangesAndDefaults)
{
    TempDir dir;
    std::string strOut;
    ASSERT_EQ(Cli(dir, { "effects" }, &strOut), 0);
    // The rows themselves are the effect table's tests; here the listing's form.
    for (const char* sz : { "Amplify\n", "AmplifyGain", "..400", "Reverse\n", "6000..96000",
             "2 = Fade out mix", "Automatic Gain Control\n", "-40..12" })
        EXPECT_NE(strOut.find(sz), std::string::npos) << sz << " in\n" << strOut;
    EXPECT_EQ(Cli(dir, { "effects", "extra" }), 2);
}

// The effect's name, its NAME=value answers and its curve file reach the
// effect: one level sox measures shows it. The exact samples are the effects
// tests'.
TEST(CliEdit, EffectsByNameWithTheirValues)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::string strCurve = dir.File("silent.dat"), strOut = dir.File("out.wav");
    ASSERT_TRUE(WriteAll(strCurve, { 2, 0, 0, 255, 0 }));
    // A 50 ms burst echoes a quarter as loud 100 ms later; the curve silences all.
    const std::string strBurst = Sox::Synth(dir, "burst.wav", "44100", "2",
        { "0.05", "sine", "440", "vol", "0.5", "pad", "0", "0.95" });
    ASSERT_EQ(
        Cli(dir, { "edit", strBurst, "-o", strOut, "Select All", "Echo EchoTime=100 EchoGain=25" }),
        0);
    EXPECT_NEAR(Sox::Stat(strOut, "Maximum amplitude", { "trim", "0.1", "0.05" }), 0.125, 0.005);
    EXPECT_EQ(Sox::Stat(strOut, "Length (seconds)"), Sox::Stat(strBurst, "Length (seconds)"));
    ASSERT_EQ(
        Cli(dir, { "edit", strBurst, "-o", strOut, "Select All", "Envelope file=" + strCurve }), 0);
    EXPECT_EQ(Sox::Stat(strOut, "Maximum amplitude"), 0);
}

TEST(CliEdit, SpectrumLinesAndPeak)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::string strIn = Sox::Tone(dir, "in.wav", "1");
    std::string strOut;
    ASSERT_EQ(Cli(dir, { "spectrum", strIn, "--at", "100" }, &strOut), 0);
    std::istringstream lines(strOut);
    int iHz = 0, iDb = 0, iLines = 0, iPeakHz = 0, iPeakDb = -128;
    while (lines >> iHz >> iDb) {
        ++iLines;
        if (iDb > iPeakDb)
            iPeakDb = iDb, iPeakHz = iHz;
    }
    EXPECT_EQ(iLines, 2048);
    EXPECT_EQ(iPeakHz, 441);
    EXPECT_NEAR(iPeakDb, 3, 1) << "the dB scale is the spectrum tests'";
    strOut.clear();
    ASSERT_EQ(Cli(dir, { "spectrum", strIn, "--four-times" }, &strOut), 0);
    EXPECT_EQ(std::count(strOut.begin(), strOut.end(), '\n'), 512);
}
