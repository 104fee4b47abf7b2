// orvenna-cli voices / speak: the speech engine's voices, and speech written
// as the editor's Text To Speech writes it before loading it.
#include "cli/CliCommand.h"
#include "cli/LConsoleProgressView.h"
#include "platform/LFile.h"
#include "services/LTTS.h"

#include <charconv>
#include <cstdio>

int CliVoices(const std::vector<std::string>& args)
{
    if (!args.empty())
        return CliFail("voices takes no arguments");
    const int n = TTSGetNumSpeakers();
    if (n == 0)
        return CliFail(kNoSpeechEngineText);
    for (int i = 0; i < n; ++i)
        std::printf("%3d  %s\n", i, TTSGetDictSpeakerName(i).c_str());
    return kExitOk;
}

int CliSpeak(const std::vector<std::string>& args)
{
    LTTS tts;
    bool bText = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool bMore = i + 1 < args.size();
        if (a == "-o" && bMore) {
            tts.strPath = args[++i];
        } else if (a == "--voice" && bMore) {
            const std::string& v = args[++i];
            auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), tts.iVoice);
            if (ec != std::errc() || p != v.data() + v.size())
                return CliFail("--voice needs a voice number (see orvenna-cli voices)");
        } else if (!bText) {
            tts.strText = a;
            bText = true;
        } else {
            return CliFail("speak TEXT -o OUT [--voice N]: \"" + a + "\" is not understood");
        }
    }
    if (tts.strText.empty() || tts.strPath.empty())
        return CliFail("speak needs a text and -o OUT");
    if (TTSCountCharacters(tts.strText) > LTTS::kMaxText)
        return CliFail("the text has more than 8192 characters");
    // The speech goes to a private file beside OUT and takes OUT's place only
    // when it is whole: a failed or cancelled run leaves OUT as it was.
    const std::string strOut = tts.strPath;
    const size_t iSlash = strOut.find_last_of('/');
    LFile part;
    if (!part.OpenUnique(iSlash == std::string::npos ? "." : strOut.substr(0, iSlash + 1),
            "." + LFile::GetFileName(strOut) + "-", ".part", tts.strPath))
        return CliFail("unable to write beside " + strOut + " ("
            + LFile::DescribeError(part.GetError()) + ")");
    part.Close();
    Process<LTTS> run("Synthesize Voice", tts);
    run.Run();
    const int iErr = run.GetResult() == 0 ? LFile::ReplaceFile(tts.strPath, strOut) : 0;
    if (run.GetResult() != 0 || iErr != 0)
        LFile::Delete(tts.strPath);
    if (iErr != 0)
        return CliFail("unable to write " + strOut + " (" + LFile::DescribeError(iErr) + ")");
    if (run.GetResult() == 0)
        return kExitOk;
    // What went wrong is told of OUT, the file the user named.
    std::string strWhy = LConsoleProgressView::TakeError();
    if (strWhy.empty())
        strWhy = tts.strError;
    for (size_t i; (i = strWhy.find(tts.strPath)) != std::string::npos;)
        strWhy.replace(i, tts.strPath.size(), strOut);
    return CliFail(strWhy);
}
