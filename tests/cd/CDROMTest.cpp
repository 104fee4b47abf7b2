#include "cd/LAccurateRip.h"
#include "cd/LCDROMDrives.h"
#include "cd/LCDROMInfo.h"
#include "cd/LCDROMRipper.h"
#include "cd/LCDROMSimDrive.h"
#include "cd/LCDTOC.h"
#include "platform/LFile.h"
#include "process/LProgressDialog.h"
#include "support/CDSimDisc.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace TestSupport;

namespace {
// The drives are the given descriptions for the test's length.
class SimDrives {
public:
    explicit SimDrives(const std::string& strList)
    {
        setenv("ORVENNA_CDROM_SIM", strList.c_str(), 1);
    }
    ~SimDrives()
    {
        unsetenv("ORVENNA_CDROM_SIM");
        unsetenv("ORVENNA_CDROM_SIM_LOG");
    }
};

int Rip(LCDROMRipper& rip)
{
    Process<LCDROMRipper> run("Import CD Track(s)", rip);
    run.Run();
    return run.GetResult();
}

LCDROMInfo Info()
{
    LCDROMInfo info;
    Process<LCDROMInfo> run("Load CD Drives", info);
    EXPECT_TRUE(run.Run());
    return info;
}

// The published AccurateRip loop, written out plainly over 16-bit samples.
void ReferenceAccurateRip(
    const std::vector<uint8_t>& audio, bool bFirst, bool bLast, uint32_t& uV1, uint32_t& uV2)
{
    const uint32_t uFrames = uint32_t(audio.size() / 4);
    uV1 = uV2 = 0;
    for (uint32_t i = 0; i < uFrames; ++i) {
        const uint32_t uPos = i + 1;
        if ((bFirst && uPos < 5 * 588) || (bLast && uPos > uFrames - 5 * 588))
            continue;
        const uint16_t uLeft = uint16_t(audio[4 * i] | audio[4 * i + 1] << 8);
        const uint16_t uRight = uint16_t(audio[4 * i + 2] | audio[4 * i + 3] << 8);
        const uint64_t u = uint64_t(uint32_t(uRight) << 16 | uLeft) * uPos;
        uV1 += uint32_t(u & 0xFFFFFFFFu);
        uV2 += uint32_t(u & 0xFFFFFFFFu) + uint32_t(u >> 32);
    }
}
} // namespace

TEST(CDROM, TableOfContentsListsTracksDurationsAndDataTracks)
{
    struct Case {
        const char* szLines;
        std::vector<uint16_t> durations;
        std::vector<bool> data;
    } cases[] = {
        // A 4-minute track of 18000 sectors, then 30 s.
        { "track 1 audio 0\ntrack 2 audio 18000\nleadout 20250\n", { 240, 30 }, { false, false } },
        // The data session after the audio: the audio ends before the gap.
        { "track 1 audio 150\ntrack 2 data 29550\nleadout 40000\n", { 240, 139 }, { false, true } },
        // Too close for a second session: the audio ends before the pre-gap.
        { "track 1 audio 0\ntrack 2 data 9150\nleadout 11000\n", { 120, 24 }, { false, true } },
        // Mixed mode: data first.
        { "track 1 data 0\ntrack 2 audio 4500\nleadout 22500\n", { 60, 240 }, { true, false } },
        // Only the lead-out.
        { "leadout 1000\n", {}, {} },
        // A reply claiming far more than it holds.
        { "track 1 audio 0\ntrack 2 audio 75\nleadout 150\ntoc-length 65535\n", { 1, 1 },
            { false, false } },
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.szLines);
        SimDrives drives(CDSimDisc::Write(dir, "disc", 0, c.szLines));
        LCDROMInfo info = Info();
        ASSERT_EQ(info.uDriveCount, 1);
        const LCDROMInfo::Disc& d = info.aDrives[0];
        EXPECT_EQ(d.uTrackCount, c.durations.size());
        EXPECT_EQ(d.durations, c.durations);
        EXPECT_EQ(d.data, c.data);
        EXPECT_EQ(d.strError.empty(), !c.durations.empty()) << d.strError;
    }
    EXPECT_EQ(LCDTOC::FormatDuration(240), "4:00");
    EXPECT_EQ(LCDTOC::FormatDuration(3599), "59:59");
}

TEST(CDROM, RippedTracksHoldTheImageBytesOrNoFileAtAll)
{
    struct Case {
        const char* szLines;
        int iTrack; // from 0
        bool bVerify;
        int iCancelAfter;
        int iResult;
        uint32_t uFrom, uSectors; // what the file holds on success
        const char* szError; // part of the reason on failure
    } cases[] = {
        { "track 1 audio 0\ntrack 2 audio 1\nleadout 60\n", 0, false, 0, 0, 0, 1, "" },
        { "track 1 audio 0\ntrack 2 audio 1\nleadout 60\n", 1, false, 0, 0, 1, 59, "" },
        // Two bad reads of a sector, then good ones: verify re-reads until two agree.
        { "track 1 audio 0\nleadout 50\nflaky 30 2\n", 0, true, 0, 0, 0, 50, "" },
        // The drive answers CHECK CONDITION after sending part of the chunk.
        { "track 1 audio 0\nleadout 50\nfail 30\n", 0, false, 0, 2, 0, 0,
            "Track 1 could not be read at 0:00:30 (medium error)" },
        // GOOD with fewer bytes than asked.
        { "track 1 audio 100\nleadout 150\nshort 140\n", 0, false, 0, 2, 0, 0,
            "at 0:00:40 (the drive sent" },
        { "track 1 audio 0\nleadout 50\nflaky 30 1000\n", 0, true, 0, 2, 0, 0,
            "at 0:00:30 (reads did not agree)" },
        { "track 1 audio 0\ntrack 2 data 20000\nleadout 30000\n", 1, false, 0, 2, 0, 0,
            "Track 2 is a data track" },
        { "leadout 100\n", 0, false, 0, 2, 0, 0, "lists no tracks" },
        { "track 1 audio 0\nleadout 100\n", 1, false, 0, 2, 0, 0, "no Track 2" },
        // Cancel in the middle of the track.
        { "track 1 audio 0\nleadout 200\n", 0, false, 5, 1, 0, 0, "" },
    };
    TempDir dir;
    const std::string strOut = dir.File("Track 1.wav");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.szLines) + " track " + std::to_string(c.iTrack));
        SimDrives drives(CDSimDisc::Write(dir, "disc", 100, c.szLines));
        LSilentProgressView::SetCancelAfterPumps(c.iCancelAfter);
        LCDROMRipper rip { 0, uint8_t(c.iTrack), strOut, c.bVerify };
        EXPECT_EQ(Rip(rip), c.iResult) << rip.strError;
        LSilentProgressView::SetCancelAfterPumps(0);
        EXPECT_NE(rip.strError.find(c.szError), std::string::npos) << rip.strError;
        if (c.iResult != 0) {
            EXPECT_FALSE(LFile::Exists(strOut));
            continue;
        }
        // 16-bit stereo at 44100 Hz with an 18-byte format, then the sectors.
        const uint32_t uData = c.uSectors * 2352;
        std::vector<uint8_t> want;
        PutTag(want, "RIFF"), Put32(want, uData + 38), PutTag(want, "WAVE"), PutTag(want, "fmt ");
        Put32(want, 18), Put16(want, 1), Put16(want, 2), Put32(want, 44100), Put32(want, 176400);
        Put16(want, 4), Put16(want, 16), Put16(want, 0), PutTag(want, "data"), Put32(want, uData);
        const std::vector<uint8_t> sectors = CDSimDisc::Sectors(c.uFrom, c.uSectors);
        want.insert(want.end(), sectors.begin(), sectors.end());
        EXPECT_TRUE(TestSupport::ReadAll(strOut) == want);
        EXPECT_EQ(rip.uRereadChunks > 0, std::string(c.szLines).find("flaky") != std::string::npos);
    }
}

TEST(CDROM, DriveIsSentExactlyReadTocAndReadCdIn24SectorChunks)
{
    TempDir dir;
    SimDrives drives(CDSimDisc::Write(dir, "disc", 0, "track 1 audio 10\nleadout 60\n"));
    setenv("ORVENNA_CDROM_SIM_LOG", dir.File("log").c_str(), 1);
    LCDROMRipper rip { 0, 0, dir.File("t.wav") };
    ASSERT_EQ(Rip(rip), 0) << rip.strError;
    rip.bVerify = true;
    ASSERT_EQ(Rip(rip), 0) << rip.strError;
    const std::string strToc = "43 00 00 00 00 00 01 08 00 00\n";
    const std::string strChunks = "BE 00 00 00 00 0A 00 00 18 F0 00 00\n"
                                  "BE 00 00 00 00 22 00 00 18 F0 00 00\n"
                                  "BE 00 00 00 00 3A 00 00 02 F0 00 00\n";
    std::string strTwice;
    for (size_t i = 0; i < strChunks.size(); i += 36)
        strTwice += strChunks.substr(i, 36) + strChunks.substr(i, 36);
    const std::vector<uint8_t> log = TestSupport::ReadAll(dir.File("log"));
    EXPECT_EQ(std::string(log.begin(), log.end()), strToc + strChunks + strToc + strTwice);
}

// What the command log above does not pin: timeouts, buffer sizes, the lead-out.
TEST(CDROM, SimulatedDriveRefusesBlocksARealDriveWouldNotBeSent)
{
    TempDir dir;
    LCDROMSimDrive sim;
    std::string strError;
    ASSERT_TRUE(
        sim.Load(CDSimDisc::Write(dir, "disc", 0, "track 1 audio 0\nleadout 100\n"), strError))
        << strError;
    struct Case {
        std::vector<uint8_t> cdb;
        uint32_t uLen, uTimeout;
        uint8_t uStatus;
    } cases[] = {
        { { 0xBE, 0, 0, 0, 0, 0, 0, 0, 24, 0xF0, 0, 0 }, 24 * 2352, 10000, 0 },
        { { 0xBE, 0, 0, 0, 0, 0, 0, 0, 24, 0xF0, 0, 0 }, 24 * 2352, 5000, 2 },
        { { 0xBE, 0, 0, 0, 0, 90, 0, 0, 11, 0xF0, 0, 0 }, 11 * 2352, 10000,
            2 }, // past the lead-out
        { { 0x43, 0, 0, 0, 0, 0, 1, 8, 0, 0 }, 2048, 20000, 0 },
        { { 0x43, 0, 0, 0, 0, 0, 1, 8, 0, 0 }, 1024, 20000, 2 },
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> data(c.uLen);
        LSCSIReply r
            = sim.Execute(c.cdb.data(), uint8_t(c.cdb.size()), data.data(), c.uLen, c.uTimeout);
        EXPECT_TRUE(r.bSent);
        EXPECT_EQ(r.uStatus, c.uStatus) << int(c.cdb[0]) << " " << int(c.cdb[8]);
        if (r.uStatus) {
            EXPECT_EQ(r.aSense[2], 5); // illegal request
        }
    }
}

TEST(CDROM, DescriptionsAreCheckedLineByLine)
{
    struct Case {
        const char* szText;
        const char* szError; // "" when accepted
    } cases[] = {
        { "track 1 audio 0\ntrack 2 data 100 # comment\nleadout 200\ndelay-ms 0\nfail 5\n", "" },
        { "track 1 audio 0\n", "no leadout" },
        { "track 2 audio 0\nleadout 10\n", "1: tracks must be numbered" },
        { "track 1 audio 10\ntrack 2 audio 10\nleadout 20\n", "2: tracks must be numbered" },
        { "track 1 audio 0\nleadout 0\n", "must follow the last track" },
        { "leadout 10\ntrack 1 music 0\n", "2: cannot read \"track\"" },
        { "leadout 10\nimage missing.raw\n", "missing.raw" },
    };
    for (const Case& c : cases) {
        LCDROMSimDrive sim;
        std::string strError;
        EXPECT_EQ(sim.Parse(c.szText, "/nonexistent", strError), !*c.szError) << c.szText;
        EXPECT_NE(strError.find(c.szError), std::string::npos) << strError;
    }
}

TEST(CDROM, DrivesAreFoundByNumberAndAtMostEight)
{
    struct Case {
        const char* szInfo;
        std::vector<std::string> names;
    } cases[] = {
        { "CD-ROM information, Id: cdrom.c 3.20\n\ndrive name:\t\tsr1\tsr0\ndrive "
          "speed:\t\t24\t24\n",
            { "sr0", "sr1" } },
        { "drive name:\tsr10\tsr2\tsr1\n", { "sr1", "sr2", "sr10" } },
        { "CD-ROM information\n", {} },
    };
    for (const Case& c : cases)
        EXPECT_EQ(LCDROMDrives::ParseInfo(c.szInfo), c.names) << c.szInfo;
    SimDrives nine("a:b:c:d:e:f:g:h:i");
    EXPECT_EQ(ProcessSCSICDGetNumberCDDrives(), LCDROMINFO_MAXDRIVES);
    SimDrives none("");
    EXPECT_EQ(ProcessSCSICDGetNumberCDDrives(), 0);
    LSCSI scsi;
    std::string strError;
    EXPECT_EQ(ProcessSCSICDOpenDrive(0, scsi, strError), 2);
}

TEST(CDROM, AccurateRipChecksumsFollowThePublishedAlgorithm)
{
    // By hand: 1*1 + 2*2 + 3*3; 0x1FFFFFFFE at position 2, whose high word only v2 adds.
    const uint8_t aSmall[12] = { 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0 };
    LAccurateRip small(3, false, false);
    small.Add(aSmall, sizeof(aSmall));
    EXPECT_EQ(small.GetV1(), 14u);
    const uint8_t aBig[8] = { 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF };
    LAccurateRip big(2, false, false);
    big.Add(aBig, sizeof(aBig));
    EXPECT_EQ(big.GetV1(), 0xFFFFFFFEu);
    EXPECT_EQ(big.GetV2(), 0xFFFFFFFFu);

    // A 12-sector track in every place on the disc, fed in uneven pieces.
    const std::vector<uint8_t> audio = CDSimDisc::Sectors(3, 12);
    for (int iPlace = 0; iPlace < 4; ++iPlace) {
        const bool bFirst = iPlace & 1, bLast = iPlace & 2;
        uint32_t uV1, uV2;
        ReferenceAccurateRip(audio, bFirst, bLast, uV1, uV2);
        LAccurateRip ar(12 * 588, bFirst, bLast);
        for (size_t i = 0; i < audio.size(); i += 4 * 1000)
            ar.Add(audio.data() + i, std::min<size_t>(4 * 1000, audio.size() - i));
        EXPECT_EQ(ar.GetV1(), uV1) << iPlace;
        EXPECT_EQ(ar.GetV2(), uV2) << iPlace;
    }
}

TEST(CDROM, RipReportsTheChecksumsOfItsTrack)
{
    TempDir dir;
    SimDrives drives(
        CDSimDisc::Write(dir, "disc", 40, "track 1 audio 0\ntrack 2 audio 12\nleadout 40\n"));
    for (uint8_t uTrack : { 0, 1 }) {
        LCDROMRipper rip { 0, uTrack, dir.File("t.wav") };
        ASSERT_EQ(Rip(rip), 0) << rip.strError;
        uint32_t uV1, uV2;
        ReferenceAccurateRip(uTrack ? CDSimDisc::Sectors(12, 28) : CDSimDisc::Sectors(0, 12),
            uTrack == 0, uTrack == 1, uV1, uV2);
        EXPECT_EQ(rip.uAccurateRipV1, uV1);
        EXPECT_EQ(rip.uAccurateRipV2, uV2);
    }
}
