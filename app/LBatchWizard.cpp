#include "app/LBatchWizard.h"

#include "app/LModalRunner.h"
#include "app/LOVValuesDialog.h"
#include "effects/LStoredValues.h"
#include "engine/LFileFormats.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

namespace {
const char* const kProgram = "Orvenna";
const char* const kScriptFilter = "Batch Script File (*.ovb)";

int Ask(QWidget* pParent, const QString& strText)
{
    QMessageBox box(QMessageBox::Question, kProgram, strText,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, pParent);
    return LModalRunner::Exec(box);
}

void Tell(
    QWidget* pParent, QMessageBox::Icon icon, const QString& strCaption, const QString& strText)
{
    QMessageBox box(icon, strCaption, strText, QMessageBox::Ok, pParent);
    LModalRunner::Exec(box);
}

QPushButton* Button(const char* szText, QLayout* pLayout)
{
    auto* p = new QPushButton(szText);
    pLayout->addWidget(p);
    return p;
}

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
        QPushButton* pAdd = Button("Add", pButtons);
        QPushButton* pRemove = Button("Remove", pButtons);
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

// The command list; a drop moves the dragged row and tells the page.
class LCommandList : public QTreeWidget {
public:
    std::function<void()> onMoved;

protected:
    void dropEvent(QDropEvent* pEvent) override
    {
        QTreeWidget::dropEvent(pEvent);
        if (onMoved)
            onMoved();
    }
};

// Page 2: the commands, kept as a batch script.
class LSelectBatchCommandDlg : public QWizardPage {
public:
    explicit LSelectBatchCommandDlg(LBatchWizard& w)
        : wizard(w)
    {
        setTitle("Batch Converter - Step 2: Select Commands");
        pList->setObjectName("Commands");
        pList->setHeaderLabels({ "Command", "Settings" });
        pList->setRootIsDecorated(false);
        pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
        pList->setDragDropMode(QAbstractItemView::InternalMove);
        pList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        pList->onMoved = [this] { Moved(); };
        auto* pFileButtons = new QHBoxLayout;
        pFileButtons->addWidget(pName, 1);
        connect(Button("New", pFileButtons), &QPushButton::clicked, this, [this] { New(); });
        connect(Button("Open", pFileButtons), &QPushButton::clicked, this, [this] { Open(); });
        connect(Button("Save As", pFileButtons), &QPushButton::clicked, this, [this] { SaveAs(); });
        auto* pButtons = new QHBoxLayout;
        QPushButton* pAdd = Button("Add", pButtons);
        pRemove = Button("Remove", pButtons);
        pSettings = Button("Settings", pButtons);
        pButtons->addStretch();
        auto* pLayout = new QVBoxLayout(this);
        pLayout->addLayout(pFileButtons);
        pLayout->addWidget(pList);
        pLayout->addLayout(pButtons);
        connect(pAdd, &QPushButton::clicked, this, [this] { Add(); });
        connect(pRemove, &QPushButton::clicked, this, [this] { Remove(); });
        connect(pSettings, &QPushButton::clicked, this, [this] { Settings(); });
        connect(pList, &QTreeWidget::itemSelectionChanged, this, [this] { Enable(); });
        pList->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(pList, &QWidget::customContextMenuRequested, this, [this](const QPoint& pt) {
            QMenu menu;
            menu.addAction("Add", this, [this] { Add(); });
            menu.addAction("Remove", this, [this] { Remove(); })->setEnabled(pRemove->isEnabled());
            menu.addAction("Settings", this, [this] { Settings(); })
                ->setEnabled(pSettings->isEnabled());
            menu.exec(pList->viewport()->mapToGlobal(pt));
        });
        Refill(-1);
    }

private:
    std::vector<CommandDataItem>& Commands() { return wizard.data.commands; }

    void Refill(int iSelect)
    {
        pList->clear();
        for (size_t i = 0; i < Commands().size(); ++i) {
            const LBatchCommand* c = LBatchCommands::Find(Commands()[i].uCommandId);
            auto* pItem = new QTreeWidgetItem(pList,
                { c ? c->szName : "?",
                    QString::fromStdString(LBatchCommands::Describe(Commands()[i])) });
            pItem->setData(0, Qt::UserRole, int(i));
            pItem->setFlags(pItem->flags() & ~Qt::ItemIsDropEnabled);
            pItem->setSelected(int(i) == iSelect);
        }
        const std::string strPath = wizard.strScriptPath;
        pName->setText(strPath.empty()
                ? "Untitled.ovb"
                : QString::fromStdString(std::filesystem::path(strPath).filename().string()));
        Enable();
    }
    void Enable()
    {
        const bool bRow = !pList->selectedItems().isEmpty();
        pRemove->setEnabled(bRow);
        pSettings->setEnabled(bRow);
    }
    void Moved()
    {
        std::vector<CommandDataItem> moved;
        for (int i = 0; i < pList->topLevelItemCount(); ++i)
            moved.push_back(
                Commands()[size_t(pList->topLevelItem(i)->data(0, Qt::UserRole).toInt())]);
        const int iSelect
            = pList->currentItem() ? pList->indexOfTopLevelItem(pList->currentItem()) : -1;
        Commands() = std::move(moved);
        wizard.bModified = true;
        Refill(iSelect);
    }
    // The save question before the list goes; false when cancelled.
    bool KeepOrSave()
    {
        const bool bAsk = wizard.strScriptPath.empty() ? !Commands().empty() : wizard.bModified;
        if (!bAsk)
            return true;
        const int i = Ask(this, "Do you want to save the command list?");
        return i == QMessageBox::No || (i == QMessageBox::Yes && SaveAs());
    }
    void New()
    {
        if (!KeepOrSave())
            return;
        Commands().clear();
        wizard.strScriptPath.clear();
        wizard.bModified = false;
        Refill(-1);
    }
    void Open()
    {
        if (!KeepOrSave())
            return;
        QFileDialog box(this, "Open Batch Script File");
        box.setNameFilter(kScriptFilter);
        box.setFileMode(QFileDialog::ExistingFile);
        if (LModalRunner::Exec(box) != QDialog::Accepted || box.selectedFiles().isEmpty())
            return;
        const std::string strPath = box.selectedFiles().front().toStdString();
        std::string strError;
        Commands().clear();
        wizard.bModified = false;
        if (ReadBatchScript(strPath, Commands(), strError) != 0) {
            Tell(this, QMessageBox::Critical, "File Error", QString::fromStdString(strError));
            Commands().clear();
            wizard.strScriptPath.clear();
        } else {
            wizard.strScriptPath = strPath;
        }
        Refill(-1);
    }
    bool SaveAs()
    {
        QFileDialog box(this, "Locate Batch Script File");
        box.setNameFilter(kScriptFilter);
        box.setAcceptMode(QFileDialog::AcceptSave);
        box.setDefaultSuffix("ovb");
        if (LModalRunner::Exec(box) != QDialog::Accepted || box.selectedFiles().isEmpty())
            return false;
        const std::string strPath = box.selectedFiles().front().toStdString();
        std::string strError;
        if (!WriteBatchScript(strPath, Commands(), strError)) {
            Tell(this, QMessageBox::Information, "File Error", QString::fromStdString(strError));
            return false;
        }
        wizard.strScriptPath = strPath;
        wizard.bModified = false;
        Refill(-1);
        return true;
    }
    void Add()
    {
        QDialog dlg(this);
        dlg.setWindowTitle("Add Command");
        auto* pNames = new QListWidget;
        pNames->setObjectName("AddBatchCommandDlg");
        pNames->setSelectionMode(QAbstractItemView::ExtendedSelection);
        for (const LBatchCommand& c : LBatchCommands::All())
            pNames->addItem(c.szName);
        auto* pBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        auto* pLayout = new QVBoxLayout(&dlg);
        pLayout->addWidget(new QLabel("Select command(s) to add to the Command list."));
        pLayout->addWidget(pNames);
        pLayout->addWidget(pBox);
        connect(pBox, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        connect(pBox, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
        connect(pNames, &QListWidget::itemDoubleClicked, &dlg, &QDialog::accept);
        if (LModalRunner::Exec(dlg) != QDialog::Accepted)
            return;
        for (int i = 0; i < pNames->count(); ++i)
            if (pNames->item(i)->isSelected())
                Commands().push_back({ uint32_t(i), {} });
        wizard.bModified = true;
        Refill(-1);
    }
    std::vector<int> Selected() const
    {
        std::vector<int> rows;
        for (int i = 0; i < pList->topLevelItemCount(); ++i)
            if (pList->topLevelItem(i)->isSelected())
                rows.push_back(i);
        return rows;
    }
    void Remove()
    {
        const std::vector<int> rows = Selected();
        for (auto it = rows.rbegin(); it != rows.rend(); ++it)
            Commands().erase(Commands().begin() + *it);
        wizard.bModified = true;
        Refill(-1);
    }
    // The effect's own dialog on the command's values; the stored settings
    // are not changed.
    void Settings()
    {
        const std::vector<int> rows = Selected();
        if (rows.empty())
            return;
        CommandDataItem& item = Commands()[size_t(rows.front())];
        const LBatchCommand* c = LBatchCommands::Find(item.uCommandId);
        if (!c || c->params.empty())
            return;
        const LEffect* pEffect = LBatchCommands::FindEffect(*c);
        LDialogValues values;
        for (const auto& [strKey, iValue] : LBatchCommands::Values(item))
            values.Set(strKey, iValue);
        values.pForm = pEffect ? &pEffect->form : nullptr;
        for (;;) {
            LOVValuesDialog dlg(c->szName, values, true, true, this);
            if (LModalRunner::Exec(dlg) != QDialog::Accepted)
                return;
            dlg.Take(values);
            const LValueCheck check
                = pEffect ? LStoredValues::Check(pEffect->form, values) : LValueCheck {};
            if (check.strText.empty())
                break;
            Tell(this, QMessageBox::Warning, QString::fromStdString(check.strTitle),
                QString::fromStdString(check.strText));
        }
        if (pEffect)
            LStoredValues::Clamp(pEffect->form, values);
        std::string strError;
        LBatchCommands::MakeData(*c, values.GetItems(), item, strError);
        wizard.bModified = true;
        Refill(rows.front());
    }

    LBatchWizard& wizard;
    LCommandList* pList = new LCommandList;
    QLabel* pName = new QLabel;
    QPushButton* pRemove = nullptr;
    QPushButton* pSettings = nullptr;
};

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
        auto* pGrid = new QGridLayout(this);
        pGrid->addWidget(pSameFormat, 0, 0, 1, 3);
        pGrid->addWidget(pConvert, 1, 0);
        pGrid->addWidget(pFormat, 1, 1);
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
        if (!o.bSameFolder && o.strFolder.empty()) {
            Tell(this, QMessageBox::Warning, kProgram,
                "Invalid output folder. Please select a folder to save to.");
            return false;
        }
        std::error_code ec;
        if (!o.bSameFolder && !std::filesystem::is_directory(o.strFolder, ec)) {
            if (Ask(this,
                    QString("The folder  \"%1\" does not exist. Do you want to create it now?")
                        .arg(pFolder->text()))
                != QMessageBox::Yes)
                return false;
            if (!std::filesystem::create_directories(o.strFolder, ec)) {
                Tell(this, QMessageBox::Critical, "Error", "Unable to create folder.");
                return false;
            }
        }
        Process<OVBatchConverter> op("Batch Converter", wizard.data);
        op.Run(&wizard);
        ShowReport();
        return true;
    }

private:
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

LBatchWizard::LBatchWizard(QWidget* pParent)
    : QWizard(pParent)
{
    setWindowTitle("Batch Converter");
    setObjectName("BatchConverter");
    setOption(QWizard::NoBackButtonOnStartPage);
    addPage(new LSelectBatchFileDlg(*this));
    addPage(new LSelectBatchCommandDlg(*this));
    addPage(new LSelectSaveFormatDlg(*this));
}

LCommand LBatchWizard::Command(QWidget* pParent)
{
    return { CM_BATCH, "Batch Converter", "Batch Converter...", nullptr,
        "Applies multiple effect or edit functions on the current file at once.", kCmdStopsPlayback,
        nullptr, 0, [pParent] {
            LBatchWizard wizard(pParent);
            LModalRunner::Exec(wizard);
        } };
}
