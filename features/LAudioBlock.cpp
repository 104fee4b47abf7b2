#include "features/LAudioBlock.h"

#include "edit/LSNKCutListAudio.h"
#include "edit/LSRCCutListAudio.h"
#include "features/LRecordIo.h"

#include <bit>
#include <vector>

static_assert(std::endian::native == std::endian::little,
    "project audio blocks are little-endian samples copied as they are");

int64_t LAudioBlock::BytesOf(const LCutListAudio& audio)
{
    return kHeaderSize + int64_t(audio.GetTotalLength()) * audio.GetChannels() * 4;
}

namespace {
void Step(LProgressDialog& dlg, LAudioBlock::Progress& pr, int64_t iBytes)
{
    pr.iDone += iBytes;
    dlg.SetProgress(double(pr.iDone) / double(std::max<int64_t>(1, pr.iTotal)));
}
} // namespace

int LAudioBlock::Write(LProgressDialog& dlg, LFile& file, const LCutListAudio& audio, Progress& pr)
{
    const int32_t iLength = audio.GetTotalLength();
    const int iChannels = audio.GetChannels();
    uint8_t head[kHeaderSize];
    LRecordIo::PutU32(head, uint32_t(audio.GetSampleRate()));
    head[4] = uint8_t(iChannels);
    LRecordIo::PutI32(head + 5, iLength);
    if (file.Write(head, kHeaderSize) != kHeaderSize)
        return 2;
    Step(dlg, pr, kHeaderSize);
    LSRCCutListAudio source(audio);
    std::vector<int32_t> buffer(size_t(kPieceFrames) * size_t(iChannels));
    for (int32_t iDone = 0; iDone < iLength;) {
        if (dlg.CheckCancel())
            return 1;
        const int32_t iFrames = std::min(kPieceFrames, iLength - iDone);
        source.Read(buffer.data(), iFrames);
        const int64_t iBytes = int64_t(iFrames) * iChannels * 4;
        if (file.Write(buffer.data(), iBytes) != iBytes)
            return 2;
        iDone += iFrames;
        Step(dlg, pr, iBytes);
    }
    return 0;
}

int LAudioBlock::Read(LProgressDialog& dlg, LFile& file, int64_t& iLeft, LCutListAudio& audio,
    Progress& pr, std::string& strWhy)
{
    uint8_t head[kHeaderSize];
    if (iLeft < kHeaderSize || file.Read(head, kHeaderSize) != kHeaderSize) {
        strWhy = "an audio block is cut short";
        return 2;
    }
    iLeft -= kHeaderSize;
    const uint32_t uRate = LRecordIo::GetU32(head);
    const int iChannels = head[4];
    const int32_t iLength = LRecordIo::GetI32(head + 5);
    if (uRate == 0 || uRate > 1000000 || (iChannels != 1 && iChannels != 2)) {
        strWhy = "an audio block has rate " + std::to_string(uRate) + " and "
            + std::to_string(iChannels) + " channels";
        return 2;
    }
    const int64_t iBytes = int64_t(iLength) * iChannels * 4;
    if (iLength < 0 || iLength > kMaxFrames || iBytes > iLeft) {
        strWhy = "an audio block claims " + std::to_string(iLength)
            + " frames, more than the file holds";
        return 2;
    }
    Step(dlg, pr, kHeaderSize);
    LCutListAudio result;
    SinkHandle hSink = MakeHandle<LSNKCutListAudio>(result, int32_t(uRate), iChannels);
    std::vector<int32_t> buffer(size_t(kPieceFrames) * size_t(iChannels));
    int iResult = 0;
    for (int32_t iDone = 0; iDone < iLength && iResult == 0;) {
        if (dlg.CheckCancel()) {
            iResult = 1;
            break;
        }
        const int32_t iFrames = std::min(kPieceFrames, iLength - iDone);
        const int64_t iPiece = int64_t(iFrames) * iChannels * 4;
        if (file.Read(buffer.data(), iPiece) != iPiece) {
            strWhy = "the audio ends early";
            iResult = 2;
            break;
        }
        hSink->Write(buffer.data(), iFrames);
        if (hSink->IsError()) {
            strWhy = "the audio working folder cannot take it ("
                + LFile::DescribeError(hSink->GetErrno()) + ")";
            iResult = 2;
        }
        iDone += iFrames;
        Step(dlg, pr, iPiece);
    }
    if (iResult == 0 && !hSink->Close()) {
        strWhy = "the audio working folder cannot take it";
        iResult = 2;
    }
    hSink.Reset();
    iLeft -= iBytes;
    if (iResult == 0) {
        audio = std::move(result);
        audio.SetFormat(int32_t(uRate), iChannels);
    }
    return iResult;
}
