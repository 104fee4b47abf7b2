#include "platform/LSettings.h"

#include "platform/LFolders.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace {
// Points the store at a fresh folder for one test and back afterwards.
class SettingsFolder {
public:
    SettingsFolder()
        : strOld(getenv("ORVENNA_CONFIG_DIR"))
    {
        setenv("ORVENNA_CONFIG_DIR", dir.Path().c_str(), 1);
        LSettings::Get().Reload();
    }
    ~SettingsFolder()
    {
        setenv("ORVENNA_CONFIG_DIR", strOld.c_str(), 1);
        LSettings::Get().Reload();
    }
    TestSupport::TempDir dir;
    std::string strOld;
};
} // namespace

TEST(LSettings, ValuesSurviveReloadAsTextInTheirSections)
{
    SettingsFolder folder;
    LSettings& s = LSettings::Get();
    s.SetInt("StoredValues", "AmplifyGain", -150);
    s.SetBool("Settings", "AutoPlaybackAfterEffects", false);
    s.SetString("Recent", "File1", "/home/me/a b\\c\nd.wav");
    s.Reload();
    EXPECT_EQ(s.GetInt("StoredValues", "AmplifyGain", 0), -150);
    EXPECT_FALSE(s.GetBool("Settings", "AutoPlaybackAfterEffects", true));
    EXPECT_EQ(s.GetString("Recent", "File1"), "/home/me/a b\\c\nd.wav");

    std::string strText;
    for (uint8_t b : TestSupport::ReadAll(folder.dir.File("Orvenna.ini")))
        strText += char(b);
    EXPECT_NE(strText.find("[StoredValues]\nAmplifyGain=-150\n"), std::string::npos) << strText;
    EXPECT_NE(strText.find("AutoPlaybackAfterEffects=0"), std::string::npos);
}

TEST(LSettings, MissingEmptyOrMalformedValuesGiveTheDefault)
{
    SettingsFolder folder;
    TestSupport::WriteAll(folder.dir.File("Orvenna.ini"),
        { '[', 'S', ']', '\n', 'a', '=', '\n', 'b', '=', 'x', '\n', 'c', '=', '7', '\n' });
    LSettings& s = LSettings::Get();
    s.Reload();
    EXPECT_EQ(s.GetInt("S", "a", 5), 5);
    EXPECT_EQ(s.GetInt("S", "b", 5), 5);
    EXPECT_EQ(s.GetInt("S", "c", 5), 7);
    EXPECT_EQ(s.GetInt("Other", "c", 9), 9);
    EXPECT_EQ(s.GetString("S", "a", "dflt"), "dflt");
    EXPECT_TRUE(s.GetBool("S", "missing", true));
}

TEST(LFolders, WorkingFolderFollowsTheSettingAndIsCreated)
{
    SettingsFolder folder;
    std::string strCurrent = LFolders::GetCurrentFolder();
    EXPECT_TRUE(std::filesystem::is_directory(strCurrent));
    EXPECT_EQ(LFolders::GetWorkingFolder(), strCurrent);
    std::string strWork = folder.dir.File("work/deeper");
    LSettings::Get().SetString("Settings", "WorkingFolder", strWork);
    EXPECT_EQ(LFolders::GetWorkingFolder(), strWork);
    EXPECT_TRUE(std::filesystem::is_directory(strWork));
}
