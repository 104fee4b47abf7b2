#include "audio/LMP3Source.h"

#include "platform/LTrace.h"

#include <algorithm>
#include <cmath>
#include <cstring>

static constexpr uint32_t kMP3Peak = 0x200000;

LMP3Source::LMP3Source(const std::string& strPath)
    : LSoundSourceBase(44100, 2, kMP3Peak)
{
    MP3LayerTables& MP3LT = MP3LayerTables::Shared();
    if (!MP3LT.InitTables() || !dec.IsReady()) {
        LTrace("LMP3Source::LMP3Source !MP3LT.InitTables() so SetError");
        SetError();
        return;
    }
    if (!file.Open(strPath, LFile::Mode::Read) || !DecodeInitialHeader()) {
        LTrace("LMP3Source::LMP3Source DecodeInitialHeader FAILED so SetError");
        SetError();
        return;
    }
    SetSampleRate(hdrFirst.SampleRate());
    SetChannels(hdrFirst.iMode == 3 ? 1 : 2);
    int64_t iFrames = bExactLength
        ? iLength
        : int64_t(std::floor(double(iBytesAvail) / dFrameBytes + 0.9)) * iSamplesPerFrame;
    if (!CheckLength(iFrames))
        return;
    iLength = int32_t(iFrames);
    vFrame.assign(size_t(iSamplesPerFrame) * size_t(GetChannels()), 0);
}

SourceHandle LMP3Source::Open(const std::string& strPath)
{
    return SourceHandle(MakeHandle<LMP3Source>(strPath));
}

void LMP3Source::SetFilePos(int64_t iOffset)
{
    iOffset = std::clamp<int64_t>(iOffset, 0, iAudioEnd);
    file.Seek(iOffset);
    iBytesAvail = iAudioEnd - iOffset;
}

// Size of an ID3 version 2 tag at the start of the file, 0 when none.
static int64_t Id3v2Size(LFile& file)
{
    uint8_t h[10];
    if (file.ReadAt(h, 10, 0) != 10 || std::memcmp(h, "ID3", 3) != 0)
        return 0;
    if ((h[6] | h[7] | h[8] | h[9]) & 0x80)
        return 0;
    int64_t size = int64_t(h[6]) << 21 | int64_t(h[7]) << 14 | int64_t(h[8]) << 7 | h[9];
    return 10 + size + ((h[5] & 0x10) ? 10 : 0);
}

static void TraceText(const char* sz)
{
    LTrace("%s", sz);
}

// A header counts as the first one when the next frame's header follows it
// where its length says (or the audio ends there), so that stray sync
// patterns in leading data are passed over.
bool LMP3Source::FindFirstHeader(int64_t iFrom, int64_t& iAt)
{
    for (int tries = 0; tries < 4096; ++tries) {
        SetFilePos(iFrom);
        if (!hdrFirst.ReadHeader(file, iBytesAvail, TraceText))
            return false;
        iAt = file.Tell() - 4 - (hdrFirst.iProtection ? 0 : 2);
        int64_t next = iAt + hdrFirst.FrameBytes();
        uint8_t h[4];
        MP3Header fp;
        if (next + 4 > iAudioEnd)
            return true;
        if (file.ReadAt(h, 4, next) == 4 && fp.Parse(h) && fp.SameStream(hdrFirst))
            return true;
        iFrom = iAt + 1;
    }
    return false;
}

bool LMP3Source::DecodeInitialHeader()
{
    int64_t size = file.GetFileSizeBytes();
    uint8_t tag[3];
    iAudioEnd = size;
    if (size >= 128 && file.ReadAt(tag, 3, size - 128) == 3 && std::memcmp(tag, "TAG", 3) == 0)
        iAudioEnd = size - 128;
    int64_t at = 0;
    if (!FindFirstHeader(std::min(Id3v2Size(file), iAudioEnd), at))
        return false;
    iDataStart = at;
    double sum = 0;
    int count = 0;
    int64_t pos = at;
    MP3Header h = hdrFirst;
    for (; count < 8; ++count) {
        SetFilePos(pos);
        if (count > 0 && !h.ReadHeader(file, iBytesAvail, TraceText))
            break;
        int64_t found = count == 0 ? at : file.Tell() - 4 - (h.iProtection ? 0 : 2);
        sum += h.iBitRate;
        pos = found + h.FrameBytes();
    }
    dAvgBitRate = sum / count;
    iSamplesPerFrame = hdrFirst.SamplesPerFrame();
    dFrameBytes = (hdrFirst.iVersion == 0 ? 144.0 : 72.0) * dAvgBitRate / hdrFirst.SampleRate();
    CheckVbrFrame(at);
    SetFilePos(iDataStart);
    return true;
}

static uint32_t Be32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// A first frame holding a Xing, Info or VBRI header carries no audio; it is
// skipped, and its frame count makes the length exact.
void LMP3Source::CheckVbrFrame(int64_t iAt)
{
    uint8_t f[64] = {};
    MP3Header fp = hdrFirst;
    if (file.ReadAt(f, 64, iAt) != 64)
        return;
    // The tag follows the side information; encoders place it there whether
    // or not a CRC precedes the side information.
    int off = 4 + fp.SideInfoBytes();
    auto isTag = [&f](int o) {
        return std::memcmp(f + o, "Xing", 4) == 0 || std::memcmp(f + o, "Info", 4) == 0;
    };
    if (!isTag(off) && !fp.iProtection)
        off += 2;
    uint32_t frames = 0, bytes = 0;
    bool bFound = false;
    if (isTag(off)) {
        bFound = true;
        uint32_t flags = Be32(f + off + 4);
        int p = off + 8;
        if (flags & 1)
            frames = Be32(f + p), p += 4;
        if ((flags & 2) && p + 4 <= 64)
            bytes = Be32(f + p);
    } else if (std::memcmp(f + 36, "VBRI", 4) == 0) {
        bFound = true;
        bytes = Be32(f + 36 + 10);
        frames = Be32(f + 36 + 14);
    }
    if (!bFound)
        return;
    iDataStart = iAt + hdrFirst.FrameBytes();
    if (frames > 0 && uint64_t(frames) * uint64_t(iSamplesPerFrame) < 0x7FFFFFFFu) {
        bExactLength = true;
        iLength = int32_t(frames * uint32_t(iSamplesPerFrame));
        // The average frame size places seeks. Encoders count the tag frame
        // (and sometimes more) in the byte field, which puts a seek into the
        // wrong frame a few frames in; the bytes between the first audio
        // frame and the end of the audio are exact.
        if (bytes > 0 && iAudioEnd > iDataStart)
            dFrameBytes = double(iAudioEnd - iDataStart) / frames;
    }
}

bool LMP3Source::DecodeHeader(MP3Header& h)
{
    for (int rejected = 0; rejected <= 11; ++rejected) {
        if (!h.ReadHeader(file, iBytesAvail, TraceText))
            return false;
        if (h.iVersion != hdrFirst.iVersion)
            LTrace("LMP3Source::DecodeHeader() Header rejected because version does not match");
        else if (h.iSampleRateIndex != hdrFirst.iSampleRateIndex)
            LTrace("LMP3Source::DecodeHeader() Header rejected because sampling frequency does "
                   "not match");
        else if ((h.iMode == 3) != (hdrFirst.iMode == 3))
            LTrace("LMP3Source::DecodeHeader() Header rejected because channels do not match");
        else
            return true;
    }
    return false;
}

bool LMP3Source::DecodeFrame(int32_t* pOut)
{
    for (;;) {
        MP3Header h;
        if (!DecodeHeader(h))
            return false;
        int body = h.BodyBytes();
        if (body < 0 || body > 2048 || body > iBytesAvail)
            return false;
        iBytesAvail -= body;
        if (file.Read(aBody, body) != body)
            return false;
        MP3Decoder::Result r = dec.DecodeFrame(h, aBody, body, pOut);
        if (r == MP3Decoder::kBigValuesTooLarge)
            LTrace("LMP3Source::DecodeHuffmanData (si.big_values << 1) > 576");
        if (r == MP3Decoder::kDecoded) {
            iFramesDecoded += iSamplesPerFrame;
            Reestimate();
            return true;
        }
    }
}

void LMP3Source::Reestimate()
{
    if (bExactLength)
        return;
    double frames = std::floor(double(iBytesAvail) / dFrameBytes + 0.9);
    iLength = int32_t(
        std::min<double>(frames * iSamplesPerFrame + double(iFramesDecoded), double(kMaxFrames)));
}

int32_t LMP3Source::ReadAudio(int32_t* pBuffer, int32_t iFrames)
{
    if (GetPosition() > iLength)
        return 0;
    const size_t ch = size_t(GetChannels());
    int32_t left = iFrames;
    int32_t* out = pBuffer;
    while (left > 0) {
        if (iBufDelivered < iBufFrames) {
            int n = std::min(left, iBufFrames - iBufDelivered);
            std::copy_n(vFrame.data() + size_t(iBufDelivered) * ch, size_t(n) * ch, out);
            iBufDelivered += n;
            out += size_t(n) * ch;
            left -= n;
        } else if (left >= iSamplesPerFrame) {
            if (!DecodeFrame(out))
                break;
            out += size_t(iSamplesPerFrame) * ch;
            left -= iSamplesPerFrame;
        } else {
            iBufFrames = iBufDelivered = 0;
            if (!DecodeFrame(vFrame.data()))
                break;
            iBufFrames = iSamplesPerFrame;
        }
    }
    if (left > 0) {
        LTrace("LMP3Source::Read DecodeFrame failed so end");
        iLength = GetPosition() + (iFrames - left);
    }
    return iFrames - left;
}

// Places the file at the first header near iOffset whose successor is also a
// header of this stream.
bool LMP3Source::SyncTo(int64_t iOffset)
{
    for (int tries = 0; tries < 64; ++tries) {
        SetFilePos(iOffset);
        MP3Header h;
        if (!DecodeHeader(h))
            return false;
        int64_t at = file.Tell() - 4 - (h.iProtection ? 0 : 2);
        int64_t next = at + h.FrameBytes();
        uint8_t b[4];
        MP3Header fp;
        if (next + 4 > iAudioEnd
            || (file.ReadAt(b, 4, next) == 4 && fp.Parse(b) && fp.SameStream(h))) {
            SetFilePos(at);
            return true;
        }
        iOffset = at + 1;
    }
    return false;
}

void LMP3Source::Seek(int32_t iFrame)
{
    if (IsError())
        return;
    SetPosition(iFrame);
    int32_t target = std::clamp(iFrame, int32_t(0), iLength);
    int32_t k = target / iSamplesPerFrame;
    int32_t preroll = std::min(4, k);
    int64_t offset = iDataStart + int64_t(std::floor((k - preroll) * dFrameBytes));
    iBufFrames = iBufDelivered = 0;
    dec.Reset();
    iFramesDecoded = int64_t(k - preroll) * iSamplesPerFrame;
    if (!SyncTo(offset))
        return;
    for (int i = 0; i < preroll; ++i)
        if (!DecodeFrame(vFrame.data()))
            return;
    if (DecodeFrame(vFrame.data())) {
        iBufFrames = iSamplesPerFrame;
        iBufDelivered = target % iSamplesPerFrame;
    }
}
