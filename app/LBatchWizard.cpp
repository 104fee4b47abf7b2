#include "app/LBatchWizard.h"

#include "app/LModalRunner.h"

#include <QLayout>
#include <QMessageBox>
#include <QPushButton>

namespace {
const char* const kProgram = "Orvenna";
} // namespace

int LBatchWizard::Ask(QWidget* pParent, const QString& strText)
{
    QMessageBox box(QMessageBox::Question, kProgram, strText,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, pParent);
    return LModalRunner::Exec(box);
}

void LBatchWizard::Tell(
    QWidget* pParent, QMessageBox::Icon icon, const QString& strCaption, const QString& strText)
{
    QMessageBox box(icon, strCaption, strText, QMessageBox::Ok, pParent);
    LModalRunner::Exec(box);
}

QPushButton* LBatchWizard::Button(const char* szText, QLayout* pLayout)
{
    auto* p = new QPushButton(szText);
    pLayout->addWidget(p);
    return p;
}

LBatchWizard::LBatchWizard(QWidget* pParent, LFilePrompts& answers)
    : QWizard(pParent)
    , prompts(answers)
{
    setWindowTitle("Batch Converter");
    setObjectName("BatchConverter");
    setOption(QWizard::NoBackButtonOnStartPage);
    addPage(MakeLSelectBatchFileDlg(*this));
    addPage(MakeLSelectBatchCommandDlg(*this));
    addPage(MakeLSelectSaveFormatDlg(*this));
}

LCommand LBatchWizard::Command(QWidget* pParent, LFilePrompts& prompts)
{
    return { CM_BATCH, "Batch Converter", "Batch Converter...", nullptr,
        "Applies multiple effect or edit functions on the current file at once.", kCmdStopsPlayback,
        nullptr, 0, [pParent, &prompts] {
            LBatchWizard wizard(pParent, prompts);
            LModalRunner::Exec(wizard);
        } };
}
