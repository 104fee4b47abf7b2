#include "app/LBatchWizard.h"
#include "app/LModalRunner.h"
#include "engine/LFileFormats.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LWavCodecFile.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

namespace {
const char* const kProgram = "Orvenna";

// Page 3: where and how the results are saved; Finish runs the batch.
class LSelectSaveFormatDlg : public QWizardPage {
public:
    explicit LSelectSaveFormatDlg(LBatchWizard& w)
        : wizard(w)
    {
        setTitle("Batch Converter - Step 3: Select Output Format and Folder");
        const LBatchOptions o = LBatchOptions::Load();
        for (const char* sz : LBatchOptions::kFormats)
            pFormat->addItem(sz);
        pFormat->setCurrentIndex(
            std::clamp(o.iFormat, 0, int(std::size(LBatchOptions::kFormats)) - 1));
        // Two choices on one page: each pair of radio buttons is its own group.
        for (QRadioButton* p : { pSameFormat, pConvert })
            pFormatGroup->addButton(p);
        for (QRadioButton* p : { pSameFolder, pToFolder })
            pFolderGroup->addButton(p);
        (o.bSameFormat ? pSameFormat : pConvert)->setChecked(true);
        (o.bSameFolder ? pSameFolder : pToFolder)->setChecked(true);
        pFolder->setObjectName("OutputFolder");
        pFolder->setText(QString::fromStdString(o.strFolder));
        auto* pBrowse = new QPushButton("Browse...");
        auto* pOptions = new QPushButton("Format Options");
        auto* pGrid = new QGridLayout(this);
        pGrid->addWidget(pSameFormat, 0, 0, 1, 3);
        pGrid->addWidget(pConvert, 1, 0);
        pGrid->addWidget(pFormat, 1, 1);
        pGrid->addWidget(pOptions, 1, 2);
        pGrid->addWidget(pSameFolder, 2, 0, 1, 3);
        pGrid->addWidget(pToFolder, 3, 0);
        pGrid->addWidget(pFolder, 3, 1);
        pGrid->addWidget(pBrowse, 3, 2);
        pGrid->addWidget(pKeepGoing, 4, 0, 1, 3);
        connect(pBrowse, &QPushButton::clicked, this, [this] {
            QFileDialog box(this, "Locate Output Folder", pFolder->text());
            box.setFileMode(QFileDialog::Directory);
            box.setOption(QFileDialog::ShowDirsOnly);
            if (LModalRunner::Exec(box) == QDialog::Accepted && !box.selectedFiles().isEmpty())
                pFolder->setText(box.selectedFiles().front());
        });
        connect(pOptions, &QPushButton::clicked, this, [this] { FormatOptions(); });
        auto enable
            = [this, pOptions] { pOptions->setEnabled(Settings() != LFormatSettings::None); };
        connect(pFormat, &QComboBox::currentIndexChanged, this, enable);
        enable();
        setFinalPage(true);
    }
    bool validatePage() override
    {
        LBatchOptions& o = wizard.data.options;
        o.bSameFormat = pSameFormat->isChecked();
        o.iFormat = pFormat->currentIndex();
        o.bSameFolder = pSameFolder->isChecked();
        o.strFolder = pFolder->text().toStdString();
        o.bKeepGoing = pKeepGoing->isChecked();
        o.Store();
        // The run reads the stored answers once when it starts.
        o.headerless.reset();
        o.wavFormat.reset();
        o.mp3.reset();
        if (!o.bSameFolder && o.strFolder.empty()) {
            LBatchWizard::Tell(this, QMessageBox::Warning, kProgram,
                "Invalid output folder. Please select a folder to save to.");
            return false;
        }
        std::error_code ec;
        if (!o.bSameFolder && !std::filesystem::is_directory(o.strFolder, ec)) {
            if (LBatchWizard::Ask(this,
                    QString("The folder  \"%1\" does not exist. Do you want to create it now?")
                        .arg(pFolder->text()))
                != QMessageBox::Yes)
                return false;
            if (!std::filesystem::create_directories(o.strFolder, ec)) {
                LBatchWizard::Tell(
                    this, QMessageBox::Critical, "Error", "Unable to create folder.");
                return false;
            }
        }
        if (LBatchOptions::NeedsHeaderless(wizard.data.files)) {
            // Once for every VOX and RAW input of the run.
            LHeaderlessSettings h = LHeaderlessFormat::Load();
            if (!wizard.prompts.AskFileProperties(h))
                return false;
            LHeaderlessFormat::Store(h);
            o.headerless = h;
        }
        Process<OVBatchConverter> op("Batch Converter", wizard.data);
        op.Run(&wizard);
        ShowReport();
        return true;
    }

private:
    // Which dialog the format in the list takes its options from.
    LFormatSettings Settings() const
    {
        const LFileFormat* p = LFileFormats::FindByPath(
            std::string("x") + LBatchOptions::kFormats[std::max(pFormat->currentIndex(), 0)]);
        return p ? p->settings : LFormatSettings::None;
    }
    // The dialog Save As shows for the format; what OK leaves is stored, and
    // every converted file of the run takes it.
    void FormatOptions()
    {
        LFilePrompts& prompts = wizard.prompts;
        switch (Settings()) {
        case LFormatSettings::WaveFormat:
            if (LWaveFormat f = LWavCodecFile::Load();
                prompts.ChooseWaveFormat(f, 0, "Select Wave File Format"))
                LWavCodecFile::Store(f);
            break;
        case LFormatSettings::Mp3Encoder:
            if (LMp3EncoderSettings m = LMp3EncoderSettings::Load(); prompts.AskMp3Settings(m))
                m.Store();
            break;
        case LFormatSettings::Headerless:
            if (LHeaderlessSettings h = LHeaderlessFormat::Load(); prompts.AskFileProperties(h))
                LHeaderlessFormat::Store(h);
            break;
        case LFormatSettings::None:
            break;
        }
    }

    // Every file as done, failed with its reason, or not processed.
    void ShowReport()
    {
        QString strText;
        if (!wizard.data.strRefusal.empty())
            strText = QString::fromStdString(wizard.data.strRefusal) + "\n";
        for (const LBatchFileResult& r : wizard.data.results) {
            const QString strIn = QString::fromStdString(r.strInput);
            if (r.eState == LBatchFileResult::Done)
                strText += "Done: " + strIn + " -> " + QString::fromStdString(r.strOutput) + "\n";
            else if (r.eState == LBatchFileResult::Failed)
                strText += "Failed: " + strIn + ": " + QString::fromStdString(r.strReason) + "\n";
            else
                strText += "Not processed: " + strIn + "\n";
        }
        QDialog dlg(this);
        dlg.setWindowTitle("Batch Converter Report");
        auto* pText = new QPlainTextEdit(strText);
        pText->setObjectName("Report");
        pText->setReadOnly(true);
        auto* pBox = new QDialogButtonBox(QDialogButtonBox::Close);
        auto* pLayout = new QVBoxLayout(&dlg);
        pLayout->addWidget(pText);
        pLayout->addWidget(pBox);
        connect(pBox, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
        dlg.resize(640, 320);
        LModalRunner::Exec(dlg);
    }

    LBatchWizard& wizard;
    QRadioButton* pSameFormat
        = new QRadioButton("Use the same file format that was used to load the files");
    QRadioButton* pConvert = new QRadioButton("Convert to file format");
    QComboBox* pFormat = new QComboBox;
    QRadioButton* pSameFolder = new QRadioButton("Use the same folder that the files were loaded "
                                                 "from (replace files if format is the same)");
    QRadioButton* pToFolder = new QRadioButton("Save to this folder");
    QLineEdit* pFolder = new QLineEdit;
    QCheckBox* pKeepGoing = new QCheckBox("Continue after a failure");
    QButtonGroup* pFormatGroup = new QButtonGroup(this);
    QButtonGroup* pFolderGroup = new QButtonGroup(this);
};
} // namespace

QWizardPage* LBatchWizard::MakeLSelectSaveFormatDlg(LBatchWizard& wizard)
{
    return new LSelectSaveFormatDlg(wizard);
}
