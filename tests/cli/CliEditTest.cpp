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
             Case { { "Select All", "Echo EchoTime=5000" }, "between 10 and 3000ms" },
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

TEST(CliEdit, WithoutOutputTheInputIsReplacedSafely)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::string strIn = Sox::Tone(dir, "in.wav", "3");
    ASSERT_EQ(Cli(dir, { "edit", strIn, "select 0:00:01.000 0:00:02.5", "Delete" }), 0);
    EXPECT_NEAR(Sox::Stat(strIn, "Length (seconds)"), 1.5, 1e-4);
    // A script that changes nothing writes nothing.
    auto tBefore = std::filesystem::last_write_time(strIn);
    ASSERT_EQ(Cli(dir, { "edit", strIn, "select 0 100" }), 0);
    EXPECT_EQ(std::filesystem::last_write_time(strIn), tBefore);
}

TEST(CliEdit, EffectsListsEveryEffectWithItsKeysRangesAndDefaults)
{
    TempDir dir;
    std::string strOut;
    ASSERT_EQ(Cli(dir, { "effects" }, &strOut), 0);
    for (const char* sz : { "Amplify\n", "AmplifyGain", "..400", "Reverse\n", "SampleRate",
             "6000..96000", "SilenceTimes", "0..", "LongerSelection", "2 = Fade out mix", "Pan",
             "Echo\n", "EchoGain", "0..99", "ReverbTime", "50..1000", "High-Pass Filter\n",
             "LowCutFreq", "Dynamic Range Compressor\n", "CompressorRatio", "6 = Limit",
             "NoiseGateLevel", "-40..12", "Automatic Gain Control\n" })
        EXPECT_NE(strOut.find(sz), std::string::npos) << sz << " in\n" << strOut;
    EXPECT_EQ(Cli(dir, { "effects", "extra" }), 2);
}

// The effect's name, its NAME=value answers and its curve reach the effect:
// one level sox measures shows it. The exact samples are the effects tests'.
TEST(CliEdit, EffectsByNameWithTheirValues)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::string strCurve = dir.File("silent.dat");
    ASSERT_TRUE(WriteAll(strCurve, { 2, 0, 0, 255, 0 }));
    struct Case {
        std::vector<std::string> synth; // of a 44.1 kHz stereo file from sox
        std::string strCommand;
        const char* szStat;
        std::vector<std::string> window; // sox effects before the measure
        double dFrom, dTo;
    };
    // -20 dB at 2:1 on a tone 6 dB above the compressor's 0 dB: 3 dB down.
    // A tone at -60 dBFS stays below every gate. The gain control raises a
    // faint tone towards its standard level. A 50 ms burst echoes a quarter
    // as loud 100 ms later. 64 on the curve is half of unity (128).
    const Case cases[] = {
        { { "5", "sine", "440", "vol", "0.5" },
            "Dynamic Range Compressor CompressorThreshold=-20 CompressorRatio=2",
            "RMS     amplitude", {}, 0.248, 0.252 },
        { { "5", "sine", "440", "vol", "0.001" }, "Noise Reduction NoiseGateLevel=-30",
            "RMS     amplitude", {}, 0, 0.0001 },
        { { "5", "sine", "440", "vol", "0.05" }, "Automatic Gain Control", "RMS     amplitude", {},
            0.1, 0.7 },
        { { "0.05", "sine", "440", "vol", "0.5", "pad", "0", "0.95" },
            "Echo EchoTime=100 EchoGain=25", "Maximum amplitude", { "trim", "0.1", "0.05" }, 0.12,
            0.13 },
        { { "1", "sine", "440", "vol", "0.5" }, "Equalizer points=0:64,255:64", "Maximum amplitude",
            {}, 0.24, 0.26 },
        { { "1", "sine", "440", "vol", "0.5" }, "Envelope file=" + strCurve, "Maximum amplitude",
            {}, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strCommand);
        const std::string strIn = Sox::Synth(dir, "in.wav", "44100", "2", c.synth),
                          strOut = dir.File("out.wav");
        std::string strLog;
        ASSERT_EQ(Cli(dir, { "edit", strIn, "-o", strOut, "Select All", c.strCommand }, &strLog), 0)
            << strLog;
        EXPECT_EQ(Sox::Stat(strOut, "Length (seconds)"), Sox::Stat(strIn, "Length (seconds)"));
        const double d = Sox::Stat(strOut, c.szStat, c.window);
        EXPECT_GE(d, c.dFrom);
        EXPECT_LE(d, c.dTo);
    }
}

TEST(CliEdit, SpectrumLinesAndPeak)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::string strIn = Sox::Tone(dir, "in.wav", "1");
    // The 440 Hz tone at half scale: 2048 lines, the loudest at bin 41.
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
    // 0 dB is a bin of 92682 after the 1/N scaling: a sine of 2 x 92682,
    // about 0.354 of full scale; the half-scale tone lies 3 dB above.
    EXPECT_NEAR(iPeakDb, 3, 1);
    strOut.clear();
    ASSERT_EQ(Cli(dir, { "spectrum", strIn, "--four-times" }, &strOut), 0);
    EXPECT_EQ(std::count(strOut.begin(), strOut.end(), '\n'), 512);
}
