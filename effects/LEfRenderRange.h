#pragma once

#include "edit/LCutListAudio.h"
#include "edit/LSNKCutListAudio.h"
#include "effects/LEfSoundProcess.h"

// Runs fnBody(sink) with a writer of a new cut in the document's format and,
// when it returns 0 and the cut was written whole, puts that cut in place of
// [iStart, iEnd) of the document. On any other result the new cut is dropped with its files and
// the document stays as it was. Returns fnBody's result.
template <class Fn>
int EfRenderRange(
    LProgressDialog& dlg, LCutListAudio& doc, int32_t iStart, int32_t iEnd, Fn&& fnBody)
{
    LCutListAudio rendered;
    int iResult;
    {
        LSNKCutListAudio sink(rendered, doc.GetSampleRate(), doc.GetChannels());
        iResult = fnBody(static_cast<LSoundSinkBase&>(sink));
        if (iResult == 0 && !sink.Close())
            iResult = EfWriteFailed(dlg, sink); // the new cut could not be written whole
    } // the writer hands its cut to rendered here
    if (iResult == 0)
        doc.EfReplace(iStart, iEnd, rendered);
    return iResult;
}
