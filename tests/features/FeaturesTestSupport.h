#pragma once

#include "engine/LOVRecordInfo.h"
#include "engine/MainDialog.h"
#include "features/ProjectDialog.h"
#include "platform/LSettings.h"
#include "support/ScriptedUi.h"

// The scripted windows with the text entry dialog: texts answered from a
// queue (the offered text once it is empty, Cancel for ""); every command
// dialog is accepted.
class FeaturesUi : public ScriptedUi, public ProjectDialogUi {
public:
    FeaturesUi() { bAcceptDialogs = true; }
    bool AskText(const std::string&, std::string& s) override
    {
        if (texts.empty())
            return true;
        s = Pop(texts, {});
        return !s.empty();
    }
    std::deque<std::string> texts;
};

// The editor's controllers over a scripted window.
struct Editor {
    Editor() { LSettings::Get().SetBool("Settings", "AutoPlaybackAfterEffects", false); }
    FeaturesUi ui;
    RecordingPlayback playback;
    MainDialog main { ui, playback };
    ProjectDialog project { main, ui };
};
