#include "app/LBatchWizard.h"
#include "app/LModalRunner.h"
#include "app/LOVCurveDialog.h"
#include "app/LOVValuesDialog.h"
#include "effects/LStoredValues.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

namespace {
const char* const kScriptFilter = "Batch Script File (*.ovb)";

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
        connect(LBatchWizard::Button("New", pFileButtons), &QPushButton::clicked, this,
            [this] { New(); });
        connect(LBatchWizard::Button("Open", pFileButtons), &QPushButton::clicked, this,
            [this] { Open(); });
        connect(LBatchWizard::Button("Save As", pFileButtons), &QPushButton::clicked, this,
            [this] { SaveAs(); });
        auto* pButtons = new QHBoxLayout;
        QPushButton* pAdd = LBatchWizard::Button("Add", pButtons);
        pRemove = LBatchWizard::Button("Remove", pButtons);
        pSettings = LBatchWizard::Button("Settings", pButtons);
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
        const int i = LBatchWizard::Ask(this, "Do you want to save the command list?");
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
            LBatchWizard::Tell(
                this, QMessageBox::Critical, "File Error", QString::fromStdString(strError));
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
            LBatchWizard::Tell(
                this, QMessageBox::Information, "File Error", QString::fromStdString(strError));
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
        if (c && c->szCurveFile) {
            CurveSettings(*c, item, rows.front());
            return;
        }
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
            LBatchWizard::Tell(this, QMessageBox::Warning, QString::fromStdString(check.strTitle),
                QString::fromStdString(check.strText));
        }
        if (pEffect)
            LStoredValues::Clamp(pEffect->form, values);
        std::string strError;
        LBatchCommands::MakeData(*c, values.GetItems(), item, strError);
        wizard.bModified = true;
        Refill(rows.front());
    }

    // The effect's curve editor on the command's curve, kept in its data.
    void CurveSettings(const LBatchCommand& c, CommandDataItem& item, int iRow)
    {
        const LEffect* pEffect = LBatchCommands::FindEffect(c);
        LDialogValues values;
        values.eCurve = pEffect ? pEffect->eCurve : LDialogValues::kFrequencyCurve;
        values.curve = LBatchCommands::Curve(item);
        LOVCurveDialog dlg(c.szName, values, 0, 44100, false, this);
        if (LModalRunner::Exec(dlg) != QDialog::Accepted)
            return;
        dlg.Take(values);
        LBatchCommands::MakeCurveData(c, values.curve, item);
        wizard.bModified = true;
        Refill(iRow);
    }

    LBatchWizard& wizard;
    LCommandList* pList = new LCommandList;
    QLabel* pName = new QLabel;
    QPushButton* pRemove = nullptr;
    QPushButton* pSettings = nullptr;
};

} // namespace

QWizardPage* LBatchWizard::MakeLSelectBatchCommandDlg(LBatchWizard& wizard)
{
    return new LSelectBatchCommandDlg(wizard);
}
