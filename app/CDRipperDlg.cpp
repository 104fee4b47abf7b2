#include "app/CDRipperDlg.h"

#include "app/LHelp.h"
#include "app/LModalRunner.h"
#include "cd/LCDROMRipper.h"
#include "cd/LCDTOC.h"
#include "engine/MainDialog.h"
#include "platform/LFile.h"
#include "platform/LFolders.h"
#include "platform/LSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>

namespace {
const char* const kVerifySection = "StoredValues";
const char* const kVerifyKey = "CDVerify";

QString ChecksumText(const std::vector<CDTrackItem>& items)
{
    QString str = "AccurateRip checksums (offset-free), to compare with the database:\n";
    char sz[96];
    for (const CDTrackItem& t : items) {
        std::snprintf(sz, sizeof(sz), "\nTrack %d:  v1 %08x   v2 %08x", t.iTrack, t.uAccurateRipV1,
            t.uAccurateRipV2);
        str += sz;
    }
    return str;
}
} // namespace

CDRipperDlg::CDRipperDlg(QWidget* pParent)
    : QDialog(pParent)
{
    setWindowTitle("Load Audio CD Track(s)");
    setObjectName("CDRipperDlg");
    auto* pLayout = new QVBoxLayout(this);
    auto* pDriveLabel = new QLabel("CD-ROM &Drive");
    pDrives = new QComboBox;
    pDrives->setObjectName("101");
    pDriveLabel->setBuddy(pDrives);
    auto* pTrackLabel = new QLabel("Select &Track(s)");
    pTracks = new QTreeWidget;
    pTracks->setObjectName("102");
    pTracks->setHeaderLabels({ "Track", "Duration" });
    pTracks->setRootIsDecorated(false);
    pTracks->setSelectionMode(QAbstractItemView::ExtendedSelection);
    pTrackLabel->setBuddy(pTracks);
    pVerify = new QCheckBox("&Verify (read every part twice)");
    pVerify->setObjectName("Verify");
    pVerify->setChecked(LSettings::Get().GetBool(kVerifySection, kVerifyKey, false));
    auto* pButtons = new QDialogButtonBox;
    QPushButton* pLoad = pButtons->addButton("Load", QDialogButtonBox::AcceptRole);
    pLoad->setDefault(true);
    pButtons->addButton("Cancel", QDialogButtonBox::RejectRole);
    QPushButton* pRefresh = pButtons->addButton("Refresh", QDialogButtonBox::ActionRole);
    pRefresh->setObjectName("103");
    QPushButton* pHelp = pButtons->addButton("Help", QDialogButtonBox::HelpRole);
    for (QWidget* p : std::initializer_list<QWidget*> {
             pDriveLabel, pDrives, pTrackLabel, pTracks, pVerify, pButtons })
        pLayout->addWidget(p);
    connect(pDrives, &QComboBox::currentIndexChanged, this, [this] { CDDriveChanged(); });
    connect(pTracks, &QTreeWidget::itemDoubleClicked, this, [this] { CmOk(); });
    connect(pButtons, &QDialogButtonBox::accepted, this, [this] { CmOk(); });
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(pRefresh, &QPushButton::clicked, this, [this] { UpdateDrive(); });
    connect(pHelp, &QPushButton::clicked, this, [this] { CmHelp(); });
    resize(360, 400);
}

bool CDRipperDlg::UpdateDrive()
{
    pDrives->blockSignals(true);
    pDrives->clear();
    Process<LCDROMInfo> run("Load CD Drives", info);
    run.Run(this);
    for (int n = 1; n <= info.uDriveCount; ++n)
        pDrives->addItem(QString("CD-ROM %1").arg(n));
    pDrives->blockSignals(false);
    if (info.uDriveCount == 0) {
        pTracks->clear();
        Tell("Error",
            "No CD-ROM drives have been detected. If you do have a CD-ROM drive installed but "
            "see this message please read the Help topic relating to Loading CD Tracks.");
        reject();
        return false;
    }
    pDrives->setCurrentIndex(0);
    CDDriveChanged();
    return true;
}

void CDRipperDlg::CDDriveChanged()
{
    pTracks->clear();
    const int iDrive = pDrives->currentIndex();
    if (iDrive < 0 || iDrive >= info.uDriveCount)
        return;
    const LCDROMInfo::Disc& disc = info.aDrives[size_t(iDrive)];
    for (int i = 0; i < disc.uTrackCount; ++i) {
        QString strDuration
            = QString::fromStdString(LCDTOC::FormatDuration(disc.durations[size_t(i)]));
        if (disc.data[size_t(i)])
            strDuration += " (data)";
        new QTreeWidgetItem(pTracks, { QString("Track %1").arg(i + 1), strDuration });
    }
}

void CDRipperDlg::CmOk()
{
    const int iDrive = pDrives->currentIndex();
    LSettings::Get().SetBool(kVerifySection, kVerifyKey, pVerify->isChecked());
    if (iDrive < 0 || iDrive >= LCDROMINFO_MAXDRIVES || pTracks->topLevelItemCount() == 0) {
        accept();
        return;
    }
    for (int i = 0; i < pTracks->topLevelItemCount(); ++i) {
        QTreeWidgetItem* pRow = pTracks->topLevelItem(i);
        if (!pRow->isSelected())
            continue;
        std::string strPath = LFolders::GetCurrentFolder();
        LFile::FilePathCat(strPath, pRow->text(0).toStdString(), ".wav");
        LCDROMRipper rip { uint8_t(iDrive), uint8_t(i), strPath, pVerify->isChecked() };
        Process<LCDROMRipper> run("Import CD Track(s)", rip);
        run.Run(this);
        if (run.GetResult() != 0) {
            if (run.GetResult() == 2)
                Tell("Error", QString::fromStdString(rip.strError));
            return;
        }
        // Ripped: a second Load does not read it again.
        pRow->setSelected(false);
        items.push_back({ strPath, i + 1, rip.uAccurateRipV1, rip.uAccurateRipV2 });
    }
    accept();
}

void CDRipperDlg::CmHelp()
{
    QString strMessage;
    if (!LHelp::Open("cd", strMessage))
        Tell("Orvenna", strMessage);
}

void CDRipperDlg::Tell(const QString& strCaption, const QString& strText)
{
    QMessageBox box(strCaption == "Error" ? QMessageBox::Critical : QMessageBox::Information,
        strCaption, strText, QMessageBox::Ok, this);
    LModalRunner::Exec(box);
}

LCommand CDRipperDlg::Command(QWidget* pParent, MainDialog& main)
{
    return { CM_CDIMPORT, "Load Audio CD Track(s)", "&Load Audio CD Track(s)...\tCtrl+L", "Ctrl+L",
        "Load audio track(s) from CDs.", kCmdStopsPlayback, nullptr, 0, [pParent, &main] {
            CDRipperDlg dlg(pParent);
            if (!dlg.UpdateDrive())
                return;
            LModalRunner::Exec(dlg);
            // Tracks ripped before a failure or Cancel are opened too.
            for (const CDTrackItem& t : dlg.GetTracks()) {
                main.LoadFile(t.strPath, true, false);
                LFile::Delete(t.strPath);
            }
            if (!dlg.GetTracks().empty())
                dlg.Tell("Import CD Track(s)", ChecksumText(dlg.GetTracks()));
        } };
}
