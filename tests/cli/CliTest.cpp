#include "SoxPeer.h"
#include "audio/LWaveHeader.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace TestSupport;

namespace {
const std::string kCli = ORVENNA_CLI_PATH;

int CountCutFiles(const std::string& strRoot)
{
    int n = 0;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(strRoot, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        n += it->path().extension() == ".aud" || it->path().extension() == ".grf";
    return n;
}
} // namespace

TEST(Cli, InfoAndConvertAgreeWithSoxAndConvertTakesRateAndChannels)
{
    REQUIRE_PEER("sox");
    TempDir dir;
    const std::string strOut = dir.File("out.wav"),
                      strIn
        = Sox::Synth(dir, "in.wav", "22050", "2", { "2.5", "sine", "440", "vol", "0.5" });
    std::string strInfo;
    ASSERT_EQ(Cli(dir, { "info", strIn }, &strInfo), 0) << strInfo;
    EXPECT_NE(strInfo.find("rate      22050 Hz"), std::string::npos) << strInfo;
    EXPECT_NE(strInfo.find("channels  2"), std::string::npos);
    EXPECT_NE(strInfo.find("frames    55125"), std::string::npos);
    EXPECT_NE(strInfo.find("length    0:00:02.50 (0:00:02.500)"), std::string::npos);
    EXPECT_NE(strInfo.find("(-6.0"), std::string::npos) << "peak of a half-scale sine";

    ASSERT_EQ(Cli(dir, { "convert", strIn, strOut }), 0);
    const std::string strA = Sox::Raw(strIn);
    EXPECT_EQ(strA.size(), 55125u * 4);
    EXPECT_TRUE(strA == Sox::Raw(strOut)) << "sample-exact copy";
    EXPECT_EQ(CountCutFiles(dir.Path()), 0) << "cut files removed at exit";

    // --rate and --channels reach the converters: what sox reads is 48 kHz
    // mono of the true length and level. The converter's accuracy is its own tests'.
    ASSERT_EQ(Cli(dir, { "convert", strIn, strOut, "--rate", "48000", "--channels", "1" }), 0);
    EXPECT_EQ(Sox::Info("-r", strOut), "48000\n");
    EXPECT_EQ(Sox::Info("-c", strOut), "1\n");
    EXPECT_EQ(Sox::Info("-s", strOut), "120000\n");
    EXPECT_NEAR(Sox::Stat(strOut, "RMS     amplitude"), 0.5 / std::sqrt(2.0), 0.005);
    EXPECT_EQ(Cli(dir, { "convert", strIn, dir.File("x.wav"), "--rate", "200" }), 2);
    EXPECT_EQ(Cli(dir, { "convert", strIn, dir.File("x.wav"), "--channels", "3" }), 2);
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.wav")));
}

TEST(Cli, FailuresNameTheFileAndExitWith2)
{
    TempDir dir;
    WriteAll(dir.File("bad.wav"), { 'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v' });
    std::string strOut;
    EXPECT_EQ(Cli(dir, { "info", dir.File("bad.wav") }, &strOut), 2);
    EXPECT_NE(strOut.find("bad.wav"), std::string::npos) << strOut;
    strOut.clear();
    EXPECT_EQ(Cli(dir, { "convert", dir.File("missing.wav"), dir.File("o.wav") }, &strOut), 2);
    EXPECT_NE(strOut.find("missing.wav"), std::string::npos) << strOut;
    EXPECT_FALSE(std::filesystem::exists(dir.File("o.wav")));
    EXPECT_EQ(Cli(dir, { "frobnicate" }), 2);
}

// Ctrl+C wherever it lands (a conversion's save, an edit's load): exit code
// 1 with one line saying so, no output file, and no cut or part file left.
TEST(Cli, InterruptCancelsAndCleansUp)
{
    TempDir dir;
    std::string strIn = dir.File("big.wav");
    {
        // 40 minutes of 44.1 kHz stereo silence, written sparse.
        const int64_t iFrames = 44100LL * 60 * 40;
        LWaveHeader fmt;
        fmt.nChannels = 2;
        fmt.nBlockAlign = 4;
        std::vector<uint8_t> h = fmt.Build(iFrames * 4, iFrames);
        WriteAll(strIn, h);
        std::filesystem::resize_file(strIn, h.size() + uint64_t(iFrames) * 4);
    }
    setenv("ORVENNA_CONFIG_DIR", dir.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    std::string strOut = dir.File("out.wav");
    auto PartFiles = [&dir] {
        int n = 0;
        for (auto& e : std::filesystem::directory_iterator(dir.Path()))
            n += e.path().filename().string().find(".part-") != std::string::npos;
        return n;
    };
    struct Case {
        std::vector<std::string> args;
        bool bWaitForPart; // else wait for the load's cut files
    };
    const Case cases[] = {
        { { kCli, "convert", strIn, strOut }, true },
        { { kCli, "edit", strIn, "-o", strOut, "Amplify AmplifyGain=150" }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        std::vector<char*> argv;
        for (auto& s : c.args)
            argv.push_back(const_cast<char*>(s.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        std::string strErr = dir.File("stderr.txt");
        posix_spawn_file_actions_addopen(
            &actions, 2, strErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        auto tEnd = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        auto Started
            = [&] { return c.bWaitForPart ? PartFiles() > 0 : CountCutFiles(dir.Path()) > 0; };
        while (!Started() && std::chrono::steady_clock::now() < tEnd)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(Started());
        kill(pid, SIGINT);
        int iStatus = 0;
        waitpid(pid, &iStatus, 0);
        ASSERT_TRUE(WIFEXITED(iStatus));
        EXPECT_EQ(WEXITSTATUS(iStatus), 1);
        std::vector<uint8_t> err = ReadAll(strErr);
        EXPECT_EQ(std::string(err.begin(), err.end()), "orvenna-cli: cancelled\n");
        EXPECT_EQ(CountCutFiles(dir.Path()), 0);
        EXPECT_EQ(PartFiles(), 0);
        EXPECT_FALSE(std::filesystem::exists(strOut));
    }
}

// info loads what lame writes under an upper-case extension and names a
// reader's refusal. Reading each peer's files is the audio tests'.
TEST(Cli, LoadsByExtension)
{
    REQUIRE_PEER("sox");
    REQUIRE_PEER("lame");
    TempDir dir;
    const std::string strWav
        = Sox::Synth(dir, "in.wav", "8000", "1", { "2", "sine", "300", "vol", "0.5" });
    ASSERT_EQ(TestSupport::Run({ "lame", "--silent", strWav, dir.File("a.MP3") }), 0);
    std::string strOut;
    ASSERT_EQ(Cli(dir, { "info", dir.File("a.MP3") }, &strOut), 0) << strOut;
    EXPECT_NE(strOut.find("rate      8000 Hz"), std::string::npos) << strOut;
    EXPECT_EQ(Cli(dir, { "info", dir.File("noextension") }), 2);
    // A compression type not read is named.
    ASSERT_EQ(
        TestSupport::Run({ "sox", strWav, "-e", "floating-point", "-b", "64", dir.File("a.aifc") }),
        0);
    std::vector<uint8_t> aifc = ReadAll(dir.File("a.aifc"));
    auto it = std::search(aifc.begin(), aifc.end(), "fl64", "fl64" + 4);
    ASSERT_NE(it, aifc.end());
    std::copy_n("ima4", 4, it);
    WriteAll(dir.File("ima.aifc"), aifc);
    EXPECT_EQ(Cli(dir, { "info", dir.File("ima.aifc") }, &strOut), 2);
    EXPECT_NE(strOut.find("compression type \"ima4\" (64-bit floating point) is not supported"),
        std::string::npos)
        << strOut;
}
