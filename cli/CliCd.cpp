// orvenna-cli cd: the CD drives with their tracks, and one track ripped to a
// WAV file, through the editor's own CD operations.
#include "cd/LCDROMDrives.h"
#include "cd/LCDROMInfo.h"
#include "cd/LCDROMRipper.h"
#include "cd/LCDTOC.h"
#include "cli/CliCommand.h"
#include "process/LProgressDialog.h"

#include <charconv>
#include <cstdio>

namespace {
bool Number(const std::string& str, int iMin, int iMax, int& i)
{
    auto [p, ec] = std::from_chars(str.data(), str.data() + str.size(), i);
    return ec == std::errc() && p == str.data() + str.size() && i >= iMin && i <= iMax;
}

int List()
{
    LCDROMInfo info;
    Process<LCDROMInfo> run("Load CD Drives", info);
    run.Run();
    if (run.GetResult() == 1)
        return CliFail("cancelled");
    const std::vector<std::string> names = LCDROMDrives::List();
    if (info.uDriveCount == 0)
        std::printf("no CD-ROM drives detected\n");
    for (int n = 0; n < info.uDriveCount; ++n) {
        const LCDROMInfo::Disc& d = info.aDrives[size_t(n)];
        std::printf("drive %d  %s%s%s\n", n,
            size_t(n) < names.size() ? names[size_t(n)].c_str() : "",
            d.strError.empty() ? "" : "  ", d.strError.c_str());
        for (int t = 0; t < d.uTrackCount; ++t)
            std::printf("  Track %d\t%s%s\n", t + 1,
                LCDTOC::FormatDuration(d.durations[size_t(t)]).c_str(),
                d.data[size_t(t)] ? "\tdata" : "");
    }
    return kExitOk;
}

int RipTrack(const std::vector<std::string>& args)
{
    int iDrive = 0, iTrack = 0;
    bool bVerify = false;
    std::vector<std::string> plain;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--verify")
            bVerify = true;
        else
            plain.push_back(args[i]);
    }
    if (plain.size() != 3)
        return CliFail("usage: cd rip DRIVE TRACK OUT [--verify]");
    if (!Number(plain[0], 0, LCDROMINFO_MAXDRIVES - 1, iDrive))
        return CliFail("DRIVE must be a drive number from 0 (see cd list)");
    if (!Number(plain[1], 1, 255, iTrack))
        return CliFail("TRACK must be a track number from 1 (see cd list)");
    LCDROMRipper rip { uint8_t(iDrive), uint8_t(iTrack - 1), plain[2], bVerify };
    Process<LCDROMRipper> run("Import CD Track(s)", rip);
    run.Run();
    if (run.GetResult() != 0)
        return CliFail(rip.strError.empty() ? "cancelled" : rip.strError);
    std::printf("Track %d: %u sectors written to %s\n", iTrack, rip.uSectors, rip.strPath.c_str());
    if (rip.uRereadChunks)
        std::printf("%u chunks needed re-reading\n", rip.uRereadChunks);
    std::printf("AccurateRip v1 %08x  v2 %08x\n", rip.uAccurateRipV1, rip.uAccurateRipV2);
    return kExitOk;
}
} // namespace

int CliCd(const std::vector<std::string>& args)
{
    if (args.size() == 1 && args[0] == "list")
        return List();
    if (!args.empty() && args[0] == "rip")
        return RipTrack(args);
    return CliFail("usage: cd list | cd rip DRIVE TRACK OUT [--verify]");
}
