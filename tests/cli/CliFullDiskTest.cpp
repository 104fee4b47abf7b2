#include "support/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace TestSupport;
namespace fs = std::filesystem;

namespace {
// Runs the CLI with its settings in dir and its audio working folder under
// strData; stderr goes to pErr.
int Cli(const TempDir& dir, const std::string& strData, std::vector<std::string> args,
    std::string* pErr = nullptr)
{
    setenv("ORVENNA_CONFIG_DIR", dir.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", strData.c_str(), 1);
    args.insert(args.begin(), ORVENNA_CLI_PATH);
    return TestSupport::Run(args, pErr);
}

std::string MakeTone(const TempDir& dir, const std::string& strName, const char* szSeconds)
{
    std::string strPath = dir.File(strName);
    EXPECT_EQ(TestSupport::Run({ "sox", "-n", "-r", "44100", "-c", "2", "-b", "16", strPath,
                  "synth", szSeconds, "sine", "440", "vol", "0.5" }),
        0);
    return strPath;
}

int CountNamed(const std::string& strFolder, const std::string& strPart)
{
    int n = 0;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(strFolder, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec))
        n += it->path().filename().string().find(strPart) != std::string::npos;
    return n;
}

// A small tmpfs mounted for the test, unmounted when the object goes.
class SmallDisk {
public:
    SmallDisk(const std::string& strPath, const char* szSize)
        : strPath(strPath)
    {
        fs::create_directories(strPath);
        bMounted
            = mount("tmpfs", strPath.c_str(), "tmpfs", 0, (std::string("size=") + szSize).c_str())
            == 0;
    }
    ~SmallDisk()
    {
        if (bMounted)
            umount2(strPath.c_str(), MNT_DETACH);
    }
    bool IsMounted() const { return bMounted; }
    // Fills the disk up to iLeave bytes.
    void Fill(int64_t iLeave)
    {
        fs::space_info si = fs::space(strPath);
        std::vector<uint8_t> v(size_t(std::max<int64_t>(0, int64_t(si.available) - iLeave)), 0x55);
        WriteAll(strPath + "/filler", v);
    }

private:
    std::string strPath;
    bool bMounted = false;
};
} // namespace

// A disk that fills during the save, as a user meets it: exit code 2, one
// line naming the file and the reason, the old file as it was, nothing left.
TEST(Cli, FullDiskFailsAndKeepsTheOldFile)
{
    REQUIRE_PEER("sox");
    if (geteuid() != 0)
        GTEST_SKIP() << "skipped: mounting a small tmpfs needs root";
    TempDir dir;
    SmallDisk disk(dir.File("disk"), "2m");
    if (!disk.IsMounted())
        GTEST_SKIP() << "skipped: this system refused to mount a tmpfs";
    const std::string strIn = MakeTone(dir, "in.wav", "3"); // 529 KB
    const std::string strData = dir.File("data");
    struct Case {
        std::string strOut;
        std::vector<std::string> args;
        const char* szWhy;
    };
    const std::string strOld = dir.File("disk/old.wav");
    fs::copy_file(MakeTone(dir, "small.wav", "0.5"), strOld);
    disk.Fill(300000);
    const Case cases[] = {
        { strOld, { "convert", strIn, strOld }, "Out of space." },
        { strOld, { "convert", strIn, dir.File("disk/old.mp3") }, nullptr }, // an MP3 of 3 s fits
        { strOld, { "edit", strOld, "Select All", "Reverse" },
            nullptr }, // saves over its input: fits
        { strOld, { "edit", strIn, "-o", strOld, "Select All", "Reverse" }, "Out of space." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        const std::vector<uint8_t> old = ReadAll(strOld);
        std::string strErr;
        int iExit = Cli(dir, strData, c.args, &strErr);
        if (c.szWhy) {
            EXPECT_EQ(iExit, 2);
            EXPECT_EQ(strErr,
                "orvenna-cli: Unable to create file \"" + c.strOut + "\"for saving. " + c.szWhy
                    + "\n");
            EXPECT_EQ(ReadAll(strOld), old);
        } else {
            EXPECT_EQ(iExit, 0) << strErr;
        }
        EXPECT_EQ(CountNamed(dir.File("disk"), ".part-"), 0);
    }
    // The audio working folder on the full disk: a load cannot write its cut
    // file, and says so.
    std::string strErr;
    EXPECT_EQ(Cli(dir, dir.File("disk"),
                  { "edit", strIn, "-o", dir.File("x.wav"), "Select All", "Reverse" }, &strErr),
        2);
    const std::string strStart = "orvenna-cli: Unable to open the file \"" + strIn
        + "\". Cannot write the audio working folder \"" + dir.File("disk") + "/";
    const std::string strEnd = "\": out of space.\n";
    EXPECT_EQ(strErr.compare(0, strStart.size(), strStart), 0) << strErr;
    EXPECT_TRUE(strErr.size() > strEnd.size()
        && strErr.compare(strErr.size() - strEnd.size(), strEnd.size(), strEnd) == 0)
        << strErr;
    EXPECT_EQ(std::count(strErr.begin(), strErr.end(), '\n'), 1) << strErr;
    EXPECT_FALSE(fs::exists(dir.File("x.wav")));
    EXPECT_EQ(CountNamed(dir.File("disk"), ".aud") + CountNamed(dir.File("disk"), ".grf"), 0);
}

// Two MP3 saves of the same name at once, into two folders and into one:
// every run ends well and every file is whole.
TEST(Cli, TwoMp3SavesOfOneNameAtOnce)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("lame");
    TempDir dir;
    const std::string strIn = MakeTone(dir, "in.wav", "20");
    fs::create_directories(dir.File("a"));
    fs::create_directories(dir.File("b"));
    setenv("ORVENNA_CONFIG_DIR", dir.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    for (const auto& outs :
        { std::vector<std::string> { dir.File("a/song.mp3"), dir.File("b/song.mp3") },
            std::vector<std::string> { dir.File("a/song.mp3"), dir.File("a/song.mp3") } }) {
        std::vector<pid_t> pids;
        for (const std::string& strOut : outs) {
            std::vector<std::string> args = { ORVENNA_CLI_PATH, "convert", strIn, strOut };
            std::vector<char*> argv;
            for (auto& s : args)
                argv.push_back(s.data());
            argv.push_back(nullptr);
            pid_t pid = 0;
            ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
            pids.push_back(pid);
        }
        for (pid_t pid : pids) {
            int iStatus = 0;
            waitpid(pid, &iStatus, 0);
            EXPECT_TRUE(WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 0);
        }
        for (const std::string& strOut : outs) {
            std::string strInfo;
            ASSERT_EQ(TestSupport::Run({ ORVENNA_CLI_PATH, "info", strOut }, &strInfo), 0)
                << strInfo;
            int iFrames = std::stoi(strInfo.substr(strInfo.find("frames") + 6));
            EXPECT_GE(iFrames, 20 * 44100) << strOut;
            EXPECT_LT(iFrames, 20 * 44100 + 4000) << strOut;
        }
        EXPECT_EQ(CountNamed(dir.Path(), ".part-"), 0);
    }
}
