// orvenna-cli batch and script: batch scripts run over many files, made
// and shown from the command line.
#include "cli/CliCommand.h"
#include "cli/LConsoleProgressView.h"
#include "engine/LHeaderlessFormat.h"
#include "features/LBatchConverter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <strings.h>

namespace {
// The longest run of leading words that names a batch command, then its
// key=value answers.
bool ParseScriptStep(const std::string& strText, CommandDataItem& item, std::string& strError)
{
    const std::vector<std::string> words = CliWords(strText);
    const LBatchCommand* pCommand = nullptr;
    size_t iUsed = 0;
    std::string strName;
    for (size_t i = 0; i < words.size(); ++i) {
        strName += (i ? " " : "") + words[i];
        if (const LBatchCommand* p = LBatchCommands::FindByName(strName)) {
            pCommand = p;
            iUsed = i + 1;
        }
    }
    if (!pCommand) {
        strError = "unknown batch command \"" + strText + "\" (see orvenna-cli script list)";
        return false;
    }
    std::vector<std::pair<std::string, int32_t>> values;
    std::string strFile;
    if (!CliParseAnswers(words, iUsed, strText, values, strFile, strError))
        return false;
    if (!strFile.empty()) {
        strError = "\"" + strText + "\": batch commands take no file";
        return false;
    }
    return LBatchCommands::MakeData(*pCommand, values, item, strError);
}

int ScriptMake(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return CliFail("usage: orvenna-cli script make OUT.ovb COMMAND...");
    std::vector<CommandDataItem> items;
    std::string strError;
    for (size_t i = 2; i < args.size(); ++i) {
        CommandDataItem item;
        if (!ParseScriptStep(args[i], item, strError))
            return CliFail(strError);
        items.push_back(std::move(item));
    }
    if (!WriteBatchScript(args[1], items, strError))
        return CliFail(args[1] + ": " + strError);
    return kExitOk;
}

int ScriptShow(const std::vector<std::string>& args)
{
    if (args.size() != 2)
        return CliFail("usage: orvenna-cli script show SCRIPT.ovb");
    std::vector<CommandDataItem> items;
    std::string strError;
    if (ReadBatchScript(args[1], items, strError) != 0)
        return CliFail(args[1] + ": " + strError);
    for (size_t i = 0; i < items.size(); ++i) {
        const LBatchCommand* p = LBatchCommands::Find(items[i].uCommandId);
        const std::string strSettings = LBatchCommands::Describe(items[i]);
        std::printf("%zu. %s%s%s\n", i + 1, p ? p->szName : strSettings.c_str(),
            p && !strSettings.empty() ? ": " : "", p ? strSettings.c_str() : "");
    }
    return kExitOk;
}

int ScriptList(const std::vector<std::string>&)
{
    for (const LBatchCommand& c : LBatchCommands::All()) {
        std::string strKeys;
        for (const LBatchParam& p : c.params)
            strKeys += std::string(" ") + p.szKey + "=" + std::to_string(p.iDefault);
        std::printf("%2u  %-36s%s%s\n", c.uId, c.szName, strKeys.c_str(),
            LBatchCommands::FindEffect(c) ? "" : "  (not available)");
    }
    return kExitOk;
}

bool ToInt(const std::string& s, int lo, int hi, int& iOut)
{
    char* pEnd = nullptr;
    const long l = std::strtol(s.c_str(), &pEnd, 10);
    if (s.empty() || *pEnd || l < lo || l > hi)
        return false;
    iOut = int(l);
    return true;
}

LHeaderlessSettings& Raw(LBatchOptions& o)
{
    return o.headerless ? *o.headerless : o.headerless.emplace(LHeaderlessFormat::Load());
}

// Answers every file of the run takes in place of the stored settings.
struct BatchOption {
    const char* szName;
    const char* szAccepts; // shown with a refused value
    bool (*fnTake)(LBatchOptions& o, const std::string& strValue);
};

const BatchOption kBatchOptions[] = {
    { "--raw-format", "0..6, listed by orvenna-cli formats",
        [](LBatchOptions& o, const std::string& s) {
            return ToInt(s, 0, LHeaderlessFormat::kCount - 1, Raw(o).iFormat);
        } },
    { "--raw-rate", "6000..96000",
        [](LBatchOptions& o, const std::string& s) {
            return ToInt(s, 6000, 96000, Raw(o).iRate);
        } },
    { "--raw-channels", "1 or 2",
        [](LBatchOptions& o, const std::string& s) { return ToInt(s, 1, 2, Raw(o).iChannels); } },
    { "--mp3-bitrate", "a constant bit rate listed by orvenna-cli --help",
        [](LBatchOptions& o, const std::string& s) {
            LMp3EncoderSettings& m = o.mp3 ? *o.mp3 : o.mp3.emplace(LMp3EncoderSettings::Load());
            m.bConstantBitRate = true;
            const auto& rates = LMp3EncoderSettings::kBitRates;
            return ToInt(s, 8, 320, m.iCBRBitRate)
                && std::find(std::begin(rates), std::end(rates), m.iCBRBitRate) != std::end(rates);
        } },
};

const BatchOption* FindOption(const std::string& strName)
{
    for (const BatchOption& o : kBatchOptions)
        if (strName == o.szName)
            return &o;
    return nullptr;
}

bool ParseBatchOptions(
    const std::vector<std::string>& args, OVBatchConverter& data, std::string& strError)
{
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool bValue = i + 1 < args.size();
        if (a == "--keep-going") {
            data.options.bKeepGoing = true;
        } else if (a == "--format" && bValue) {
            std::string strExt = args[++i];
            if (strExt.front() != '.')
                strExt = "." + strExt;
            const auto& list = LBatchOptions::kFormats;
            auto it = std::find_if(std::begin(list), std::end(list),
                [&](const char* s) { return strcasecmp(s, strExt.c_str()) == 0; });
            if (it == std::end(list)) {
                strError = "--format takes wav, mp3, gsm, vox, raw, aif or au";
                return false;
            }
            data.options.bSameFormat = false;
            data.options.iFormat = int(it - std::begin(list));
        } else if (a == "--out" && bValue) {
            data.options.bSameFolder = false;
            data.options.strFolder = args[++i];
        } else if (a == "--jobs" && bValue) {
            data.options.iJobs = std::atoi(args[++i].c_str());
            if (data.options.iJobs < 1) {
                strError = "--jobs takes a number of 1 or more";
                return false;
            }
        } else if (const BatchOption* p = FindOption(a)) {
            if (!bValue || !p->fnTake(data.options, args[i + 1])) {
                strError = std::string("bad value for ") + a + ": \"" + (bValue ? args[i + 1] : "")
                    + "\" (" + p->szAccepts + ")";
                return false;
            }
            ++i;
        } else if (a.rfind("--", 0) == 0) {
            strError = "unknown option \"" + a + "\"";
            return false;
        } else {
            data.files.push_back({ a });
        }
    }
    if (data.files.empty())
        strError = "no input files";
    return !data.files.empty();
}

void PrintResult(const LBatchFileResult& r)
{
    if (r.eState == LBatchFileResult::Done)
        std::printf("ok %s -> %s\n", r.strInput.c_str(), r.strOutput.c_str());
    else if (r.eState == LBatchFileResult::Failed)
        std::printf("FAILED %s: %s\n", r.strInput.c_str(), r.strReason.c_str());
    std::fflush(stdout);
}
} // namespace

int CliBatch(const std::vector<std::string>& args)
{
    OVBatchConverter data;
    data.options.bPcmWav = true; // as convert writes WAV without --wav-format
    std::string strError;
    if (args.empty() || !ParseBatchOptions(args, data, strError))
        return CliFail(strError.empty() ? "usage: orvenna-cli batch SCRIPT.ovb FILE..." : strError);
    if (ReadBatchScript(args[0], data.commands, strError) != 0)
        return CliFail(args[0] + ": " + strError);
    std::error_code ec;
    if (!data.options.bSameFolder && !data.options.strFolder.empty()
        && !std::filesystem::is_directory(data.options.strFolder, ec)
        && !std::filesystem::create_directories(data.options.strFolder, ec))
        return CliFail(data.options.strFolder + ": Unable to create folder.");
    data.fnReport = PrintResult;
    Process<OVBatchConverter> op("Batch Converter", data);
    op.Run();
    if (!data.strRefusal.empty()) {
        LConsoleProgressView::TakeError();
        return CliFail(data.strRefusal);
    }
    size_t n[4] = {};
    for (const LBatchFileResult& r : data.results) {
        ++n[r.eState];
        if (r.eState == LBatchFileResult::NotProcessed || r.eState == LBatchFileResult::Cancelled)
            std::printf("not processed %s\n", r.strInput.c_str());
    }
    std::printf("%zu done, %zu failed, %zu not processed\n", n[LBatchFileResult::Done],
        n[LBatchFileResult::Failed],
        n[LBatchFileResult::NotProcessed] + n[LBatchFileResult::Cancelled]);
    LConsoleProgressView::TakeError(); // each failure was printed with its file
    return op.GetResult() == 1 ? kExitCancelled : op.GetResult() == 0 ? kExitOk : kExitFailed;
}

int CliScript(const std::vector<std::string>& args)
{
    const std::string strWhat = args.empty() ? "" : args[0];
    if (strWhat == "make")
        return ScriptMake(args);
    if (strWhat == "show")
        return ScriptShow(args);
    if (strWhat == "list")
        return ScriptList(args);
    return CliFail("usage: orvenna-cli script make|show|list ...");
}
