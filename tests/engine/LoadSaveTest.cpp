#include "audio/LWaveFile.h"
#include "edit/LAudioCutTank.h"
#include "edit/LCutListAudio.h"
#include "edit/LSRCCutListAudio.h"
#include "engine/LFileFormats.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LOVSaveToSink.h"
#include "engine/LWavCodecFile.h"
#include "engine/OVLoadFile.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"
#include "process/LProgressView.h"
#include "support/ScriptedUi.h"

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace TestSupport;

namespace {
int Load(const std::string& strPath, LCutListAudio& list, LFilePrompts* pPrompts = nullptr,
    std::string* pError = nullptr)
{
    OVLoadFile data { strPath, &list, pPrompts != nullptr, pPrompts };
    Process<OVLoadFile> run("Load", data);
    run.Run();
    if (pError)
        *pError = data.strError;
    return run.GetResult();
}

int Save(const LCutListAudio& list, const std::string& strPath, uint32_t uMode,
    LFilePrompts* pPrompts, std::string* pError = nullptr)
{
    LOVSaveToSink data;
    data.pSource = &list;
    data.strPath = strPath;
    data.uPromptMode = uMode;
    data.pPrompts = pPrompts;
    Process<LOVSaveToSink> run("Save", data);
    run.Run();
    if (pError)
        *pError = data.strError;
    return run.GetResult();
}

// A cut list made from a sox-generated file.
LCutListAudio Sox(const TempDir& dir, const std::vector<std::string>& args)
{
    std::string strPath = dir.File("src.wav");
    std::vector<std::string> argv { "sox", "-n" };
    argv.insert(argv.end(), args.begin(), args.end());
    argv.insert(argv.begin() + 2 + 6, strPath); // after -r R -c C -b B
    EXPECT_EQ(TestSupport::Run(argv), 0);
    LCutListAudio list;
    EXPECT_EQ(Load(strPath, list), 0);
    return list;
}

std::string SoxStat(const std::vector<std::string>& input)
{
    std::vector<std::string> argv { "sox" };
    argv.insert(argv.end(), input.begin(), input.end());
    argv.insert(argv.end(), { "-n", "stat" });
    std::string strOut;
    TestSupport::Run(argv, &strOut);
    return strOut;
}

// Files in a folder whose names contain strPart.
int CountNamed(const std::string& strFolder, const std::string& strPart)
{
    int n = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(strFolder, ec), end; !ec && it != end;
         it.increment(ec))
        n += it->path().filename().string().find(strPart) != std::string::npos;
    return n;
}

double StatValue(const std::string& strStat, const std::string& strKey)
{
    size_t at = strStat.find(strKey);
    return at == std::string::npos ? -1 : std::stod(strStat.substr(strStat.find(':', at) + 1));
}
} // namespace

TEST(OVLoadFile, ChoosesTheReaderByExtensionOnly)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    LCutListAudio list
        = Sox(dir, { "-r", "11025", "-c", "2", "-b", "16", "synth", "1", "sine", "440" });
    ASSERT_EQ(list.GetTotalLength(), 11025);
    std::filesystem::copy_file(dir.File("src.wav"), dir.File("upper.WAV"));
    std::filesystem::create_directory(dir.File("folder.wav"));
    std::filesystem::copy_file(dir.File("src.wav"), dir.File("folder.wav/noext"));
    std::filesystem::copy_file(dir.File("src.wav"), dir.File("wrong.mp4"));

    LCutListAudio upper;
    EXPECT_EQ(Load(dir.File("upper.WAV"), upper), 0);
    EXPECT_EQ(upper.GetSampleRate(), 11025);
    EXPECT_EQ(Samples(upper), Samples(list));
    // The only dot is in the folder's name: no extension, no reader.
    LCutListAudio none(8000, 1);
    EXPECT_EQ(Load(dir.File("folder.wav/noext"), none), 2);
    EXPECT_EQ(Load(dir.File("wrong.mp4"), none), 2);
    EXPECT_EQ(Load(dir.File("missing.wav"), none), 2);
    EXPECT_EQ(none.GetTotalLength(), 0);
    EXPECT_EQ(none.GetSampleRate(), 8000) << "a failed load leaves the target as it was";
}

TEST(OVLoadFile, HeaderlessFilesAskForTheirPropertiesAndKeepThem)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    std::string strRaw = dir.File("a.raw");
    ASSERT_EQ(TestSupport::Run({ "sox", "-n", "-r", "16000", "-c", "2", "-e", "signed", "-b", "16",
                  "-B", "-t", "raw", strRaw, "synth", "0.5", "sine", "300", "vol", "0.5" }),
        0);
    ScriptedUi prompts;
    prompts.bRefusePrompts = true;
    LCutListAudio list(44100, 1);
    EXPECT_EQ(Load(strRaw, list, &prompts), 1) << "File Properties cancelled";
    EXPECT_EQ(list.GetTotalLength(), 0);

    prompts.bRefusePrompts = false;
    prompts.headerless = { 6, 16000, 2 }; // 16 bit PCM (BE), stereo
    ASSERT_EQ(Load(strRaw, list, &prompts), 0);
    EXPECT_EQ(list.GetSampleRate(), 16000);
    EXPECT_EQ(list.GetChannels(), 2);
    EXPECT_EQ(list.GetTotalLength(), 8000);
    // The answers are stored and used without asking next time.
    LHeaderlessSettings stored = LHeaderlessFormat::Load();
    EXPECT_EQ(stored.iFormat, 6);
    EXPECT_EQ(stored.iRate, 16000);
    EXPECT_EQ(stored.iChannels, 2);
    LCutListAudio again;
    EXPECT_EQ(Load(strRaw, again), 0);
    EXPECT_EQ(Samples(again), Samples(list));
    LHeaderlessFormat::Store({});
}

TEST(LOVSaveToSink, HeaderlessOutputIsMonoWithoutChangingTheDocument)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    // Left 440 Hz, right silent (below full scale, so the save's limiter
    // passes it unchanged).
    LCutListAudio list = Sox(dir,
        { "-r", "44100", "-c", "2", "-b", "16", "synth", "1", "sine", "440", "sine", "0", "remix",
            "1", "0", "vol", "0.9" });
    std::vector<int32_t> before = Samples(list);
    ScriptedUi prompts;
    prompts.headerless
        = { 3, 6000, 2 }; // 16 bit PCM (LE), two channels, rate 6000 (not used by raw)
    ASSERT_EQ(Save(list, dir.File("out.raw"), LOVSaveToSink::kAsk, &prompts), 0);
    EXPECT_EQ(list.GetChannels(), 2);
    EXPECT_EQ(Samples(list), before) << "saving never changes the document";
    std::vector<uint8_t> raw = ReadAll(dir.File("out.raw"));
    ASSERT_EQ(raw.size(), 44100u * 2 * 2) << "written at the list's own rate";
    for (size_t f = 0; f < 44100; ++f) {
        int16_t l = int16_t(raw[4 * f] | raw[4 * f + 1] << 8),
                r = int16_t(raw[4 * f + 2] | raw[4 * f + 3] << 8);
        ASSERT_EQ(l, r) << f;
        ASSERT_EQ(int32_t(l) * 16, before[2 * f])
            << "the left channel, sample for sample, at " << f;
    }

    // VOX takes the rate setting: one second at 6000 Hz is 3000 bytes.
    prompts.headerless = { 0, 6000, 1 };
    ASSERT_EQ(Save(list, dir.File("out.vox"), LOVSaveToSink::kAsk, &prompts), 0);
    EXPECT_NEAR(double(std::filesystem::file_size(dir.File("out.vox"))), 3000, 2);
    LHeaderlessFormat::Store({});
}

TEST(LOVSaveToSink, WavFormatsFromTheChooserAndTheStoredFile)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    LCutListAudio list = Sox(
        dir, { "-r", "8000", "-c", "1", "-b", "16", "synth", "1", "sine", "500", "vol", "0.5" });
    LFile::Delete(LWavCodecFile::GetPath());
    // A stored buffer of 1000 bytes is no format: GSM 6.10 is offered.
    ASSERT_TRUE(WriteAll(LWavCodecFile::GetPath(), std::vector<uint8_t>(1000, 7)));
    ScriptedUi prompts;
    prompts.bRefusePrompts = true;
    EXPECT_EQ(Save(list, dir.File("x.wav"), LOVSaveToSink::kAsk, &prompts), 2);
    EXPECT_EQ(prompts.offeredFormat, LWavCodecFile::Gsm610Default());
    EXPECT_EQ(prompts.iOfferedChannels, 1);
    EXPECT_FALSE(LFile::Exists(dir.File("x.wav")));

    // A chosen format is stored as 1024 bytes and offered next time.
    prompts.bRefusePrompts = false;
    prompts.chosenFormat = LWaveFormat::Pcm(1, 8000, 8);
    ASSERT_EQ(Save(list, dir.File("x.wav"), LOVSaveToSink::kAsk, &prompts), 0);
    EXPECT_EQ(std::filesystem::file_size(LWavCodecFile::GetPath()), 1024u);
    EXPECT_EQ(LWavCodecFile::Load(), *prompts.chosenFormat);
    std::string strOut;
    TestSupport::Run({ "soxi", dir.File("x.wav") }, &strOut);
    EXPECT_NE(strOut.find("8-bit"), std::string::npos) << strOut;

    // Save (mode 0) is 16-bit PCM whatever was chosen; mode 2 uses the choice.
    ASSERT_EQ(Save(list, dir.File("pcm.wav"), LOVSaveToSink::kPcmWithoutAsking, &prompts), 0);
    TestSupport::Run({ "soxi", dir.File("pcm.wav") }, &strOut);
    EXPECT_NE(strOut.find("16-bit"), std::string::npos) << strOut;
    int iAsked = prompts.iPrompts;
    ASSERT_EQ(Save(list, dir.File("last.wav"), LOVSaveToSink::kLastChoice, &prompts), 0);
    EXPECT_EQ(prompts.iPrompts, iAsked);
    EXPECT_EQ(ReadAll(dir.File("last.wav")), ReadAll(dir.File("x.wav")));
    LFile::Delete(LWavCodecFile::GetPath());
}

TEST(LOVSaveToSink, FailureAndCancelLeaveTheOldFile)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    LCutListAudio list
        = Sox(dir, { "-r", "44100", "-c", "2", "-b", "16", "synth", "3", "sine", "440" });
    std::string strTarget = dir.File("keep.wav");
    ASSERT_TRUE(WriteAll(strTarget, { 1, 2, 3, 4 }));
    LSilentProgressView::SetCancelAfterPumps(3);
    EXPECT_EQ(Save(list, strTarget, LOVSaveToSink::kPcmWithoutAsking, nullptr), 1);
    LSilentProgressView::SetCancelAfterPumps(0);
    EXPECT_EQ(ReadAll(strTarget), (std::vector<uint8_t> { 1, 2, 3, 4 }));
    int iFiles = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path()))
        iFiles += e.path().filename().string().rfind("keep.wav", 0) == 0;
    EXPECT_EQ(iFiles, 1) << "no part file left behind";

    std::string strError;
    std::string strBad = dir.File("no/such/folder/a.wav");
    EXPECT_EQ(Save(list, strBad, 0, nullptr, &strError), 2);
    EXPECT_EQ(
        strError, "Unable to create file \"" + strBad + "\"for saving. No such file or folder.");
    EXPECT_EQ(Save(list, dir.File("a.xyz"), 0, nullptr, &strError), 2);

    // A save keeps the replaced file's permissions and removes the part
    // files of saves whose process is gone, not those of a running one.
    pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string strDead = strTarget + ".part-" + std::to_string(dead);
    const std::string strLive = strTarget + ".part-" + std::to_string(getppid());
    WriteAll(strDead, { 1 });
    WriteAll(strLive, { 1 });
    ASSERT_EQ(chmod(strTarget.c_str(), 0604), 0);
    ASSERT_EQ(Save(list, strTarget, LOVSaveToSink::kPcmWithoutAsking, nullptr), 0);
    struct stat st;
    ASSERT_EQ(stat(strTarget.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_FALSE(LFile::Exists(strDead));
    EXPECT_TRUE(LFile::Exists(strLive));
    LCutListAudio back;
    ASSERT_EQ(Load(strTarget, back), 0);
    EXPECT_EQ(Samples(back), Samples(list));
}

// Every row of the format table, under each of its extensions: written from
// a list and read back by us; the peer reads each row's writer once. A new
// row needs a case here.
TEST(LFileFormats, EveryWritableRowWritesAndReadsBack)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("lame");
    struct Case {
        const char* szName;
        std::vector<std::string> peer; // the peer's reading of the file, before its path
        int32_t iLengthSlack; // frames the read-back may run longer (codec blocks, delay)
        double dMinSnr; // of our read-back against the list; 0 = level only
    };
    const Case kCases[] = {
        { "wav", { "sox" }, 0, 200 },
        { "mp3", { "mpg123", "-q", "-w" }, 1600, 0 }, // lame's delay and padding are read as audio
        { "vox", { "sox", "-t", "vox", "-r", "8000" }, 1, 12 },
        { "raw", { "sox", "-t", "raw", "-e", "signed", "-b", "16", "-B", "-r", "8000", "-c", "1" },
            0, 200 },
        { "gsm", { "sox" }, 160, 0 },
        { "aiff", { "sox" }, 0, 200 },
        { "au", { "sox" }, 0, 200 },
        { "aifc", { "sox" }, 0, 200 },
    };
    TempDir dir;
    LCutListAudio list = Sox(
        dir, { "-r", "8000", "-c", "1", "-b", "16", "synth", "2", "sine", "300", "vol", "0.5" });
    for (const LFileFormat& f : LFileFormats::All()) {
        const Case* pCase = nullptr;
        for (const Case& c : kCases)
            pCase = c.szName == std::string(f.szName) ? &c : pCase;
        ASSERT_TRUE(pCase) << f.szName << " has no case";
        ASSERT_TRUE(f.bWritable) << f.szName;
        // 16 bit PCM (BE), mono: what the raw case reads.
        LHeaderlessFormat::Store({ std::string(f.szName) == "vox" ? 0 : 6, 8000, 1 });
        for (const char* szExt : f.aExt) {
            if (!szExt)
                continue;
            std::string strPath = dir.File(std::string("a") + szExt);
            ASSERT_EQ(Save(list, strPath, LOVSaveToSink::kPcmWithoutAsking, nullptr), 0) << strPath;
            EXPECT_EQ(LFileFormats::FindByPath(dir.File("B") + szExt), &f) << "case ignored";
            LCutListAudio back;
            ASSERT_EQ(Load(strPath, back), 0) << strPath;
            EXPECT_EQ(back.GetSampleRate(), 8000) << strPath;
            EXPECT_GE(back.GetTotalLength(), 16000) << strPath;
            EXPECT_LE(back.GetTotalLength(), 16000 + pCase->iLengthSlack) << strPath;
            // The row's reader, not only one of the right length (byte order, scale).
            std::vector<int32_t> got = Samples(back), want = Samples(list);
            double dSignal = 0, dError = 1e-9;
            for (size_t i = 0; i < std::min(got.size(), want.size()); ++i) {
                dSignal += double(want[i]) * want[i];
                dError += (double(got[i]) - want[i]) * (double(got[i]) - want[i]);
            }
            if (pCase->dMinSnr > 0) {
                EXPECT_GT(10 * std::log10(dSignal / dError), pCase->dMinSnr) << strPath;
            }
            if (szExt != f.aExt[0])
                continue;
            // The peer's reading, as sox measures it (mpg123 decodes to a WAV first).
            std::vector<std::string> peer = pCase->peer;
            peer.push_back(strPath);
            if (peer[0] == "mpg123") {
                peer.insert(peer.begin() + 3, { dir.File("mpg123.wav") });
                ASSERT_EQ(TestSupport::Run(peer), 0);
                peer = { "sox", dir.File("mpg123.wav") };
            }
            std::string strStat = SoxStat({ peer.begin() + 1, peer.end() });
            EXPECT_NEAR(StatValue(strStat, "Length (seconds)"), 2.0 + pCase->iLengthSlack / 16000.0,
                pCase->iLengthSlack / 16000.0 + 0.001)
                << strPath << strStat;
            EXPECT_NEAR(StatValue(strStat, "RMS     amplitude"), 0.3536, 0.03)
                << strPath << strStat;
        }
    }
    LHeaderlessFormat::Store({});
    // The dialogs' filters: every extension in both cases, then one per row.
    std::vector<std::string> filters = LFileFormats::OpenFilters();
    ASSERT_EQ(filters.size(), LFileFormats::All().size() + 1);
    EXPECT_NE(filters.front().find("*.aiff"), std::string::npos) << filters.front();
    EXPECT_NE(filters.front().find("*.AIFF"), std::string::npos) << filters.front();
    EXPECT_EQ(filters[1], "Wave Files(*.wav)");
    EXPECT_EQ(LFileFormats::FindByPath(dir.File("a.xyz")), nullptr);
}

TEST(LOVSaveToSink, Mp3GoesThroughTheEncoder)
{
    REQUIRE_PEER("lame");
    REQUIRE_PEER("sox");
    TempDir dir;
    LCutListAudio list = Sox(
        dir, { "-r", "44100", "-c", "2", "-b", "16", "synth", "2", "sine", "1000", "vol", "0.5" });
    // Links planted at every name the save uses or used lead to someone
    // else's file, which stays untouched. A name may begin with "-".
    const std::string strTarget = dir.File("-a.mp3"),
                      strTmp = std::filesystem::temp_directory_path();
    WriteAll(dir.File("victim"), { 'v' });
    for (const std::string& s :
        { strTarget + ".part-" + std::to_string(getpid()), strTmp + "/_-a.wav", dir.File("_-a.wav"),
            LAudioCutTank::Get().GetFolder() + "/_-a.wav" })
        ASSERT_EQ(symlink(dir.File("victim").c_str(), s.c_str()), 0) << s;
    ScriptedUi prompts;
    ASSERT_EQ(Save(list, strTarget, LOVSaveToSink::kAsk, &prompts), 0)
        << ::testing::PrintToString(prompts.messages);
    EXPECT_EQ(prompts.iPrompts, 1) << "the encoder settings were asked";
    EXPECT_EQ(ReadAll(dir.File("victim")), std::vector<uint8_t> { 'v' });
    LFile::Delete(strTmp + "/_-a.wav");
    struct stat st;
    const mode_t uMask = umask(022);
    umask(uMask);
    ASSERT_EQ(lstat(strTarget.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0170777, S_IFREG | (0666 & ~uMask)) << "a new regular file";
    LCutListAudio back;
    ASSERT_EQ(Load(strTarget, back), 0);
    EXPECT_NEAR(back.GetTotalLength(), 88200, 2400);
    prompts.bRefusePrompts = true;
    EXPECT_EQ(Save(list, dir.File("b.mp3"), LOVSaveToSink::kAsk, &prompts), 2);
    EXPECT_FALSE(LFile::Exists(dir.File("b.mp3")));
}

// Every writer, the cut tank and the outside encoder, made to fail at the
// first, a middle or the last write (the header rewrites at the end): the
// operation fails with the reason, the old target stays byte for byte, and
// nothing half-written is left.
TEST(LOVSaveToSink, AFailedWriteLeavesTheOldFileAndNoPart)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("lame");
    constexpr int64_t kLast = 0, kProbe = int64_t(1) << 40;
    constexpr uint32_t kStored = LOVSaveToSink::kLastChoice; // GSM 6.10 in WAV
    struct Case {
        const char* szExt; // ".load": a load into the cut tank
        int64_t iNth; // the write that fails, kLast the last one
        uint32_t uMode = 0;
        int iHeaderless = 0; // the stored format of .vox/.raw
        const char* szEncoder = nullptr; // a misbehaving MP3 encoder instead
        const char* szWhy = "Out of space.";
    };
    // clang-format off
    const Case cases[] = {
        {".wav", 1}, {".wav", 3}, {".wav", kLast}, {".wav", 2, kStored}, {".wav", kLast, kStored},
        {".au", 1}, {".au", 3}, {".au", kLast}, {".aif", 1}, {".aif", kLast}, {".aiff", 3},
        {".gsm", 1}, {".gsm", kLast}, {".vox", 2}, {".vox", kLast}, {".raw", 2, 0, 3}, {".raw", kLast, 0, 1},
        {".mp3", 1}, {".mp3", 4}, {".mp3", kLast},
        {".mp3", -1, 0, 0, "lame \"$@\"; exit 3", "The MP3 encoder failed (exit code 3)."},
        {".mp3", -1, 0, 0, "lame \"$@\" && truncate -s 3000 \"$out\"",
         "The MP3 encoder wrote a shorter file than it was given."},
        {".load", 1}, {".load", 2}, {".load", kLast},
    };
    // clang-format on
    TempDir dir;
    LCutListAudio source
        = Sox(dir, { "-r", "8000", "-c", "2", "-b", "16", "synth", "3", "sine", "440" });
    const std::string strIn = dir.File("src.wav"), strEncoder = dir.File("encoder.sh");
    const std::vector<uint8_t> old = { 'o', 'l', 'd' };
    for (const Case& c : cases) {
        const std::string strExt = c.szExt, strTarget = dir.File("target" + strExt);
        SCOPED_TRACE(
            strExt + " write " + std::to_string(c.iNth) + (c.szEncoder ? c.szEncoder : ""));
        LHeaderlessFormat::Store({ c.iHeaderless, 8000, 1 });
        std::string strScript = "#!/bin/sh\nfor a; do out=\"$a\"; done\n"
            + std::string(c.szEncoder ? c.szEncoder : "");
        WriteAll(strEncoder, std::vector<uint8_t>(strScript.begin(), strScript.end()));
        chmod(strEncoder.c_str(), 0700);
        LSettings::Get().SetString("Components\\mp3cmp", "Path", c.szEncoder ? strEncoder : "");
        WriteAll(strTarget, old);
        LCutListAudio list = source;
        std::string strError;
        auto Run = [&](const std::string& strPath) {
            return strExt == ".load" ? Load(strIn, list, nullptr, &strError)
                                     : Save(list, strPath, c.uMode, nullptr, &strError);
        };
        int64_t iNth = c.iNth;
        if (iNth == kLast) {
            LFile::SetWriteFault(kProbe, ENOSPC);
            ASSERT_EQ(Run(dir.File("probe" + strExt)), 0) << strError;
            iNth = kProbe - LFile::SetWriteFault(0, 0);
        }
        // A load's target is a document with something else in it.
        list = source;
        if (strExt == ".load")
            list.EfDelete(0, 1000);
        const int iTankFiles = CountNamed(LAudioCutTank::Get().GetFolder(), ".");
        LFile::SetWriteFault(iNth, ENOSPC);
        EXPECT_EQ(Run(strTarget), 2);
        EXPECT_EQ(LFile::SetWriteFault(0, 0), 0) << "the fault was reached";
        if (strExt == ".load") {
            EXPECT_NE(strError.find("src.wav\". Cannot write the audio working folder"),
                std::string::npos)
                << strError;
            EXPECT_NE(strError.find(": out of space."), std::string::npos) << strError;
            EXPECT_EQ(list.GetTotalLength(), source.GetTotalLength() - 1000)
                << "nothing half-loaded";
        } else {
            EXPECT_EQ(
                strError, "Unable to create file \"" + strTarget + "\"for saving. " + c.szWhy);
        }
        EXPECT_EQ(ReadAll(strTarget), old);
        EXPECT_EQ(CountNamed(dir.Path(), ".part-"), 0);
        EXPECT_EQ(CountNamed(LAudioCutTank::Get().GetFolder(), "."), iTankFiles)
            << "no cut or temporary file left";
    }
    LSettings::Get().SetString("Components\\mp3cmp", "Path", "");
}
