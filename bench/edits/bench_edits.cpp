// 10,000 random edits with undo on a long document made of cuts: prints the
// time and the peak memory. The edits never touch audio, so neither may
// grow with the document's length (run it for 1 and for 10 hours).
#include "audio/LWaveFile.h"
#include "edit/LAudioCutTank.h"
#include "engine/MainDialog.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace {
class NoUi : public MainDialogUi {
public:
    Answer AskYesNoCancel(const std::string&, Icon) override { return Answer::No; }
    std::vector<std::string> ChooseOpenFiles(const std::string&, std::string&) override
    {
        return {};
    }
    std::string ChooseSaveFile(const std::string&, std::string&) override { return ""; }
    bool AskDialog(const std::string&, LDialogValues&) override { return true; }
    bool AskFileProperties(LHeaderlessSettings&) override { return true; }
    bool ChooseWaveFormat(LWaveFormat&, int, const std::string&) override { return true; }
    bool AskMp3Settings(LMp3EncoderSettings&) override { return true; }
    void ShowMessage(const std::string&, const std::string&, Icon) override { }
};
} // namespace

int main(int argc, char** argv)
{
    const int iHours = argc > 1 ? std::atoi(argv[1]) : 1;
    char szDir[] = "/tmp/orvenna-bench-XXXXXX";
    if (!mkdtemp(szDir))
        return 1;
    setenv("ORVENNA_CONFIG_DIR", szDir, 1);
    setenv("XDG_DATA_HOME", szDir, 1);
    LSettings::Get().Reload();
    std::string strWav = std::string(szDir) + "/second.wav";
    {
        SinkHandle h = LWaveFile::OpenSinkPCM(strWav, 44100, 2, 16, 0);
        std::vector<int32_t> block(2 * 44100);
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = int32_t((i * 37) % 60000) * 8 - 240000;
        h->Write(block.data(), 44100);
    }
    NoUi ui;
    LNoPlayback playback;
    MainDialog main(ui, playback);
    if (!main.LoadFile(strWav, false, false))
        return 1;
    LOVFile& doc = *main.GetCurrentFile();
    // One cut of the whole length, as a long recording is: its cut and graph
    // files are made that long as sparse files, so no disk space is used.
    const int32_t iFrames = 44100 * 3600 * iHours;
    const uint16_t wCut = doc.claAudio.GetCuts().front().wCut;
    if (truncate(LAudioCutTank::Get().GetAudFilePath(wCut).c_str(), off_t(iFrames) * 2 * 4) != 0
        || truncate(
               LAudioCutTank::Get().GetGrfFilePath(wCut).c_str(), off_t(iFrames / 256 + 1) * 2 * 2)
            != 0)
        return 1;
    doc.claAudio.SetSingleCut(LAudioCut(wCut, iFrames, LAudioCut::kUnityGain, 0));
    const int64_t iReadBefore = LFile::GetBytesRead();

    uint32_t uSeed = 1;
    auto Random = [&uSeed](int32_t n) {
        return int32_t((uSeed = uSeed * 1664525u + 1013904223u) % uint32_t(n));
    };
    // Cut a stretch of up to 30 s, paste it back somewhere else, now and
    // then delete or amplify one, and undo every tenth edit: the length
    // stays about the same while the cuts multiply.
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 10000; ++i) {
        int32_t iLen = std::max(doc.GetLength(), 2);
        int32_t a = Random(iLen - 1);
        int32_t b = std::min(iLen, a + 1 + Random(44100 * 30));
        if (i % 10 == 9) {
            main.EvCommand(CM_UNDO);
        } else if (i % 2 == 1) {
            main.ModifySelection(a, a, a);
            main.EvCommand(CM_PASTE);
        } else {
            main.ModifySelection(a, b, a);
            main.EvCommand(i % 8 == 0 ? CM_DELETE : CM_CUT);
        }
    }
    double dSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("%2d h document (%d h %02d min and %zu cuts at the end): 10000 edits with undo in "
                "%.3f s (%.1f us each), "
                "peak RSS %ld KB, audio bytes read during the edits %lld\n",
        iHours, doc.GetLength() / 44100 / 3600, doc.GetLength() / 44100 / 60 % 60,
        doc.claAudio.GetCuts().size(), dSeconds, dSeconds * 1e2, ru.ru_maxrss,
        (long long)(LFile::GetBytesRead() - iReadBefore));
    std::string strCmd = std::string("rm -rf ") + szDir;
    return std::system(strCmd.c_str()) == 0 ? 0 : 1;
}
