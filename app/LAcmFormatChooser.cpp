#include "app/LAcmFormatChooser.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

LAcmFormatChooser::LAcmFormatChooser(
    const LWaveFormat& init, int iChannels, const QString& strTitle, QWidget* pParent)
    : QDialog(pParent)
    , choices(LAcmFormatList(uint16_t(iChannels)))
    , initial(init)
    , pTags(new QComboBox)
    , pAttributes(new QComboBox)
{
    setWindowTitle(strTitle);
    pTags->setObjectName("Format");
    pAttributes->setObjectName("Attributes");
    for (const LAcmFormatChoice& c : choices) {
        QString strTag = QString::fromStdString(c.strFormatTag);
        if (pTags->findText(strTag) < 0)
            pTags->addItem(strTag);
    }
    // Open on the given format, else on the first of its tag.
    QString strTag;
    for (const LAcmFormatChoice& c : choices)
        if (c.wfx == initial
            || (strTag.isEmpty() && c.wfx.wfx.wFormatTag == initial.wfx.wFormatTag))
            strTag = QString::fromStdString(c.strFormatTag);
    if (!strTag.isEmpty())
        pTags->setCurrentText(strTag);
    FillAttributes(pTags->currentText());
    connect(pTags, &QComboBox::currentTextChanged, this, &LAcmFormatChooser::FillAttributes);

    auto* pForm = new QFormLayout;
    pForm->addRow("&Format:", pTags);
    pForm->addRow("&Attributes:", pAttributes);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addWidget(pButtons);
}

void LAcmFormatChooser::FillAttributes(const QString& strTag)
{
    pAttributes->clear();
    for (size_t i = 0; i < choices.size(); ++i) {
        if (QString::fromStdString(choices[i].strFormatTag) != strTag)
            continue;
        pAttributes->addItem(QString::fromStdString(choices[i].strFormat), int(i));
        if (choices[i].wfx == initial)
            pAttributes->setCurrentIndex(pAttributes->count() - 1);
    }
}

LWaveFormat LAcmFormatChooser::GetFormat() const
{
    bool bOk = false;
    int i = pAttributes->currentData().toInt(&bOk);
    return bOk && i >= 0 && size_t(i) < choices.size() ? choices[size_t(i)].wfx : initial;
}
