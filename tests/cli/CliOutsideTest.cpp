#include "support/AudioTestSupport.h"
#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

namespace {
std::string Ffmpeg16(const std::string& strPath)
{
    std::string s;
    Run({ "ffmpeg", "-v", "error", "-i", "file:" + strPath, "-f", "s16le", "-c:a", "pcm_s16le",
            "-" },
        &s);
    return s;
}
} // namespace

// WMA and RealAudio read by info and convert through the helper installed
// beside orvenna-cli: the samples are ffmpeg's, and no temporary WAV stays.
TEST(CliOutside, ConvertAndInfoReadWmaAndRealAudio)
{
    REQUIRE_PEER("ffmpeg");
    TempDir dir;
    const std::pair<const char*, std::vector<std::string>> aCases[] = {
        { "a b.wma", { "-ar", "22050", "-ac", "2", "-c:a", "wmav2" } },
        { "c.rm", { "-ar", "8000", "-ac", "1", "-c:a", "real_144" } },
    };
    for (const auto& [szName, encode] : aCases) {
        SCOPED_TRACE(szName);
        std::vector<std::string> args = { "ffmpeg", "-y", "-v", "error", "-f", "lavfi", "-i",
            "sine=frequency=440:duration=1" };
        args.insert(args.end(), encode.begin(), encode.end());
        args.push_back(dir.File(szName));
        ASSERT_EQ(TestSupport::Run(args), 0);
        std::string strOut;
        ASSERT_EQ(Cli(dir, { "info", dir.File(szName) }, &strOut), 0) << strOut;
        EXPECT_NE(strOut.find(encode[1] == "8000" ? "8000 Hz" : "22050 Hz"), std::string::npos);
        ASSERT_EQ(Cli(dir, { "convert", dir.File(szName), dir.File("out.wav") }, &strOut), 0)
            << strOut;
        EXPECT_EQ(Ffmpeg16(dir.File("out.wav")), Ffmpeg16(dir.File(szName)));
        std::string strTemp = std::string(szName);
        strTemp = dir.File("Orvenna/Current/" + strTemp.substr(0, strTemp.find('.')) + ".wav");
        EXPECT_FALSE(std::ifstream(strTemp).good()) << strTemp;
    }
}

// edit FILE Send hands the file to the mail program as the editor does.
TEST(CliOutside, EditSendHandsTheFileToTheMailProgram)
{
    TempDir dir, bin;
    const std::string strLog = bin.File("args.txt");
    std::ofstream(bin.File("xdg-email"))
        << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << strLog
        << ".part'\nmv '" << strLog << ".part' '" << strLog << "'\n";
    chmod(bin.File("xdg-email").c_str(), 0755);
    const std::string strIn = MakeRampWav(dir, "-my file.wav", 8000, 1, 1000);
    const std::string strPath = getenv("PATH");
    setenv("PATH", (bin.Path() + ":" + strPath).c_str(), 1);
    std::string strOut;
    int iExit = Cli(dir, { "edit", strIn, "Send" }, &strOut);
    setenv("PATH", strPath.c_str(), 1);
    ASSERT_EQ(iExit, 0) << strOut;
    std::string strArgs;
    for (int i = 0; i < 500 && strArgs.empty(); ++i) {
        std::ifstream in(strLog);
        strArgs.assign(std::istreambuf_iterator<char>(in), {});
        if (strArgs.empty())
            usleep(20000);
    }
    EXPECT_EQ(strArgs, "--attach\n" + strIn + "\n");
}
