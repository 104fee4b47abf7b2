#include "features/LBatchConverter.h"

#include "edit/LSRCCutListAudio.h"
#include "effects/LSRCPeakLimit.h"
#include "engine/LFileFormats.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LOVSaveToSink.h"
#include "engine/LOpenSource.h"
#include "engine/LWavCodecFile.h"
#include "engine/OVLoadFile.h"
#include "features/LBatchStream.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"
#include "process/LThreadProgressView.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

namespace {
namespace fs = std::filesystem;
const char* const kSection = "BatchConverter";

// What the workers of one run share. Workers write only their own file's
// result; the queue of finished files is guarded by mtx.
struct LBatchShared {
    std::atomic<bool> bCancel { false };
    std::atomic<bool> bStop { false }; // a file failed and the run does not go on
    std::atomic<size_t> iNext { 0 };
    std::atomic<int> iRunning { 0 };
    std::atomic<size_t> iDone { 0 };
    std::unique_ptr<std::atomic<int>[]> aPercent; // per worker, its file's progress
    std::mutex mtx;
    std::vector<size_t> finished;
};

// The worker thread's share of the run, for its progress view.
thread_local LBatchShared* tlShared = nullptr;
thread_local std::atomic<int>* tlPercent = nullptr;
thread_local std::string* tlShown = nullptr;

// A worker's view: its progress goes to its slot, Cancel comes from the
// run, an error shown is kept as the file's reason. Worker thread only.
class LBatchWorkerView : public LProgressView {
public:
    void Open(const std::string&, void*) override { }
    void Close() override { }
    void SetText(const std::string&, int) override { }
    void SetProgress(int iPercent) override
    {
        if (tlPercent)
            *tlPercent = iPercent;
    }
    bool Pump() override { return tlShared && tlShared->bCancel; }
    void ShowError(const std::string& strText) override
    {
        if (tlShown && tlShown->empty())
            *tlShown = strText;
    }
};

std::unique_ptr<LProgressView> MakeWorkerView()
{
    return std::make_unique<LBatchWorkerView>();
}

// One file of the batch, run by a worker in its own progress context.
struct LBatchFileJob {
    const std::vector<LBatchStep>* pSteps = nullptr;
    const LBatchOptions* pOptions = nullptr;
    LBatchFileResult* pResult = nullptr;
    std::string strShown; // the first error an operation showed
};

std::string Reason(const std::string& strOwn, const std::string& strShown, std::string strElse)
{
    return !strOwn.empty() ? strOwn : !strShown.empty() ? strShown : strElse;
}

int RunSteps(LProgressDialog& dlg, LBatchFileJob& job, LCutListAudio& list, size_t iEnd)
{
    for (size_t i = 0; i < iEnd; ++i) {
        const LBatchStep& step = (*job.pSteps)[i];
        const int32_t iLength = list.GetTotalLength();
        LEffectRun run;
        run.pEffect = step.pEffect;
        run.pDoc = &list;
        run.iStart = step.pCommand->eWhere == LBatchCommand::kAtEnd ? iLength : 0;
        run.iEnd = step.pCommand->eWhere == LBatchCommand::kWhole ? iLength : run.iStart;
        run.values = step.values;
        dlg.SetText(step.pCommand->szName, 1);
        if (int r = ProcessBody(dlg, run); r != 0) {
            job.pResult->strReason = Reason("", job.strShown,
                std::string("\"") + step.pCommand->szName + "\" did not complete");
            return r;
        }
    }
    return 0;
}

// Where the chain to the writer starts: after the last command that needs
// the whole audio and the edits that follow it, which the document makes
// as cheaply. The number of steps when none is left to chain.
size_t ChainStart(const std::vector<LBatchStep>& steps, bool bFromReader)
{
    size_t i = steps.size();
    while (i > 0 && steps[i - 1].pCommand->pStream)
        --i;
    if (i == 0 && bFromReader)
        return 0;
    while (i < steps.size() && steps[i].pCommand->pStream->bEdit)
        ++i;
    return i;
}

// The steps from iFrom on, chained after hStart; an empty handle with the
// file's reason when one cannot run.
SourceHandle Chain(LBatchFileJob& job, SourceHandle hStart, size_t iFrom)
{
    LBatchStream stream(std::move(hStart));
    for (size_t i = iFrom; i < job.pSteps->size(); ++i)
        if (!stream.Add((*job.pSteps)[i], job.pResult->strReason))
            return SourceHandle();
    return stream.GetSource();
}

// The input's own format is saved as Save does; a conversion takes the
// run's choices without asking.
void SetSaveAnswers(const LBatchOptions& o, LOVSaveToSink& save)
{
    const bool bPcm
        = o.bSameFormat || (o.bPcmWav && LFile::GetExtensionLower(save.strPath) == ".wav");
    save.uPromptMode = bPcm ? LOVSaveToSink::kPcmWithoutAsking : LOVSaveToSink::kLastChoice;
    if (!bPcm)
        save.fixedWavFormat = o.wavFormat;
    save.fixedHeaderless = o.headerless;
    save.fixedMp3 = o.mp3;
}

int Save(LProgressDialog& dlg, LBatchFileJob& job, const LCutListAudio* pList, SourceHandle hStream)
{
    LAcceptingPrompts prompts;
    LOVSaveToSink save;
    save.pSource = pList;
    save.hStream = std::move(hStream);
    save.strPath = job.pResult->strOutput;
    save.pPrompts = &prompts;
    SetSaveAnswers(*job.pOptions, save);
    int r = ProcessBody(dlg, save);
    if (r != 0)
        job.pResult->strReason = Reason(save.strError, job.strShown, prompts.strLastMessage);
    return r;
}

// Reader, chain, writer: no edit store in between.
int StreamFile(LProgressDialog& dlg, LBatchFileJob& job)
{
    LBatchFileResult& result = *job.pResult;
    SourceHandle hReader = OpenSourceByExtension(
        result.strInput, job.pOptions->headerless.value_or(LHeaderlessFormat::Load()));
    if (hReader->IsError()) {
        const std::string strWhy = hReader->GetErrorText();
        result.strReason = strWhy.empty()
            ? "cannot read \"" + result.strInput + "\": not a supported audio file"
            : "Unable to open the file \"" + result.strInput + "\": " + strWhy + ".";
        return 2;
    }
    // As loading pumps the reader into a document.
    SourceHandle h = Chain(job, LSRCPeakLimit::OpenSource(std::move(hReader)), 0);
    return h ? Save(dlg, job, nullptr, std::move(h)) : 2;
}

int ProcessBody(LProgressDialog& dlg, LBatchFileJob& job)
{
    LBatchFileResult& result = *job.pResult;
    dlg.SetText(result.strInput, 0);
    const std::vector<LBatchStep>& steps = *job.pSteps;
    const bool bStream = job.pOptions->bStream;
    if (bStream && ChainStart(steps, StreamsFromReader(result.strInput)) == 0) {
        result.bChained = true;
        return StreamFile(dlg, job);
    }
    LAcceptingPrompts prompts;
    LCutListAudio list(44100, 1);
    OVLoadFile load { result.strInput, &list, false, &prompts };
    load.fixedHeaderless = job.pOptions->headerless;
    if (int r = ProcessBody(dlg, load); r != 0) {
        result.strReason = Reason(load.strError, job.strShown,
            "cannot read \"" + result.strInput + "\": not a supported audio file");
        return r;
    }
    const size_t iChain = bStream ? ChainStart(steps, false) : steps.size();
    if (int r = RunSteps(dlg, job, list, iChain); r != 0)
        return r;
    if (iChain == steps.size())
        return Save(dlg, job, &list, SourceHandle());
    SourceHandle h = Chain(job, MakeHandle<LSRCCutListAudio>(list), iChain);
    return h ? Save(dlg, job, &list, std::move(h)) : 2;
}

void RunWorker(
    LBatchShared& shared, int iSlot, OVBatchConverter& data, const std::vector<LBatchStep>& steps)
{
    SetThreadProgressViewFactory(MakeWorkerView);
    tlShared = &shared;
    tlPercent = &shared.aPercent[size_t(iSlot)];
    for (;;) {
        const size_t i = shared.iNext++;
        if (i >= data.files.size() || shared.bCancel || shared.bStop)
            break;
        LBatchFileJob job { &steps, &data.options, &data.results[i], {} };
        tlShown = &job.strShown;
        *tlPercent = 0;
        Process<LBatchFileJob> op("Batch Converter", job);
        op.Run();
        const int r = op.GetResult();
        job.pResult->eState = r == 0 ? LBatchFileResult::Done
            : r == 1                 ? LBatchFileResult::Cancelled
                                     : LBatchFileResult::Failed;
        if (r == 2 && !data.options.bKeepGoing)
            shared.bStop = true;
        *tlPercent = 0;
        ++shared.iDone;
        std::lock_guard lock(shared.mtx);
        shared.finished.push_back(i);
    }
    tlShown = nullptr;
    tlPercent = nullptr;
    tlShared = nullptr;
    SetThreadProgressViewFactory(nullptr);
    --shared.iRunning;
}

void Report(LBatchShared& shared, OVBatchConverter& data)
{
    std::vector<size_t> finished;
    {
        std::lock_guard lock(shared.mtx);
        finished.swap(shared.finished);
    }
    if (data.fnReport)
        for (size_t i : finished)
            data.fnReport(data.results[i]);
}

std::string Normalized(const std::string& strPath)
{
    std::error_code ec;
    fs::path p = fs::absolute(strPath, ec);
    return (ec ? fs::path(strPath) : p).lexically_normal().string();
}
} // namespace

LBatchOptions LBatchOptions::Load()
{
    LSettings& s = LSettings::Get();
    LBatchOptions o;
    o.bSameFormat = s.GetBool(kSection, "SaveSameFileFormat", true);
    o.iFormat = s.GetInt(kSection, "SaveFileFormat", 0);
    o.bSameFolder = s.GetBool(kSection, "SameOutputFolder", true);
    o.strFolder = s.GetString(kSection, "OutputFolder");
    return o;
}

void LBatchOptions::Store() const
{
    LSettings& s = LSettings::Get();
    s.SetBool(kSection, "SaveSameFileFormat", bSameFormat);
    s.SetInt(kSection, "SaveFileFormat", iFormat);
    s.SetBool(kSection, "SameOutputFolder", bSameFolder);
    s.SetString(kSection, "OutputFolder", strFolder);
}

std::string LBatchOptions::OutputPath(const std::string& strInput) const
{
    const fs::path in(strInput);
    std::string strExt = in.extension().string();
    if (!bSameFormat) {
        if (iFormat < 0 || iFormat >= int(std::size(kFormats)))
            return "";
        strExt = kFormats[iFormat];
    }
    const fs::path folder = bSameFolder ? in.parent_path() : fs::path(strFolder);
    return (folder / in.stem()).string() + strExt;
}

bool LBatchOptions::NeedsHeaderless(const std::vector<BatchFileItem>& files)
{
    return std::any_of(files.begin(), files.end(), [](const BatchFileItem& f) {
        const LFileFormat* p = LFileFormats::FindByPath(f.strPath);
        return p && p->NeedsHeaderless();
    });
}

bool PrepareBatch(
    const OVBatchConverter& data, std::vector<LBatchStep>& steps, std::string& strError)
{
    steps.clear();
    for (size_t i = 0; i < data.commands.size(); ++i) {
        LBatchStep step;
        if (!LBatchCommands::Resolve(data.commands[i], step, strError)) {
            strError = "Command " + std::to_string(i + 1) + ": " + strError;
            return false;
        }
        steps.push_back(std::move(step));
    }
    if (!data.options.bSameFolder && data.options.strFolder.empty()) {
        strError = "Invalid output folder. Please select a folder to save to.";
        return false;
    }
    std::map<std::string, std::string> outputs;
    for (const BatchFileItem& file : data.files) {
        const std::string strOut = data.options.OutputPath(file.strPath);
        if (strOut.empty()) {
            strError = "The output format " + std::to_string(data.options.iFormat)
                + " is not one of the list.";
            return false;
        }
        auto [it, bNew] = outputs.emplace(Normalized(strOut), file.strPath);
        if (!bNew) {
            strError = "\"" + it->second + "\" and \"" + file.strPath
                + "\" would both be saved as \"" + strOut + "\".";
            return false;
        }
    }
    return true;
}

int ProcessBody(LProgressDialog& dlg, OVBatchConverter& data)
{
    data.results.clear();
    data.strRefusal.clear();
    for (const BatchFileItem& file : data.files)
        data.results.push_back({ file.strPath, data.options.OutputPath(file.strPath),
            LBatchFileResult::NotProcessed, {} });
    LBatchOptions& o = data.options;
    if (!o.headerless)
        o.headerless = LHeaderlessFormat::Load();
    if (!o.wavFormat)
        o.wavFormat = LWavCodecFile::Load();
    if (!o.mp3)
        o.mp3 = LMp3EncoderSettings::Load();
    std::vector<LBatchStep> steps;
    if (!PrepareBatch(data, steps, data.strRefusal)) {
        dlg.ShowError(data.strRefusal);
        return 2;
    }
    const size_t iFiles = data.files.size();
    int iJobs = data.options.iJobs > 0 ? data.options.iJobs
                                       : int(std::max(1u, std::thread::hardware_concurrency()));
    iJobs = int(std::min<size_t>(size_t(iJobs), std::max<size_t>(iFiles, 1)));

    LBatchShared shared;
    shared.aPercent = std::make_unique<std::atomic<int>[]>(size_t(iJobs));
    shared.iRunning = iJobs;
    std::vector<std::thread> workers;
    for (int i = 0; i < iJobs; ++i)
        workers.emplace_back(RunWorker, std::ref(shared), i, std::ref(data), std::cref(steps));
    while (shared.iRunning > 0) {
        if (shared.bCancel)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        else if (!dlg.WaitPumping(50))
            shared.bCancel = true;
        Report(shared, data);
        int iPercent = 0;
        for (int i = 0; i < iJobs; ++i)
            iPercent += shared.aPercent[size_t(i)];
        dlg.SetProgress(iFiles ? (double(shared.iDone) + iPercent / 100.0) / double(iFiles) : 1.0);
    }
    for (std::thread& t : workers)
        t.join();
    Report(shared, data);
    if (shared.bCancel)
        return 1;
    for (const LBatchFileResult& r : data.results)
        if (r.eState != LBatchFileResult::Done)
            return 2;
    return 0;
}
