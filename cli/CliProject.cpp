// orvenna-cli project / assemble / bookmarks / recover: the project and
// bookmark list files, region assembly and crash recovery, on the same code
// as the editor.
#include "audio/LSoundTime.h"
#include "cli/CliCommand.h"
#include "engine/LOVSaveToSink.h"
#include "engine/OVLoadFile.h"
#include "features/LAssembleRegions.h"
#include "features/LBookMarkList.h"
#include "features/LOVProject.h"
#include "features/LRecoveryJournal.h"
#include "platform/LFile.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace {
std::string Ms(int32_t iMs)
{
    return LSoundTime(iMs).GetMillisecondsText();
}

// Saves a cut list as the type of the path's extension (WAV: 16-bit PCM).
int SaveList(const LCutListAudio& list, const std::string& strPath)
{
    LAcceptingPrompts prompts;
    LOVSaveToSink save;
    save.pSource = &list;
    save.strPath = strPath;
    save.pPrompts = &prompts;
    save.fixedWavFormat
        = LWaveFormat::Pcm(uint16_t(list.GetChannels()), uint32_t(list.GetSampleRate()), 16);
    Process<LOVSaveToSink> run("Saving...", save);
    run.Run();
    if (run.GetResult() == 1)
        return kExitCancelled;
    if (run.GetResult() != 0)
        return CliFail(!save.strError.empty() ? save.strError : "cannot write \"" + strPath + "\"");
    return kExitOk;
}

int LoadAudio(const std::string& strPath, LCutListAudio& list)
{
    LAcceptingPrompts prompts;
    OVLoadFile load { strPath, &list, false, &prompts };
    Process<OVLoadFile> run("Loading Audio File Source", load);
    run.Run();
    if (run.GetResult() == 1)
        return kExitCancelled;
    if (run.GetResult() != 0)
        return CliFail(load.strError.empty()
                ? "cannot read \"" + strPath + "\": not a supported audio file"
                : load.strError);
    return kExitOk;
}

int LoadProject(const std::string& strPath, LOVProjectData& data)
{
    LOVLoadProject load { strPath, &data };
    Process<LOVLoadProject> run("Loading Project", load);
    run.Run();
    if (run.GetResult() == 1)
        return kExitCancelled;
    if (run.GetResult() != 0)
        return CliFail("cannot load the project \"" + strPath + "\": "
            + (load.bWrongVersion ? "not a project file of this version, or corrupted"
                                  : load.strWhy));
    return kExitOk;
}

void PrintBookmark(const LOVBookMark& b)
{
    char szDate[32] = "";
    if (b.uLastVisited) {
        std::time_t t = std::time_t(b.uLastVisited);
        std::tm tm {};
        localtime_r(&t, &tm);
        std::strftime(szDate, sizeof szDate, "%Y-%m-%d %H:%M:%S", &tm);
    }
    std::printf("  bookmark \"%s\" in \"%s\" at %s, visited %u, last %s\n", b.szName.c_str(),
        b.szFile.c_str(), Ms(b.iPosition).c_str(), unsigned(b.bTimesVisited), szDate);
}

int ProjectInfo(const std::string& strPath)
{
    LOVProjectData data;
    if (int i = LoadProject(strPath, data); i != kExitOk)
        return i;
    std::printf("%s\n  documents %zu\n", strPath.c_str(), data.files.size());
    int n = 0;
    for (const auto& p : data.files) {
        const LCutListAudio& a = p->claAudio;
        std::printf("  document %d \"%s\": %d Hz, %d channel(s), %d frames, cursor %d, selection "
                    "%d-%d, view %d-%d\n",
            ++n, (p->iUntitledIdx > 0 ? p->GetDisplayName() : p->szFilePath).c_str(),
            a.GetSampleRate(), a.GetChannels(), a.GetTotalLength(), p->sPosition, p->sSelStart,
            p->sSelEnd, p->sViewStart, p->sViewEnd);
    }
    std::printf("  active %d\n  bookmarks %zu\n", int(data.bActive), data.bookmarks.size());
    for (const LOVBookMark& b : data.bookmarks)
        PrintBookmark(b);
    std::printf("  regions %zu\n", data.regions.size());
    n = 0;
    for (const LOVRegion& r : data.regions)
        std::printf("  region %d \"%s\" from \"%s\" %s-%s: %d Hz, %d channel(s), %d frames\n", ++n,
            r.szName.c_str(), r.szFile.c_str(), Ms(r.iStart).c_str(), Ms(r.iEnd).c_str(),
            r.claAudio.GetSampleRate(), r.claAudio.GetChannels(), r.claAudio.GetTotalLength());
    return kExitOk;
}

int ProjectExtract(const std::vector<std::string>& args)
{
    if (args.size() != 5 || (args[2] != "--document" && args[2] != "--region"))
        return CliFail("usage: project extract P.ovp --document N | --region N OUT");
    LOVProjectData data;
    if (int i = LoadProject(args[1], data); i != kExitOk)
        return i;
    const bool bDocument = args[2] == "--document";
    const size_t iCount = bDocument ? data.files.size() : data.regions.size();
    char* pEnd = nullptr;
    long l = std::strtol(args[3].c_str(), &pEnd, 10);
    if (*pEnd || l < 1 || size_t(l) > iCount)
        return CliFail("the project has " + std::to_string(iCount)
            + (bDocument ? " document(s)" : " region(s)") + "; \"" + args[3]
            + "\" is not one of them (they count from 1)");
    const size_t i = size_t(l - 1);
    return SaveList(bDocument ? data.files[i]->claAudio : data.regions[i].claAudio, args[4]);
}

int ProjectSave(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return CliFail("usage: project save OUT.ovp FILE...");
    LOVProjectData data;
    LBookMarkList marks;
    for (size_t i = 2; i < args.size(); ++i) {
        auto pDoc = std::make_unique<LOVFile>();
        if (int r = LoadAudio(args[i], pDoc->claAudio); r != kExitOk)
            return r;
        pDoc->szFilePath = std::filesystem::absolute(args[i]).string();
        pDoc->sViewEnd = pDoc->GetLength();
        if (marks.LoadFile(LBookMarkList::ObmPath(args[i]))
            == LBookMarkList::LoadResult::WrongVersion)
            std::fprintf(stderr, "orvenna-cli: the bookmarks of \"%s\" are damaged; left out\n",
                args[i].c_str());
        data.files.push_back(std::move(pDoc));
    }
    LOVSaveProject save;
    save.strPath = args[1];
    for (const auto& p : data.files)
        save.files.push_back(p.get());
    save.pBookmarks = &marks.Items();
    Process<LOVSaveProject> run("Saving Project", save);
    run.Run();
    if (run.GetResult() == 1)
        return kExitCancelled;
    if (!save.strWarning.empty())
        std::fprintf(stderr, "orvenna-cli: %s", save.strWarning.c_str());
    if (run.GetResult() != 0)
        return CliFail("cannot write \"" + args[1] + "\": " + LFile::DescribeError(save.iErrno));
    return kExitOk;
}

// IN, or IN@START-END with times: the region taken from it.
int ParseRegionArg(const std::string& strArg, LOVRegion& r)
{
    size_t iAt = strArg.rfind('@');
    std::string strFile = iAt == std::string::npos ? strArg : strArg.substr(0, iAt);
    if (int i = LoadAudio(strFile, r.claAudio); i != kExitOk)
        return i;
    r.szName = strArg;
    r.iEnd = LSoundTime::FramesToMs(r.claAudio.GetTotalLength(), r.claAudio.GetSampleRate());
    if (iAt == std::string::npos)
        return kExitOk;
    std::string strRange = strArg.substr(iAt + 1);
    size_t iDash = strRange.find('-');
    int32_t iStart = 0, iEnd = 0;
    if (iDash == std::string::npos || !LSoundTime::ParseText(strRange.substr(0, iDash), iStart)
        || !LSoundTime::ParseText(strRange.substr(iDash + 1), iEnd) || iEnd <= iStart)
        return CliFail("\"" + strArg + "\": a region is FILE@START-END with START before END");
    const int32_t iRate = r.claAudio.GetSampleRate(), iLength = r.claAudio.GetTotalLength();
    LCutListAudio whole = std::move(r.claAudio);
    whole.EfCopy(std::min(LSoundTime::MsToFrames(iStart, iRate), iLength),
        std::min(LSoundTime::MsToFrames(iEnd, iRate), iLength), r.claAudio);
    r.iStart = iStart;
    r.iEnd = iEnd;
    return kExitOk;
}
} // namespace

int CliProject(const std::vector<std::string>& args)
{
    if (args.size() == 2 && args[0] == "info")
        return ProjectInfo(args[1]);
    if (!args.empty() && args[0] == "extract")
        return ProjectExtract(args);
    if (!args.empty() && args[0] == "save")
        return ProjectSave(args);
    return CliFail("usage: project info P.ovp | project extract P.ovp --document N | --region N "
                   "OUT | project save OUT.ovp FILE...");
}

int CliAssemble(const std::vector<std::string>& args)
{
    LAssembleRegions run;
    std::vector<LOVRegion> regions;
    regions.reserve(args.size());
    std::string strOut;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--no-gap") {
            run.bAutoGap = false;
        } else if (args[i] == "--gap" && i + 1 < args.size()) {
            if (!LSoundTime::ParseText(args[++i], run.iGapMs))
                return CliFail("--gap needs milliseconds");
            run.bAutoGap = true;
        } else if (strOut.empty()) {
            strOut = args[i];
        } else if (int r = ParseRegionArg(args[i], regions.emplace_back()); r != kExitOk) {
            return r;
        }
    }
    if (regions.empty())
        return CliFail("usage: assemble OUT IN[@START-END]... [--gap MS | --no-gap]");
    for (const LOVRegion& r : regions)
        run.regions.push_back(&r);
    if (int r = RunAssembly(run, nullptr); r != 0)
        return r == 1
            ? kExitCancelled
            : CliFail(run.strError.empty() ? "the regions could not be joined" : run.strError);
    return SaveList(run.result, strOut);
}

int CliBookmarks(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return CliFail("usage: bookmarks FILE.obm");
    LBookMarkList list;
    switch (list.LoadFile(args[0])) {
    case LBookMarkList::LoadResult::Missing:
        return CliFail("cannot open \"" + args[0] + "\"");
    case LBookMarkList::LoadResult::WrongVersion:
        return CliFail("\"" + args[0] + "\" is not a bookmark list of this version, or corrupted");
    case LBookMarkList::LoadResult::Damaged:
        std::fprintf(stderr, "orvenna-cli: \"%s\" ends inside its records; shown what is whole\n",
            args[0].c_str());
        break;
    case LBookMarkList::LoadResult::Loaded:
        break;
    }
    std::printf("%s\n  bookmarks %zu\n", args[0].c_str(), list.Items().size());
    for (const LOVBookMark& b : list.Items())
        PrintBookmark(b);
    return kExitOk;
}

void CliPrintFileBookmarks(const std::string& strAudioPath)
{
    LBookMarkList list;
    const std::string strObm = LBookMarkList::ObmPath(strAudioPath);
    const LBookMarkList::LoadResult result = list.LoadFile(strObm);
    if (result == LBookMarkList::LoadResult::WrongVersion)
        std::printf("  bookmarks damaged (\"%s\")\n", strObm.c_str());
    if (list.Items().empty())
        return;
    std::printf("  bookmarks %zu%s\n", list.Items().size(),
        result == LBookMarkList::LoadResult::Damaged ? " (the file ends inside the next)" : "");
    for (const LOVBookMark& b : list.Items())
        PrintBookmark(b);
}

int CliRecover(const std::vector<std::string>& args)
{
    const bool bList = args.size() == 1 && args[0] == "--list";
    const bool bSave = args.size() == 2 && args[0] == "--save";
    if (!bList && !bSave)
        return CliFail("usage: recover --list | recover --save DIR");
    std::vector<LRecoverySet> sets = LRecovery::Find();
    int iResult = kExitOk, iSaved = 0;
    for (const LRecoverySet& set : sets) {
        if (!set.strProblem.empty())
            std::fprintf(stderr, "orvenna-cli: %s\n", set.strProblem.c_str());
        bool bAll = true;
        for (const LRecoveredDocument& d : set.docs) {
            std::printf("%s: %d Hz, %d channel(s), %lld frames (%s), edited %lld\n",
                d.strName.c_str(), d.iRate, d.iChannels, (long long)d.iFrames,
                Ms(LSoundTime::FramesToMs(int32_t(d.iFrames), d.iRate)).c_str(),
                (long long)set.iTime);
            if (bList)
                continue;
            std::string strProblem;
            std::unique_ptr<LOVFile> pDoc = LRecovery::Take(set, d, strProblem);
            if (!strProblem.empty())
                std::fprintf(stderr, "orvenna-cli: %s\n", strProblem.c_str());
            std::string strOut = args[1];
            std::string strBase = d.strPath.empty() ? d.strName : LFile::GetFileName(d.strPath);
            LFile::FilePathCat(strOut, std::to_string(++iSaved) + "-" + strBase + ".wav");
            int r = SaveList(pDoc->claAudio, strOut);
            bAll = bAll && r == kExitOk;
            iResult = std::max(iResult, r);
            if (r == kExitOk)
                std::printf("  saved as %s\n", strOut.c_str());
        }
        // Written out safely: the old folder is not needed any more.
        if (bSave && bAll)
            LRecovery::Discard(set);
    }
    if (sets.empty())
        std::printf("nothing to recover\n");
    return iResult;
}
