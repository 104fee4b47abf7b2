#include "app/LQtProgressView.h"

#include "app/LModalRunner.h"
#include "app/LOVIcons.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <map>

namespace {
std::map<const void*, QPointer<QWidget>>& Owners()
{
    static std::map<const void*, QPointer<QWidget>> owners;
    return owners;
}
QPointer<QDialog>& Running()
{
    static QPointer<QDialog> p;
    return p;
}
std::unique_ptr<LProgressView> Make()
{
    return std::make_unique<LQtProgressView>();
}
} // namespace

LQtProgressView::LQtProgressView() = default;

LQtProgressView::~LQtProgressView()
{
    Close();
}

void LQtProgressView::Install()
{
    LProgressView::SetFactory(&Make);
}

void LQtProgressView::SetOwnerWindow(const void* pOwner, QWidget* pWindow)
{
    if (pWindow)
        Owners()[pOwner] = pWindow;
    else
        Owners().erase(pOwner);
}

QDialog* LQtProgressView::GetRunningDialog()
{
    return Running();
}

void LQtProgressView::Open(const std::string& strCaption, void* pOwner)
{
    auto it = Owners().find(pOwner);
    pOwnerWindow = it != Owners().end() ? it->second.data() : nullptr;
    // Not a child of the owner: disabling the owner would disable the dialog
    // and its Cancel button too.
    pDialog = new QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    pDialog->setWindowTitle(QString::fromStdString(strCaption));
    pDialog->setObjectName("LProgressDialog");

    auto* pIcon = new QLabel;
    pIcon->setPixmap(LOVIcons::Get(LOVIcons::Program).pixmap(32, 32));
    pIcon->setAlignment(Qt::AlignTop);
    auto* pText = new QVBoxLayout;
    for (int i = 0; i < 2; ++i) {
        apLines[i] = new QLabel;
        apLines[i]->setObjectName(QString::number(100 + i));
        apLines[i]->setMinimumWidth(260);
        pText->addWidget(apLines[i]);
    }
    pBar = new QProgressBar;
    pBar->setObjectName("102");
    pBar->setRange(0, 100);
    pBar->setValue(0);
    pBar->setTextVisible(false);
    pText->addWidget(pBar);

    auto* pTop = new QHBoxLayout;
    pTop->addWidget(pIcon);
    pTop->addLayout(pText, 1);
    auto* pCancel = new QPushButton(QObject::tr("Cancel"));
    pCancel->setObjectName("Cancel");
    QObject::connect(pCancel, &QPushButton::clicked, pDialog, &QDialog::reject);
    // Cancel and Esc: the operation sees it at its next check; the dialog
    // goes at once.
    QObject::connect(pDialog, &QDialog::rejected, [this]() { bCancelled = true; });
    auto* pBottom = new QHBoxLayout;
    pBottom->addWidget(new QLabel("Orvenna \xc2\xb7 Corvatch"));
    pBottom->addStretch(1);
    pBottom->addWidget(pCancel);
    auto* pLayout = new QVBoxLayout(pDialog);
    pLayout->addLayout(pTop);
    pLayout->addLayout(pBottom);

    if (pOwnerWindow) {
        bOwnerWasEnabled = pOwnerWindow->isEnabled();
        pOwnerWindow->setEnabled(false);
        pDialog->adjustSize();
        pDialog->move(pOwnerWindow->frameGeometry().center() - pDialog->rect().center());
    }
    pDialog->show();
    Running() = pDialog;
    QCoreApplication::processEvents();
}

void LQtProgressView::Close()
{
    if (!pDialog)
        return;
    delete pDialog;
    pDialog = nullptr;
    if (pOwnerWindow) {
        pOwnerWindow->setEnabled(bOwnerWasEnabled);
        pOwnerWindow->activateWindow();
        pOwnerWindow->setFocus();
        pOwnerWindow = nullptr;
    }
}

void LQtProgressView::SetText(const std::string& strText, int iLine)
{
    if (pDialog && !bCancelled && (iLine == 0 || iLine == 1))
        apLines[iLine]->setText(QString::fromStdString(strText));
}

void LQtProgressView::SetProgress(int iPercent)
{
    if (pDialog && !bCancelled)
        pBar->setValue(iPercent);
}

bool LQtProgressView::Pump()
{
    QCoreApplication::processEvents();
    return bCancelled;
}

void LQtProgressView::ShowError(const std::string& strText)
{
    QMessageBox box(QMessageBox::Warning, "Error", QString::fromStdString(strText), QMessageBox::Ok,
        bCancelled ? nullptr : pDialog);
    LModalRunner::Exec(box);
}
