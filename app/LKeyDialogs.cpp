#include "app/LKeyDialogs.h"

#include "app/LModalRunner.h"
#include "app/LQtVirtualKeys.h"
#include "engine/LCommandTable.h"
#include "features/LVirtualKeys.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

// ---- Press Key -------------------------------------------------------------------

LKeyChangeDlg::LKeyChangeDlg(QWidget* pParent)
    : QDialog(pParent)
{
    setWindowTitle("Press Key");
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(new QLabel("Press key or key combination."));
    auto* pCancel = new QPushButton("Cancel");
    pCancel->setFocusPolicy(Qt::NoFocus); // keys go to the dialog, not the button
    pLayout->addWidget(pCancel, 0, Qt::AlignRight);
    connect(pCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool LKeyChangeDlg::Ask(QWidget* pParent, uint32_t& uKey)
{
    LKeyChangeDlg dlg(pParent);
    if (LModalRunner::Exec(dlg) != QDialog::Accepted || !dlg.GetKey())
        return false;
    uKey = dlg.GetKey();
    return true;
}

bool LKeyChangeDlg::event(QEvent* pEvent)
{
    // Every key, Tab and the shortcuts included, is taken here first.
    if (pEvent->type() == QEvent::ShortcutOverride) {
        pEvent->accept();
        return true;
    }
    if (pEvent->type() != QEvent::KeyPress)
        return QDialog::event(pEvent);
    const auto& key = static_cast<const QKeyEvent&>(*pEvent);
    switch (key.key()) {
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        break;
    }
    if (const uint32_t u = LQtVirtualKeys::FromEvent(key)) {
        uKey = u;
        accept();
    }
    return true;
}

// ---- the command list ------------------------------------------------------------

AddKeysCommandDlg::AddKeysCommandDlg(
    const QString& strText, const LCommandTable& table, QWidget* pParent)
    : QDialog(pParent)
    , pList(new QListWidget)
{
    setWindowTitle("Add Command");
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(new QLabel(strText));
    pList->setObjectName("commands");
    pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const LCommand* p : table.MacroCommands()) {
        pList->addItem(p->szName);
        vecIds.push_back(uint32_t(p->iId));
    }
    pLayout->addWidget(pList);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    pLayout->addWidget(pButtons);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pList, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

std::vector<uint32_t> AddKeysCommandDlg::GetChosen() const
{
    std::vector<uint32_t> ids;
    for (int i = 0; i < pList->count(); ++i)
        if (pList->item(i)->isSelected())
            ids.push_back(vecIds[size_t(i)]);
    return ids;
}

// ---- one macro -------------------------------------------------------------------

SelectKeysMacroDlg::SelectKeysMacroDlg(
    const LOVMacroKeys& macro, const LCommandTable& table, QWidget* pParent)
    : QDialog(pParent)
    , edited(macro)
    , table(table)
    , pKeyName(new QLabel)
    , pList(new QListWidget)
{
    setWindowTitle("Select Keys/Macros");
    auto* pLayout = new QVBoxLayout(this);
    auto* pKeyRow = new QHBoxLayout;
    pKeyName->setObjectName("101");
    pKeyName->setFrameShape(QFrame::StyledPanel);
    pKeyRow->addWidget(pKeyName, 1);
    auto* pChange = new QPushButton("Change");
    pChange->setObjectName("102");
    pKeyRow->addWidget(pChange);
    pLayout->addLayout(pKeyRow);
    pList->setObjectName("103");
    pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    pLayout->addWidget(pList);
    auto* pListButtons = new QHBoxLayout;
    auto* pAdd = new QPushButton("Add");
    pAdd->setObjectName("104");
    auto* pRemove = new QPushButton("Remove");
    pRemove->setObjectName("105");
    pListButtons->addWidget(pAdd);
    pListButtons->addWidget(pRemove);
    pListButtons->addStretch();
    pLayout->addLayout(pListButtons);
    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    pLayout->addWidget(pButtons);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pChange, &QPushButton::clicked, this, &SelectKeysMacroDlg::CmChange);
    connect(pAdd, &QPushButton::clicked, this, &SelectKeysMacroDlg::CmAdd);
    connect(pRemove, &QPushButton::clicked, this, &SelectKeysMacroDlg::CmRemove);
    Refresh();
}

void SelectKeysMacroDlg::Refresh()
{
    pKeyName->setText(QString::fromStdString(LVirtualKeys::KeyName(edited.uKey)));
    pList->clear();
    for (const LOVCommand& c : edited.commands)
        pList->addItem(QString::fromStdString(LKeyMacros::CommandName(table, c.uId)));
}

void SelectKeysMacroDlg::CmChange()
{
    if (LKeyChangeDlg::Ask(this, edited.uKey))
        Refresh();
}

void SelectKeysMacroDlg::CmAdd()
{
    AddKeysCommandDlg dlg("Select command(s) to add to the Macro.", table, this);
    if (LModalRunner::Exec(dlg) != QDialog::Accepted)
        return;
    // The count is one byte in the file: a macro stops at its limit.
    for (uint32_t u : dlg.GetChosen())
        if (edited.commands.size() < LKeyMacros::kMaxCommands)
            edited.commands.push_back({ u });
    Refresh();
}

void SelectKeysMacroDlg::CmRemove()
{
    for (int i = pList->count() - 1; i >= 0; --i)
        if (pList->item(i)->isSelected())
            edited.commands.erase(edited.commands.begin() + i);
    Refresh();
}
