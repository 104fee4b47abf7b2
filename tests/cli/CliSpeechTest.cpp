#include "support/CliRun.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using namespace TestSupport;

namespace {
// Our voice list: name (blanks as '_', as the engine's program shows them)
// -> number.
std::map<std::string, int> OurVoices(const TempDir& dir)
{
    std::string strOut;
    EXPECT_EQ(Cli(dir, { "voices" }, &strOut), 0);
    std::map<std::string, int> voices;
    std::istringstream in(strOut);
    int i = 0;
    for (std::string strName; in >> i && std::getline(in, strName);) {
        strName.erase(0, strName.find_first_not_of(' '));
        std::replace(strName.begin(), strName.end(), ' ', '_');
        voices[strName] = i;
    }
    return voices;
}

// The engine program's voice list: name -> identifier.
std::map<std::string, std::string> ProgramVoices()
{
    std::string strOut;
    Run({ "espeak-ng", "--voices" }, &strOut);
    std::map<std::string, std::string> voices;
    std::istringstream in(strOut);
    std::string strLine;
    std::getline(in, strLine);
    while (std::getline(in, strLine)) {
        std::istringstream words(strLine);
        std::string strPty, strLang, strAge, strName, strFile;
        if (words >> strPty >> strLang >> strAge >> strName >> strFile)
            voices[strName] = strFile;
    }
    return voices;
}
} // namespace

// Each speak runs in a process of its own, as the engine's program does, so
// the samples must be the engine's to the bit.
TEST(CliSpeech, SpeaksWhatTheEngineSpeaks)
{
    REQUIRE_PEER("espeak-ng");
    TempDir dir;
    std::map<std::string, int> ours = OurVoices(dir);
    std::map<std::string, std::string> program = ProgramVoices();
    ASSERT_EQ(ours.size(), program.size());
    for (const auto& [strName, i] : ours)
        EXPECT_EQ(program.count(strName), 1u) << i << " " << strName;
    ASSERT_TRUE(ours.count("English_(Great_Britain)"));
    struct {
        const char* szText;
        const char* szVoice;
    } const cases[] = {
        { "a", "English_(Great_Britain)" },
        { "Hello world, this is a test.", "English_(Great_Britain)" },
        { "Bonjour tout le monde.", "French_(France)" },
    };
    for (const auto& c : cases) {
        const std::string strOurs = dir.File("ours.wav"), strTheirs = dir.File("theirs.wav");
        ASSERT_EQ(Cli(dir,
                      { "speak", c.szText, "-o", strOurs, "--voice",
                          std::to_string(ours.at(c.szVoice)) }),
            0);
        ASSERT_EQ(TestSupport::Run(
                      { "espeak-ng", "-v", program.at(c.szVoice), "-w", strTheirs, c.szText }),
            0);
        std::vector<uint8_t> f = ReadAll(strOurs), theirs = ReadAll(strTheirs);
        // Our header (checked by the speech tests) has an 18-byte format.
        ASSERT_GE(f.size(), 46u);
        EXPECT_GT(theirs.size(), 1000u);
        EXPECT_TRUE(std::equal(f.begin() + 46, f.end(), theirs.begin() + 44, theirs.end()))
            << c.szText << ": " << f.size() - 46 << " bytes against " << theirs.size() - 44;
    }
}

TEST(CliSpeech, RefusesWhatItCannotSpeak)
{
    TempDir dir;
    const std::string strVoices = std::to_string(OurVoices(dir).size());
    struct {
        std::vector<std::string> args;
        const char* szError;
    } const cases[] = {
        { { "speak", "Hello", "-o", dir.File("o.wav"), "--voice", strVoices },
            "No Speech Engine Installed." },
        { { "speak", "Hello" }, "speak needs a text and -o OUT" },
        { { "speak", std::string(8193, 'a'), "-o", dir.File("o.wav") }, "more than 8192" },
    };
    // An OUT that is there already stays as it was.
    const std::vector<uint8_t> keep = { 'k', 'e', 'e', 'p' };
    ASSERT_TRUE(WriteAll(dir.File("o.wav"), keep));
    for (const auto& c : cases) {
        std::string strOut;
        EXPECT_EQ(Cli(dir, c.args, &strOut), 2);
        EXPECT_NE(strOut.find(c.szError), std::string::npos) << strOut;
        EXPECT_EQ(ReadAll(dir.File("o.wav")), keep);
    }
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_NE(e.path().extension(), ".part") << "left beside OUT: " << e.path();
}
