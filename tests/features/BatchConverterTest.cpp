#include "features/LBatchConverter.h"
#include "process/LProgressView.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {
using namespace TestSupport;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

// n sox-made stereo files of the given seconds in dir; the bytes of each.
std::vector<Bytes> MakeInputs(const TempDir& dir, int n, int iSeconds)
{
    std::vector<Bytes> inputs;
    for (int i = 0; i < n; ++i) {
        const std::string strPath = dir.File("in" + std::to_string(i) + ".wav");
        EXPECT_EQ(
            Run({ "sox", "-n", "-r", "44100", "-c", "2", "-b", "16", strPath, "synth",
                std::to_string(iSeconds), "sine", std::to_string(300 + 100 * i), "vol", "0.3" }),
            0);
        inputs.push_back(ReadAll(strPath));
    }
    return inputs;
}

OVBatchConverter Batch(const TempDir& dir, int n, int iJobs)
{
    OVBatchConverter data;
    for (int i = 0; i < n; ++i)
        data.files.push_back({ dir.File("in" + std::to_string(i) + ".wav") });
    // Normalize, gain control, noise reduction, compressor, then 22050 Hz.
    data.commands = { { 4, { 50, 0 } }, { 10, {} }, { 11, { 0xE2 } }, { 15, { 0xEC, 2, 3 } },
        { 16, { 0x22, 0x56, 0, 0 } } };
    data.options.bSameFolder = false;
    data.options.strFolder = dir.File("out");
    data.options.iJobs = iJobs;
    fs::create_directories(data.options.strFolder);
    return data;
}

TEST(BatchConverter, OutputsAlikeWhateverTheWorkersAndAFailingFileReported)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    MakeInputs(dir, 4, 1);
    WriteAll(dir.File("in2.wav"), Bytes(100, 'x')); // unreadable, in the middle
    std::vector<Bytes> outputs[2];
    for (int iJobs : { 1, 3 }) {
        OVBatchConverter data = Batch(dir, 4, iJobs);
        data.options.bKeepGoing = true;
        Process<OVBatchConverter> op("Batch Converter", data);
        op.Run();
        EXPECT_EQ(op.GetResult(), 2);
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(
                data.results[i].eState, i == 2 ? LBatchFileResult::Failed : LBatchFileResult::Done);
            outputs[iJobs > 1].push_back(ReadAll(data.results[i].strOutput));
        }
        EXPECT_NE(data.results[2].strReason.find("in2.wav"), std::string::npos);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_TRUE(outputs[0][2].empty()); // no output for the failed file

    // Without going on, one worker stops at the first failure.
    OVBatchConverter data = Batch(dir, 4, 1);
    Process<OVBatchConverter> op("Batch Converter", data);
    op.Run();
    EXPECT_EQ(op.GetResult(), 2);
    EXPECT_EQ(data.results[3].eState, LBatchFileResult::NotProcessed);

    // Two inputs that would write one output refuse the run before any file.
    data = Batch(dir, 2, 1);
    data.files.push_back(data.files[0]);
    Process<OVBatchConverter> dup("Batch Converter", data);
    dup.Run();
    EXPECT_NE(data.strRefusal.find("would both be saved as"), std::string::npos);
    for (const LBatchFileResult& r : data.results)
        EXPECT_EQ(r.eState, LBatchFileResult::NotProcessed);
}

TEST(BatchConverter, CancelKeepsInputsAndLeavesNoPartialOrTemporaryFile)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::vector<Bytes> inputs = MakeInputs(dir, 6, 20);
    OVBatchConverter data = Batch(dir, 6, 2);
    data.options.bSameFolder = true; // results replace the inputs
    LSilentProgressView::SetCancelAfterPumps(3);
    Process<OVBatchConverter> op("Batch Converter", data);
    op.Run();
    LSilentProgressView::SetCancelAfterPumps(0);
    EXPECT_EQ(op.GetResult(), 1);
    size_t nKept = 0;
    for (size_t i = 0; i < inputs.size(); ++i) {
        const LBatchFileResult& r = data.results[i];
        if (r.eState != LBatchFileResult::Done) {
            ++nKept;
            EXPECT_EQ(ReadAll(r.strInput), inputs[i]) << r.strInput;
            continue;
        }
        std::string strOut;
        ASSERT_EQ(TestSupport::Run({ "soxi", "-r", r.strOutput }, &strOut), 0);
        EXPECT_EQ(strOut, "22050\n");
    }
    EXPECT_GT(nKept, 0u);
    size_t nFiles = 0;
    for (const auto& e : fs::directory_iterator(dir.Path()))
        nFiles += e.is_regular_file();
    EXPECT_EQ(nFiles, inputs.size()) << "a temporary file was left";
}

// A script step by the names orvenna-cli script make takes.
CommandDataItem Step(const char* szName, std::vector<std::pair<std::string, int32_t>> values = {})
{
    CommandDataItem item;
    std::string strError;
    const LBatchCommand* p = LBatchCommands::FindByName(szName);
    EXPECT_TRUE(p && LBatchCommands::MakeData(*p, values, item, strError)) << szName << strError;
    return item;
}

TEST(BatchConverter, ChainFromReaderToWriterGivesTheDocumentsBytes)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    // Loud stereo WAV (amplified, it meets the limiter); quiet mono AU at another rate.
    ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "44100", "-c", "2", "-b", "16",
                  dir.File("a.wav"), "synth", "1.3", "sine", "300", "sine", "450", "vol", "0.9" }),
        0);
    ASSERT_EQ(TestSupport::Run({ "sox", "-R", "-n", "-r", "22050", "-c", "1", "-b", "16",
                  dir.File("b.au"), "synth", "0.7", "pinknoise", "vol", "0.2" }),
        0);
    CommandDataItem eq;
    LBatchCommands::MakeCurveData(
        *LBatchCommands::Find(6), PointList::Of({ { 0, 200 }, { 90, 60 }, { 255, 160 } }), eq);
    struct Case {
        const char* szWhat;
        std::vector<CommandDataItem> commands;
        bool bChained; // from the reader on, for both inputs
        int iFormat; // -1 keeps the input's
    };
    const Case cases[] = {
        { "every kind of chained step: gains folded as a cut's, silence both ends, conversions, "
          "filters, speed changes",
            { Step("Amplify", { { "AmplifyGain", 150 } }),
                Step("Insert Silence At The Start", { { "SilenceTimes", 250 } }),
                Step("Convert Sample Rate", { { "SampleRate", 16000 } }),
                Step("Convert Channels (Mono <-> Stereo)", { { "ConvertChannel", 2 } }),
                Step("High-Pass Filter", { { "LowCutFreq", 400 } }), eq,
                Step("Reverb", { { "ReverbTime", 120 }, { "ReverbLevel", 60 } }),
                Step("Amplify", { { "AmplifyGain", 300 } }),
                Step("Simple Speed and Pitch Change", { { "SpSpeedPitch", 125 } }),
                Step("Constant Pitch and Speed Change", { { "ConstPitchSpeed", 80 } }),
                Step("Constant Speed and Pitch Change", { { "ConstSpeedPitch", 110 } }),
                Step("Insert Silence At The End", { { "SilenceTimes", 120 } }) },
            true, 6 },
        { "normalize on a document, then the rest chained from it",
            { Step("Amplify", { { "AmplifyGain", 40 } }),
                Step("Normalize", { { "NormalizePeakLevel", 90 } }),
                Step("Amplify", { { "AmplifyGain", 180 } }),
                Step("Convert Sample Rate", { { "SampleRate", 48000 } }),
                Step("Insert Silence At The End", { { "SilenceTimes", 30 } }) },
            false, -1 },
    };
    for (const Case& c : cases) {
        std::vector<Bytes> outputs[2];
        for (bool bStream : { false, true }) {
            OVBatchConverter data;
            data.files = { { dir.File("a.wav") }, { dir.File("b.au") } };
            data.commands = c.commands;
            data.options.bSameFormat = c.iFormat < 0;
            data.options.iFormat = std::max(c.iFormat, 0);
            data.options.bPcmWav = true;
            data.options.bSameFolder = false;
            data.options.strFolder = dir.File(bStream ? "chain" : "doc");
            data.options.bStream = bStream;
            fs::create_directories(data.options.strFolder);
            Process<OVBatchConverter> op("Batch Converter", data);
            op.Run();
            ASSERT_EQ(op.GetResult(), 0) << c.szWhat << data.strRefusal;
            for (const LBatchFileResult& r : data.results) {
                EXPECT_EQ(r.bChained, bStream && c.bChained) << c.szWhat;
                outputs[bStream].push_back(ReadAll(r.strOutput));
                EXPECT_GT(outputs[bStream].back().size(), 1000u) << c.szWhat;
            }
        }
        EXPECT_TRUE(outputs[0] == outputs[1]) << c.szWhat;
    }
}
} // namespace
