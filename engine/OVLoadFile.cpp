#include "engine/OVLoadFile.h"

#include "edit/LAudioCutTank.h"
#include "effects/LCutListAudioLoadSource.h"
#include "engine/LDecodedSource.h"
#include "engine/LFileFormats.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LOpenSource.h"
#include "platform/LFile.h"

int ProcessBody(LProgressDialog& dlg, OVLoadFile& data)
{
    const std::string strText = "Loading file " + LFile::GetFileName(data.strPath);
    dlg.SetText(strText, 0);
    dlg.SetText("Please wait...", 1);

    LHeaderlessSettings headerless = data.fixedHeaderless.value_or(LHeaderlessFormat::Load());
    const LFileFormat* pFormat = LFileFormats::FindByPath(data.strPath);
    if (pFormat && pFormat->NeedsHeaderless() && data.bPrompt && data.pPrompts
        && !data.fixedHeaderless) {
        if (!data.pPrompts->AskFileProperties(headerless))
            return 1;
        LHeaderlessFormat::Store(headerless);
    }
    SourceHandle hSource;
    if (pFormat && pFormat->fnDecode) {
        // Through a temporary WAV, deleted when the load lets go of it.
        if (int iResult = OpenDecodedSource(dlg, *pFormat, data.strPath, hSource); iResult != 0)
            return iResult;
        dlg.SetText(strText, 0);
        dlg.SetText("Please wait...", 1);
    } else {
        hSource = OpenSourceByExtension(data.strPath, headerless);
    }
    if (hSource->IsError()) {
        if (const std::string strWhy = hSource->GetErrorText(); !strWhy.empty())
            data.strError = "Unable to open the file \"" + data.strPath + "\": " + strWhy + ".";
        return 2;
    }
    LCutListAudioLoadSource load { strText, data.pTarget, std::move(hSource) };
    int iResult = ProcessBody(dlg, load);
    if (iResult == 2 && load.iWriteErrno != 0)
        data.strError = "Unable to open the file \"" + data.strPath
            + "\". Cannot write the audio working folder \"" + LAudioCutTank::Get().GetFolder()
            + "\": " + LFile::DescribeError(load.iWriteErrno) + ".";
    return iResult;
}
