#include "features/LSettingsPages.h"
#include "platform/LSettings.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>
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

// Each value is stored under the key it is read from; the folder in effect
// is not stored again.
TEST_F(SettingsPages, StoredValuesReadBack)
{
    LGeneralSettings g = LGeneralSettings::Load();
    g.vecRun[9] = false;
    g = { g.vecRun, false, 8000, 2, false, true };
    g.Store();
    LAudioProcessSettings a = LAudioProcessSettings::Load();
    a = { 3, false, -33, a.strWorkingFolder };
    bool bChanged = true;
    std::string strError;
    ASSERT_TRUE(a.Store(bChanged, strError)) << strError;
    EXPECT_FALSE(bChanged);
    EXPECT_EQ(LSettings::Get().GetString("Settings", "WorkingFolder"), "");

    LSettings::Get().Reload();
    const LGeneralSettings g2 = LGeneralSettings::Load();
    const LAudioProcessSettings a2 = LAudioProcessSettings::Load();
    EXPECT_EQ(LSettings::Get().GetString("Settings", "DefaultRunWMA"), "0");
    EXPECT_EQ(std::make_tuple(g2.vecRun, g2.bPromptSampleAndChannels, g2.iDefaultSampleRate,
                  g2.iDefaultChannels, g2.bPlayWhenOpen, g2.bPlayBookMark),
        std::make_tuple(g.vecRun, false, 8000, 2, false, true));
    EXPECT_EQ(
        std::make_tuple(a2.iSoundOutDevice, a2.bAutoPlaybackAfterEffects, a2.iAutoTrimThreshold),
        std::make_tuple(3, false, -33));
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
        EXPECT_EQ(
            LSettings::Get().GetInt("Settings", "AutoTrimThreshold", -20), c.bAccepted ? -30 : -20);
        LSettings::Get().Remove("Settings", "AutoTrimThreshold");
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir.Path()))
            EXPECT_NE(e.path().filename().string().rfind("probe", 0), 0u) << e.path();
    }
    chmod(strLocked.c_str(), 0700);
}
