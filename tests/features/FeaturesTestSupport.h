#pragma once

#include "audio/LWaveFile.h"
#include "edit/LSRCCutListAudio.h"
#include "engine/LOVRecordInfo.h"
#include "engine/MainDialog.h"
#include "features/ProjectDialog.h"
#include "platform/LSettings.h"
#include "support/AudioTestSupport.h"
#include "support/TestSupport.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// A main window without windows: questions, texts and file dialogs answered
// from queues, messages recorded.
class FeaturesUi : public MainDialogUi, public ProjectDialogUi {
public:
    std::deque<Answer> answers;
    std::deque<std::string> texts, saveFiles, openFiles;
    std::vector<std::string> messages, questions;

    Answer AskYesNoCancel(const std::string& s, Icon) override
    {
        questions.push_back(s);
        return Pop(answers, Answer::Cancel);
    }
    std::vector<std::string> ChooseOpenFiles(const std::string&, std::string&) override
    {
        std::string s = Pop(openFiles, std::string());
        return s.empty() ? std::vector<std::string> {} : std::vector<std::string> { s };
    }
    std::string ChooseSaveFile(const std::string&, std::string&) override
    {
        return Pop(saveFiles, std::string());
    }
    bool AskDialog(const std::string&, LDialogValues& v) override
    {
        for (auto& [k, val] : values)
            v.SetByName(k, val);
        return true;
    }
    bool AskFileProperties(LHeaderlessSettings&) override { return true; }
    bool ChooseWaveFormat(LWaveFormat& f, int iChannels, const std::string&) override
    {
        f = LWaveFormat::Pcm(uint16_t(iChannels ? iChannels : 1), uRate, 16);
        return true;
    }
    bool AskMp3Settings(LMp3EncoderSettings&) override { return true; }
    void ShowMessage(const std::string& s, const std::string&, Icon) override
    {
        messages.push_back(s);
    }
    bool AskText(const std::string&, std::string& s) override
    {
        if (texts.empty())
            return true; // the offered text
        s = Pop(texts, std::string());
        return !s.empty();
    }
    int RunRecordDialog(LOVRecordInfo& target) override { return fnRecord ? fnRecord(target) : 0; }
    std::vector<std::pair<std::string, int32_t>> values;
    uint32_t uRate = 44100;
    std::function<int(LOVRecordInfo&)> fnRecord; // the record dialog's part

private:
    template <class T> static T Pop(std::deque<T>& q, T def)
    {
        if (q.empty())
            return def;
        T t = q.front();
        q.pop_front();
        return t;
    }
};

// Plays nothing; notes where the Play command would have started.
class NoPlayback : public LPlaybackControl {
public:
    void Stop() override { }
    void Play(LOVFile&, int32_t) override { }
    bool PlayCommand(LOVFile& doc, bool) override
    {
        iPlayedFrom = doc.HasValidSelection() ? doc.sSelStart : doc.sPosition;
        return false;
    }
    int32_t iPlayedFrom = -1;
};

// The ramp WAV, a little different in each channel.
inline std::string MakeWav(const TestSupport::TempDir& dir, const std::string& strName,
    int32_t iRate, int iChannels, int32_t iFrames)
{
    return TestSupport::MakeRampWav(dir, strName, iRate, iChannels, iFrames, 7);
}

inline std::vector<int32_t> Samples(const LCutListAudio& list)
{
    LSRCCutListAudio src(list);
    std::vector<int32_t> v(size_t(list.GetTotalLength()) * list.GetChannels());
    for (int32_t i = 0; i < list.GetTotalLength(); i += kBlockFrames)
        src.Read(v.data() + size_t(i) * list.GetChannels(),
            std::min(kBlockFrames, list.GetTotalLength() - i));
    return v;
}

// The editor's controllers over a scripted window.
struct Editor {
    Editor() { LSettings::Get().SetBool("Settings", "AutoPlaybackAfterEffects", false); }
    FeaturesUi ui;
    NoPlayback playback;
    MainDialog main { ui, playback };
    ProjectDialog project { main, ui };
};
