#include "support/AudioTestSupport.h"
#include "support/CliRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace TestSupport;

namespace {
std::string Ffmpeg16(const std::string& strPath)
{
    std::string s;
    TestSupport::Run({ "ffmpeg", "-v", "error", "-i", "file:" + strPath, "-f", "s16le", "-" }, &s);
    return s;
}
} // namespace

// WMA and RealAudio files ffmpeg writes convert through the helper beside
// orvenna-cli to ffmpeg's own samples, and no temporary WAV stays; an empty
// DSS file is refused.
TEST(CliOutside, ConvertReadsWhatFfmpegWrites)
{
    REQUIRE_PEER("ffmpeg");
    TempDir dir;
    const std::pair<const char*, std::vector<std::string>> aCases[] = {
        { "a b.wma", { "-ac", "2", "-c:a", "wmav2", "-f", "asf" } },
        { "-c.rm", { "-ar", "8000", "-c:a", "real_144", "-f", "rm" } },
        { "e.dss", {} },
    };
    for (const auto& [szName, encode] : aCases) {
        SCOPED_TRACE(szName);
        std::vector<std::string> args
            = { "ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=440:d=0.5" };
        args.insert(args.end(), encode.begin(), encode.end());
        args.push_back("file:" + dir.File(szName));
        if (encode.empty())
            std::ofstream { dir.File(szName) };
        else
            ASSERT_EQ(TestSupport::Run(args), 0);
        std::string strOut;
        const int iExit = Cli(dir, { "convert", dir.File(szName), dir.File("out.wav") }, &strOut);
        if (encode.empty()) {
            EXPECT_EQ(iExit, 2);
            EXPECT_NE(strOut.find("Unable to open DSS file."), std::string::npos) << strOut;
        } else {
            EXPECT_EQ(iExit, 0) << strOut;
            EXPECT_EQ(Ffmpeg16(dir.File("out.wav")), Ffmpeg16(dir.File(szName)));
        }
        std::error_code ec;
        EXPECT_TRUE(std::filesystem::is_empty(dir.File("Orvenna/Current"), ec) && !ec);
    }
}

// edit FILE Send hands the file to the mail program.
TEST(CliOutside, EditSendMailsTheFile)
{
    TempDir dir, bin;
    std::ofstream(bin.File("xdg-email"))
        << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << bin.File("x") << "'\n/bin/mv '"
        << bin.File("x") << "' '" << bin.File("args") << "'\n";
    chmod(bin.File("xdg-email").c_str(), 0755);
    const std::string strIn = MakeRampWav(dir, "-my file.wav", 8000, 1, 1000);
    const std::string strPath = getenv("PATH");
    setenv("PATH", (bin.Path() + ":" + strPath).c_str(), 1);
    const int iExit = Cli(dir, { "edit", strIn, "Send" });
    setenv("PATH", strPath.c_str(), 1);
    EXPECT_EQ(iExit, 0);
    PumpUntil([&] { return LFile::Exists(bin.File("args")); }, [] {}, 10000);
    std::ifstream in(bin.File("args"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "--attach\n" + strIn + "\n");
}
