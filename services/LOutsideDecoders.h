#pragma once

#include "process/LProgressDialog.h"

#include <string>
#include <vector>

// Reading WMA, DSS and RealAudio files. One outside converter program does
// the decoding for all three: the program named by the component's Path
// setting (Components\wmacmp, Components\dsscmp, Components\racmp), else our
// helper "wmatowav" beside the running program or on PATH, which has ffmpeg
// write a 16-bit PCM WAV. It is run as CONVERTER INPUT WAV (an argument
// vector, the input made absolute) and must exit with 0 having written WAV.
struct LDecodeRequest {
    std::string strInput;
    std::string strWav; // the WAV file to create
    std::string strError {}; // out: the text shown, "" when none
    std::vector<std::string> args {}; // out: what the converter was started with
};
struct LWMADecode : LDecodeRequest { };
struct LDSSDecode : LDecodeRequest { };
struct LReadAudioDecode : LDecodeRequest { };

// On the user-interface thread, with Cancel: 0 the WAV was written; 1
// cancelled (the converter stopped, its output deleted); 2 the converter is
// missing (the install text) or failed (the text of the type, where it has
// one), its output deleted. An output of an earlier run is deleted first.
int ProcessBody(LProgressDialog& dlg, LWMADecode& data);
int ProcessBody(LProgressDialog& dlg, LDSSDecode& data);
int ProcessBody(LProgressDialog& dlg, LReadAudioDecode& data);

// The converter of a component ("wmacmp" ...), or "" when none is installed.
std::string FindOutsideDecoder(const std::string& strComponent);

// Adds the rows of .wma, .dss and .ra/.ram/.rm to the file format table (at
// start, before other threads run).
void RegisterOutsideFormats();
