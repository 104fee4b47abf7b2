#include "services/LTonesmith.h"

#include <chrono>
#include <thread>

bool SplitCommandLine(const std::string& strLine, std::vector<std::string>& args)
{
    args.clear();
    std::string strArg;
    bool bInArg = false;
    char cQuote = 0;
    for (size_t i = 0; i < strLine.size(); ++i) {
        const char c = strLine[i];
        if (cQuote) {
            if (c == cQuote)
                cQuote = 0;
            else if (c == '\\' && cQuote == '"' && i + 1 < strLine.size())
                strArg += strLine[++i];
            else
                strArg += c;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (bInArg)
                args.push_back(std::move(strArg));
            strArg.clear();
            bInArg = false;
        } else {
            bInArg = true;
            if (c == '"' || c == '\'')
                cQuote = c;
            else if (c == '\\' && i + 1 < strLine.size())
                strArg += strLine[++i];
            else
                strArg += c;
        }
    }
    if (bInArg)
        args.push_back(std::move(strArg));
    return cQuote == 0 && !args.empty();
}

int ProcessBody(LProgressDialog& dlg, LTonesmithRun& d)
{
    if (d.child.HasEnded()
        && (!SplitCommandLine(d.strCommandLine, d.args) || !d.child.Start(d.args))) {
        dlg.ShowError("Unable to start Tonesmith with \"" + d.strCommandLine + "\".");
        return 2;
    }
    dlg.SetText("Please close Tonesmith", 0);
    dlg.SetText("to continue...", 1);
    const auto tEnd
        = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTonesmithWaitMs);
    while (!d.child.HasEnded() && !dlg.CheckCancel() && std::chrono::steady_clock::now() < tEnd)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return 0;
}
