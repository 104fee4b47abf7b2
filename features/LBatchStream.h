#pragma once

#include "audio/LSRCFilterBase.h"

#include <string>

struct LBatchStep;

// What a cut list of one audio cut reads back: iLead frames of silence, then
// the upstream's frames times iGain (24 fraction bits) up to iLength frames
// in all, zeros after. Its peak bound is the edit store reader's, so the
// stages after it are built as they are over a document. Used on one thread
// at a time; owns the upstream through its handle.
class LSRCBatchPad : public LSRCFilterBase {
public:
    LSRCBatchPad(SourceHandle hUpstream, int32_t iLength);

    int32_t GetPosition() override { return iPosition; }
    int32_t GetLength() override { return iLength; }
    void Seek(int32_t iFrame) override;

    // The edits a document makes without touching audio.
    void InsertSilence(bool bAtStart, int32_t iFrames);
    void Amplify(int iPercent);

protected:
    int32_t ReadAudio(int32_t* pBuffer, int32_t iFrames) override;

private:
    int32_t iLead = 0;
    int32_t iAudio; // the upstream's frames taken
    int32_t iLength;
    int32_t iGain;
    int32_t iPosition = 0;
    int32_t iUpstream = 0; // the upstream frame the next read gets
};

// A chain of batch steps from a reader to a writer: each step either edits
// the pad at the end of the chain or puts its source in front of it and a
// new pad after. The chain gives the same frames the steps give over a
// document. One thread (the file's worker).
class LBatchStream {
public:
    explicit LBatchStream(SourceHandle hStart);
    // False with the reason when the step cannot run.
    bool Add(const LBatchStep& step, std::string& strError);
    SourceHandle GetSource() const { return hPad; }

    LSRCBatchPad& Pad() { return *pPad; }
    // A stage's source put in front, its first iLength frames taken.
    void Render(SourceHandle hStage, int32_t iLength);
    // A stage that goes through a pump over a document (conversions), with
    // the pump's limiter and length.
    void Pump(SourceHandle hStage);

private:
    SourceHandle hPad;
    LSRCBatchPad* pPad = nullptr;
};

// How a batch command runs in a chain: an edit of the pad (silence, gain),
// which a document does as cheaply, or a source of its own.
struct LBatchStreamer {
    bool bEdit;
    bool (*fnAdd)(LBatchStream& stream, const LBatchStep& step, std::string& strError);
};

extern const LBatchStreamer kStreamSilence;
extern const LBatchStreamer kStreamAmplify;
extern const LBatchStreamer kStreamEffect; // the effect's factory over the whole audio
extern const LBatchStreamer kStreamSpeed;
extern const LBatchStreamer kStreamConvert;

// True when the file's reader knows its length before it is read, so a chain
// can be built over it (MP3 and codec-decoded WAV find theirs by decoding).
bool StreamsFromReader(const std::string& strPath);
