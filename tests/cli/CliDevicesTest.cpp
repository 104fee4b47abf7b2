#include "support/TestSupport.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {
// The device lines of one section of "orvenna-cli devices": number and name.
std::vector<std::pair<int, std::string>> Section(
    const std::string& strOut, const std::string& strTitle)
{
    std::vector<std::pair<int, std::string>> v;
    std::istringstream in(strOut.substr(std::min(strOut.size(), strOut.find(strTitle))));
    std::string strLine;
    std::getline(in, strLine);
    while (std::getline(in, strLine) && strLine.rfind("  ", 0) == 0) {
        std::istringstream line(strLine);
        int i = -9;
        std::string strName;
        line >> i;
        std::getline(line >> std::ws, strName);
        v.emplace_back(i, strName);
    }
    return v;
}
} // namespace

TEST(CliDevices, ListsTheSoundSystemsDevicesThenNull)
{
    TestSupport::TempDir dir;
    std::string strConf = dir.File("asound.conf");
    std::ofstream(strConf)
        << "</usr/share/alsa/alsa.conf>\n"
           "pcm.orvenna_listed { type file slave.pcm \"null\" file \"/dev/null\" }\n";
    setenv("ALSA_CONFIG_PATH", strConf.c_str(), 1);
    std::string strOut;
    int iResult = TestSupport::Run({ ORVENNA_CLI_PATH, "devices" }, &strOut);
    unsetenv("ALSA_CONFIG_PATH");
    ASSERT_EQ(iResult, 0) << strOut;
    for (const char* szTitle : { "output devices", "input devices" }) {
        auto v = Section(strOut, szTitle);
        ASSERT_FALSE(v.empty()) << strOut;
        for (size_t i = 0; i < v.size(); ++i)
            EXPECT_EQ(v[i].first, int(i)) << "numbered from 0 in order";
        EXPECT_EQ(v.back().second, "null") << strOut;
    }
    std::string strLower = strOut;
    std::transform(strLower.begin(), strLower.end(), strLower.begin(),
        [](char c) { return char(std::tolower(c)); });
    EXPECT_EQ(strLower.find("jack"), std::string::npos)
        << "the sound system's probes stay quiet: " << strOut;
    auto v = Section(strOut, "output devices");
    if (std::none_of(v.begin(), v.end(), [](auto& d) { return d.second == "orvenna_listed"; }))
        GTEST_SKIP() << "PortAudio lists no ALSA device of the test configuration here";
    EXPECT_NE(v.back().second, "orvenna_listed");
}
