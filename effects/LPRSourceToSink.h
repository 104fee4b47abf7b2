#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "process/LProgressDialog.h"

#include <string>

// Moves a whole source into a sink, matching channels, rate and level to the
// sink on the way. A sink that fails to write stops the run (result 2); after
// the last block the sink is closed, so a result of 0 means its file is
// complete. The handles are released when the body ends.
struct LPRSourceToSink {
    std::string strTitle;
    SourceHandle hSource;
    SinkHandle hSink;
};

// 0 finished, 1 cancelled, 2 source or sink in error (or missing sink), also
// when the sink failed while writing or closing.
int ProcessBody(LProgressDialog& dlg, LPRSourceToSink& data);

// The source wrapped to the sink's channels and rate and limited to 16-bit
// full scale when its peak bound is higher; an empty handle when the pair
// cannot be matched.
SourceHandle MatchSourceToSink(SourceHandle hSource, const LSoundSinkBase& sink);
