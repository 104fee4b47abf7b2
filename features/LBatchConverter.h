#pragma once

#include "features/LBatchScript.h"
#include "process/LProgressDialog.h"

#include <functional>
#include <string>
#include <vector>

// One input file of a batch.
struct BatchFileItem {
    std::string strPath;
};

// Where and in which format a batch saves (section "BatchConverter").
struct LBatchOptions {
    static constexpr const char* kFormats[]
        = { ".wav", ".mp3", ".gsm", ".vox", ".raw", ".aif", ".au" };
    bool bSameFormat = true; // SaveSameFileFormat
    int iFormat = 0; // SaveFileFormat: index into kFormats
    bool bSameFolder = true; // SameOutputFolder
    std::string strFolder; // OutputFolder
    bool bKeepGoing = false; // go on with the other files after a failure
    int iJobs = 0; // files worked on at once; 0 = one per core
    // Converted WAV results as 16-bit PCM (the command line) instead of in
    // the stored compressed WAV format.
    bool bPcmWav = false;

    static LBatchOptions Load();
    void Store() const;
    // The output of an input; "" when the format index is outside the list.
    std::string OutputPath(const std::string& strInput) const;
};

// What became of one input file.
struct LBatchFileResult {
    enum State { NotProcessed, Done, Failed, Cancelled };
    std::string strInput;
    std::string strOutput;
    State eState = NotProcessed;
    std::string strReason; // why it failed
};

// The batch: every file loaded, the commands run over the whole file in
// order, the result saved. Files run on several workers, each with its own
// cut list and progress context; the operation's own progress context
// (the caller's thread) shows the whole and takes Cancel.
struct OVBatchConverter {
    std::vector<BatchFileItem> files;
    std::vector<CommandDataItem> commands;
    LBatchOptions options;
    // Out: one entry per file, in the files' order.
    std::vector<LBatchFileResult> results;
    // Out: why nothing ran (a command that cannot run, two inputs writing
    // one output, a format outside the list); "" otherwise.
    std::string strRefusal;
    // Called on the operation's thread as each file ends, in the order they end.
    std::function<void(const LBatchFileResult&)> fnReport;
};

// The checks made before any file is touched: every command resolved
// (stored values read once here), every output path distinct. False with
// the reason when the batch cannot run.
bool PrepareBatch(
    const OVBatchConverter& data, std::vector<LBatchStep>& steps, std::string& strError);

// 0 every file done, 1 cancelled (finished outputs kept, no partial one),
// 2 refused or a file failed.
int ProcessBody(LProgressDialog& dlg, OVBatchConverter& data);
