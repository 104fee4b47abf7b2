#pragma once

#include "ModalScript.h"
#include "app/LMDIMainWindow.h"
#include "app/LQtProgressView.h"
#include "engine/LOVFile.h"
#include "platform/LSettings.h"
#include "platform/qt/LQtUiDispatcher.h"
#include "support/TestSupport.h"

#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// The main window as the program starts it: the Qt dispatcher and progress
// dialogs, New File asking for its rate, no playback after effects. The
// script answers every dialog the test brings up.
class MainWindowFixture : public testing::Test {
protected:
    void SetUp() override
    {
        LQtProgressView::Install();
        LUiDispatcher::SetCurrent(&dispatcher);
        LSettings::Get().SetBool("Settings", "PromptSampleAndChannels", true);
        LSettings::Get().SetBool("Settings", "AutoPlaybackAfterEffects", false);
        w = std::make_unique<LMDIMainWindow>();
    }
    void TearDown() override
    {
        w.reset();
        LUiDispatcher::SetCurrent(nullptr);
        LProgressView::SetFactory(nullptr);
    }

    // New File at the rate and channels given, through the menu.
    LOVFile& NewFile(const char* szRate = "8000", const char* szChannels = "Mono (Single)")
    {
        script.Then(ModalScript::Fill({ { "SelectedSampleRate", szRate } }, { szChannels }));
        w->Action(CM_FILENEW)->trigger();
        return *w->GetController().GetCurrentFile();
    }
    void InsertSilenceEnd(const char* szMs)
    {
        script.Then(ModalScript::Fill({ { "SilenceTimes", szMs } }));
        w->Action(CM_INSSILENCEEND)->trigger();
    }
    // A new document of iMs of silence at 8000 Hz mono.
    LOVFile& Silence(const char* szMs)
    {
        LOVFile& doc = NewFile();
        InsertSilenceEnd(szMs);
        return doc;
    }
    // One second of a 440 Hz sine in 16 bits, written by sox with args (-r, -c).
    std::string MakeWav(const std::string& strName, std::vector<std::string> args)
    {
        const std::string strPath = dir.File(strName);
        std::vector<std::string> cmd = { "sox", "-n", "-b", "16" };
        cmd.insert(cmd.end(), args.begin(), args.end());
        cmd.insert(cmd.end(), { strPath, "synth", "1", "sine", "440" });
        EXPECT_EQ(TestSupport::Run(cmd), 0);
        return strPath;
    }
    // Shown and active, so that keys reach it.
    void Activate()
    {
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    bool Enabled(int iId) { return w->Action(iId)->isEnabled(); }

    LQtUiDispatcher dispatcher;
    ModalScript script;
    TestSupport::TempDir dir;
    std::unique_ptr<LMDIMainWindow> w;
};
