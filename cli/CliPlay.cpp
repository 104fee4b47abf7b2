// orvenna-cli play FILE: plays through the player with a position and level
// display; Space scrubs (and plays on), Esc or Ctrl+C stops.
#include "audio/LSoundTime.h"
#include "cli/CliCommand.h"
#include "cli/CliTerminal.h"
#include "engine/LTransport.h"
#include "engine/MainDialog.h"
#include "platform/LUiDispatcher.h"
#include "platform/sound/LWaveOut.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {
std::atomic<bool> bInterrupted { false };
void OnSignal(int)
{
    bInterrupted = true;
}

// Answers nothing: playing asks no questions.
class PlayUi : public MainDialogUi {
public:
    Answer AskYesNoCancel(const std::string&, Icon) override { return Answer::No; }
    std::vector<std::string> ChooseOpenFiles(const std::string&, std::string&) override
    {
        return {};
    }
    std::string ChooseSaveFile(const std::string&, std::string&) override { return ""; }
    bool AskDialog(const std::string&, LDialogValues&) override { return false; }
    bool AskFileProperties(LHeaderlessSettings&) override { return true; }
    bool ChooseWaveFormat(LWaveFormat&, int, const std::string&) override { return false; }
    bool AskMp3Settings(LMp3EncoderSettings&) override { return false; }
    void ShowMessage(const std::string& s, const std::string&, Icon) override { CliFail(s); }
};

bool ParseMs(const std::string& s, int32_t& iMs)
{
    return LSoundTime::ParseText(s, iMs);
}
} // namespace

int CliPlay(const std::vector<std::string>& args)
{
    std::string strFile;
    int iDevice = -1, iSpeed = -1;
    int32_t iFrom = -1, iSelStart = -1, iSelEnd = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool bMore = i + 1 < args.size();
        if (a == "--device" && bMore) {
            iDevice = std::atoi(args[++i].c_str());
            if (iDevice < 0 || iDevice >= LWaveOut::GetDeviceCount())
                return CliFail("no output device " + args[i] + " (see orvenna-cli devices)");
        } else if (a == "--speed" && bMore) {
            std::string s = args[++i];
            iSpeed = s == "slow" ? 0 : s == "normal" ? 1 : s == "fast" ? 2 : -2;
            if (iSpeed < 0)
                return CliFail("--speed takes slow, normal or fast");
        } else if (a == "--from" && bMore) {
            if (!ParseMs(args[++i], iFrom))
                return CliFail("\"" + args[i] + "\" is not a time");
        } else if (a == "--selection" && i + 2 < args.size()) {
            if (!ParseMs(args[i + 1], iSelStart) || !ParseMs(args[i + 2], iSelEnd)
                || iSelEnd <= iSelStart)
                return CliFail("--selection takes START END with START before END");
            i += 2;
        } else if (strFile.empty() && a.rfind("--", 0) != 0) {
            strFile = a;
        } else {
            return CliFail(
                "usage: orvenna-cli play FILE [--device N] [--speed slow|normal|fast] [--from MS] "
                "[--selection START END]");
        }
    }
    if (strFile.empty())
        return CliFail("play needs a FILE");
    PlayUi ui;
    LTransport transport;
    transport.SetOverrides(iDevice, iSpeed);
    MainDialog main(ui, transport);
    if (!main.LoadFile(strFile, false, false))
        return kExitFailed;
    LOVFile& doc = *main.GetCurrentFile();
    const int32_t iRate = doc.claAudio.GetSampleRate();
    int32_t iPos = iFrom >= 0 ? LSoundTime::MsToFrames(iFrom, iRate) : 0;
    if (iSelStart >= 0)
        main.ModifySelection(
            LSoundTime::MsToFrames(iSelStart, iRate), LSoundTime::MsToFrames(iSelEnd, iRate), iPos);
    else
        main.ModifySelection(iPos, iPos, iPos);
    bool bDeviceFailed = false;
    transport.onDeviceError = [&](const char* sz) {
        bDeviceFailed = true;
        CliFail(sz);
    };
    LSoundLevels levels;
    transport.onLevels = [&](const LSoundLevels& l) { levels = l; };
    if (!transport.PlayCommand(doc, true))
        return kExitFailed;

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    RawTerminal terminal;
    const bool bTty = isatty(STDERR_FILENO);
    auto& dispatcher = static_cast<LHeadlessDispatcher&>(LUiDispatcher::Current());
    LSoundTime length(LSoundTime::FramesToMs(doc.GetLength(), iRate));
    while (transport.IsOpen()) {
        dispatcher.Drain();
        int iKey = terminal.Key();
        if (bInterrupted || iKey == 27) {
            transport.Stop();
            break;
        }
        if (iKey == ' ') {
            if (transport.IsCued())
                transport.PlayCommand(doc, true);
            else
                transport.Scrub(doc);
        }
        if (bTty) {
            LSoundTime t(LSoundTime::FramesToMs(doc.sPosition, iRate));
            std::fprintf(stderr, "\r%s / %s %s %s ", t.GetHundredthsText().c_str(),
                length.GetHundredthsText().c_str(), transport.IsCued() ? "scrub" : "play ",
                LevelBar(levels).c_str());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    dispatcher.Drain();
    std::fprintf(stderr, "%sstopped at %s\n", bTty ? "\n" : "",
        LSoundTime(LSoundTime::FramesToMs(doc.sPosition, iRate)).GetHundredthsText().c_str());
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return bDeviceFailed ? kExitFailed : kExitOk;
}
