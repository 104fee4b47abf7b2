// orvenna-cli voices / speak: the speech engine's voices, and speech written
// as the editor's Text To Speech writes it before loading it.
#include "cli/CliCommand.h"
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
    Process<LTTS> run("Synthesize Voice", tts);
    run.Run();
    if (run.GetResult() == 1)
        LFile::Delete(tts.strPath); // half a text is not kept
    return run.GetResult() == 0 ? kExitOk : CliFail(tts.strError);
}
