#include "engine/OVLoadFile.h"

#include "effects/LCutListAudioLoadSource.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LOpenSource.h"
#include "platform/LFile.h"

int ProcessBody(LProgressDialog& dlg, OVLoadFile& data)
{
    const std::string strText = "Loading file " + LFile::GetFileName(data.strPath);
    dlg.SetText(strText, 0);
    dlg.SetText("Please wait...", 1);

    LHeaderlessSettings headerless = LHeaderlessFormat::Load();
    std::string strExt = LFile::GetExtensionLower(data.strPath);
    if ((strExt == ".vox" || strExt == ".raw") && data.bPrompt && data.pPrompts) {
        if (!data.pPrompts->AskFileProperties(headerless))
            return 1;
        LHeaderlessFormat::Store(headerless);
    }
    SourceHandle hSource = OpenSourceByExtension(data.strPath, headerless);
    if (hSource->IsError()) {
        data.strError = hSource->GetTooLongText();
        return 2;
    }
    LCutListAudioLoadSource load { strText, data.pTarget, std::move(hSource) };
    return ProcessBody(dlg, load);
}
