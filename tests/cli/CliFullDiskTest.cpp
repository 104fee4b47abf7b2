#include "SoxPeer.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <algorithm>
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
int CountNamed(const std::string& strFolder, const std::string& strPart)
{
    int n = 0;
    for (auto& e : fs::recursive_directory_iterator(strFolder))
        n += e.path().filename().string().find(strPart) != std::string::npos;
    return n;
}
} // namespace

// A disk that fills during the save, as a user meets it: exit code 2, one
// line naming the file and the reason, the old file as it was, nothing left.
TEST(Cli, FullDiskFailsAndKeepsTheOldFile)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::string strDisk = dir.File("disk"), strOld = dir.File("disk/old.wav");
    fs::create_directories(strDisk);
    if (geteuid() != 0 || mount("tmpfs", strDisk.c_str(), "tmpfs", 0, "size=2m") != 0)
        GTEST_SKIP() << "skipped: mounting a small tmpfs needs root";
    struct Unmount {
        std::string s;
        ~Unmount() { umount2(s.c_str(), MNT_DETACH); }
    } unmount { strDisk };
    const std::string strIn = Sox::Tone(dir, "in.wav", "3"); // 529 KB
    fs::copy_file(Sox::Tone(dir, "small.wav", "0.5"), strOld);
    const std::vector<uint8_t> old = ReadAll(strOld);
    WriteAll(strDisk + "/filler", std::vector<uint8_t>(fs::space(strDisk).available - 50000));
    const std::string strLine
        = "orvenna-cli: Unable to create file \"" + strOld + "\"for saving. Out of space.\n";
    for (const auto& args : { std::vector<std::string> { "convert", strIn, strOld },
             std::vector<std::string> { "edit", strOld, "Select All", "Reverse" } }) {
        std::string strOut;
        EXPECT_EQ(CliWithData(dir, dir.File("data"), args, &strOut), 2) << args[0];
        EXPECT_EQ(strOut, strLine);
        EXPECT_EQ(ReadAll(strOld), old);
        EXPECT_EQ(CountNamed(strDisk, ".part-"), 0);
    }
    // Speech that does not fit leaves the old file as it was.
    std::string strSpoken;
    EXPECT_EQ(CliWithData(dir, dir.File("data"),
                  { "speak",
                      "Twelve seconds of speech will not fit in fifty kilobytes of disk, "
                      "so this text is long enough to fill what is left of it.",
                      "-o", strOld },
                  &strSpoken),
        2);
    EXPECT_EQ(
        strSpoken, "orvenna-cli: Unable to write the file \"" + strOld + "\" (out of space).\n");
    EXPECT_EQ(ReadAll(strOld), old);
    EXPECT_EQ(CountNamed(strDisk, ".part"), 0);
    // The audio working folder on the full disk: the load cannot write its
    // cut file and says so.
    std::string strOut;
    EXPECT_EQ(CliWithData(dir, strDisk,
                  { "edit", strIn, "-o", dir.File("x.wav"), "Select All", "Reverse" }, &strOut),
        2);
    const std::string strStart = "orvenna-cli: Unable to open the file \"" + strIn
        + "\". Cannot write the audio working folder \"" + strDisk + "/";
    EXPECT_EQ(strOut.rfind(strStart, 0), 0u) << strOut;
    EXPECT_NE(strOut.find("\": out of space.\n"), std::string::npos) << strOut;
    EXPECT_EQ(std::count(strOut.begin(), strOut.end(), '\n'), 1) << strOut;
    EXPECT_FALSE(fs::exists(dir.File("x.wav")));
    EXPECT_EQ(CountNamed(strDisk, ".aud") + CountNamed(strDisk, ".grf"), 0);
    // Room for the load's cut file (1.06 MB) but not for the effect's: the
    // effect says why, and nothing is saved.
    fs::remove(strDisk + "/filler");
    WriteAll(strDisk + "/filler", std::vector<uint8_t>(fs::space(strDisk).available - 1600000));
    strOut.clear();
    EXPECT_EQ(CliWithData(dir, strDisk,
                  { "edit", strIn, "-o", dir.File("y.wav"), "Select All", "Reverse" }, &strOut),
        2);
    EXPECT_EQ(strOut.rfind("orvenna-cli: Reverse: Cannot write the audio working folder \"", 0), 0u)
        << strOut;
    EXPECT_NE(strOut.find("\": out of space.\n"), std::string::npos) << strOut;
    EXPECT_EQ(std::count(strOut.begin(), strOut.end(), '\n'), 1) << strOut;
    EXPECT_FALSE(fs::exists(dir.File("y.wav")));
    EXPECT_EQ(CountNamed(strDisk, ".aud") + CountNamed(strDisk, ".grf"), 0);
}

// Two MP3 saves of one name into two folders at once both come out whole.
TEST(Cli, TwoMp3SavesOfOneNameAtOnce)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("lame");
    TempDir dir;
    const std::string strIn = Sox::Tone(dir, "in.wav", "20");
    setenv("ORVENNA_CONFIG_DIR", dir.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    std::vector<pid_t> pids;
    for (const char* sz : { "a", "b" }) {
        fs::create_directories(dir.File(sz));
        std::vector<std::string> args
            = { ORVENNA_CLI_PATH, "convert", strIn, dir.File(sz) + "/song.mp3" };
        std::vector<char*> argv
            = { args[0].data(), args[1].data(), args[2].data(), args[3].data(), nullptr };
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
        pids.push_back(pid);
    }
    for (pid_t pid : pids) {
        int iStatus = 0;
        waitpid(pid, &iStatus, 0);
        EXPECT_TRUE(WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 0);
    }
    for (const char* sz : { "a", "b" }) {
        std::string strInfo;
        ASSERT_EQ(CliWithData(dir, dir.Path(), { "info", dir.File(sz) + "/song.mp3" }, &strInfo), 0)
            << strInfo;
        int iFrames = std::stoi(strInfo.substr(strInfo.find("frames") + 6));
        EXPECT_GE(iFrames, 20 * 44100) << sz;
        EXPECT_LT(iFrames, 20 * 44100 + 4000) << sz;
    }
}
