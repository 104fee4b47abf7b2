#include "app/LBatchWizard.h"
#include "app/LModalRunner.h"
#include "engine/LFileFormats.h"

#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// Page 1: the files, in the order they run.
class LSelectBatchFileDlg : public QWizardPage {
public:
    explicit LSelectBatchFileDlg(LBatchWizard& w)
        : wizard(w)
    {
        setTitle("Batch Converter - Step 1: Select Files");
        pList->setObjectName("Files");
        pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
        auto* pButtons = new QHBoxLayout;
        QPushButton* pAdd = LBatchWizard::Button("Add", pButtons);
        QPushButton* pRemove = LBatchWizard::Button("Remove", pButtons);
        pButtons->addStretch();
        auto* pLayout = new QVBoxLayout(this);
        pLayout->addWidget(pList);
        pLayout->addLayout(pButtons);
        pRemove->setEnabled(false);
        connect(pList, &QListWidget::itemSelectionChanged, this,
            [this, pRemove] { pRemove->setEnabled(!pList->selectedItems().isEmpty()); });
        connect(pAdd, &QPushButton::clicked, this, [this] { Add(); });
        connect(pRemove, &QPushButton::clicked, this, [this] {
            qDeleteAll(pList->selectedItems());
            emit completeChanged();
        });
    }
    bool isComplete() const override { return pList->count() > 0; }
    bool validatePage() override
    {
        wizard.data.files.clear();
        for (int i = 0; i < pList->count(); ++i)
            wizard.data.files.push_back({ pList->item(i)->text().toStdString() });
        return !wizard.data.files.empty();
    }

private:
    void Add()
    {
        QFileDialog box(this, "Select Audio Files");
        box.setFileMode(QFileDialog::ExistingFiles);
        QStringList filters;
        for (const std::string& s : LFileFormats::OpenFilters())
            filters << QString::fromStdString(s);
        box.setNameFilters(filters << "All Files (*)");
        if (LModalRunner::Exec(box) != QDialog::Accepted)
            return;
        pList->addItems(box.selectedFiles());
        emit completeChanged();
    }

    LBatchWizard& wizard;
    QListWidget* pList = new QListWidget;
};

} // namespace

QWizardPage* LBatchWizard::MakeLSelectBatchFileDlg(LBatchWizard& wizard)
{
    return new LSelectBatchFileDlg(wizard);
}
