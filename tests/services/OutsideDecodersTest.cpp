#include "edit/LSRCCutListAudio.h"
#include "engine/LDecodedSource.h"
#include "engine/OVLoadFile.h"
#include "platform/LFile.h"
#include "services/LOutsideDecoders.h"
#include "services/ServicesTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
struct Loaded {
    int iResult = -1;
    LCutListAudio list;
    std::string strError;
};

// Loads as the editor opens a file.
void Load(const std::string& strPath, Loaded& out)
{
    RegisterOutsideFormats();
    LSilentProgressView::LastError().clear();
    OVLoadFile load { strPath, &out.list, false, nullptr };
    Process<OVLoadFile> run("Loading Audio File Source", load);
    run.Run();
    out.iResult = run.GetResult();
    out.strError = LSilentProgressView::LastError();
}

std::vector<int32_t> Samples(const LCutListAudio& list)
{
    LSRCCutListAudio src(list);
    return ReadFrames(src, list.GetTotalLength());
}

// A 16-bit WAV of the deterministic signal.
std::string SignalWav(const TempDir& dir, const std::string& strName, int32_t iRate, int iCh)
{
    std::vector<int16_t> pcm = MakeSignal(iRate / 2, iCh, iRate);
    SinkHandle h = LWaveFile::OpenSinkPCM(dir.File(strName), iRate, iCh, 16, 0);
    std::vector<int32_t> v(pcm.begin(), pcm.end());
    for (int32_t& s : v)
        s *= 16;
    h->Write(v.data(), int32_t(pcm.size() / size_t(iCh)));
    return dir.File(strName);
}

void SetConverter(const char* szComponent, const std::string& strPath)
{
    LSettings::Get().SetString(std::string("Components\\") + szComponent, "Path", strPath);
}

const char* const kWmaMissing = "The wma decoder component has not yet been installed on this "
                                "computer. You can download the component (wmacmp) free from ";
const char* const kDssMissing = "The dss decoder component has not yet been installed on the "
                                "computer. You can download and install the dss decoder "
                                "component (dsscmp) free from ";
const char* const kRealMissing = "Unable to load Real Audio Core DLL.\n\nThis software required "
                                 "that the Real Audio Player be installed";
const char* const kDssRefused = "Unable to open DSS file.\nThis means the file might not be a "
                                "true DSS file or the file is corrupt.";
const char* const kRealRefused = "Unable to open file with Real Player.\n\nThis might mean you "
                                 "do not have the codec installed.";
} // namespace

// Files ffmpeg writes load with the samples ffmpeg decodes from them, through
// our helper found on PATH; the temporary WAV is gone afterwards.
TEST(OutsideDecoders, FilesFfmpegWritesLoadWithItsSamples)
{
    REQUIRE_PEER("ffmpeg");
    TempDir dir;
    ScopedPath path(std::string(ORVENNA_TOOLS_DIR) + ":" + getenv("PATH"));
    struct Case {
        const char* szName;
        int32_t iRate;
        int iChannels;
        std::vector<std::string> encode;
    } aCases[] = {
        { "in put.wma", 44100, 2, { "-c:a", "wmav2", "-b:a", "128k" } },
        { "-voice.rm", 8000, 1, { "-c:a", "real_144" } },
        { "Voice.RA", 8000, 1, { "-c:a", "real_144", "-f", "rm" } },
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.szName);
        for (const char* sz : { "wmacmp", "racmp" })
            SetConverter(sz, "");
        std::string strIn = dir.File(c.szName);
        std::vector<std::string> args = { "ffmpeg", "-y", "-loglevel", "error", "-i",
            SignalWav(dir, "s.wav", c.iRate, c.iChannels) };
        args.insert(args.end(), c.encode.begin(), c.encode.end());
        args.push_back("file:" + strIn);
        ASSERT_EQ(TestSupport::Run(args), 0);
        ASSERT_EQ(TestSupport::Run({ "ffmpeg", "-y", "-loglevel", "error", "-i", "file:" + strIn, "-f", "s16le",
                      "-c:a", "pcm_s16le", dir.File("ref.raw") }),
            0);
        std::vector<uint8_t> ref = ReadAll(dir.File("ref.raw"));

        Loaded l;
        Load(strIn, l);
        ASSERT_EQ(l.iResult, 0) << l.strError;
        EXPECT_EQ(l.list.GetSampleRate(), c.iRate);
        EXPECT_EQ(l.list.GetChannels(), c.iChannels);
        std::vector<int32_t> got = Samples(l.list);
        ASSERT_EQ(got.size() * 2, ref.size());
        size_t uDiffer = 0;
        for (size_t i = 0; i < got.size(); ++i)
            uDiffer += got[i] != int16_t(ref[2 * i] | ref[2 * i + 1] << 8) * 16;
        EXPECT_EQ(uDiffer, 0u);
        EXPECT_FALSE(LFile::Exists(DecodedWavPath(strIn)));
    }
}

// The converter under Path is run as CONVERTER INPUT WAV, the input made
// absolute; what it writes is loaded and then deleted. A WAV left from an
// earlier run is never taken for its output.
TEST(OutsideDecoders, TheConverterGetsTheInputAndTheWavAndItsOutputGoes)
{
    TempDir dir;
    const std::string strWav = MakeRampWav(dir, "made.wav", 22050, 2, 3000, 5);
    const std::string strLog = dir.File("args.txt");
    for (bool bWrites : { true, false }) {
        SCOPED_TRACE(bWrites);
        std::string strConverter = FakeProgram(dir, "my converter",
            "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + strLog + "'\n"
                + (bWrites ? "cp '" + strWav + "' \"$2\"" : "true"));
        SetConverter("dsscmp", strConverter);
        const std::string strIn = dir.File("-a $(b);c.DSS");
        std::ofstream(strIn) << "not audio";
        const std::string strTemp = DecodedWavPath(strIn);
        EXPECT_EQ(LFile::GetFileName(strTemp), "-a $(b);c.wav");
        // An earlier run's WAV in the temporary's place.
        std::filesystem::copy_file(
            strWav, strTemp, std::filesystem::copy_options::overwrite_existing);

        Loaded l;
        Load(strIn, l);
        EXPECT_EQ(Lines(strLog), (std::vector<std::string> { strIn, strTemp }));
        EXPECT_EQ(l.iResult, bWrites ? 0 : 2);
        EXPECT_EQ(l.list.GetTotalLength(), bWrites ? 3000 : 0);
        EXPECT_FALSE(LFile::Exists(strTemp));
        std::filesystem::remove(strLog);
    }
}

// Each way of failing: the result, the text shown, and no WAV left behind.
TEST(OutsideDecoders, FailuresGiveTheirTextsAndLeaveNoFile)
{
    TempDir dir;
    const std::string strLeftover = MakeRampWav(dir, "w.wav", 8000, 1, 100);
    const std::string strPartial = "cp '" + strLeftover + "' \"$2\"; ";
    struct Case {
        const char* szComponent;
        const char* szExt;
        std::string strConverter; // "" = a path that does not exist
        const char* szText; // the start of the text shown; "" none
    } aCases[] = {
        { "wmacmp", ".wma", "", kWmaMissing },
        { "dsscmp", ".dss", "", kDssMissing },
        { "racmp", ".rm", "", kRealMissing },
        // The helper's code when it cannot start ffmpeg is the missing one.
        { "wmacmp", ".wma", strPartial + "exit 127", kWmaMissing },
        { "dsscmp", ".dss", strPartial + "exit 1", kDssRefused },
        // A RealAudio failure is an error, not a cancel.
        { "racmp", ".ram", strPartial + "exit 1", kRealRefused },
        { "wmacmp", ".wma", strPartial + "exit 1", "" },
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(std::string(c.szExt) + " " + c.strConverter);
        SetConverter(c.szComponent,
            c.strConverter.empty() ? dir.File("missing")
                                   : FakeProgram(dir, "conv", c.strConverter));
        const std::string strIn = dir.File(std::string("in") + c.szExt);
        std::ofstream(strIn) << "x";
        Loaded l;
        Load(strIn, l);
        EXPECT_EQ(l.iResult, 2);
        EXPECT_EQ(l.strError.rfind(c.szText, 0), 0u) << l.strError;
        EXPECT_EQ(l.strError.empty(), !*c.szText);
        EXPECT_FALSE(LFile::Exists(DecodedWavPath(strIn)));
    }
}

// An empty DSS file through the real helper is refused, not loaded as an
// empty success.
TEST(OutsideDecoders, AnEmptyDssFileIsRefused)
{
    REQUIRE_PEER("ffmpeg");
    TempDir dir;
    ScopedPath path(std::string(ORVENNA_TOOLS_DIR) + ":" + getenv("PATH"));
    SetConverter("dsscmp", "");
    std::ofstream(dir.File("empty.dss"));
    Loaded l;
    Load(dir.File("empty.dss"), l);
    EXPECT_EQ(l.iResult, 2);
    EXPECT_EQ(l.strError, kDssRefused);
    EXPECT_FALSE(LFile::Exists(DecodedWavPath(dir.File("empty.dss"))));
}

namespace {
// Cancels once the converter below has started what it runs.
std::string strStartedFile;
class CancelWhenStarted : public LSilentProgressView {
public:
    bool Pump() override { return LFile::Exists(strStartedFile); }
};
} // namespace

// Cancel while the converter writes: it is stopped with what it started, its
// half-written WAV deleted, the result 1 and the list unchanged.
TEST(OutsideDecoders, CancelStopsTheConverterAndDeletesItsOutput)
{
    TempDir dir;
    const std::string strHalf = MakeRampWav(dir, "half.wav", 8000, 1, 800);
    strStartedFile = dir.File("child.pid");
    SetConverter("wmacmp",
        FakeProgram(dir, "slow",
            "echo $$ > '" + dir.File("conv.pid") + "'\ncp '" + strHalf
                + "' \"$2\"\nsleep 60 &\necho $! > '" + strStartedFile + "'\nwait"));
    std::ofstream(dir.File("a.wma")) << "x";
    LProgressView::SetFactory(
        []() -> std::unique_ptr<LProgressView> { return std::make_unique<CancelWhenStarted>(); });
    Loaded l;
    Load(dir.File("a.wma"), l);
    LProgressView::SetFactory(nullptr);
    EXPECT_EQ(l.iResult, 1);
    EXPECT_EQ(l.list.GetTotalLength(), 0);
    EXPECT_FALSE(LFile::Exists(DecodedWavPath(dir.File("a.wma"))));
    ASSERT_TRUE(LFile::Exists(strStartedFile));
    EXPECT_FALSE(Running(dir.File("conv.pid")));
    // The orphaned sleep is reaped by init; give it the time that takes.
    EXPECT_TRUE(PumpUntil([&] { return !Running(strStartedFile); }, [] {}));
}
