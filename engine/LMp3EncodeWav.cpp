#include "engine/LMp3EncodeWav.h"

#include "platform/LChildProcess.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"

#include <chrono>
#include <filesystem>
#include <thread>

std::string FindMp3Encoder()
{
    std::string strPath = LSettings::Get().GetString("Components\\mp3cmp", "Path");
    if (!strPath.empty())
        return LChildProcess::FindOnPath(strPath);
    return LChildProcess::FindOnPath("lame");
}

std::vector<std::string> Mp3EncoderArguments(const LMp3EncodeWav& d)
{
    const LMp3EncoderSettings& s = d.settings;
    static const char* const kModes[4] = { "s", "j", "f", "m" };
    int iMode = s.iChannelMode >= 0 && s.iChannelMode <= 3 ? s.iChannelMode : 1;
    int iGoverning = s.bConstantBitRate ? s.iCBRBitRate : s.iVBRMaxBitRate;
    std::vector<std::string> a = { "-m", iGoverning < 24 ? "m" : kModes[iMode] };
    if (s.bErrorProtection)
        a.push_back("-p");
    if (!s.bConstantBitRate) {
        a.insert(a.end(),
            { "-v", "-b", std::to_string(s.iVBRMinBitRate), "-B", std::to_string(s.iVBRMaxBitRate),
                "-V", std::to_string(s.iVBRQuality) });
    } else {
        a.insert(a.end(), { "-b", std::to_string(s.iCBRBitRate) });
        if (s.bHighQuality)
            a.push_back("-h");
    }
    std::error_code ec;
    a.insert(a.end(),
        { "-S", std::filesystem::absolute(d.strInput, ec).string(),
            std::filesystem::absolute(d.strOutput, ec).string() });
    return a;
}

int ProcessBody(LProgressDialog& dlg, LMp3EncodeWav& d)
{
    std::string strEncoder = FindMp3Encoder();
    if (strEncoder.empty()) {
        d.strError = "The mp3 encoder component \"mp3cmp\" has not yet been installed. This free "
                     "component can be downloaded and installed from your distribution's package "
                     "manager (package \"lame\").";
        dlg.ShowError(d.strError);
        return 2;
    }
    LFile::Delete(d.strOutput);
    std::vector<std::string> args = Mp3EncoderArguments(d);
    args.insert(args.begin(), strEncoder);
    dlg.SetText("Encoding MP3...", 1);
    LChildProcess child;
    int iResult = 2;
    if (child.Start(args)) {
        auto tEnd
            = std::chrono::steady_clock::now() + std::chrono::milliseconds(kMp3EncodeTimeoutMs);
        for (;;) {
            if (child.HasEnded()) {
                d.iExitCode = child.GetExitCode();
                iResult = d.iExitCode == 0 ? 0 : 2;
                break;
            }
            if (dlg.CheckCancel()) {
                // A cancelled encoder is stopped rather than left running.
                child.Kill();
                iResult = 1;
                break;
            }
            if (std::chrono::steady_clock::now() >= tEnd) {
                child.Kill();
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    if (iResult != 0 && d.iExitCode <= 0)
        LFile::Delete(d.strOutput);
    return iResult;
}
