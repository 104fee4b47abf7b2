#include "features/LSettingsPages.h"

#include "platform/LFile.h"
#include "platform/LFolders.h"
#include "platform/LSettings.h"

#include <algorithm>

namespace {
const char* const kSection = "Settings";
} // namespace

const std::vector<LFileTypeSetting>& LGeneralSettings::FileTypes()
{
    static const std::vector<LFileTypeSetting> types = {
        { "DefaultRunWav", "wav", 101, { "wav" } },
        { "DefaultRunMp3", "mp3", 102, { "mp3" } },
        { "DefaultRunGsm", "gsm", 103, { "gsm" } },
        { "DefaultRunVox", "vox", 104, { "vox" } },
        { "DefaultRunRaw", "raw", 108, { "raw" } },
        { "DefaultRunAIF", "aif", 109, { "aif", "aiff" } },
        { "DefaultRunRA", "rm", 110, { "ra", "ram", "rm" } },
        { "DefaultRunAU", "au", 112, { "au" } },
        { "DefaultRunDSS", "dss", 113, { "dss" } },
        { "DefaultRunWMA", "wma", 114, { "wma" } },
    };
    return types;
}

LGeneralSettings LGeneralSettings::Load()
{
    LSettings& s = LSettings::Get();
    LGeneralSettings g;
    for (const LFileTypeSetting& t : FileTypes())
        g.vecRun.push_back(s.GetBool(kSection, t.szSetting, true));
    g.bPromptSampleAndChannels = s.GetBool(kSection, "PromptSampleAndChannels", true);
    g.iDefaultSampleRate = s.GetInt(kSection, "DefaultSampleRate", 44100);
    g.iDefaultChannels = s.GetInt(kSection, "DefaultChannels", 1);
    g.bPlayWhenOpen = s.GetBool(kSection, "PlayWhenOpen", true);
    g.bPlayBookMark = s.GetBool(kSection, "PlayBookMark", false);
    return g;
}

void LGeneralSettings::Store() const
{
    LSettings& s = LSettings::Get();
    const auto& types = FileTypes();
    for (size_t i = 0; i < types.size() && i < vecRun.size(); ++i)
        s.SetBool(kSection, types[i].szSetting, vecRun[i]);
    s.SetBool(kSection, "PromptSampleAndChannels", bPromptSampleAndChannels);
    s.SetInt(kSection, "DefaultSampleRate", iDefaultSampleRate);
    s.SetInt(kSection, "DefaultChannels", iDefaultChannels);
    s.SetBool(kSection, "PlayWhenOpen", bPlayWhenOpen);
    s.SetBool(kSection, "PlayBookMark", bPlayBookMark);
}

LAudioProcessSettings LAudioProcessSettings::Load()
{
    LSettings& s = LSettings::Get();
    LAudioProcessSettings a;
    a.iSoundOutDevice = s.GetInt(kSection, "SoundOutDevice", 0);
    a.bAutoPlaybackAfterEffects = s.GetBool(kSection, "AutoPlaybackAfterEffects", true);
    a.iAutoTrimThreshold = std::clamp(s.GetInt(kSection, "AutoTrimThreshold", -20), -127, 127);
    a.strWorkingFolder = LFolders::GetWorkingFolder();
    return a;
}

bool LAudioProcessSettings::CheckWorkingFolder(const std::string& strFolder, std::string& strError)
{
    const std::string strWhy = "The audio working folder \"" + strFolder + "\" ";
    if (strFolder.empty() || strFolder[0] != '/') {
        strError = strWhy + "must be a full path.";
        return false;
    }
    if (!LFolders::Ensure(strFolder)) {
        strError = strWhy + "cannot be created.";
        return false;
    }
    // Cut files are written there: a file is made and removed to prove it.
    LFile probe;
    std::string strProbe;
    if (!probe.OpenUnique(strFolder, "probe", ".tmp", strProbe)) {
        strError = strWhy + "cannot be written: " + LFile::DescribeError(probe.GetError()) + ".";
        return false;
    }
    probe.Close();
    LFile::Delete(strProbe);
    return true;
}

bool LAudioProcessSettings::Store(bool& bFolderChanged, std::string& strError) const
{
    bFolderChanged = strWorkingFolder != LFolders::GetWorkingFolder();
    if (bFolderChanged && !CheckWorkingFolder(strWorkingFolder, strError)) {
        bFolderChanged = false;
        return false;
    }
    LSettings& s = LSettings::Get();
    s.SetInt(kSection, "SoundOutDevice", iSoundOutDevice);
    s.SetBool(kSection, "AutoPlaybackAfterEffects", bAutoPlaybackAfterEffects);
    s.SetInt(kSection, "AutoTrimThreshold", iAutoTrimThreshold);
    if (bFolderChanged)
        s.SetString(kSection, "WorkingFolder", strWorkingFolder);
    return true;
}
