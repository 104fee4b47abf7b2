#pragma once

#include <string>
#include <vector>

// The values of the Settings sheet's General and Audio Processing pages,
// read from and stored to section "Settings". Headless, so the pages, the
// command line and the tests share one reading of every value and default.

// A file type the General page offers to open with the editor.
struct LFileTypeSetting {
    const char* szSetting; // "DefaultRunWav" ...
    const char* szLabel; // the check box's text
    int iControl;
    std::vector<const char*> extensions; // without the dot
};

struct LGeneralSettings {
    static const std::vector<LFileTypeSetting>& FileTypes();

    std::vector<bool> vecRun; // one per FileTypes() row
    bool bPromptSampleAndChannels = true;
    int iDefaultSampleRate = 44100;
    int iDefaultChannels = 1;
    bool bPlayWhenOpen = true;
    bool bPlayBookMark = false;

    static LGeneralSettings Load();
    void Store() const;
};

struct LAudioProcessSettings {
    // The auto-trim threshold the page offers, in dB.
    static constexpr int kMinThreshold = -40;
    static constexpr int kMaxThreshold = -12;

    int iSoundOutDevice = 0;
    bool bAutoPlaybackAfterEffects = true;
    int iAutoTrimThreshold = -20;
    std::string strWorkingFolder; // the folder in effect

    static LAudioProcessSettings Load();
    // A working folder that cannot be created or written to would stop the
    // next start: it is refused with the reason, and nothing is stored.
    static bool CheckWorkingFolder(const std::string& strFolder, std::string& strError);
    // Stores the values; bFolderChanged tells whether the working folder is
    // another one now (it takes effect at the next start). False, with the
    // reason, when the folder was refused.
    bool Store(bool& bFolderChanged, std::string& strError) const;
};
