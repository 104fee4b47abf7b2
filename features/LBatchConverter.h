#pragma once

#include "engine/LFilePrompts.h"
#include "features/LBatchScript.h"
#include "process/LProgressDialog.h"

#include <functional>
#include <optional>
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
    // Files whose commands can all run in a chain go from the reader to the
    // writer without an edit store; off, every file is loaded as a document.
    bool bStream = true;
    // The answers every file of the run takes, read from the stored settings
    // when the run starts unless given (asked once, or command-line options):
    // VOX and RAW properties for reading and writing, the compressed WAV
    // format and the MP3 encoder settings of converted outputs.
    std::optional<LHeaderlessSettings> headerless;
    std::optional<LWaveFormat> wavFormat;
    std::optional<LMp3EncoderSettings> mp3;

    static LBatchOptions Load();
    void Store() const;
    // The output of an input; "" when the format index is outside the list.
    std::string OutputPath(const std::string& strInput) const;
    // True when an input is a headerless file, whose properties the run asks.
    static bool NeedsHeaderless(const std::vector<BatchFileItem>& files);
};

// What became of one input file.
struct LBatchFileResult {
    enum State { NotProcessed, Done, Failed, Cancelled };
    std::string strInput;
    std::string strOutput;
    State eState = NotProcessed;
    std::string strReason; // why it failed
    bool bChained = false; // went from its reader to its writer without a document
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
