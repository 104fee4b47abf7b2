#include "features/ProjectDialog.h"

#include "audio/LSoundTime.h"
#include "engine/LOVSaveToSink.h"
#include "features/LAssembleRegions.h"
#include "features/LEditMap.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"

#include <algorithm>
#include <ctime>

namespace {
using Answer = MainDialogUi::Answer;
using Icon = LFilePrompts::Icon;
const char* const kVersionText = "This file does not have the same version with the current "
                                 "Orvenna version or it is corrupted.";
const char* const kCannotLoad = "Orvenna cannot load the project. The project may be corrupted "
                                "or damaged. Please try again.";
const char* const kCannotSave = "Orvenna could not save the project.";

std::string TimeText(int32_t iMs)
{
    return LSoundTime(iMs).GetHundredthsText();
}

uint32_t Now()
{
    return uint32_t(std::time(nullptr));
}

template <class T> void EraseIndices(std::vector<T>& v, std::vector<size_t> indices)
{
    std::sort(indices.rbegin(), indices.rend());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    for (size_t i : indices)
        if (i < v.size())
            v.erase(v.begin() + std::ptrdiff_t(i));
}
} // namespace

ProjectDialog::ProjectDialog(MainDialog& main, ProjectDialogUi& ui)
    : main(main)
    , ui(ui)
{
    main.GetCommands().Register(Commands());
    main.AddListener(*this);
}

std::vector<LCommand> ProjectDialog::Commands()
{
    return {
        { CM_OPENPROJECT, "Open Project", "Open Project...", nullptr, "Opens a project.",
            kCmdStopsPlayback, nullptr, 0, [this] { CmOpenProject(); } },
        { CM_CLOSEPROJECT, "Close Project", "Close Project", nullptr, "Closes the current project.",
            kCmdStopsPlayback, nullptr, 0, [this] { CmCloseProject(); } },
        { CM_SAVEPROJECT, "Save Project", "Save Project", nullptr, "Saves the current project.",
            kCmdStopsPlayback, nullptr, 0, [this] { CmSaveProject(); } },
        { CM_SAVEPROJECTAS, "Save Project As", "Save Project As...", nullptr,
            "Saves the current project under a new name.", kCmdStopsPlayback, nullptr, 0,
            [this] { CmSaveProjectAs(); } },
        { CM_SETBOOKMARK, "Set Bookmark", "Set Bookmark\tCtrl+B", "Ctrl+B",
            "Sets a bookmark at the current position.", kCmdDocument, nullptr, 0,
            [this] { CmSetBookMark(); } },
        { CM_OPENBOOKMARKS, "Open Bookmark List", "Open Bookmark List\tCtrl+Shift+B",
            "Ctrl+Shift+B", "Shows the bookmark list.", 0, nullptr, 0,
            [this] { ui.OpenBookMarkWindow(); } },
        { CM_ADDREGION, "Add Region", "Add Region\tCtrl+R", "Ctrl+R",
            "Adds the selection to the region list.", kCmdSelection, nullptr, 0,
            [this] { CmSetRegion(); } },
        { CM_OPENREGIONS, "Open Region List", "Open Region List\tCtrl+Shift+R", "Ctrl+Shift+R",
            "Shows the region list.", 0, nullptr, 0, [this] { ui.OpenRegionWindow(); } },
        { CM_ASSEMBLEREGIONS, "Assemble Regions", "Assemble Regions", nullptr,
            "Joins regions into a new file.", kCmdStopsPlayback, nullptr, 0,
            [this] { ui.OpenAssembly(); } },
    };
}

MainDialogUi::Answer ProjectDialog::Ask(const std::string& strText)
{
    return main.GetUi().AskYesNoCancel(strText, Icon::Question);
}

LOVFile* ProjectDialog::FindDocument(const std::string& strDisplayName) const
{
    for (const auto& p : main.GetFiles())
        if (LSameName(p->GetDisplayName(), strDisplayName))
            return p.get();
    return nullptr;
}

void ProjectDialog::MarkModified(const std::string& strDisplayName)
{
    if (LOVFile* pDoc = FindDocument(strDisplayName)) {
        pDoc->bDirty = 1;
        main.DirtyApply();
    }
    if (fnBookMarksChanged)
        fnBookMarksChanged();
}

// ---- bookmarks ---------------------------------------------------------------

void ProjectDialog::CmSetBookMark()
{
    LOVFile& doc = *main.GetCurrentFile();
    const std::string strFile = doc.GetDisplayName();
    const int32_t iMs = LSoundTime::FramesToMs(doc.sPosition, doc.claAudio.GetSampleRate());
    std::string strName = strFile + "@" + TimeText(iMs);
    if (!ui.AskText("Enter Bookmark Name", strName))
        return;
    if (int i = bookmarks.FindName(strName); i >= 0
        && Ask("This bookmark name already exist. Do you want to replace it?") == Answer::Yes)
        bookmarks.Items().erase(bookmarks.Items().begin() + i);
    bookmarks.Append({ strName, strFile, iMs, 1, Now() });
    MarkModified(strFile);
    ui.ListsChanged();
}

void ProjectDialog::GoToBookMark(size_t iIndex)
{
    if (iIndex >= bookmarks.Items().size())
        return;
    LOVBookMark& b = bookmarks.Items()[iIndex];
    b.Visit(Now());
    ui.ListsChanged();
    LOVFile* pDoc = FindDocument(b.szFile);
    if (!pDoc)
        return;
    main.Activate(pDoc);
    // A bookmark beyond the audio (its document shrank) goes to the end.
    const int32_t iAt = std::clamp(
        LSoundTime::MsToFrames(b.iPosition, pDoc->claAudio.GetSampleRate()), 0, pDoc->GetLength());
    // The empty range at the bookmark, also before playing: Play would
    // otherwise play a selection from its start.
    main.ModifySelection(iAt, iAt, iAt);
    if (LSettings::Get().GetBool("Settings", "PlayBookMark", false))
        main.EvCommand(CM_PLAY);
}

void ProjectDialog::RenameBookMark(size_t iIndex, const std::string& strName)
{
    if (iIndex >= bookmarks.Items().size() || strName.empty())
        return;
    bookmarks.Items()[iIndex].szName = strName;
    MarkModified(bookmarks.Items()[iIndex].szFile);
    ui.ListsChanged();
}

bool ProjectDialog::DeleteBookMarks(std::vector<size_t> indices)
{
    if (indices.empty() || Ask("Delete the selected bookmark(s)?") != Answer::Yes)
        return false;
    for (size_t i : indices)
        if (i < bookmarks.Items().size())
            MarkModified(bookmarks.Items()[i].szFile);
    EraseIndices(bookmarks.Items(), std::move(indices));
    ui.ListsChanged();
    return true;
}

bool ProjectDialog::DeleteAllBookMarks()
{
    if (bookmarks.Items().empty() || Ask("Delete all selected bookmark(s)?") != Answer::Yes)
        return false;
    for (const LOVBookMark& b : bookmarks.Items())
        MarkModified(b.szFile);
    bookmarks.Clear();
    ui.ListsChanged();
    return true;
}

// ---- regions -----------------------------------------------------------------

void ProjectDialog::CmSetRegion()
{
    LOVFile& doc = *main.GetCurrentFile();
    const int32_t iRate = doc.claAudio.GetSampleRate();
    const int32_t iStart = LSoundTime::FramesToMs(doc.sSelStart, iRate),
                  iEnd = LSoundTime::FramesToMs(doc.sSelEnd, iRate);
    std::string strName = doc.GetDisplayName() + "@" + TimeText(iStart) + "-" + TimeText(iEnd);
    for (;;) {
        if (!ui.AskText("Enter Region Name", strName))
            return;
        auto it = std::find_if(regions.begin(), regions.end(),
            [&](const LOVRegion& r) { return LSameName(r.szName, strName); });
        if (it == regions.end())
            break;
        Answer a = Ask("Another region with the same name already exists. Do you want to "
                       "replace it?");
        if (a == Answer::Cancel)
            return;
        if (a == Answer::Yes) {
            regions.erase(it);
            break;
        }
    }
    LOVRegion& r = regions.emplace_back();
    r.szName = strName;
    r.szFile = doc.szFilePath.size() < LOVRegion::kTextSize ? doc.szFilePath : std::string();
    r.iStart = iStart;
    r.iEnd = iEnd;
    doc.claAudio.EfCopy(doc.sSelStart, doc.sSelEnd, r.claAudio);
    ui.ListsChanged();
}

void ProjectDialog::RenameRegion(size_t iIndex, const std::string& strName)
{
    if (iIndex < regions.size() && !strName.empty()) {
        regions[iIndex].szName = strName;
        ui.ListsChanged();
    }
}

bool ProjectDialog::DeleteRegions(std::vector<size_t> indices)
{
    if (indices.empty() || Ask("Delete the selected region(s)?") != Answer::Yes)
        return false;
    EraseIndices(regions, std::move(indices));
    ui.ListsChanged();
    return true;
}

bool ProjectDialog::DeleteAllRegions()
{
    if (regions.empty() || Ask("Delete all selected region(s)?") != Answer::Yes)
        return false;
    regions.clear();
    ui.ListsChanged();
    return true;
}

bool ProjectDialog::SaveRegion(size_t iIndex)
{
    if (iIndex >= regions.size())
        return false;
    LSettings& s = LSettings::Get();
    std::string strFolder = s.GetString("Settings", "SaveRegionDir");
    std::string strPath;
    for (;;) {
        strPath = main.GetUi().ChooseSaveFile("Save Region As", strFolder);
        if (strPath.empty())
            return false;
        s.SetString("Settings", "SaveRegionDir", strFolder);
        if (!LFile::Exists(strPath))
            break;
        Answer a
            = Ask("Another file with the same name already exists. Do you want to replace it?");
        if (a == Answer::Cancel)
            return false;
        if (a == Answer::Yes)
            break;
    }
    LOVSaveToSink save;
    save.pSource = &regions[iIndex].claAudio;
    save.strPath = strPath;
    save.uPromptMode = LOVSaveToSink::kAsk;
    save.pPrompts = &main.GetUi();
    Process<LOVSaveToSink> run("Saving...", save);
    run.Run(&main);
    return run.GetResult() == 0;
}

void ProjectDialog::CopyRegionToNew(size_t iIndex)
{
    if (iIndex >= regions.size())
        return;
    auto pDoc = std::make_unique<LOVFile>();
    pDoc->iUntitledIdx = main.GetUntitledIdx();
    pDoc->claAudio = regions[iIndex].claAudio;
    pDoc->sViewEnd = pDoc->GetLength();
    pDoc->bDirty = 1;
    main.AddDocument(std::move(pDoc));
}

bool ProjectDialog::Assemble(const std::vector<LOVRegion>& order)
{
    LAssembleRegions run;
    for (const LOVRegion& r : order)
        run.regions.push_back(&r);
    LSettings& s = LSettings::Get();
    run.bAutoGap = s.GetBool("Settings", "AutoGap", true);
    run.iGapMs = s.GetInt("Settings", "AutoGapTime", 300);
    if (RunAssembly(run, &main) != 0) {
        if (!run.strError.empty())
            main.GetUi().ShowMessage(run.strError, "Orvenna", Icon::Stop);
        return false;
    }
    auto pDoc = std::make_unique<LOVFile>();
    pDoc->iUntitledIdx = main.GetUntitledIdx();
    pDoc->claAudio = std::move(run.result);
    pDoc->sViewEnd = pDoc->GetLength();
    pDoc->bDirty = 1;
    main.AddDocument(std::move(pDoc));
    return true;
}

// ---- projects ----------------------------------------------------------------

void ProjectDialog::SetProjectPath(const std::string& strPath)
{
    strProjectPath = strPath;
    ui.ProjectChanged(strPath);
    main.GetUi().EnablingChanged();
}

bool ProjectDialog::ClearProjectState(bool bAskDocuments)
{
    for (const auto& p : main.GetFiles())
        if (bAskDocuments && !main.SaveChanges(*p))
            return false;
    while (!main.GetFiles().empty())
        main.CloseDocument(*main.GetFiles().front());
    regions.clear();
    bookmarks.Clear();
    snapshots.clear();
    strProjectPath.clear();
    ui.ListsChanged();
    return true;
}

bool ProjectDialog::SaveChangesToProject(bool bAskDocuments)
{
    if (regions.empty() && !main.GetCurrentFile())
        return ClearProjectState(bAskDocuments);
    Answer a = Ask("Save changes to current project?");
    if (a == Answer::Cancel)
        return false;
    if (a == Answer::Yes) {
        if (strProjectPath.empty())
            CmSaveProjectAs();
        else if (!SaveProject(strProjectPath))
            main.GetUi().ShowMessage(kCannotSave, "Error", Icon::Stop);
    }
    return ClearProjectState(bAskDocuments);
}

void ProjectDialog::Adopt(LOVProjectData& data)
{
    std::vector<LOVFile*> added;
    for (auto& p : data.files) {
        if (p->szFilePath.empty())
            KeepUntitledName(*p, data.bookmarks);
        added.push_back(&main.AddDocument(std::move(p)));
    }
    for (LOVBookMark& b : data.bookmarks)
        bookmarks.Append(std::move(b));
    for (LOVRegion& r : data.regions)
        regions.push_back(std::move(r));
    main.Activate(data.bActive < added.size() ? added[data.bActive] : nullptr);
    ui.ListsChanged();
}

// A never-saved document keeps the number the project gave it unless an open
// document holds it; a new number takes its bookmarks along.
void ProjectDialog::KeepUntitledName(LOVFile& doc, std::vector<LOVBookMark>& marks)
{
    const bool bTaken = std::any_of(main.GetFiles().begin(), main.GetFiles().end(),
        [&doc](const std::unique_ptr<LOVFile>& p) { return p->iUntitledIdx == doc.iUntitledIdx; });
    if (doc.iUntitledIdx > 0 && !bTaken)
        return;
    const std::string strWas = doc.GetDisplayName();
    doc.iUntitledIdx = main.GetUntitledIdx();
    for (LOVBookMark& b : marks)
        if (LSameName(b.szFile, strWas))
            b.szFile = doc.GetDisplayName();
}

bool ProjectDialog::LoadProject(const std::string& strPath)
{
    if (!strProjectPath.empty() && LSameName(strPath, strProjectPath))
        return true;
    // Read and checked whole before anything open is touched: a damaged
    // project costs the user nothing.
    LOVProjectData data;
    LOVLoadProject load { strPath, &data };
    Process<LOVLoadProject> run("Loading Project", load);
    run.Run(&main);
    if (run.GetResult() == 1)
        return false;
    if (run.GetResult() != 0) {
        if (load.bWrongVersion)
            main.GetUi().ShowMessage(kVersionText, "File Error", Icon::Stop);
        main.GetUi().ShowMessage(load.strWhy.empty()
                ? kCannotLoad
                : std::string(kCannotLoad) + "\n(" + load.strWhy + ")",
            "Error", Icon::Stop);
        return false;
    }
    if (!SaveChangesToProject())
        return false;
    Adopt(data);
    SetProjectPath(strPath);
    return true;
}

bool ProjectDialog::SaveProject(const std::string& strPath)
{
    LOVSaveProject save;
    save.strPath = strPath;
    uint8_t bIndex = 0;
    for (const auto& p : main.GetFiles()) {
        if (p.get() == main.GetCurrentFile())
            save.bActive = bIndex;
        save.files.push_back(p.get());
        ++bIndex;
    }
    save.pBookmarks = &bookmarks.Items();
    save.pRegions = &regions;
    Process<LOVSaveProject> run("Saving Project", save);
    run.Run(&main);
    if (run.GetResult() == 0 && !save.strWarning.empty())
        main.GetUi().ShowMessage(save.strWarning, "Orvenna", Icon::Exclamation);
    return run.GetResult() == 0;
}

void ProjectDialog::CmOpenProject()
{
    LSettings& s = LSettings::Get();
    std::string strFolder = s.GetString("StoreValues", "OpenProjectDir");
    std::vector<std::string> files = main.GetUi().ChooseOpenFiles("Open Project", strFolder);
    if (files.empty())
        return;
    s.SetString("StoreValues", "OpenProjectDir", strFolder);
    LoadProject(files.front());
}

void ProjectDialog::CmCloseProject()
{
    if (strProjectPath.empty() || !SaveChangesToProject())
        return;
    SetProjectPath("");
}

void ProjectDialog::CmSaveProject()
{
    if (main.GetFiles().empty()
        && Ask("This project does not contain any file. Do you want to continue to save it?")
            != Answer::Yes)
        return;
    if (strProjectPath.empty()) {
        CmSaveProjectAs();
        return;
    }
    if (!SaveProject(strProjectPath))
        main.GetUi().ShowMessage(kCannotSave, "Error", Icon::Stop);
}

void ProjectDialog::CmSaveProjectAs()
{
    LSettings& s = LSettings::Get();
    std::string strFolder = s.GetString("Settings", "SaveProjectAsDir");
    std::string strPath;
    for (;;) {
        strPath = main.GetUi().ChooseSaveFile("Save Project As", strFolder);
        if (strPath.empty())
            return;
        s.SetString("Settings", "SaveProjectAsDir", strFolder);
        if (!LFile::Exists(strPath))
            break;
        Answer a
            = Ask("Another project with the same name already exists. Do you want to replace it?");
        if (a == Answer::Cancel)
            return;
        if (a == Answer::Yes)
            break;
    }
    if (!SaveProject(strPath))
        main.GetUi().ShowMessage(kCannotSave, "Error", Icon::Stop);
    SetProjectPath(strPath);
}

// ---- following the documents ---------------------------------------------------

void ProjectDialog::DocumentLoaded(LOVFile& doc)
{
    LBookMarkList::LoadResult r = bookmarks.LoadFile(LBookMarkList::ObmPath(doc.szFilePath));
    if (r == LBookMarkList::LoadResult::WrongVersion)
        main.GetUi().ShowMessage(kVersionText, "File Error", Icon::Stop);
    if (r != LBookMarkList::LoadResult::Missing)
        ui.ListsChanged();
}

void ProjectDialog::DocumentSaved(LOVFile& doc, const std::string& strOldName)
{
    const std::string strName = doc.GetDisplayName();
    if (!LSameName(strName, strOldName)) {
        bookmarks.RenameFile(strOldName, strName);
        ui.ListsChanged();
    }
    std::string strWarning;
    const std::string strObm = LBookMarkList::ObmPath(doc.szFilePath);
    if (int iErr = bookmarks.SaveFile(strObm, strName, strWarning); iErr != 0)
        main.GetUi().ShowMessage("The bookmarks could not be saved to \"" + strObm + "\" ("
                + LFile::DescribeError(iErr) + ").",
            "Orvenna", Icon::Exclamation);
    else if (!strWarning.empty())
        main.GetUi().ShowMessage(strWarning, "Orvenna", Icon::Exclamation);
}

void ProjectDialog::DocumentClosing(LOVFile& doc)
{
    bookmarks.RemoveFile(doc.GetDisplayName());
    std::erase_if(snapshots, [&doc](const auto& kv) { return kv.first.first == &doc; });
    ui.ListsChanged();
}

void ProjectDialog::AllClosed()
{
    bookmarks.Clear();
    ui.ListsChanged();
}

void ProjectDialog::StepTaken(LOVFile& doc)
{
    Snapshot& snap = snapshots[{ &doc, doc.iUndoIdx }];
    snap.claBefore = doc.aUndo[size_t(doc.iUndoIdx)].claAudio;
    snap.positions.clear();
    for (const LOVBookMark* p : bookmarks.OfFile(doc.GetDisplayName()))
        snap.positions.emplace_back(p->uSerial, p->iPosition);
}

void ProjectDialog::DocumentEdited(LOVFile& doc)
{
    auto it = snapshots.find({ &doc, doc.iUndoIdx });
    if (it == snapshots.end() || doc.aUndo[size_t(doc.iUndoIdx)].szName.empty())
        return;
    const LEditMap map(it->second.claBefore, doc.claAudio);
    for (LOVBookMark* p : bookmarks.OfFile(doc.GetDisplayName()))
        for (const auto& [uSerial, iMs] : it->second.positions)
            if (p->uSerial == uSerial)
                p->iPosition = map.MapMs(iMs);
    ui.ListsChanged();
}

void ProjectDialog::UndoTaking(LOVFile& doc)
{
    auto it = snapshots.find({ &doc, doc.iUndoIdx });
    if (it == snapshots.end())
        return;
    for (LOVBookMark* p : bookmarks.OfFile(doc.GetDisplayName()))
        for (const auto& [uSerial, iMs] : it->second.positions)
            if (p->uSerial == uSerial)
                p->iPosition = iMs;
    snapshots.erase(it);
    ui.ListsChanged();
}

bool ProjectDialog::CanExit()
{
    return strProjectPath.empty() || SaveChangesToProject(false);
}
