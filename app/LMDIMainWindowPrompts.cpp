// The editor window's answers to the controller's questions: message
// boxes, file dialogs and the command dialogs.
#include "app/LAcmFormatChooser.h"
#include "app/LMDIMainWindow.h"
#include "app/LModalRunner.h"
#include "app/LMp3EncodeDlg.h"
#include "app/LOVCurveDialog.h"
#include "app/LOVFFTDlg.h"
#include "app/LOVValuesDialog.h"
#include "app/LRecordDlg.h"
#include "audio/LWaveFileFormat.h"
#include "effects/LStoredValues.h"
#include "engine/LFileFormats.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LOVFile.h"

#include <QFileDialog>
#include <QMessageBox>
#include <algorithm>

namespace {
const char* const kProgram = "Orvenna";
const char* const kRateMessage = "Sample rates must be between 6000 and 96000 samples per second.";

QStringList ToQt(const std::vector<std::string>& v)
{
    QStringList list;
    for (const std::string& s : v)
        list.push_back(QString::fromStdString(s));
    return list;
}

// The project dialogs show project files; every other file dialog audio.
bool IsProjectDialog(const std::string& strTitle)
{
    return strTitle == "Open Project" || strTitle == "Save Project As";
}

void SetFilters(QFileDialog& box, const std::string& strTitle, const QStringList& audio)
{
    if (IsProjectDialog(strTitle)) {
        box.setDefaultSuffix("ovp");
        box.setNameFilters({ "Orvenna Project (.ovp) (*.ovp)" });
    } else {
        box.setDefaultSuffix("wav");
        box.setNameFilters(audio);
    }
}

QMessageBox::Icon BoxIcon(LFilePrompts::Icon icon)
{
    switch (icon) {
    case LFilePrompts::Icon::Stop:
        return QMessageBox::Critical;
    case LFilePrompts::Icon::Exclamation:
        return QMessageBox::Warning;
    case LFilePrompts::Icon::Information:
        return QMessageBox::Information;
    case LFilePrompts::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

MainDialogUi::Answer AskBox(QMessageBox& box)
{
    switch (LModalRunner::Exec(box)) {
    case QMessageBox::Yes:
        return MainDialogUi::Answer::Yes;
    case QMessageBox::No:
        return MainDialogUi::Answer::No;
    default:
        return MainDialogUi::Answer::Cancel;
    }
}
} // namespace

// ---- what the controller asks ----------------------------------------------------

MainDialogUi::Answer LMDIMainWindow::AskYesNoCancel(const std::string& strText, Icon icon)
{
    QMessageBox box(BoxIcon(icon), kProgram, QString::fromStdString(strText),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    return AskBox(box);
}

MainDialogUi::Answer LMDIMainWindow::AskQuestion(
    const std::string& strText, const std::string& strCaption)
{
    QMessageBox box(QMessageBox::Question, QString::fromStdString(strCaption),
        QString::fromStdString(strText), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        this);
    return AskBox(box);
}

void LMDIMainWindow::ShowMessage(
    const std::string& strText, const std::string& strCaption, Icon icon)
{
    QMessageBox box(BoxIcon(icon), QString::fromStdString(strCaption),
        QString::fromStdString(strText), QMessageBox::Ok, this);
    LModalRunner::Exec(box);
}

void LMDIMainWindow::ShowNote(const std::string& strCommand, const std::string& strText)
{
    ShowMessage(strText, strCommand, Icon::Information);
}

std::vector<std::string> LMDIMainWindow::ChooseOpenFiles(
    const std::string& strTitle, std::string& strFolder)
{
    QFileDialog box(this, QString::fromStdString(strTitle), QString::fromStdString(strFolder));
    box.setFileMode(QFileDialog::ExistingFiles);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    SetFilters(box, strTitle, ToQt(LFileFormats::OpenFilters()) + QStringList { "All Files (*)" });
    if (LModalRunner::Exec(box) != QDialog::Accepted)
        return {};
    std::vector<std::string> files;
    for (const QString& strFile : box.selectedFiles())
        files.push_back(strFile.toStdString());
    strFolder = box.directory().absolutePath().toStdString();
    return files;
}

std::string LMDIMainWindow::ChooseSaveFile(const std::string& strTitle, std::string& strFolder)
{
    QFileDialog box(this, QString::fromStdString(strTitle), QString::fromStdString(strFolder));
    box.setFileMode(QFileDialog::AnyFile);
    box.setAcceptMode(QFileDialog::AcceptSave);
    // The controller asks about replacing a file itself.
    box.setOption(QFileDialog::DontConfirmOverwrite);
    SetFilters(box, strTitle, ToQt(LFileFormats::SaveFilters()));
    if (LModalRunner::Exec(box) != QDialog::Accepted || box.selectedFiles().isEmpty())
        return {};
    strFolder = box.directory().absolutePath().toStdString();
    return box.selectedFiles().front().toStdString();
}

int LMDIMainWindow::RunRecordDialog(LOVRecordInfo& target)
{
    LRecordSource source(target);
    LRecordDlg box(source, this);
    // Closed any way but Record Next, the takes go into the document.
    return LModalRunner::Exec(box) == LRecordDlg::kRecordNext ? 2 : 1;
}

bool LMDIMainWindow::AskDialog(const std::string& strTitle, LDialogValues& values)
{
    const LOVFile* pDoc = dialog.GetCurrentFile();
    if (values.eCurve != LDialogValues::kNoCurve) {
        LOVCurveDialog box(strTitle, values, pDoc ? pDoc->sSelEnd - pDoc->sSelStart : 0,
            pDoc ? pDoc->claAudio.GetSampleRate() : 44100, pDoc && pDoc->HasValidSelection(), this);
        if (LModalRunner::Exec(box) != QDialog::Accepted)
            return false;
        box.Take(values);
        return true;
    }
    LOVValuesDialog box(strTitle, values, pDoc && pDoc->claAudio.GetChannels() == 2,
        pDoc && pDoc->HasValidSelection(), this);
    if (LModalRunner::Exec(box) != QDialog::Accepted)
        return false;
    box.Take(values);
    return true;
}

void LMDIMainWindow::ShowSpectrum(int32_t iRate, const LSpectrumValues& values)
{
    LOVFFTDlg box(iRate, values, this);
    LModalRunner::Exec(box);
}

bool LMDIMainWindow::AskFileProperties(LHeaderlessSettings& settings)
{
    // The headerless formats' properties; they are settings of their own.
    static const LValueForm form = [] {
        LValueField format { "VoxRawFileFormat", "Format:", 0, LHeaderlessFormat::kCount - 1, 0 };
        format.eKind = LValueField::Combo;
        for (int i = 0; i < LHeaderlessFormat::kCount; ++i)
            format.choices.emplace_back(LHeaderlessFormat::GetName(i), i);
        LValueField rate { "VoxRawSampleRate", "Sample Rate:", 6000, 96000, 8000, "Hz",
            kRateMessage, "Error", LValueField::Rate };
        LValueField channels { "VoxRawFileChannels", "Channels:", 1, 2, 1, "", nullptr, "",
            LValueField::Combo, { { "1 - Mono", 1 }, { "2 - Stereo", 2 } } };
        for (LValueField* p : { &format, &rate, &channels })
            p->bStored = false;
        return LValueForm { format, rate, channels };
    }();
    LDialogValues values;
    values.pForm = &form;
    values.Set("VoxRawFileFormat", settings.iFormat);
    values.Set("VoxRawSampleRate", settings.iRate);
    values.Set("VoxRawFileChannels", settings.iChannels);
    for (;;) {
        if (!AskDialog("File Properties", values))
            return false;
        LValueCheck check = LStoredValues::Check(form, values);
        if (check.IsValid())
            break;
        ShowMessage(check.strText, check.strTitle, Icon::Stop);
    }
    LStoredValues::Clamp(form, values);
    settings.iFormat = values.Get("VoxRawFileFormat");
    settings.iRate = values.Get("VoxRawSampleRate");
    settings.iChannels = values.Get("VoxRawFileChannels");
    return true;
}

bool LMDIMainWindow::ChooseWaveFormat(
    LWaveFormat& format, int iChannels, const std::string& strTitle)
{
    for (;;) {
        LAcmFormatChooser box(format, iChannels, QString::fromStdString(strTitle), this);
        if (LModalRunner::Exec(box) != QDialog::Accepted)
            return false;
        LWaveFormat chosen = box.GetFormat();
        if (LWaveFileFormat::TestSupportedRecord(chosen)) {
            format = chosen;
            return true;
        }
        ShowMessage("The requested format is not available because the required CODEC is not "
                    "installed on this "
                    "computer.",
            "Format Not Available", Icon::Stop);
    }
}

bool LMDIMainWindow::AskMp3Settings(LMp3EncoderSettings& settings)
{
    LMp3EncodeDlg box(settings, this);
    if (LModalRunner::Exec(box) != QDialog::Accepted)
        return false;
    settings = box.GetSettings();
    return true;
}
