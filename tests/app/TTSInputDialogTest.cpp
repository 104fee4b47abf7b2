#include "MainWindowFixture.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

// Text To Speech without a file: the dialog opens on the stored voice, keeps
// Synthesize Speech off while there is no text, stores the voice chosen, and
// the speech fills a new document.
TEST_F(MainWindowFixture, TextToSpeechSpeaksIntoANewDocumentWithTheVoiceChosen)
{
    LSettings& s = LSettings::Get();
    s.SetBool("Settings", "PromptSampleAndChannels", false);
    s.SetInt("Settings", "TextToSpeechVoice", 3);
    int iShown = -1;
    bool bEnabledEmpty = true;
    script.Then([&](QDialog& d) {
        auto* pVoice = d.findChild<QComboBox*>("102");
        auto* pText = d.findChild<QPlainTextEdit*>("101");
        QPushButton* pOk = nullptr;
        for (QPushButton* p : d.findChildren<QPushButton*>())
            if (p->text() == "Synthesize Speech")
                pOk = p;
        if (!pVoice || !pText || !pOk) {
            ADD_FAILURE() << "controls missing";
            return int(QDialog::Rejected);
        }
        EXPECT_EQ(d.windowTitle(), "Synthesize Speech");
        iShown = pVoice->currentIndex();
        bEnabledEmpty = pOk->isEnabled();
        pText->setPlainText("Good morning.");
        pVoice->setCurrentIndex(5);
        pOk->click();
        return d.result();
    });
    w->Action(CM_TTS)->trigger();
    EXPECT_TRUE(script.AllUsed());
    EXPECT_EQ(iShown, 3);
    EXPECT_FALSE(bEnabledEmpty);
    EXPECT_EQ(s.GetInt("Settings", "TextToSpeechVoice", 0), 5);
    ASSERT_EQ(w->GetController().GetNoFiles(), 1);
    const LOVFile& doc = *w->GetController().GetCurrentFile();
    EXPECT_GT(doc.GetLength(), doc.claAudio.GetSampleRate() / 4);
    EXPECT_EQ(doc.sSelEnd - doc.sSelStart, doc.GetLength());
    EXPECT_EQ(doc.GetUndoName(), "Text To Speech");
}
