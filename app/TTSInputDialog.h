#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QPlainTextEdit;
class QPushButton;

// "Synthesize Speech": the text (101, at most 8192 characters) and the
// voice (102, the engine's voices in its order, Settings\TextToSpeechVoice
// selected). "Synthesize Speech" stores the voice and synthesizes into the
// WAV path given; the dialog closes only when that succeeded. UI thread.
class TTSInputDialog : public QDialog {
    Q_OBJECT
public:
    TTSInputDialog(std::string strPath, QWidget* pParent);
    void accept() override;

private:
    void LimitText();

    std::string strPath;
    QPlainTextEdit* pText;
    QComboBox* pVoice;
    QPushButton* pSynthesize;
};
