#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "edit/LCutListAudio.h"
#include "process/LProgressDialog.h"

#include <functional>

// Reads frames iStart..iEnd of a source (at least one frame) and writes them
// to the sink when there is one, closing it at the end. A sink that fails to
// write ends the run with 2.
struct LEfSoundProcess {
    SourceHandle hSource;
    SinkHandle hSink;
    int32_t iEnd = 0;
    int32_t iStart = 0;
};

// Says that a result could not be written to the audio working folder (its
// disk is full, say), with the reason; returns 2. The document stays as it was.
int EfWriteFailed(LProgressDialog& dlg, const LSoundSinkBase& sink);
// The same for a reason given as an errno (0 when none is known).
int EfWriteFailed(LProgressDialog& dlg, int iErrno);

int ProcessBody(LProgressDialog& dlg, LEfSoundProcess& data);

// The shared body of the range effects: the selection of the document is
// read through the effect's source (fnWrap wraps a reader of the whole
// document), rendered into a new cut and put in place of the selection.
// Cancelled or failed runs leave the document as it was. 0 / 1 / 2.
using LEffectWrap = std::function<SourceHandle(SourceHandle)>;
int EfRunRangeEffect(LProgressDialog& dlg, LCutListAudio& doc, int32_t iStart, int32_t iEnd,
    const std::string& strName, const LEffectWrap& fnWrap);
