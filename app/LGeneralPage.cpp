#include "app/LGeneralPage.h"

#include "effects/LStoredValues.h"
#include "engine/MainDialogUi.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

const char* const LGeneralPage::kDesktopFile = "com.corvatch.Orvenna.desktop";

// An argument vector, never a shell: nothing in it is interpreted.
std::function<bool(const QStringList&)> LGeneralPage::fnXdgMime
    = [](const QStringList& args) { return QProcess::execute("xdg-mime", args) == 0; };

namespace {
QString Name(int iControl)
{
    return QString::number(iControl);
}
} // namespace

LGeneralPage::LGeneralPage(MainDialogUi& ui, QWidget* pParent)
    : QWidget(pParent)
    , ui(ui)
    , values(LGeneralSettings::Load())
{
    auto* pLayout = new QVBoxLayout(this);
    auto* pTypes = new QGroupBox("Open these file types with Orvenna");
    auto* pGrid = new QGridLayout(pTypes);
    const auto& types = LGeneralSettings::FileTypes();
    for (size_t i = 0; i < types.size(); ++i) {
        auto* pBox = new QCheckBox(types[i].szLabel);
        pBox->setObjectName(Name(types[i].iControl));
        pBox->setChecked(values.vecRun[i]);
        pGrid->addWidget(pBox, int(i / 5), int(i % 5));
        vecTypes.push_back(pBox);
    }
    pLayout->addWidget(pTypes);

    auto* pNew = new QGroupBox("New files");
    auto* pNewLayout = new QVBoxLayout(pNew);
    pPrompt = new QRadioButton("Prompt for Sample Rate and Channels");
    pPrompt->setObjectName("105");
    pUseDefaults = new QRadioButton("Use Default Sample Rate and Channels ");
    pUseDefaults->setObjectName("106");
    pSetDefaults = new QPushButton("Set Default Sample Rate and Channels");
    pSetDefaults->setObjectName("107");
    (values.bPromptSampleAndChannels ? pPrompt : pUseDefaults)->setChecked(true);
    pSetDefaults->setEnabled(!values.bPromptSampleAndChannels);
    connect(pUseDefaults, &QRadioButton::toggled, pSetDefaults, &QPushButton::setEnabled);
    connect(pSetDefaults, &QPushButton::clicked, this, &LGeneralPage::CmSetDefaults);
    pNewLayout->addWidget(pPrompt);
    pNewLayout->addWidget(pUseDefaults);
    pNewLayout->addWidget(pSetDefaults, 0, Qt::AlignLeft);
    pLayout->addWidget(pNew);

    pPlayWhenOpen = new QCheckBox("Play file automatically when opened");
    pPlayWhenOpen->setObjectName("111");
    pPlayWhenOpen->setChecked(values.bPlayWhenOpen);
    pPlayBookMark = new QCheckBox("Play file automatically after go to bookmark");
    pPlayBookMark->setObjectName("115");
    pPlayBookMark->setChecked(values.bPlayBookMark);
    pLayout->addWidget(pPlayWhenOpen);
    pLayout->addWidget(pPlayBookMark);
    pLayout->addStretch();
}

void LGeneralPage::CmSetDefaults()
{
    static const LValueForm form = [] {
        LValueField rate { "DefaultSampleRate", "Sample Rate:", 6000, 96000, 44100, "Hz",
            "Sample rates must be between 6000 and 96000 samples per second.", "Error",
            LValueField::Rate };
        LValueField channels { "DefaultChannels", "Channels", 1, 2, 1, "", nullptr, "",
            LValueField::Radio, { { "Mono (Single)", 1 }, { "Stereo (Dual)", 2 } } };
        rate.bStored = channels.bStored = false;
        return LValueForm { rate, channels };
    }();
    LDialogValues v;
    v.pForm = &form;
    v.Set("DefaultSampleRate", values.iDefaultSampleRate);
    v.Set("DefaultChannels", values.iDefaultChannels);
    for (;;) {
        if (!ui.AskDialog("Set Defaults", v))
            return;
        const LValueCheck check = LStoredValues::Check(form, v);
        if (check.IsValid())
            break;
        ui.ShowMessage(check.strText, check.strTitle, LFilePrompts::Icon::Stop);
    }
    values.iDefaultSampleRate = v.Get("DefaultSampleRate");
    values.iDefaultChannels = v.Get("DefaultChannels") == 2 ? 2 : 1;
}

QString LGeneralPage::MimeTypeOf(const char* szExt)
{
    const QMimeType mime
        = QMimeDatabase().mimeTypeForFile(QString("file.") + szExt, QMimeDatabase::MatchExtension);
    const QString strName = mime.name();
    return !mime.isDefault()
            && (strName.startsWith("audio/") || strName == "application/vnd.rn-realmedia")
        ? strName
        : QString();
}

void LGeneralPage::Apply()
{
    const auto& types = LGeneralSettings::FileTypes();
    QStringList mimeTypes;
    for (size_t i = 0; i < types.size(); ++i) {
        values.vecRun[i] = vecTypes[i]->isChecked();
        if (!values.vecRun[i])
            continue; // a box left clear removes nothing
        for (const char* szExt : types[i].extensions) {
            // A type the desktop does not know is left alone.
            const QString strType = MimeTypeOf(szExt);
            if (!strType.isEmpty() && !mimeTypes.contains(strType))
                mimeTypes.append(strType);
        }
    }
    values.bPromptSampleAndChannels = pPrompt->isChecked();
    values.bPlayWhenOpen = pPlayWhenOpen->isChecked();
    values.bPlayBookMark = pPlayBookMark->isChecked();
    values.Store();
    if (!mimeTypes.isEmpty() && fnXdgMime)
        fnXdgMime(QStringList { "default", kDesktopFile } + mimeTypes);
}
