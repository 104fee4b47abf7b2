#pragma once

#include "edit/LSRCCutListAudio.h"
#include "engine/LOVFile.h"
#include "engine/LPlaybackControl.h"
#include "engine/MainDialogUi.h"
#include "platform/LUiDispatcher.h"
#include "support/AudioTestSupport.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The editor's windows for the controller's tests: each kind of question is
// answered from its own queue (Cancel once it is empty) and what was asked
// and shown is recorded. Test thread only.
class ScriptedUi : public MainDialogUi {
public:
    std::deque<Answer> answers;
    std::deque<std::vector<std::string>> openFiles;
    std::deque<std::string> saveFiles;
    // Per dialog title: changes the values, false for Cancel.
    std::map<std::string, std::deque<std::function<bool(LDialogValues&)>>> dialogs;
    // A dialog with nothing queued takes these values and bAcceptDialogs.
    std::vector<std::pair<std::string, int32_t>> values;
    bool bAcceptDialogs = false;
    bool bFailOnMessage = false;
    std::function<int(LOVRecordInfo&)> fnRecord; // the record dialog's part
    // The file prompts are refused when bRefusePrompts; else File Properties
    // gives headerless when set, the format chooser chosenFormat (16-bit PCM
    // at 44100 Hz when unset). What the chooser was offered is kept.
    bool bRefusePrompts = false;
    std::optional<LHeaderlessSettings> headerless;
    std::optional<LWaveFormat> chosenFormat;
    LWaveFormat offeredFormat;
    int iOfferedChannels = -1, iPrompts = 0;

    std::vector<std::string> questions, messages;
    std::map<int, std::pair<std::string, bool>> menu;
    int iSaveDialogs = 0;

    void AnswerDialog(const std::string& strTitle, std::function<bool(LDialogValues&)> fn)
    {
        dialogs[strTitle].push_back(std::move(fn));
    }

    Answer AskYesNoCancel(const std::string& strText, Icon) override
    {
        questions.push_back(strText);
        return Pop(answers, Answer::Cancel);
    }
    std::vector<std::string> ChooseOpenFiles(const std::string&, std::string&) override
    {
        return Pop(openFiles, {});
    }
    std::string ChooseSaveFile(const std::string&, std::string&) override
    {
        ++iSaveDialogs;
        return Pop(saveFiles, {});
    }
    bool AskDialog(const std::string& strTitle, LDialogValues& v) override
    {
        auto& q = dialogs[strTitle];
        if (!q.empty())
            return Pop(q, {})(v);
        for (auto& [strName, iValue] : values)
            v.SetByName(strName, iValue);
        return bAcceptDialogs;
    }
    bool AskFileProperties(LHeaderlessSettings& s) override
    {
        ++iPrompts;
        if (headerless && !bRefusePrompts)
            s = *headerless;
        return !bRefusePrompts;
    }
    bool ChooseWaveFormat(LWaveFormat& f, int iChannels, const std::string&) override
    {
        ++iPrompts;
        offeredFormat = f;
        iOfferedChannels = iChannels;
        if (!bRefusePrompts)
            f = chosenFormat ? *chosenFormat
                             : LWaveFormat::Pcm(uint16_t(iChannels ? iChannels : 1), 44100, 16);
        return !bRefusePrompts;
    }
    bool AskMp3Settings(LMp3EncoderSettings&) override { return ++iPrompts, !bRefusePrompts; }
    void ShowMessage(const std::string& strText, const std::string&, Icon) override
    {
        messages.push_back(strText);
        if (bFailOnMessage)
            ADD_FAILURE() << "message shown: " << strText;
    }
    void SetMenuItem(int iId, const std::string& strText, bool bEnabled) override
    {
        menu[iId] = { strText, bEnabled };
    }
    int RunRecordDialog(LOVRecordInfo& target) override { return fnRecord ? fnRecord(target) : 0; }

    template <class T> static T Pop(std::deque<T>& q, T def)
    {
        if (q.empty())
            return def;
        T t = std::move(q.front());
        q.pop_front();
        return t;
    }
};

// Plays nothing; records what the controller asked to play.
class RecordingPlayback : public LPlaybackControl {
public:
    void Stop() override { ++iStops; }
    void Play(LOVFile&, int32_t iFrom) override { plays.push_back(iFrom); }
    bool PlayCommand(LOVFile& doc, bool) override
    {
        playCommands.push_back(doc.GetDisplayName());
        iPlayedFrom = doc.HasValidSelection() ? doc.sSelStart : doc.sPosition;
        return true;
    }
    int iStops = 0;
    std::vector<int32_t> plays;
    std::vector<std::string> playCommands;
    int32_t iPlayedFrom = -1; // where the last Play command started
};

// The samples of a document, channels interleaved.
inline std::vector<int32_t> Samples(const LCutListAudio& list)
{
    LSRCCutListAudio src(list);
    return TestSupport::ReadFrames(src, list.GetTotalLength());
}

// Runs what other threads posted to the headless event loop until fnDone
// holds or iMaxMs pass; false on timeout.
inline bool PumpEvents(const std::function<bool()>& fnDone, int iMaxMs = 5000)
{
    auto& dispatcher = static_cast<LHeadlessDispatcher&>(LUiDispatcher::Current());
    return TestSupport::PumpUntil(
        fnDone, [&] { dispatcher.Drain(); }, iMaxMs);
}
