#pragma once

#include "edit/LCutListAudio.h"
#include "effects/LValueCheck.h"
#include "engine/LCommandTable.h"
#include "engine/LDocumentListener.h"
#include "engine/LOVFile.h"
#include "engine/LPlaybackControl.h"
#include "engine/MainDialogUi.h"
#include "process/LProgressDialog.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>

struct LEffect;

// The main window's command logic without any window: the open documents,
// the current one, the internal clipboard, and every command that changes a
// document, with its undo step, selection and position afterwards and the
// playback after it. What it needs from a person goes through MainDialogUi.
class MainDialog {
public:
    MainDialog(MainDialogUi& ui, LPlaybackControl& playback);
    ~MainDialog();

    // The commands of this window; the layers above register theirs here.
    LCommandTable& GetCommands() { return commands; }
    const LCommandTable& GetCommands() const { return commands; }
    // Carries out a command after what its row asks: nothing when its
    // document, selection or clipboard is missing, playback stopped, the
    // undo step taken. False when no row has that id.
    bool EvCommand(int iId);
    bool IsCommandEnabled(int iId) const;
    LCommandState GetCommandState() const;

    bool LoadFile(const std::string& strPath, bool bOpenAsNew, bool bPrompt);
    // A new empty document in that format becomes the current one.
    LOVFile& NewDocument(int32_t iRate, int iChannels);
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
    // Adds a document to the list and makes it current.
    LOVFile& AddDocument(std::unique_ptr<LOVFile> pDoc);
    // Closes a document without asking.
    void CloseDocument(LOVFile& doc);
    // The layers above follow the documents through listeners (not owned;
    // they outlive this object's use of them).
    void AddListener(LDocumentListener& listener) { listeners.push_back(&listener); }
    MainDialogUi& GetUi() const { return ui; }

    LOVFile* GetCurrentFile() const { return pCurrentFile; }
    const std::list<std::unique_ptr<LOVFile>>& GetFiles() const { return lstFiles; }
    LCutListAudio& GetClipboard() { return claClipboard; }

    // Record (3001) started by its key: the result plays when the record
    // dialog closes.
    void RecordFromKey();

    // Scrub (Space), and the Rewind / Fast Forward scans while held.
    void CmScrub();
    void ScanPressed(bool bForward);
    void ScanReleased();

    // Saving; Save As asks for the path and the format details.
    // strOldName: the display name before Save As changed the path.
    bool CmSave(LOVFile& doc, bool bFromSaveAs = false, const std::string& strOldName = {});
    bool CmSaveAs(LOVFile& doc);

    // The values an effect of the effects table runs with, asked as its
    // command asks them: the stored ones offered, checked, stored again and
    // its curve saved. pDoc's selection is what Preview plays (none when
    // null). False when refused or cancelled.
    bool AskEffectValues(const LEffect& effect, const LOVFile* pDoc, LDialogValues& values);

    // Text To Speech, a new document first when none is open: fnSynthesize
    // asks for the text and writes the speech as a WAV file at the path it
    // is given (false when cancelled or failed); that goes over the
    // selection, or in at the cursor, and is deleted.
    void CmTextToSpeech(const std::function<bool(const std::string& strPath)>& fnSynthesize);

private:
    // The rows of each topic, beside their handlers.
    std::vector<LCommand> FileCommands();
    std::vector<LCommand> EditCommands();
    std::vector<LCommand> EffectCommands();
    std::vector<LCommand> TransportCommands();
    // The undo step named by the running command's row.
    void TakeUndoStep();
    const std::string& RunningName() const { return strRunning; }

    template <class F> void Notify(F fn)
    {
        for (LDocumentListener* p : listeners)
            fn(*p);
    }
    // Shows the dialog again, after the check's message, while its values
    // are not accepted; false on Cancel.
    bool AskChecked(const std::string& strTitle, LDialogValues& values,
        const std::function<LValueCheck(const LDialogValues&)>& check);
    // Runs a background operation; its result (0 done, 1 cancelled, 2 failed).
    template <class X> int RunOperation(const std::string& strCaption, X& data)
    {
        Process<X> run(strCaption, data);
        run.Run(this);
        return run.GetResult();
    }
    bool LoadTemporary(
        const std::string& strTitle, const char* szFolderSetting, LCutListAudio& list);
    // Loads a file into a list that is not a document, saying why it failed.
    bool LoadInto(const std::string& strPath, LCutListAudio& list);
    bool ConvertToDocument(const std::string& strCaption, LCutListAudio& list);
    void RefreshCurrent();
    int32_t OneSecond() const;

    // File
    void CmNew();
    void CmOpen();
    void CmClose();
    void CmCloseAll();
    // Edit
    void CmCut();
    void CmCopy();
    void CmPaste();
    void CmDelete();
    void CmSelectAll();
    void CmTrim();
    void CmTrimStart();
    void CmTrimEnd();
    void CmSilence();
    void CmInsertSilence(int iWhere);
    void CmInsertFile(int iWhere);
    void CmCopyToNew();
    void CmMixFile();
    void CmMix(const LCutListAudio& clip);
    // Effects and conversions: an effect of the effects table runs over the
    // selection, or at iAt (frames) when that is not negative.
    bool AskValues(const LValueForm& form, const std::string& strTitle, LDialogValues& values);
    void CmEffect(const char* szEffect, int32_t iAt = -1);
    void CmAutoTrim();
    void CmFrequencyAnalysis();
    void CmConvertRate();
    void CmConvertChannels(int iChannels);
    // Transport
    void CmPlay();
    void CmGoToStart();
    void CmGoToEnd();
    void CmScan(bool bForward);
    void CmRecord();
    // One record dialog into the current document; its result, 0 when no
    // take brought audio.
    int RecordInto(LOVFile& doc);

    LCommandTable commands;
    std::vector<LDocumentListener*> listeners;
    std::string strRunning; // the undo name of the command being run
    bool bStepTaken = false; // whether it has taken its undo step
    MainDialogUi& ui;
    LPlaybackControl& playback;
    std::list<std::unique_ptr<LOVFile>> lstFiles;
    LOVFile* pCurrentFile = nullptr;
    LCutListAudio claClipboard;
    int32_t sShiftAnchor = 0;
    bool bShiftDown = false;
    bool bHadSelection = false;
    bool bRecordFromKey = false;
};
