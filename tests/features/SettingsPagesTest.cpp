#include "features/LSettingsPages.h"
#include "platform/LFolders.h"
#include "platform/LSettings.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const char* const kValues[] = { "DefaultRunWav", "DefaultRunMp3", "DefaultRunGsm", "DefaultRunVox",
    "DefaultRunRaw", "DefaultRunAIF", "DefaultRunRA", "DefaultRunAU", "DefaultRunDSS",
    "DefaultRunWMA", "PromptSampleAndChannels", "DefaultSampleRate", "DefaultChannels",
    "PlayWhenOpen", "PlayBookMark", "SoundOutDevice", "AutoPlaybackAfterEffects",
    "AutoTrimThreshold", "WorkingFolder" };

class SettingsPages : public testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear()
    {
        for (const char* sz : kValues)
            LSettings::Get().Remove("Settings", sz);
    }
};
} // namespace

TEST_F(SettingsPages, DefaultsAndStoredValuesRoundTrip)
{
    LGeneralSettings g = LGeneralSettings::Load();
    EXPECT_EQ(g.vecRun, std::vector<bool>(10, true));
    EXPECT_TRUE(g.bPromptSampleAndChannels);
    EXPECT_EQ(g.iDefaultSampleRate, 44100);
    EXPECT_EQ(g.iDefaultChannels, 1);
    EXPECT_TRUE(g.bPlayWhenOpen);
    EXPECT_FALSE(g.bPlayBookMark);
    LAudioProcessSettings a = LAudioProcessSettings::Load();
    EXPECT_EQ(a.iSoundOutDevice, 0);
    EXPECT_TRUE(a.bAutoPlaybackAfterEffects);
    EXPECT_EQ(a.iAutoTrimThreshold, -20);
    EXPECT_EQ(a.strWorkingFolder, LFolders::GetCurrentFolder());

    g.vecRun[0] = false;
    g.vecRun[9] = false;
    g.bPromptSampleAndChannels = false;
    g.iDefaultSampleRate = 8000;
    g.iDefaultChannels = 2;
    g.bPlayWhenOpen = false;
    g.bPlayBookMark = true;
    g.Store();
    a.iSoundOutDevice = 3;
    a.bAutoPlaybackAfterEffects = false;
    a.iAutoTrimThreshold = -33;
    bool bChanged = true;
    std::string strError;
    ASSERT_TRUE(a.Store(bChanged, strError)) << strError;
    EXPECT_FALSE(bChanged) << "the folder shown is the one in effect";
    EXPECT_EQ(LSettings::Get().GetString("Settings", "WorkingFolder"), "");

    LSettings::Get().Reload();
    const LGeneralSettings g2 = LGeneralSettings::Load();
    EXPECT_EQ(g2.vecRun, g.vecRun);
    EXPECT_EQ(LSettings::Get().GetString("Settings", "DefaultRunWMA"), "0");
    EXPECT_FALSE(g2.bPromptSampleAndChannels);
    EXPECT_EQ(g2.iDefaultSampleRate, 8000);
    EXPECT_EQ(g2.iDefaultChannels, 2);
    EXPECT_FALSE(g2.bPlayWhenOpen);
    EXPECT_TRUE(g2.bPlayBookMark);
    const LAudioProcessSettings a2 = LAudioProcessSettings::Load();
    EXPECT_EQ(a2.iSoundOutDevice, 3);
    EXPECT_FALSE(a2.bAutoPlaybackAfterEffects);
    EXPECT_EQ(a2.iAutoTrimThreshold, -33);
}

TEST_F(SettingsPages, WorkingFolderIsCheckedBeforeItIsStored)
{
    TestSupport::TempDir dir;
    const std::string strLocked = dir.File("locked");
    std::filesystem::create_directory(strLocked);
    chmod(strLocked.c_str(), 0500);
    const bool bRoot = geteuid() == 0; // root writes anywhere
    const struct {
        std::string strFolder;
        bool bAccepted;
    } cases[] = {
        { dir.File("new/deeper"), true },
        { "relative/folder", false },
        { dir.File("file.txt/sub"), false },
        { strLocked + "/sub", bRoot },
        { strLocked, bRoot },
    };
    TestSupport::WriteAll(dir.File("file.txt"), { 1 });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strFolder);
        LSettings::Get().Remove("Settings", "WorkingFolder");
        LAudioProcessSettings a = LAudioProcessSettings::Load();
        a.strWorkingFolder = c.strFolder;
        a.iAutoTrimThreshold = -30;
        bool bChanged = false;
        std::string strError;
        EXPECT_EQ(a.Store(bChanged, strError), c.bAccepted);
        EXPECT_EQ(bChanged, c.bAccepted);
        EXPECT_EQ(strError.empty(), c.bAccepted) << strError;
        EXPECT_EQ(LSettings::Get().GetString("Settings", "WorkingFolder"),
            c.bAccepted ? c.strFolder : "");
        // A refused folder stores nothing of the page.
        EXPECT_EQ(
            LSettings::Get().GetInt("Settings", "AutoTrimThreshold", -20), c.bAccepted ? -30 : -20);
        LSettings::Get().Remove("Settings", "AutoTrimThreshold");
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path()))
            EXPECT_NE(e.path().filename().string().rfind("probe", 0), 0u) << e.path();
    }
    chmod(strLocked.c_str(), 0700);
}
