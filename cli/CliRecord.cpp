// orvenna-cli record OUT: records from an input device through the recorder
// into a new document and saves it as Save does, with the elapsed time, the
// level meter and the lost input on a terminal. Esc or Ctrl+C ends the take
// and keeps it.
#include "audio/LSoundTime.h"
#include "cli/CliCommand.h"
#include "cli/CliTerminal.h"
#include "engine/LOVRecordInfo.h"
#include "engine/LSoundRecorder.h"
#include "engine/MainDialog.h"
#include "platform/LSettings.h"
#include "platform/LUiDispatcher.h"
#include "platform/sound/LWaveIn.h"

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

struct RecordOptions {
    int iDevice = -1;
    int32_t iRate = 44100;
    int iChannels = 2;
    int32_t iSeconds = 0; // 0: until Esc or Ctrl+C
    bool bAutoTrim = LSettings::Get().GetBool("Recorder", "Autotrim", true);
    bool bVoice = LSettings::Get().GetBool("Recorder", "Vor", false);
    int iThreshold = LSettings::Get().GetInt("Recorder", "Threshold", -24);
};

// The record dialog of the terminal: one take, shown as it goes.
class RecordUi : public MainDialogUi {
public:
    explicit RecordUi(const RecordOptions& o)
        : opt(o)
    {
    }
    Answer AskYesNoCancel(const std::string&, Icon) override { return Answer::Yes; }
    std::vector<std::string> ChooseOpenFiles(const std::string&, std::string&) override
    {
        return {};
    }
    std::string ChooseSaveFile(const std::string&, std::string&) override { return strSaveFile; }
    bool AskDialog(const std::string&, LDialogValues&) override { return false; }
    bool AskFileProperties(LHeaderlessSettings&) override { return true; }
    bool ChooseWaveFormat(LWaveFormat& f, int iChannels, const std::string&) override
    {
        f = LWaveFormat::Pcm(uint16_t(iChannels), uint32_t(opt.iRate), 16);
        return true;
    }
    bool AskMp3Settings(LMp3EncoderSettings&) override { return true; }
    void ShowMessage(const std::string& s, const std::string&, Icon) override
    {
        if (strFailure.empty())
            strFailure = s;
    }
    int RunRecordDialog(LOVRecordInfo& target) override;

    std::string strSaveFile, strFailure;
    int32_t iFramesRecorded = 0;

private:
    struct Meter : LSoundRecorderNotify {
        void srntfLevels(const LSoundLevels& l, uintptr_t) override { levels = l; }
        LSoundLevels levels;
    };
    void Show(const LSoundRecorder& recorder, const LSoundLevels& levels, bool bTty) const;

    const RecordOptions& opt;
};

void RecordUi::Show(const LSoundRecorder& recorder, const LSoundLevels& levels, bool bTty) const
{
    if (!bTty)
        return;
    LSoundTime t(LSoundTime::FramesToMs(int32_t(recorder.GetFramesOffered()), opt.iRate));
    std::fprintf(stderr, "\r%s %s %s %u dropouts ", t.GetHundredthsText().c_str(),
        recorder.GetState() == LRecordGate::kRecording ? "recording" : "waiting  ",
        LevelBar(levels).c_str(), recorder.GetDropouts());
}

int RecordUi::RunRecordDialog(LOVRecordInfo& target)
{
    Meter meter;
    LSoundRecorder recorder;
    recorder.SetDevice(opt.iDevice);
    recorder.SetNotify(&meter, 0);
    const int8_t cThreshold = int8_t(opt.bAutoTrim ? std::clamp(opt.iThreshold, -40, -6) : -127);
    const int32_t iHold = opt.bVoice && opt.bAutoTrim ? 5000 : 216000000;
    if (!recorder.Start(target.OpenSink(0), 0, cThreshold, iHold, 0)) {
        strFailure = "cannot open the input device " + std::to_string(opt.iDevice) + " \""
            + LWaveIn::GetDeviceName(opt.iDevice) + "\"";
        return 0;
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    RawTerminal terminal;
    const bool bTty = isatty(STDERR_FILENO);
    auto& dispatcher = static_cast<LHeadlessDispatcher&>(LUiDispatcher::Current());
    const uint32_t uEnough = uint32_t(opt.iSeconds) * uint32_t(opt.iRate);
    while (recorder.GetState() != 0) {
        dispatcher.Drain();
        if (bInterrupted || terminal.Key() == 27
            || (opt.iSeconds > 0 && recorder.GetFramesOffered() >= uEnough))
            recorder.Stop();
        Show(recorder, meter.levels, bTty);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    iFramesRecorded = target.GetRecording().GetTotalLength();
    std::fprintf(stderr, "%s%s: %u frames offered, %d recorded, %u dropouts\n", bTty ? "\n" : "",
        recorder.IsDeviceLost() ? "the input device stopped delivering" : "stopped",
        recorder.GetFramesOffered(), iFramesRecorded, recorder.GetDropouts());
    return 1;
}

bool ParseInt(const std::string& s, int& i)
{
    char* pEnd = nullptr;
    long l = std::strtol(s.c_str(), &pEnd, 10);
    if (s.empty() || *pEnd || l < -1000000 || l > 1000000)
        return false;
    i = int(l);
    return true;
}

constexpr const char* kUsage = "usage: orvenna-cli record OUT [--device N|NAME] [--rate R] "
                               "[--channels 1|2] [--seconds S] [--autotrim|--no-autotrim] "
                               "[--voice|--no-voice] [--threshold DB]";

// The options after OUT; "" or what is wrong.
std::string ParseOptions(const std::vector<std::string>& args, RecordOptions& o)
{
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool bMore = i + 1 < args.size();
        int iValue = 0;
        if (a == "--autotrim" || a == "--no-autotrim") {
            o.bAutoTrim = a == "--autotrim";
        } else if (a == "--voice" || a == "--no-voice") {
            o.bVoice = a == "--voice";
        } else if (a == "--device" && bMore) {
            const std::string& s = args[++i];
            o.iDevice = ParseInt(s, iValue) ? iValue : LWaveIn::FindDevice(s);
            if (o.iDevice < -1 || o.iDevice >= LWaveIn::GetDeviceCount())
                return "no input device " + s + " (see orvenna-cli devices)";
        } else if (a == "--rate" && bMore && ParseInt(args[i + 1], iValue)) {
            ++i;
            if (iValue < 1000 || iValue > 384000)
                return "--rate takes 1000..384000";
            o.iRate = iValue;
        } else if (a == "--channels" && bMore && ParseInt(args[i + 1], iValue)) {
            ++i;
            if (iValue != 1 && iValue != 2)
                return "--channels takes 1 or 2";
            o.iChannels = iValue;
        } else if (a == "--seconds" && bMore && ParseInt(args[i + 1], iValue)) {
            ++i;
            if (iValue < 1 || iValue > 86400)
                return "--seconds takes 1..86400";
            o.iSeconds = iValue;
        } else if (a == "--threshold" && bMore && ParseInt(args[i + 1], iValue)) {
            ++i;
            if (iValue < -40 || iValue > -6)
                return "--threshold takes -40..-6 (dB)";
            o.iThreshold = iValue;
        } else {
            return kUsage;
        }
    }
    return "";
}
} // namespace

int CliRecord(const std::vector<std::string>& args)
{
    if (args.empty() || args[0].rfind("--", 0) == 0)
        return CliFail(kUsage);
    RecordOptions opt;
    if (std::string strError = ParseOptions(args, opt); !strError.empty())
        return CliFail(strError);
    RecordUi ui(opt);
    LNoPlayback playback;
    MainDialog main(ui, playback);
    LOVFile& doc = main.NewDocument(opt.iRate, opt.iChannels);
    main.EvCommand(CM_RECORD);
    if (!ui.strFailure.empty())
        return CliFail(ui.strFailure);
    // The take as long as asked, however the last buffer fell.
    if (opt.iSeconds > 0)
        doc.claAudio.EfDeleteAfter(opt.iSeconds * opt.iRate);
    if (doc.GetLength() == 0)
        return CliFail("nothing was recorded (the input stayed below the threshold)");
    ui.strSaveFile = args[0];
    if (!main.CmSaveAs(doc))
        return CliFail(ui.strFailure.empty() ? "the take was not saved" : ui.strFailure);
    return kExitOk;
}
