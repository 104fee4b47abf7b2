#include "engine/LOVSaveToSink.h"

#include "edit/LAudioCutTank.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/OVLoadFile.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace TestSupport;
namespace fs = std::filesystem;

namespace {
// A WAV of a test signal, written byte by byte (no writer of ours involved).
std::string MakeWav(
    const TempDir& dir, const std::string& strName, int32_t iFrames, int iChannels, int32_t iRate)
{
    std::vector<int16_t> pcm = MakeSignal(iFrames, iChannels, iRate);
    std::vector<uint8_t> v;
    uint32_t uData = uint32_t(pcm.size() * 2);
    PutTag(v, "RIFF");
    Put32(v, uData + 36);
    PutTag(v, "WAVE");
    PutTag(v, "fmt ");
    Put32(v, 16);
    Put16(v, 1);
    Put16(v, uint32_t(iChannels));
    Put32(v, uint32_t(iRate));
    Put32(v, uint32_t(iRate * iChannels * 2));
    Put16(v, uint32_t(iChannels * 2));
    Put16(v, 16);
    PutTag(v, "data");
    Put32(v, uData);
    for (int16_t s : pcm)
        Put16(v, uint16_t(s));
    std::string strPath = dir.File(strName);
    WriteAll(strPath, v);
    return strPath;
}

int Load(const std::string& strPath, LCutListAudio& list, std::string* pError = nullptr)
{
    OVLoadFile data { strPath, &list, false, nullptr };
    Process<OVLoadFile> run("Load", data);
    run.Run();
    if (pError)
        *pError = data.strError;
    return run.GetResult();
}

int Save(const LCutListAudio& list, const std::string& strPath, uint32_t uMode,
    std::string* pError = nullptr)
{
    LAcceptingPrompts prompts;
    LOVSaveToSink data;
    data.pSource = &list;
    data.strPath = strPath;
    data.uPromptMode = uMode;
    data.pPrompts = &prompts;
    Process<LOVSaveToSink> run("Save", data);
    run.Run();
    if (pError)
        *pError = data.strError.empty() ? prompts.strLastMessage : data.strError;
    return run.GetResult();
}

// Files in a folder whose names contain strPart.
int CountNamed(const std::string& strFolder, const std::string& strPart)
{
    int n = 0;
    std::error_code ec;
    for (fs::directory_iterator it(strFolder, ec), end; !ec && it != end; it.increment(ec))
        n += it->path().filename().string().find(strPart) != std::string::npos;
    return n;
}

int CountTankFiles()
{
    return CountNamed(LAudioCutTank::Get().GetFolder(), ".");
}

// An outside encoder that misbehaves: a script around lame.
std::string FakeEncoder(const TempDir& dir, const std::string& strBody)
{
    std::string strPath = dir.File("encoder.sh");
    std::string strScript = "#!/bin/sh\nfor a; do out=\"$a\"; done\n" + strBody + "\n";
    WriteAll(strPath, std::vector<uint8_t>(strScript.begin(), strScript.end()));
    fs::permissions(strPath, fs::perms::owner_all);
    return strPath;
}

pid_t DeadPid()
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}
} // namespace

// Every writer, the cut tank and the outside encoder, made to fail at the
// first, a middle and the last write (the header rewrites at the end): the
// operation fails with the reason, the old target stays byte for byte, and
// nothing half-written is left.
TEST(LOVSaveToSink, AFailedWriteLeavesTheOldFileAndNoPart)
{
    constexpr int64_t kLast = 0, kProbe = int64_t(1) << 40;
    struct Case {
        const char* szExt; // ".load" = a load into the cut tank
        int64_t iNth; // the write that fails; kLast = the last one
        uint32_t uMode = LOVSaveToSink::kPcmWithoutAsking;
        int iHeaderless = 0; // the stored format of .vox/.raw
        const char* szEncoder = nullptr; // a misbehaving MP3 encoder instead of a write fault
        const char* szWhy = "Out of space.";
    };
    const Case cases[] = {
        { ".wav", 1 },
        { ".wav", 3 },
        { ".wav", kLast },
        { ".wav", 2, LOVSaveToSink::kLastChoice },
        { ".wav", kLast, LOVSaveToSink::kLastChoice }, // GSM 6.10 in WAV
        { ".au", 1 },
        { ".au", 3 },
        { ".au", kLast },
        { ".aif", 1 },
        { ".aif", kLast },
        { ".aiff", 3 },
        { ".gsm", 1 },
        { ".gsm", kLast },
        { ".vox", 2 },
        { ".vox", kLast },
        { ".raw", 2, 0, 3 },
        { ".raw", kLast, 0, 1 },
        { ".mp3", 1 },
        { ".mp3", 4 },
        { ".mp3", kLast },
        { ".mp3", -1, 0, 0, "lame \"$@\"; exit 3", "The MP3 encoder failed (exit code 3)." },
        { ".mp3", -1, 0, 0, "lame \"$@\" && truncate -s 3000 \"$out\"",
            "The MP3 encoder wrote a shorter file than it was given." },
        { ".load", 1 },
        { ".load", 2 },
        { ".load", kLast },
    };
    TempDir dir;
    const std::string strIn = MakeWav(dir, "in.wav", 24000, 2, 8000);
    LCutListAudio source;
    ASSERT_EQ(Load(strIn, source), 0);
    const std::vector<uint8_t> old = { 'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e' };
    for (const Case& c : cases) {
        const std::string strExt = c.szExt;
        SCOPED_TRACE(
            strExt + " write " + std::to_string(c.iNth) + (c.szEncoder ? c.szEncoder : ""));
        if (strExt == ".mp3" && !HavePeer("lame"))
            continue;
        LHeaderlessFormat::Store({ c.iHeaderless, 8000, 1 });
        LSettings::Get().SetString(
            "Components\\mp3cmp", "Path", c.szEncoder ? FakeEncoder(dir, c.szEncoder) : "");
        const std::string strTarget = dir.File("target" + strExt);
        WriteAll(strTarget, old);
        LCutListAudio list = source;
        auto Run = [&](const std::string& strPath, std::string& strError) {
            return strExt == ".load" ? Load(strIn, list, &strError)
                                     : Save(list, strPath, c.uMode, &strError);
        };
        std::string strError;
        int64_t iNth = c.iNth;
        if (iNth == kLast) {
            LFile::SetWriteFault(kProbe, ENOSPC);
            ASSERT_EQ(Run(dir.File("probe" + strExt), strError), 0) << strError;
            iNth = kProbe - LFile::SetWriteFault(0, 0);
        }
        // A save writes the document; a load's target is a document with
        // something else in it.
        list = source;
        if (strExt == ".load")
            list.EfDelete(0, 1000);
        const int iTankFiles = CountTankFiles();
        LFile::SetWriteFault(iNth, ENOSPC);
        const int iResult = Run(strTarget, strError);
        const int64_t iLeft = LFile::SetWriteFault(0, 0);
        EXPECT_EQ(iLeft, 0) << "the fault was reached";
        EXPECT_EQ(iResult, 2);
        if (strExt == ".load") {
            EXPECT_NE(
                strError.find("in.wav\". Cannot write the audio working folder"), std::string::npos)
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
        EXPECT_EQ(CountTankFiles(), iTankFiles) << "no cut or temporary file left";
    }
    LSettings::Get().SetString("Components\\mp3cmp", "Path", "");
}

// The new file takes the old one's permission bits; part files of saves
// whose process is gone are removed, those of a running one are not.
TEST(LOVSaveToSink, KeepsPermissionsAndRemovesDeadParts)
{
    TempDir dir;
    LCutListAudio list;
    ASSERT_EQ(Load(MakeWav(dir, "in.wav", 8000, 1, 8000), list), 0);
    const std::string strTarget = dir.File("out.wav");
    const std::string strDead = strTarget + ".part-" + std::to_string(DeadPid());
    const std::string strLive = strTarget + ".part-" + std::to_string(getppid());
    for (const std::string& s : { strTarget, strDead, strLive })
        WriteAll(s, { 1, 2, 3 });
    for (mode_t mode : { 0600, 0640, 0604 }) {
        ASSERT_EQ(chmod(strTarget.c_str(), mode), 0);
        ASSERT_EQ(Save(list, strTarget, LOVSaveToSink::kPcmWithoutAsking), 0);
        struct stat st;
        ASSERT_EQ(stat(strTarget.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
        EXPECT_EQ(st.st_size, 8000 * 2 + 46);
    }
    EXPECT_FALSE(fs::exists(strDead));
    EXPECT_TRUE(fs::exists(strLive));
}

// Links planted at every name an MP3 save used or could use lead to a file
// of someone else's: it stays untouched, and the MP3 comes out whole.
TEST(LOVSaveToSink, Mp3SaveFollowsNoPlantedLink)
{
    REQUIRE_PEER("lame");
    TempDir dir;
    LCutListAudio list;
    ASSERT_EQ(Load(MakeWav(dir, "in.wav", 44100, 2, 44100), list), 0);
    const std::string strVictim = dir.File("victim");
    const std::vector<uint8_t> secret = { 'k', 'e', 'e', 'p' };
    WriteAll(strVictim, secret);
    const std::string strTarget = dir.File("-song.mp3");
    std::error_code ec;
    const std::string strTmp = fs::temp_directory_path(ec).string();
    for (const std::string& s :
        { strTarget + ".part-" + std::to_string(getpid()), strTmp + "/_-song.wav",
            dir.File("_-song.wav"), LAudioCutTank::Get().GetFolder() + "/_-song.wav" }) {
        fs::remove(s, ec);
        fs::create_symlink(strVictim, s, ec);
        ASSERT_FALSE(ec) << s;
    }
    std::string strError;
    ASSERT_EQ(Save(list, strTarget, LOVSaveToSink::kPcmWithoutAsking, &strError), 0) << strError;
    EXPECT_EQ(ReadAll(strVictim), secret);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(strTarget)));
    LCutListAudio back;
    ASSERT_EQ(Load(strTarget, back), 0);
    EXPECT_GE(back.GetTotalLength(), 44100);
    fs::remove(strTmp + "/_-song.wav", ec);
}
