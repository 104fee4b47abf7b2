#include "app/TTSInputDialog.h"

#include "app/LQtProgressView.h"
#include "platform/LSettings.h"
#include "services/LTTS.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TTSInputDialog::TTSInputDialog(std::string strPath, QWidget* pParent)
    : QDialog(pParent)
    , strPath(std::move(strPath))
    , pText(new QPlainTextEdit)
    , pVoice(new QComboBox)
    , pSynthesize(new QPushButton("Synthesize Speech"))
{
    setWindowTitle("Synthesize Speech");
    pText->setObjectName("101");
    pVoice->setObjectName("102");
    for (int i = 0, n = TTSGetNumSpeakers(); i < n; ++i)
        pVoice->addItem(QString::fromStdString(TTSGetDictSpeakerName(i)));
    pVoice->setCurrentIndex(LSettings::Get().GetInt("Settings", "TextToSpeechVoice", 0));
    if (pVoice->currentIndex() < 0 && pVoice->count() > 0)
        pVoice->setCurrentIndex(0);

    auto* pTextLabel = new QLabel("&Text of Speech to Synthesize");
    pTextLabel->setBuddy(pText);
    auto* pVoiceLabel = new QLabel("&Voice or Speech Engine:");
    pVoiceLabel->setBuddy(pVoice);
    auto* pButtons = new QDialogButtonBox;
    pSynthesize->setDefault(true);
    pButtons->addButton(pSynthesize, QDialogButtonBox::AcceptRole);
    pButtons->addButton(QDialogButtonBox::Cancel);
    connect(pButtons, &QDialogButtonBox::accepted, this, &TTSInputDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pText, &QPlainTextEdit::textChanged, this, &TTSInputDialog::LimitText);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pTextLabel);
    pLayout->addWidget(pText);
    pLayout->addWidget(pVoiceLabel);
    pLayout->addWidget(pVoice);
    pLayout->addWidget(pButtons);
    resize(460, 300);
    LimitText();
}

void TTSInputDialog::LimitText()
{
    QString strText = pText->toPlainText();
    if (size_t(strText.size()) > LTTS::kMaxText) {
        const QSignalBlocker block(pText);
        pText->setPlainText(strText.left(qsizetype(LTTS::kMaxText)));
        pText->moveCursor(QTextCursor::End);
    }
    // Nothing to speak: nothing to synthesize.
    pSynthesize->setEnabled(!pText->toPlainText().trimmed().isEmpty());
}

void TTSInputDialog::accept()
{
    LTTS tts { pText->toPlainText().toStdString(), strPath, pVoice->currentIndex() };
    LSettings::Get().SetInt("Settings", "TextToSpeechVoice", tts.iVoice);
    Process<LTTS> run("Synthesize Voice", tts);
    LQtProgressView::SetOwnerWindow(this, this);
    run.Run(this);
    LQtProgressView::SetOwnerWindow(this, nullptr);
    if (run.GetResult() == 0)
        QDialog::accept();
}
