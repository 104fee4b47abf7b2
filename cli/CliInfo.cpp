#include "audio/LSoundTime.h"
#include "audio/LWaveFile.h"
#include "cli/CliCommand.h"
#include "effects/LLoudnessMeter.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LOpenSource.h"
#include "process/LProgressDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {
// Largest sample magnitude of a whole source, in internal units, and its
// loudness, in one pass.
struct PeakScan {
    SourceHandle hSource;
    uint32_t uPeak = 0;
    LLoudness loudness {};
};

int ProcessBody(LProgressDialog& dlg, PeakScan& scan)
{
    LSoundSourceBase& src = *scan.hSource;
    std::vector<int32_t> block(size_t(src.GetChannels()) * kBlockFrames);
    double dTotal = std::max(1, src.GetLength());
    LLoudnessMeter meter(src.GetSampleRate(), src.GetChannels());
    meter.Reserve(src.GetLength());
    while (src.GetPosition() < src.GetLength()) {
        if (dlg.CheckCancel())
            return 1;
        int32_t n = std::min(kBlockFrames, src.GetLength() - src.GetPosition());
        src.Read(block.data(), n);
        for (size_t i = 0; i < size_t(n) * size_t(src.GetChannels()); ++i) {
            int32_t s = block[i];
            scan.uPeak = std::max(scan.uPeak, s < 0 ? 0u - uint32_t(s) : uint32_t(s));
        }
        meter.Add(block.data(), n);
        dlg.SetProgress(src.GetPosition() / dTotal);
    }
    scan.loudness = meter.Result();
    return 0;
}

void PrintLoudness(const LLoudness& l)
{
    if (l.IsMeasured())
        std::printf("  loudness  %.2f LUFS integrated\n", l.dIntegrated);
    else
        std::printf("  loudness  none (shorter than 0.4 s, or silence)\n");
    std::printf("  range     %.2f LU\n", l.dRange);
    if (std::isfinite(l.dTruePeak))
        std::printf("  truepeak  %.2f dBTP\n", l.dTruePeak);
    else
        std::printf("  truepeak  none (silence)\n");
}

// The lines of a file too long to open: its true length, then why it fails.
int InfoTooLong(const std::string& strPath, const LSoundSourceBase& src)
{
    std::printf("%s\n", strPath.c_str());
    std::printf("  rate      %d Hz\n", src.GetSampleRate());
    std::printf("  channels  %d\n", src.GetChannels());
    std::printf("  frames    %lld\n", (long long)src.GetTooLongFrames());
    std::fflush(stdout);
    return CliFail("cannot read \"" + strPath + "\": " + CliReadError(src));
}

int InfoOne(const std::string& strPath)
{
    SourceHandle hSource = OpenSourceByExtension(strPath, LHeaderlessFormat::Load());
    if (hSource->GetTooLongFrames() > 0)
        return InfoTooLong(strPath, *hSource);
    if (hSource->IsError())
        return CliFail("cannot read \"" + strPath + "\": " + CliReadError(*hSource));
    PeakScan scan { hSource };
    Process<PeakScan> run("Reading " + strPath, scan);
    run.Run();
    if (run.GetResult() == 1)
        return kExitCancelled;
    int32_t iFrames = hSource->GetLength();
    LSoundTime length;
    length.SetSamples(iFrames, hSource->GetSampleRate());
    double dPeak16 = scan.uPeak / 16.0;
    std::printf("%s\n", strPath.c_str());
    std::printf("  rate      %d Hz\n", hSource->GetSampleRate());
    std::printf("  channels  %d\n", hSource->GetChannels());
    std::printf("  frames    %d\n", iFrames);
    std::printf("  length    %s (%s)\n", length.GetHundredthsText().c_str(),
        length.GetMillisecondsText().c_str());
    if (scan.uPeak == 0)
        std::printf("  peak      0 (silence)\n");
    else
        std::printf("  peak      %.0f (%.2f dBFS)\n", dPeak16, 20 * std::log10(dPeak16 / 32768.0));
    PrintLoudness(scan.loudness);
    CliPrintFileBookmarks(strPath);
    return kExitOk;
}
} // namespace

std::string CliReadError(const LSoundSourceBase& source)
{
    std::string strWhy = source.GetErrorText();
    return strWhy.empty() ? "not a supported audio file" : strWhy;
}

int CliInfo(const std::vector<std::string>& args)
{
    if (args.empty())
        return CliFail("info needs at least one FILE");
    int iResult = kExitOk;
    for (const std::string& strPath : args) {
        int i = InfoOne(strPath);
        if (i == kExitCancelled)
            return i;
        iResult = std::max(iResult, i);
    }
    return iResult;
}
