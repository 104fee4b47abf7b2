#pragma once

#include "edit/LCutListAudio.h"
#include "engine/LOVFile.h"
#include "engine/LPlaybackControl.h"
#include "effects/LValueCheck.h"
#include "engine/MainDialogUi.h"
#include "process/LProgressDialog.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>

// Menu command ids.
enum : int {
    CM_FILENEW = 1001, CM_FILEOPEN = 1002, CM_FILECLOSE = 1003, CM_FILESAVE = 1004, CM_FILESAVEAS = 1005,
    CM_CONVERTRATE = 1006, CM_CONVERTMONO = 1007, CM_CONVERTSTEREO = 1008,
    CM_UNDO = 2001, CM_CUT = 2002, CM_COPY = 2003, CM_PASTE = 2004, CM_PASTEMIX = 2005, CM_DELETE = 2006,
    CM_SELECTALL = 2007, CM_MIXFILE = 2008, CM_REPEATLOOP = 2009, CM_TRIM = 2010, CM_TRIMSTART = 2011,
    CM_TRIMEND = 2012, CM_AUTOTRIM = 2013, CM_SILENCE = 2014, CM_INSSILENCEBEGIN = 2015,
    CM_INSSILENCECURRENT = 2016, CM_INSSILENCEEND = 2017, CM_INSFILEBEGIN = 2018, CM_INSFILECURRENT = 2019,
    CM_INSFILEEND = 2020, CM_COPYTONEW = 2021,
    CM_AMPLIFY = 4001, CM_NORMALIZE = 4002, CM_FADEIN = 4006, CM_FADEOUT = 4007, CM_ENVELOPE = 4008,
    CM_FADEOUTTRIM = 4013, CM_SPEEDPITCH = 4014, CM_PITCHSPEED = 4015, CM_SPEEDCONSTPITCH = 4016,
    CM_DCOFFSET = 4017, CM_REVERSE = 4018,
    CM_PLAY = 3002, CM_PLAYSLOW = 3003, CM_PLAYNORMAL = 3004, CM_PLAYFAST = 3005, CM_STOP = 3006,
    CM_GOTOSTART = 3007, CM_REWIND = 3008, CM_FASTFORWARD = 3009, CM_GOTOEND = 3010,
    CM_CLOSEALL = 5040,
};

// A command as menus, macros and scripts name it.
struct LMainCommand {
    int iId;
    const char* szName;
    bool bNeedsSelection;
};

// The main window's command logic without any window: the open documents,
// the current one, the internal clipboard, and every command that changes a
// document, with its undo step, selection and position afterwards and the
// playback after it. What it needs from a person goes through MainDialogUi.
class MainDialog {
public:
    MainDialog(MainDialogUi& ui, LPlaybackControl& playback);
    ~MainDialog();

    // The command of that name (case ignored) or id; null when unknown.
    static const LMainCommand* FindCommand(const std::string& strName);
    static const LMainCommand* FindCommand(int iId);
    // Carries out a menu command; false when it is unknown.
    bool EvCommand(int iId);
    bool IsCommandEnabled(int iId) const;

    bool LoadFile(const std::string& strPath, bool bOpenAsNew, bool bPrompt);
    int GetUntitledIdx() const;
    int GetNoFiles() const { return int(lstFiles.size()); }
    bool SaveChanges(LOVFile& doc);
    void StartModifyCurrentFile(const std::string& strName);
    void EndModifyCurrentFile(int32_t iPosition, int32_t iPreRoll);
    void ModifySelection(int32_t iStart, int32_t iEnd, int32_t iPosition);
    void ApplySelection();
    void SetZoomToFull();
    void CmUndo();
    void UpdateUndoMenuItem();
    void DirtyApply();
    // Asks every document to save; false when the user cancelled.
    bool CanClose();
    // Makes an open document current.
    void Activate(LOVFile* pDoc);

    LOVFile* GetCurrentFile() const { return pCurrentFile; }
    const std::list<std::unique_ptr<LOVFile>>& GetFiles() const { return lstFiles; }
    LCutListAudio& GetClipboard() { return claClipboard; }

    // Scrub (Space), and the Rewind / Fast Forward scans while held.
    void CmScrub();
    void ScanPressed(bool bForward);
    void ScanReleased();

    // Saving; Save As asks for the path and the format details.
    bool CmSave(LOVFile& doc, bool bFromSaveAs = false);
    bool CmSaveAs(LOVFile& doc);

private:
    using Handler = void (MainDialog::*)();
    struct Entry {
        int iId;
        Handler handler;
    };
    static const Entry aHandlers[];

    LOVFile& AddDocument(std::unique_ptr<LOVFile> pDoc);
    void CloseDocument(LOVFile& doc);
    // Shows the dialog again, after the check's message, while its values
    // are not accepted; false on Cancel.
    bool AskChecked(const std::string& strTitle, LDialogValues& values,
                    const std::function<LValueCheck(const LDialogValues&)>& check);
    // Runs a background operation; its result (0 done, 1 cancelled, 2 failed).
    template <class X>
    int RunOperation(const std::string& strCaption, X& data)
    {
        Process<X> run(strCaption, data);
        run.Run(this);
        return run.GetResult();
    }
    // The effect sequence after the dialog: undo step, the operation, and on
    // completion the cursor at the range start and playback from half a
    // second before it.
    template <class X>
    void RunEffect(const std::string& strName, X& data);
    bool LoadTemporary(const std::string& strTitle, const char* szFolderSetting, LCutListAudio& list);
    bool ConvertToDocument(const std::string& strCaption, LCutListAudio& list);
    void RefreshCurrent();
    int32_t OneSecond() const;

    void CmNew();
    void CmOpen();
    void CmClose();
    void CmSaveCurrent();
    void CmSaveAsCurrent();
    void CmCloseAll();
    void CmConvertRate();
    void CmConvertMono();
    void CmConvertStereo();
    void CmConvertChannels(int iChannels);
    void CmCut();
    void CmCopy();
    void CmPaste();
    void CmDelete();
    void CmSelectAll();
    void CmRepeatLoop();
    void CmTrim();
    void CmTrimStart();
    void CmTrimEnd();
    void CmSilence();
    void CmInsertSilenceBegin();
    void CmInsertSilenceCurrent();
    void CmInsertSilenceEnd();
    void CmInsertSilence(int iWhere, const char* szName);
    void CmInsertFileBegin();
    void CmInsertFileCurrent();
    void CmInsertFileEnd();
    void CmInsertFile(int iWhere, const char* szName);
    void CmCopyToNew();
    void CmAmplify();
    void CmNormalize();
    void CmFadeIn();
    void CmFadeOut();
    void CmFadeOutTrim();
    void CmFade(int iKind, const char* szName);
    void CmReverse();
    void CmDCOffset();
    void CmAutoTrim();
    void CmPasteMix();
    void CmMixFile();
    void CmMix(const std::string& strName, const LCutListAudio& clip);
    void CmPlay();
    void CmPlaySlow();
    void CmPlayNormal();
    void CmPlayFast();
    void CmStop();
    void CmGoToStart();
    void CmGoToEnd();
    void CmRewind();
    void CmFastForward();
    void CmSpeedPitch();
    void CmPitchSpeed();
    void CmSpeedConstPitch();
    void CmChangeSpeed(int iMode);

    MainDialogUi& ui;
    LPlaybackControl& playback;
    std::list<std::unique_ptr<LOVFile>> lstFiles;
    LOVFile* pCurrentFile = nullptr;
    LCutListAudio claClipboard;
    int32_t sShiftAnchor = 0;
    bool bShiftDown = false;
    bool bHadSelection = false;
};
