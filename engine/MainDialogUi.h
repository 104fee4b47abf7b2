#pragma once

#include "effects/LDialogValues.h"
#include "effects/LSpectrum.h"
#include "engine/LFilePrompts.h"

#include <string>
#include <vector>

class LOVFile;
class LOVRecordInfo;

// Everything the editor's command logic needs from a person and everything
// it shows. The editor window implements it with widgets; tests and the
// command line with scripted answers. The file prompts of loading and saving
// are part of it.
class MainDialogUi : public LFilePrompts {
public:
    enum class Answer { Yes, No, Cancel };

    // A question with Yes / No / Cancel; the caption is the program's name.
    virtual Answer AskYesNoCancel(const std::string& strText, Icon icon) = 0;
    // File dialogs; strFolder is where they start and receives the folder
    // chosen. Empty results mean Cancel.
    virtual std::vector<std::string> ChooseOpenFiles(
        const std::string& strTitle, std::string& strFolder)
        = 0;
    virtual std::string ChooseSaveFile(const std::string& strTitle, std::string& strFolder) = 0;
    // A command's dialog, by its title ("Amplify", "Insert Silence", "New
    // File" ...), showing and returning the values. False on Cancel. The
    // controller checks the values afterwards and asks again (with the
    // message shown) while they are not accepted.
    virtual bool AskDialog(const std::string& strTitle, LDialogValues& values) = 0;
    // The "Frequency Analysis" dialog over the spectrum's levels; returns
    // when it is closed.
    virtual void ShowSpectrum(int32_t iRate, const LSpectrumValues& values) { }
    // The record dialog over the target: 1 when it was closed, 2 after Record
    // Next. Without a window nothing is recorded (0).
    virtual int RunRecordDialog(LOVRecordInfo& target) { return 0; }

    // What changed, for the windows to show it.
    virtual void DocumentOpened(LOVFile& doc) { }
    virtual void DocumentClosing(LOVFile& doc) { }
    virtual void CurrentChanged(LOVFile* pDoc) { }
    virtual void DocumentChanged(LOVFile& doc) { }
    virtual void SelectionChanged(LOVFile& doc) { }
    virtual void SetMenuItem(int iId, const std::string& strText, bool bEnabled) { }
    // Something the commands' enabling depends on may have changed; the
    // window asks MainDialog::IsCommandEnabled again.
    virtual void EnablingChanged() { }
    virtual void SetStatusField(int iId, const std::string& strText) { }
    // A remark about a command that completed ("the target was not
    // reached"); nothing is asked and nothing stops.
    virtual void ShowNote(const std::string& strCommand, const std::string& strText) { }
    virtual void AddRecentFile(const std::string& strPath) { }
};
