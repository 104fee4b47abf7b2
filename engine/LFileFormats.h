#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "engine/LFilePrompts.h"
#include "platform/acm/LWaveFormat.h"

class LProgressDialog;

#include <cstdint>
#include <string>
#include <vector>

// Which dialog's settings reading or writing a file type takes.
enum class LFormatSettings : uint8_t {
    None,
    WaveFormat, // the compressed WAV format chooser and WavCodec.wff (saving only)
    Headerless, // "File Properties": Settings\VoxRaw* (loading and saving)
    Mp3Encoder, // "MP3 Encoder Settings": written through the outside encoder
};

// What a writer is opened with: the rate and channels to write and the
// answers of the file type's dialog.
struct LSinkRequest {
    int32_t iRate = 0;
    int iChannels = 0;
    LWaveFormat wavFormat; // WaveFormat rows
    LHeaderlessSettings headerless; // Headerless rows
};

// One file type: the loading and saving pipelines, the file dialogs' filters
// and the command line all read this row. Rows are constant; any thread.
struct LFileFormat {
    const char* szName; // short name, e.g. "wav"
    const char* aExt[3]; // lower-case extensions with the dot; the rest may be null
    const char* szFilter; // the file dialogs' filter, e.g. "Wave Files(*.wav)"
    LFormatSettings settings;
    bool bWritable;
    // A reader, or a source with its error flag when the file does not open.
    SourceHandle (*fnOpen)(const std::string& strPath, const LHeaderlessSettings& headerless);
    // A writer, or an empty handle or one with its error flag; null for
    // types written another way (MP3 goes through a PCM WAV and the encoder).
    SinkHandle (*fnOpenSink)(const std::string& strPath, const LSinkRequest& request);
    // Types read through an outside decoder (fnOpen is then null): writes
    // the input as a 16-bit PCM WAV at strWav, showing its progress and
    // errors through dlg. 0 written, 1 cancelled, 2 failed; on anything but
    // 0 strWav does not exist afterwards.
    int (*fnDecode)(LProgressDialog& dlg, const std::string& strPath, const std::string& strWav)
        = nullptr;

    bool NeedsHeaderless() const { return settings == LFormatSettings::Headerless; }
};

class LFileFormats {
public:
    // Every row, in the order the file dialogs list them.
    static const std::vector<LFileFormat>& All();
    // Adds rows of the layers above (a row of the same name is replaced).
    // Called at start by the program's main, before any other thread runs.
    static void Register(const std::vector<LFileFormat>& rows);
    // The row of the path's extension (case ignored), or null.
    static const LFileFormat* FindByPath(const std::string& strPath);
    // The file dialogs' filters: "Audio Files (...)" over every readable (or
    // writable) extension in both cases, then one filter per row.
    static std::vector<std::string> OpenFilters();
    static std::vector<std::string> SaveFilters();
};
