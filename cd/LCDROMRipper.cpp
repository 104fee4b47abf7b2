#include "cd/LCDROMRipper.h"

#include "cd/LAccurateRip.h"
#include "cd/LCDROMDrives.h"
#include "cd/LCDTOC.h"
#include "platform/LFile.h"
#include "platform/LTrace.h"
#include "process/LProgressDialog.h"

#include <cstdio>
#include <vector>

namespace {
const uint32_t kChunkSectors = 24;
const uint32_t kSector = LCDTOC::kSectorBytes;
const uint32_t kReadCdTimeoutMs = 10000;
const uint32_t kHeaderBytes = 46;

using Bytes = std::vector<uint8_t>;

void Le32(uint8_t* p, uint32_t u)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(u >> (8 * i));
}

// The header of a 44100 Hz 16-bit stereo PCM file with an 18-byte format
// chunk; 0xFFFFFFFF for both sizes while the file is being written.
void MakeHeader(uint8_t* h, uint32_t uRiff, uint32_t uData)
{
    const uint8_t aFixed[kHeaderBytes] = { 'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f',
        'm', 't', ' ', 18, 0, 0, 0, 1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 2, 0, 4, 0, 16, 0, 0,
        0, 'd', 'a', 't', 'a', 0, 0, 0, 0 };
    std::copy(aFixed, aFixed + kHeaderBytes, h);
    Le32(h + 4, uRiff);
    Le32(h + 42, uData);
}

// "m:ss:ff", 75 frames a second, of a sector offset into a track.
std::string TrackTime(uint32_t uOffset)
{
    char sz[32];
    std::snprintf(sz, sizeof(sz), "%u:%02u:%02u", uOffset / 4500, uOffset / 75 % 60, uOffset % 75);
    return sz;
}

// Reads sectors of one track with READ CD, re-reading what fails or (with
// verify) what two reads do not agree on. Cancel is checked before every
// command.
class LTrackReader {
public:
    LTrackReader(LProgressDialog& dlg, LSCSI& scsi, bool bVerify)
        : dlg(dlg)
        , scsi(scsi)
        , bVerify(bVerify)
    {
    }
    // 0 with the sectors in out, 1 cancelled, 2 unreadable (the last
    // drive's answer in strError).
    int Read(uint32_t uLba, uint32_t uCount, Bytes& out, uint32_t& uExtraReads)
    {
        std::vector<Bytes> seen;
        const int iPlanned = bVerify ? 2 : 1;
        for (int i = 0; i < kCDROMReadAttempts; ++i) {
            if (i == iPlanned)
                ++uExtraReads;
            if (dlg.CheckCancel())
                return 1;
            Bytes b(size_t(uCount) * kSector);
            if (Once(uLba, uCount, b) != 0)
                continue;
            for (const Bytes& s : seen)
                if (s == b) {
                    out.swap(b);
                    return 0;
                }
            if (!bVerify) {
                out.swap(b);
                return 0;
            }
            seen.push_back(std::move(b));
        }
        if (strError.empty())
            strError = "reads did not agree";
        return 2;
    }
    std::string strError;

private:
    int Once(uint32_t uLba, uint32_t uCount, Bytes& b)
    {
        // Operation READ CD, any sector type, the start, the count, the full
        // 2352 bytes of each sector, no sub-channel data.
        const uint8_t aCdb[12] = { 0xBE, 0x00, uint8_t(uLba >> 24), uint8_t(uLba >> 16),
            uint8_t(uLba >> 8), uint8_t(uLba), 0x00, 0x00, uint8_t(uCount), 0xF0, 0x00, 0x00 };
        uint32_t uReceived = 0;
        std::string strWhy;
        if (scsi.Send(aCdb, sizeof(aCdb), b.data(), uint32_t(b.size()), kReadCdTimeoutMs, uReceived,
                strWhy)
            != 0) {
            strError = strWhy;
            return 2;
        }
        if (uReceived != b.size()) {
            strError = "the drive sent " + std::to_string(uReceived) + " of "
                + std::to_string(b.size()) + " bytes";
            LTrace("LCDROMRipper short transfer at %u: %s", uLba, strError.c_str());
            return 2;
        }
        return 0;
    }

    LProgressDialog& dlg;
    LSCSI& scsi;
    bool bVerify;
};

// Finds which sectors of a chunk that could not be read are at fault, for
// the report: "Track 3 could not be read at 1:02:10, 1:02:11 (medium
// error)". 1 when cancelled meanwhile.
int ReportChunk(LTrackReader& reader, int iTrack, uint32_t uStart, uint32_t uLba, uint32_t uCount,
    std::string& strError)
{
    const std::string strWhy = reader.strError;
    std::string strTimes;
    uint32_t uUnused = 0;
    for (uint32_t s = uLba; s < uLba + uCount; ++s) {
        Bytes b;
        const int r = reader.Read(s, 1, b, uUnused);
        if (r == 1)
            return 1;
        if (r == 2)
            strTimes += (strTimes.empty() ? "" : ", ") + TrackTime(s - uStart);
    }
    if (strTimes.empty())
        strTimes = TrackTime(uLba - uStart) + " to " + TrackTime(uLba + uCount - 1 - uStart);
    strError = "Track " + std::to_string(iTrack) + " could not be read at " + strTimes + " ("
        + strWhy + ")";
    return 2;
}

// Opens the drive, reads its table of contents and checks the track; 0 with
// the track's sectors, else 1 or 2.
int FindTrack(LProgressDialog& dlg, LCDROMRipper& rip, LSCSI& scsi, LCDTOC& toc)
{
    const int iTrack = rip.uTrack + 1;
    if (dlg.CheckCancel())
        return 1;
    if (ProcessSCSICDOpenDrive(rip.uDrive, scsi, rip.strError) != 0)
        return 2;
    if (dlg.CheckCancel())
        return 1;
    if (toc.Read(scsi, rip.strError) != 0)
        return 2;
    if (rip.uTrack >= toc.tracks.size()) {
        rip.strError = "there is no Track " + std::to_string(iTrack) + " on the disc";
        return 2;
    }
    if (toc.tracks[rip.uTrack].bData) {
        rip.strError = "Track " + std::to_string(iTrack) + " is a data track, not audio";
        return 2;
    }
    return 0;
}

int CopyTrack(LProgressDialog& dlg, LCDROMRipper& rip, LSCSI& scsi, const LCDTOC& toc, LFile& f)
{
    const uint32_t uStart = toc.tracks[rip.uTrack].uStart;
    const uint32_t uEnd = toc.TrackEnd(rip.uTrack);
    const uint32_t uTotal = uEnd > uStart ? uEnd - uStart : 0;
    LAccurateRip ar(
        uTotal * LAccurateRip::kFramesPerSector, rip.uTrack == 0, toc.IsLastAudio(rip.uTrack));
    LTrackReader reader(dlg, scsi, rip.bVerify);
    Bytes b;
    for (uint32_t p = uStart; p < uEnd;) {
        const uint32_t n = uEnd - p < kChunkSectors ? uEnd - p : kChunkSectors;
        const int r = reader.Read(p, n, b, rip.uRereadChunks);
        if (r == 2)
            return ReportChunk(reader, rip.uTrack + 1, uStart, p, n, rip.strError);
        if (r != 0)
            return r;
        if (f.Write(b.data(), int64_t(b.size())) != int64_t(b.size())) {
            rip.strError
                = "writing \"" + rip.strPath + "\" failed: " + LFile::DescribeError(f.GetError());
            return 2;
        }
        ar.Add(b.data(), b.size());
        p += n;
        rip.uSectors += n;
        dlg.SetProgress(double(p - uStart) / uTotal);
    }
    rip.uAccurateRipV1 = ar.GetV1();
    rip.uAccurateRipV2 = ar.GetV2();
    return 0;
}

int WriteTrack(LProgressDialog& dlg, LCDROMRipper& rip, LSCSI& scsi, const LCDTOC& toc)
{
    LFile f;
    if (!f.Open(rip.strPath, LFile::Mode::CreateWrite)) {
        rip.strError
            = "unable to create \"" + rip.strPath + "\": " + LFile::DescribeError(f.GetError());
        return 2;
    }
    uint8_t aHeader[kHeaderBytes];
    MakeHeader(aHeader, 0xFFFFFFFF, 0xFFFFFFFF);
    int iResult = f.Write(aHeader, kHeaderBytes) == kHeaderBytes ? 0 : 2;
    if (iResult == 0)
        iResult = CopyTrack(dlg, rip, scsi, toc, f);
    if (iResult == 0) {
        const uint32_t uData = rip.uSectors * kSector;
        MakeHeader(aHeader, uData + 38, uData);
        if (f.WriteAt(aHeader, kHeaderBytes, 0) != kHeaderBytes || !f.Close())
            iResult = 2;
    }
    if (iResult == 2 && rip.strError.empty())
        rip.strError
            = "writing \"" + rip.strPath + "\" failed: " + LFile::DescribeError(f.GetError());
    if (iResult != 0) {
        f.Close();
        LFile::Delete(rip.strPath);
    }
    return iResult;
}
} // namespace

int ProcessBody(LProgressDialog& dlg, LCDROMRipper& rip)
{
    rip.strError.clear();
    rip.uSectors = 0;
    rip.uRereadChunks = 0;
    dlg.SetText("Loading CD Track " + std::to_string(rip.uTrack + 1), 0);
    dlg.SetText("Getting Track Information...", 1);
    LSCSI scsi;
    LCDTOC toc;
    int iResult = FindTrack(dlg, rip, scsi, toc);
    if (iResult != 0)
        return iResult;
    dlg.SetText("Loading Digital Audio...", 1);
    iResult = WriteTrack(dlg, rip, scsi, toc);
    if (iResult == 1)
        rip.strError.clear();
    if (iResult == 2)
        LTrace("Process(LCDROMRipper) %s", rip.strError.c_str());
    return iResult;
}
