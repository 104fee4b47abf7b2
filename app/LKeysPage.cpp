#include "app/LKeysPage.h"

#include "app/LKeyDialogs.h"
#include "app/LModalRunner.h"
#include "features/LVirtualKeys.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
int Ask(QWidget* pParent, const QString& strCaption, const QString& strText)
{
    QMessageBox box(QMessageBox::Question, strCaption, strText,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, pParent);
    return LModalRunner::Exec(box);
}
} // namespace

LKeysPage::LKeysPage(LKeyMacros& macros, const LCommandTable& table, QWidget* pParent)
    : QWidget(pParent)
    , macros(macros)
    , table(table)
    , pList(new QTreeWidget)
{
    auto* pLayout = new QVBoxLayout(this);
    pList->setObjectName("101");
    pList->setHeaderLabels({ "Keys", "Macros" });
    pList->setRootIsDecorated(false);
    pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    pList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    pList->setToolTip("User Assigned Keys / Macros");
    pLayout->addWidget(pList);
    auto* pButtons = new QHBoxLayout;
    const struct {
        const char* szText;
        const char* szName;
        void (LKeysPage::*fn)();
    } buttons[] = { { "Add", "102", &LKeysPage::CmAdd }, { "Remove", "103", &LKeysPage::CmRemove },
        { "Change", "104", &LKeysPage::CmChange } };
    for (const auto& b : buttons) {
        auto* pButton = new QPushButton(b.szText);
        pButton->setObjectName(b.szName);
        connect(pButton, &QPushButton::clicked, this, b.fn);
        pButtons->addWidget(pButton);
    }
    pButtons->addStretch();
    pLayout->addLayout(pButtons);
    Refresh();
}

void LKeysPage::Refresh()
{
    pList->clear();
    for (const LOVMacroKeys& m : macros.Keys())
        pList->addTopLevelItem(
            new QTreeWidgetItem({ QString::fromStdString(LVirtualKeys::KeyName(m.uKey)),
                QString::fromStdString(LKeyMacros::Describe(table, m)) }));
}

std::vector<int> LKeysPage::SelectedRows() const
{
    std::vector<int> rows;
    for (int i = 0; i < pList->topLevelItemCount(); ++i)
        if (pList->topLevelItem(i)->isSelected())
            rows.push_back(i);
    return rows;
}

bool LKeysPage::Place(const LOVMacroKeys& macro, int iAt)
{
    auto& keys = macros.Keys();
    auto itOther = std::find_if(keys.begin(), keys.end(), [&](const LOVMacroKeys& m) {
        return m.uKey == macro.uKey && (iAt < 0 || &m != &keys[size_t(iAt)]);
    });
    if (itOther != keys.end()) {
        // Two macros on one key would leave the second one unreachable.
        const QString strText = QString::fromStdString(LVirtualKeys::KeyName(macro.uKey))
            + " already runs a macro. Replace it?";
        if (Ask(this, "Key in Use", strText) != QMessageBox::Yes)
            return false;
        const int iOther = int(itOther - keys.begin());
        keys.erase(itOther);
        if (iAt > iOther)
            --iAt;
    }
    if (iAt < 0)
        keys.push_back(macro);
    else
        keys[size_t(iAt)] = macro;
    return true;
}

void LKeysPage::CmAdd()
{
    LOVMacroKeys macro;
    if (!LKeyChangeDlg::Ask(this, macro.uKey))
        return;
    SelectKeysMacroDlg dlg(macro, table, this);
    if (LModalRunner::Exec(dlg) == QDialog::Accepted && Place(dlg.Take(), -1))
        Refresh();
}

void LKeysPage::CmRemove()
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty() || Ask(this, "Confirm Remove", "Remove selected key(s)?") != QMessageBox::Yes)
        return;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        macros.Keys().erase(macros.Keys().begin() + *it);
    Refresh();
}

void LKeysPage::CmChange()
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return;
    SelectKeysMacroDlg dlg(macros.Keys()[size_t(rows.front())], table, this);
    if (LModalRunner::Exec(dlg) == QDialog::Accepted && Place(dlg.Take(), rows.front()))
        Refresh();
}
