#pragma once

#include "engine/LDocumentListener.h"
#include "engine/MainDialog.h"
#include "features/LBookMarkList.h"
#include "features/LOVProject.h"
#include "features/LOVRegion.h"
#include "features/ProjectDialogUi.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The bookmarks, regions and project of the main window, without any
// window: their commands (rows of the command table), the bookmark list
// files beside saved audio, the project files, and bookmarks that follow
// their documents' edits and names. Lives on the user-interface thread as
// long as the MainDialog it was given, which it listens to.
class ProjectDialog : public LDocumentListener {
public:
    ProjectDialog(MainDialog& main, ProjectDialogUi& ui);

    LBookMarkList& GetBookMarks() { return bookmarks; }
    std::vector<LOVRegion>& GetRegions() { return regions; }
    const std::string& GetProjectPath() const { return strProjectPath; }
    // Called after a bookmark was added, renamed, visited or deleted.
    std::function<void()> fnBookMarksChanged;

    // Bookmarks (indices into the list)
    void CmSetBookMark();
    void GoToBookMark(size_t iIndex);
    void RenameBookMark(size_t iIndex, const std::string& strName);
    // Ask first; false when the answer was not Yes.
    bool DeleteBookMarks(std::vector<size_t> indices);
    bool DeleteAllBookMarks();
    // Regions
    void CmSetRegion();
    void RenameRegion(size_t iIndex, const std::string& strName);
    bool DeleteRegions(std::vector<size_t> indices);
    bool DeleteAllRegions();
    bool SaveRegion(size_t iIndex);
    void CopyRegionToNew(size_t iIndex);
    // Assembles copies of the listed regions (in that order) into a new
    // document; false when it failed or was cancelled.
    bool Assemble(const std::vector<LOVRegion>& order);
    // Projects
    bool LoadProject(const std::string& strPath);
    bool SaveProject(const std::string& strPath);
    // bAskDocuments false: the documents were offered for saving already
    // (at exit) and close without asking again.
    bool SaveChangesToProject(bool bAskDocuments = true);
    void CmOpenProject();
    void CmCloseProject();
    void CmSaveProject();
    void CmSaveProjectAs();

    // LDocumentListener
    void DocumentLoaded(LOVFile& doc) override;
    void DocumentSaved(LOVFile& doc, const std::string& strOldName) override;
    void DocumentClosing(LOVFile& doc) override;
    void AllClosed() override;
    void StepTaken(LOVFile& doc) override;
    void DocumentEdited(LOVFile& doc) override;
    void UndoTaking(LOVFile& doc) override;
    bool CanExit() override;

private:
    std::vector<LCommand> Commands();
    void MarkModified(const std::string& strDisplayName);
    LOVFile* FindDocument(const std::string& strDisplayName) const;
    // Asks for every dirty document, then closes them all and empties the
    // lists; false (nothing closed) on Cancel.
    bool ClearProjectState(bool bAskDocuments = true);
    void Adopt(LOVProjectData& data);
    void KeepUntitledName(LOVFile& doc, std::vector<LOVBookMark>& marks);
    void SetProjectPath(const std::string& strPath);
    MainDialogUi::Answer Ask(const std::string& strText);

    // The bookmark positions (ms, by serial) and audio of a document when
    // an undo step was taken, so that each edit maps them from there and
    // Undo puts them back.
    struct Snapshot {
        LCutListAudio claBefore;
        std::vector<std::pair<uint32_t, int32_t>> positions;
    };
    std::map<std::pair<const LOVFile*, int>, Snapshot> snapshots;

    MainDialog& main;
    ProjectDialogUi& ui;
    LBookMarkList bookmarks;
    std::vector<LOVRegion> regions;
    std::string strProjectPath;
};
