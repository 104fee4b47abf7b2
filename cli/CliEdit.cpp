// orvenna-cli edit IN [-o OUT] COMMAND...: runs commands on one document as
// a key macro does, with dialog answers given on the command line.
#include "audio/LSoundTime.h"
#include "cli/CliCommand.h"
#include "cli/LConsoleProgressView.h"
#include "effects/LEffectTable.h"
#include "effects/LSRCPeakLimit.h"
#include "engine/LCommandIds.h"
#include "engine/LFileFormats.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LOVSaveToSink.h"
#include "engine/LOpenSource.h"
#include "engine/MainDialog.h"
#include "features/LBatchScript.h"
#include "features/LBatchStream.h"
#include "features/LBookMarkList.h"
#include "features/LKeyMacros.h"
#include "features/LVirtualKeys.h"
#include "features/ProjectDialog.h"
#include "platform/LFile.h"
#include "services/LOutsideCommands.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>
#include <strings.h>

std::vector<std::string> CliWords(const std::string& strText)
{
    std::istringstream in(strText);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

bool CliParseAnswers(const std::vector<std::string>& words, size_t iFrom,
    const std::string& strText, std::vector<std::pair<std::string, int32_t>>& values,
    std::string& strFile, std::string& strError, std::string* pPoints)
{
    for (size_t i = iFrom; i < words.size(); ++i) {
        size_t eq = words[i].find('=');
        if (eq == std::string::npos || eq == 0) {
            strError = "\"" + words[i] + "\" in \"" + strText + "\" is not a key=value answer";
            return false;
        }
        std::string strKey = words[i].substr(0, eq), strValue = words[i].substr(eq + 1);
        if (strcasecmp(strKey.c_str(), "file") == 0) {
            strFile = strValue;
            continue;
        }
        if (pPoints && strcasecmp(strKey.c_str(), "points") == 0) {
            *pPoints = strValue;
            continue;
        }
        char* pEnd = nullptr;
        long l = std::strtol(strValue.c_str(), &pEnd, 10);
        if (strValue.empty() || *pEnd || l < INT32_MIN || l > INT32_MAX) {
            strError = "value \"" + words[i] + "\" in \"" + strText + "\" is not a whole number";
            return false;
        }
        values.emplace_back(strKey, int32_t(l));
    }
    return true;
}

namespace {
// One step of the script: a command with its dialog answers, or a selection
// or position given in times.
struct EditStep {
    std::string strText; // as given, for messages
    const LCommand* pCommand = nullptr;
    std::vector<std::pair<std::string, int32_t>> values;
    std::string strFile; // file=PATH for the commands that open a file or read a curve
    std::string strPoints; // points=x:y,... for the curve dialogs
    enum Kind { Command, Select, Position, Key } eKind = Command;
    int32_t iMs[2] = { 0, 0 };
    uint32_t uKey = 0; // a key macro's key
};

bool ParseTime(const std::string& strText, int32_t& iMs, std::string& strError)
{
    if (LSoundTime::ParseText(strText, iMs))
        return true;
    strError = "\"" + strText + "\" is not a time (milliseconds, or h:mm:ss.mmm)";
    return false;
}

// The longest run of leading words that names a command, then key=value.
bool ParseCommand(const LCommandTable& table, const std::vector<std::string>& words, EditStep& step,
    std::string& strError)
{
    size_t iUsed = 0;
    std::string strName;
    for (size_t i = 0; i < words.size(); ++i) {
        strName += (i ? " " : "") + words[i];
        if (const LCommand* p = table.Find(strName)) {
            step.pCommand = p;
            iUsed = i + 1;
        }
    }
    if (!step.pCommand) {
        strError = "unknown command \"" + step.strText + "\"";
        return false;
    }
    return CliParseAnswers(
        words, iUsed, step.strText, step.values, step.strFile, strError, &step.strPoints);
}

// The steps of the script; select and position may take their times from
// the following arguments.
bool ParseSteps(const LCommandTable& table, const std::vector<std::string>& args, size_t iFrom,
    std::vector<EditStep>& steps, std::string& strError)
{
    for (size_t i = iFrom; i < args.size(); ++i) {
        EditStep step;
        step.strText = args[i];
        std::vector<std::string> words = CliWords(args[i]);
        if (words.empty())
            continue;
        bool bNamed = table.Find(args[i]) != nullptr;
        bool bSelect = !bNamed && strcasecmp(words[0].c_str(), "select") == 0;
        if (!bNamed && strcasecmp(words[0].c_str(), "key") == 0) {
            if (words.size() == 1 && i + 1 < args.size())
                words.push_back(args[++i]);
            step.eKind = EditStep::Key;
            if (words.size() != 2 || !LVirtualKeys::ParseKeyName(words[1], step.uKey)) {
                strError = "key needs a key such as Ctrl+F1 (\"" + step.strText + "\")";
                return false;
            }
            steps.push_back(std::move(step));
            continue;
        }
        if (bSelect || (!bNamed && strcasecmp(words[0].c_str(), "position") == 0)) {
            size_t iNeed = bSelect ? 3 : 2;
            while (words.size() < iNeed && i + 1 < args.size())
                words.push_back(args[++i]);
            if (words.size() != iNeed) {
                strError = bSelect ? "select needs START END" : "position needs a time";
                return false;
            }
            step.eKind = bSelect ? EditStep::Select : EditStep::Position;
            for (size_t k = 1; k < iNeed; ++k)
                if (!ParseTime(words[k], step.iMs[k - 1], strError))
                    return false;
        } else if (!ParseCommand(table, words, step, strError)) {
            return false;
        }
        steps.push_back(std::move(step));
    }
    return true;
}

// "x:y,x:y,..." with values 0..255, at most 64 points.
bool ParsePoints(const std::string& strText, PointList& list)
{
    list.nPoints = 0;
    std::istringstream in(strText);
    for (std::string strPair; std::getline(in, strPair, ',');) {
        unsigned x = 0, y = 0;
        char c = 0, cExtra = 0;
        if (list.nPoints == PointList::POINTLISTMAX
            || std::sscanf(strPair.c_str(), "%u%c%u%c", &x, &c, &y, &cExtra) != 3 || c != ':'
            || x > 255 || y > 255)
            return false;
        list.aPoints[list.nPoints++] = { uint8_t(x), uint8_t(y) };
    }
    list.Validate();
    return list.nPoints > 0;
}

// Answers the controller from the script: dialogs take the step's values,
// the file dialogs the step's file or the output path, questions Yes.
class CliUi : public MainDialogUi, public ProjectDialogUi, public LOutsideProgramsUi {
public:
    // Bookmark and region names: the offered one.
    bool AskText(const std::string&, std::string&) override { return true; }
    std::vector<std::pair<std::string, int32_t>> pending;
    std::string strOpenFile;
    std::string strPoints;
    std::string strSaveFile;
    std::string strFailure;

    Answer AskYesNoCancel(const std::string&, Icon) override { return Answer::Yes; }
    // Only Tonesmith asks: to download it, which a command line does not.
    Answer AskQuestion(const std::string& strText, const std::string&) override
    {
        Fail(strText);
        return Answer::No;
    }
    void OpenWebPage(const std::string&) override { }
    std::vector<std::string> ChooseOpenFiles(const std::string& strTitle, std::string&) override
    {
        if (strOpenFile.empty()) {
            Fail(strTitle + " needs file=PATH");
            return {};
        }
        return { strOpenFile };
    }
    std::string ChooseSaveFile(const std::string&, std::string&) override { return strSaveFile; }
    bool AskDialog(const std::string& strTitle, LDialogValues& values) override
    {
        if (!strFailure.empty())
            return false; // the values were refused: give up instead of asking again
        if (!TakeCurve(strTitle, values))
            return false;
        for (const auto& [strKey, iValue] : pending) {
            if (!values.SetByName(strKey, iValue)) {
                std::string strKnown;
                for (const auto& item : values.GetItems())
                    strKnown += " " + item.first;
                Fail("\"" + strTitle + "\" has no value \"" + strKey + "\" (it has:" + strKnown
                    + ")");
                return false;
            }
        }
        pending.clear();
        return true;
    }
    // A curve dialog takes points=... or the curve file=PATH; without them
    // it keeps the stored curve.
    bool TakeCurve(const std::string& strTitle, LDialogValues& values)
    {
        if (values.eCurve == LDialogValues::kNoCurve) {
            if (!strPoints.empty())
                Fail("\"" + strTitle + "\" has no curve for points=");
            return strPoints.empty();
        }
        if (!strPoints.empty() && !ParsePoints(strPoints, values.curve)) {
            Fail("points=" + strPoints
                + " is not a curve (x:y pairs of 0..255 joined by commas, at most 64)");
            return false;
        }
        if (strPoints.empty() && !strOpenFile.empty() && !values.curve.Load(strOpenFile)) {
            Fail("cannot read the curve file \"" + strOpenFile + "\"");
            return false;
        }
        strPoints.clear();
        return true;
    }
    bool AskFileProperties(LHeaderlessSettings&) override { return true; }
    // WAV output is 16-bit PCM in the document's own format.
    bool ChooseWaveFormat(LWaveFormat& f, int iChannels, const std::string&) override
    {
        f = LWaveFormat::Pcm(uint16_t(iChannels ? iChannels : 1), uRate, 16);
        return true;
    }
    bool AskMp3Settings(LMp3EncoderSettings&) override { return true; }
    void ShowMessage(const std::string& strText, const std::string&, Icon) override
    {
        Fail(strText);
    }
    void ShowNote(const std::string& strCommand, const std::string& strText) override
    {
        std::fprintf(stderr, "orvenna-cli: %s: %s\n", strCommand.c_str(), strText.c_str());
    }
    void Fail(const std::string& strText)
    {
        if (strFailure.empty())
            strFailure = strText;
    }
    uint32_t uRate = 44100;
};

int RunStep(MainDialog& main, CliUi& ui, const EditStep& step);
void GiveAnswers(CliUi& ui, const EditStep& step, int32_t iRate);
int StepOutcome(CliUi& ui, const EditStep& step);

// A key runs its macro from keys.dat as the window does, each command a step.
int RunKey(MainDialog& main, CliUi& ui, const EditStep& step)
{
    LKeyMacros macros;
    std::string strError;
    const std::string strPath = LKeyMacros::DefaultPath();
    if (!macros.Read(strPath, strError))
        return CliFail(strPath + ": " + strError);
    int iExit = kExitOk;
    const bool bBound = macros.ProcessMacroKeyDown(step.uKey, [&](int iId) {
        EditStep command;
        command.pCommand = main.GetCommands().Find(iId);
        if (iExit != kExitOk || !command.pCommand)
            return;
        command.strText = step.strText + ": " + command.pCommand->szName;
        iExit = RunStep(main, ui, command);
    });
    if (!bBound)
        return CliFail("no key macro on " + LVirtualKeys::KeyName(step.uKey) + " in " + strPath);
    return iExit;
}

int RunStep(MainDialog& main, CliUi& ui, const EditStep& step)
{
    if (step.eKind == EditStep::Key)
        return RunKey(main, ui, step);
    LOVFile& doc = *main.GetCurrentFile();
    const int32_t iRate = doc.claAudio.GetSampleRate();
    if (step.eKind == EditStep::Select) {
        main.ModifySelection(LSoundTime::MsToFrames(step.iMs[0], iRate),
            LSoundTime::MsToFrames(step.iMs[1], iRate), doc.sPosition);
        return kExitOk;
    }
    if (step.eKind == EditStep::Position) {
        main.ModifySelection(
            doc.sSelStart, doc.sSelEnd, LSoundTime::MsToFrames(step.iMs[0], iRate));
        return kExitOk;
    }
    if (!main.IsCommandEnabled(step.pCommand->iId))
        std::fprintf(stderr, "orvenna-cli: \"%s\" does nothing here (%s)\n", step.pCommand->szName,
            (step.pCommand->uFlags & kCmdSelection) ? "it needs a selection" : "not available");
    GiveAnswers(ui, step, iRate);
    main.EvCommand(step.pCommand->iId);
    return StepOutcome(ui, step);
}

// The effect a command step runs when the effect only renders its factory's
// source over the selection and a batch chain runs it just so; null for any
// other step.
const LEffect* StreamedEffect(const EditStep& step)
{
    const LEffect* p
        = step.eKind == EditStep::Command ? FindEffect(step.pCommand->szName) : nullptr;
    if (!p || p->fnApply || !p->fnFactory || p->iBatchId < 0)
        return nullptr;
    const LBatchCommand* pBatch = LBatchCommands::Find(uint32_t(p->iBatchId));
    return pBatch && pBatch->pStream == &kStreamEffect ? p : nullptr;
}

// The reader of IN when the script can run from it straight to the file it
// saves (OUT, or IN itself without -o): Select All, then only effects that
// StreamedEffect takes, from a non-empty PCM WAV into a WAV, with no bookmark
// list beside either file (a document would carry it over). An empty handle
// otherwise.
SourceHandle OpenStreamable(
    const std::vector<EditStep>& steps, const std::string& strIn, const std::string& strSave)
{
    const LFileFormat* pIn = LFileFormats::FindByPath(strIn);
    const LFileFormat* pOut = LFileFormats::FindByPath(strSave);
    const bool bSelectAll = !steps.empty() && steps[0].eKind == EditStep::Command
        && steps[0].pCommand->iId == CM_SELECTALL && steps[0].values.empty()
        && steps[0].strFile.empty() && steps[0].strPoints.empty();
    if (!bSelectAll || steps.size() < 2 || !pIn || !pOut
        || pIn->settings != LFormatSettings::WaveFormat
        || pOut->settings != LFormatSettings::WaveFormat
        || !std::all_of(steps.begin() + 1, steps.end(),
            [](const EditStep& s) { return StreamedEffect(s) != nullptr; })
        || !StreamsFromReader(strIn) || LFile::Exists(LBookMarkList::ObmPath(strIn))
        || LFile::Exists(LBookMarkList::ObmPath(strSave)))
        return SourceHandle();
    SourceHandle h = OpenSourceByExtension(strIn, LHeaderlessFormat::Load());
    return !h->IsError() && h->GetLength() > 0 ? h : SourceHandle();
}

// Reader, effects, writer, as the batch converter chains them: the samples
// a document would give, without copying the audio into the working folder
// and out again. The effects ask their values as their commands do, and the
// result is saved as Save As saves it to OUT, or as Save saves IN.
int StreamEdit(MainDialog& main, CliUi& ui, SourceHandle hReader, const std::string& strIn,
    const std::string& strOut, const std::vector<EditStep>& steps)
{
    LBatchStream stream(LSRCPeakLimit::OpenSource(std::move(hReader))); // as loading does
    const int32_t iRate = stream.Pad().GetSampleRate();
    for (size_t i = 1; i < steps.size(); ++i) {
        const LEffect& effect = *StreamedEffect(steps[i]);
        LBatchStep batch { LBatchCommands::Find(uint32_t(effect.iBatchId)), &effect, {}, {} };
        GiveAnswers(ui, steps[i], iRate);
        // A dialog cancelled without a refusal leaves the audio as it was.
        const bool bAsked = main.AskEffectValues(effect, nullptr, batch.values);
        if (int iExit = StepOutcome(ui, steps[i]); iExit != kExitOk)
            return iExit;
        std::string strError;
        if (bAsked && !stream.Add(batch, strError))
            return CliFail(steps[i].strText + ": " + strError);
    }
    LOVSaveToSink save;
    save.hStream = stream.GetSource();
    save.strPath = strOut.empty() ? strIn : strOut;
    save.uPromptMode = strOut.empty() ? LOVSaveToSink::kPcmWithoutAsking : LOVSaveToSink::kAsk;
    save.pPrompts = &ui;
    Process<LOVSaveToSink> run("Saving...", save);
    run.Run();
    if (run.GetResult() == 1)
        return kExitCancelled;
    if (run.GetResult() != 0)
        return CliFail(ui.strFailure.empty() ? "the result was not saved" : ui.strFailure);
    return kExitOk;
}

// A command step's dialog answers, for the dialogs it opens.
void GiveAnswers(CliUi& ui, const EditStep& step, int32_t iRate)
{
    ui.pending = step.values;
    ui.strOpenFile = step.strFile;
    ui.strPoints = step.strPoints;
    ui.uRate = uint32_t(iRate);
}

// What became of a command step: a refused answer, a failed operation, or
// answers no dialog took fail it.
int StepOutcome(CliUi& ui, const EditStep& step)
{
    if (!ui.strFailure.empty())
        return CliFail(step.strText + ": " + ui.strFailure);
    // An operation that failed on its way (a result it could not write).
    if (std::string strShown = LConsoleProgressView::TakeError(); !strShown.empty())
        return CliFail(step.strText + ": " + strShown);
    if (!ui.strPoints.empty())
        return CliFail("\"" + step.strText + "\": no curve dialog asked for points=");
    if (!ui.pending.empty())
        return CliFail("\"" + step.strText + "\": no dialog asked for " + ui.pending.front().first
            + " (the command has no dialog, or did nothing here)");
    return kExitOk;
}
} // namespace

int CliEdit(const std::vector<std::string>& args)
{
    if (args.empty())
        return CliFail("usage: orvenna-cli edit IN [-o OUT] COMMAND...");
    std::string strIn = args[0], strOut;
    size_t iFrom = 1;
    if (args.size() >= 3 && args[1] == "-o") {
        strOut = args[2];
        iFrom = 3;
    }
    CliUi ui;
    LNoPlayback playback;
    MainDialog main(ui, playback);
    // Bookmark list files beside IN and OUT are read and written as the
    // editor does.
    ProjectDialog project(main, ui);
    LOutsideCommands outside(main, ui);
    std::vector<EditStep> steps;
    std::string strError;
    if (!ParseSteps(main.GetCommands(), args, iFrom, steps, strError))
        return CliFail(strError);
    if (SourceHandle hReader = OpenStreamable(steps, strIn, strOut.empty() ? strIn : strOut))
        return StreamEdit(main, ui, std::move(hReader), strIn, strOut, steps);
    if (!main.LoadFile(strIn, false, false)) {
        // The controller's own text when the reason is not the file itself.
        bool bGeneric = ui.strFailure.empty()
            || ui.strFailure == "Unable to open the file \"" + strIn + "\".";
        return CliFail(
            bGeneric ? "cannot read \"" + strIn + "\": not a supported audio file" : ui.strFailure);
    }
    for (const EditStep& step : steps) {
        if (int i = RunStep(main, ui, step); i != kExitOk)
            return i;
        if (LConsoleProgressView::WasInterrupted())
            return kExitCancelled; // the step was cancelled: nothing is saved
    }

    LOVFile& doc = *main.GetCurrentFile();
    bool bSaved;
    if (!strOut.empty()) {
        ui.strSaveFile = strOut;
        bSaved = main.CmSaveAs(doc);
    } else if (doc.szFilePath.empty()) {
        return CliFail("the result is a new document: give -o OUT");
    } else {
        bSaved = !doc.bDirty || main.CmSave(doc);
    }
    if (!bSaved)
        return CliFail(ui.strFailure.empty() ? "the result was not saved" : ui.strFailure);
    return kExitOk;
}

const LCommandTable& CliCommandTable()
{
    static CliUi ui;
    static LNoPlayback playback;
    static MainDialog main(ui, playback);
    static LOutsideCommands outside(main, ui);
    return main.GetCommands();
}
