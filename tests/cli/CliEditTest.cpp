#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace TestSupport;

namespace {
// "Length (seconds)", "Maximum amplitude" ... of a file, from sox.
double Stat(const std::string& strPath, const std::string& strKey)
{
    std::string strOut;
    TestSupport::Run({ "sox", strPath, "-n", "stat" }, &strOut);
    size_t at = strOut.find(strKey);
    return at == std::string::npos ? -1 : std::stod(strOut.substr(strOut.find(':', at) + 1));
}

std::string MakeTone(const TempDir& dir, const std::string& strName, const char* szSeconds = "5")
{
    std::string strPath = dir.File(strName);
    EXPECT_EQ(TestSupport::Run({ "sox", "-n", "-r", "44100", "-c", "2", "-b", "16", strPath,
                  "synth", szSeconds, "sine", "440", "vol", "0.5" }),
        0);
    return strPath;
}
} // namespace

TEST(CliEdit, ScriptOfCommandsWithDialogAnswers)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::string strIn = MakeTone(dir, "in.wav"), strOut = dir.File("out.wav");
    std::string strLog;
    ASSERT_EQ(Cli(dir,
                  { "edit", strIn, "-o", strOut, "select", "1000", "2000", "Cut", "Select All",
                      "amplify amplifygain=150", "Insert Silence At The End SilenceTimes=1500" },
                  &strLog),
        0)
        << strLog;
    EXPECT_NEAR(Stat(strOut, "Length (seconds)"), 4.0 + 1.5, 1e-4);
    EXPECT_NEAR(Stat(strOut, "Maximum amplitude"), 0.75, 0.002);
    EXPECT_NEAR(Stat(strIn, "Length (seconds)"), 5.0, 1e-4) << "the input is left alone with -o";

    // The answer is stored: Amplify without values uses 150 again. Undo
    // takes back the last command only.
    std::string strAgain = dir.File("again.wav");
    ASSERT_EQ(
        Cli(dir, { "edit", strIn, "-o", strAgain, "Select All", "Amplify", "Reverse", "Undo" }), 0);
    EXPECT_NEAR(Stat(strAgain, "Maximum amplitude"), 0.75, 0.002);
    std::string strA, strB;
    TestSupport::Run({ "sox", strAgain, "-t", "raw", "-" }, &strA);
    TestSupport::Run({ "sox", "-D", "-v", "1.5", strIn, "-t", "raw", "-" }, &strB);
    ASSERT_EQ(strA.size(), strB.size());
    int iWorst = 0;
    for (size_t i = 0; i + 1 < strA.size(); i += 2) {
        int a = int16_t(uint8_t(strA[i]) | uint8_t(strA[i + 1]) << 8);
        int b = int16_t(uint8_t(strB[i]) | uint8_t(strB[i + 1]) << 8);
        iWorst = std::max(iWorst, std::abs(a - b));
    }
    EXPECT_LE(iWorst, 1) << "the same gain as sox -v 1.5";
}

TEST(CliEdit, MistakesNameTheirPartAndWriteNothing)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::string strIn = MakeTone(dir, "in.wav", "1");
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
             Case { { "Select All", "Echo EchoTime=5000" }, "between 10 and 3000ms" } }) {
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
    EXPECT_GT(Stat(dir.File("s.wav"), "Maximum amplitude"), 0.99) << "loud enough to be limited";
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
    std::string strIn = MakeTone(dir, "in.wav", "3");
    ASSERT_EQ(Cli(dir, { "edit", strIn, "select 0:00:01.000 0:00:02.5", "Delete" }), 0);
    EXPECT_NEAR(Stat(strIn, "Length (seconds)"), 1.5, 1e-4);
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

TEST(CliEdit, DynamicsByNameWithTheirValues)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    struct Case {
        const char* szVolume; // of a 440 Hz tone from sox
        const char* szCommand;
        double dRmsFrom, dRmsTo; // after
    };
    // -20 dB at 2:1 on a tone 6 dB above the compressor's 0 dB: 3 dB down.
    // A tone at -60 dBFS stays below every gate. The gain control raises a
    // faint tone towards its standard level.
    const Case cases[] = {
        { "0.5", "Dynamic Range Compressor CompressorThreshold=-20 CompressorRatio=2", 0.248,
            0.252 },
        { "0.001", "Noise Reduction NoiseGateLevel=-30", 0, 0.0001 },
        { "0.05", "Automatic Gain Control", 0.1, 0.7 },
    };
    for (const Case& c : cases) {
        const std::string strIn = dir.File("in.wav"), strOut = dir.File("out.wav");
        ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "44100", "-c", "2", "-b", "16", strIn,
                      "synth", "5", "sine", "440", "vol", c.szVolume }),
            0);
        std::string strLog;
        ASSERT_EQ(Cli(dir, { "edit", strIn, "-o", strOut, "Select All", c.szCommand }, &strLog), 0)
            << strLog;
        EXPECT_NEAR(Stat(strOut, "Length (seconds)"), 5.0, 1e-4) << c.szCommand;
        const double dRms = Stat(strOut, "RMS     amplitude");
        EXPECT_GE(dRms, c.dRmsFrom) << c.szCommand;
        EXPECT_LE(dRms, c.dRmsTo) << c.szCommand;
    }
}

TEST(CliEdit, EchoOfAnImpulseHalvesAtEachDelay)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::vector<uint8_t> raw(16000, 0); // 8000 frames, mono 16-bit
    raw[0] = uint8_t(16000 & 0xFF);
    raw[1] = uint8_t(16000 >> 8);
    const std::string strRaw = dir.File("imp.raw"), strIn = dir.File("imp.wav"),
                      strOut = dir.File("echo.wav");
    ASSERT_TRUE(WriteAll(strRaw, raw));
    ASSERT_EQ(TestSupport::Run({ "sox", "-t", "raw", "-r", "8000", "-e", "signed", "-b", "16", "-c",
                  "1", strRaw, strIn }),
        0);
    std::string strLog;
    ASSERT_EQ(
        Cli(dir, { "edit", strIn, "-o", strOut, "Select All", "Echo EchoTime=100 EchoGain=50" },
            &strLog),
        0)
        << strLog;
    std::string strPcm;
    TestSupport::Run({ "sox", strOut, "-t", "raw", "-" }, &strPcm);
    ASSERT_EQ(strPcm.size(), raw.size());
    for (size_t i = 0; i + 1 < strPcm.size(); i += 2) {
        const size_t f = i / 2;
        const int iExpect = f % 800 == 0 ? 16000 >> (f / 800) : 0;
        const int iGot = int16_t(uint8_t(strPcm[i]) | uint8_t(strPcm[i + 1]) << 8);
        // Exact while the echoes are whole 16-bit values (16000 / 2^7 = 125).
        ASSERT_NEAR(iGot, iExpect, f < 6400 ? 0 : 1) << f;
    }
}

TEST(CliEdit, CurvesFromPointsOrFileAndTheSpectrum)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::string strIn = MakeTone(dir, "in.wav", "1"), strFlat = dir.File("flat.wav"),
                      strQuiet = dir.File("quiet.wav"), strCurve = dir.File("silent.dat");
    std::string strLog;
    ASSERT_EQ(Cli(dir,
                  { "edit", strIn, "-o", strFlat, "Select All",
                      "Equalizer points=0:128,100:128,255:128" },
                  &strLog),
        0)
        << strLog;
    std::string strA, strB;
    TestSupport::Run({ "sox", strIn, "-t", "raw", "-" }, &strA);
    TestSupport::Run({ "sox", strFlat, "-t", "raw", "-" }, &strB);
    EXPECT_TRUE(strA == strB) << "a flat equalizer leaves every sample as it was";
    ASSERT_TRUE(WriteAll(strCurve, { 2, 0, 0, 255, 0 }));
    ASSERT_EQ(
        Cli(dir, { "edit", strIn, "-o", strQuiet, "Select All", "Envelope file=" + strCurve }), 0);
    EXPECT_EQ(Stat(strQuiet, "Maximum amplitude"), 0);
    EXPECT_EQ(Cli(dir, { "edit", strIn, "Select All", "Envelope points=0:0,300:1" }, &strLog), 2);
    EXPECT_NE(strLog.find("is not a curve"), std::string::npos) << strLog;

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
