// The frame's fixed controls: the toolbar, the time fields and the
// transport buttons.
#include "app/LMDIMainWindow.h"
#include "app/LDBDisplay.h"
#include "app/LDBEdit.h"
#include "app/LOVIcons.h"
#include "platform/LSettings.h"
#include "platform/sound/LMixer.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

void LMDIMainWindow::CreateToolbar()
{
    struct Button {
        int iId;
        const char* szText;
        QIcon icon;
    };
    QStyle* pStyle = style();
    const Button aButtons[] = {
        {CM_FILENEW, "New File", QIcon::fromTheme("document-new", pStyle->standardIcon(QStyle::SP_FileIcon))},
        {CM_FILEOPEN, "Open File",
         QIcon::fromTheme("document-open", pStyle->standardIcon(QStyle::SP_DialogOpenButton))},
        {CM_FILESAVE, "Save File",
         QIcon::fromTheme("document-save", pStyle->standardIcon(QStyle::SP_DialogSaveButton))},
        {CM_UNDO, "Undo", QIcon::fromTheme("edit-undo", pStyle->standardIcon(QStyle::SP_ArrowBack))},
        {CM_CUT, "Cut", LOVIcons::Themed("edit-cut", LOVIcons::Cut)},
        {CM_COPY, "Copy", LOVIcons::Themed("edit-copy", LOVIcons::Copy)},
        {CM_PASTE, "Paste", LOVIcons::Themed("edit-paste", LOVIcons::Paste)},
        {CM_DELETE, "Delete", LOVIcons::Themed("edit-delete", LOVIcons::Delete)},
    };
    pToolbar = addToolBar("Toolbar");
    pToolbar->setObjectName("Toolbar");
    pToolbar->setMovable(false);
    pToolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    pToolbar->setIconSize(QSize(24, 24));
    for (const Button& b : aButtons) {
        QAction* pAction = pToolbar->addAction(b.icon, b.szText);
        pAction->setToolTip(b.szText);
        const int iCommand = b.iId;
        connect(pAction, &QAction::triggered, this, [this, iCommand]() { EvCommand(iCommand); });
        mapToolbar[b.iId] = pAction;
        if (b.iId == CM_FILESAVE || b.iId == CM_UNDO)
            pToolbar->addSeparator();
    }
}

QWidget* LMDIMainWindow::CreateBottomPanel()
{
    auto* pPanel = new QWidget;
    auto* pGrid = new QGridLayout(pPanel);
    pGrid->setContentsMargins(2, 0, 2, 2);
    pGrid->setHorizontalSpacing(2);
    pGrid->setVerticalSpacing(2);

    struct Field {
        int iId;
        const char* szTip;
    };
    const Field aFields[] = {{106, "Selected Region Start"}, {107, "Selected Region End"},
                             {108, "Selected Region Length"}, {130, "File Length"}};
    auto* pFields = new QHBoxLayout;
    pFields->setSpacing(2);
    for (const Field& f : aFields) {
        auto* pLabel = new QLabel;
        pLabel->setObjectName(QString::number(f.iId));
        pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pLabel->setToolTip(f.szTip);
        pLabel->setAlignment(Qt::AlignCenter);
        pFields->addWidget(pLabel, 1);
        mapFields[f.iId] = pLabel;
    }
    pGrid->addLayout(pFields, 0, 0);

    struct Transport {
        int iId;
        LOVIcons::Kind icon;
        const char* szTip;
        int iCommand;
    };
    const Transport aTransport[] = {
        {111, LOVIcons::Play, "Play (F9)", CM_PLAY},
        {118, LOVIcons::Record, "Record (F8)", CM_RECORD},
        {112, LOVIcons::Scrub, "Scrub (Space)", 0},
        {113, LOVIcons::Stop, "Stop (Esc)", CM_STOP},
        {114, LOVIcons::Start, "Go to Start (Home)", CM_GOTOSTART},
        {115, LOVIcons::Rewind, "Rewind (<-)", 0},
        {116, LOVIcons::Forward, "Forward (->)", 0},
        {117, LOVIcons::End, "Go to End (End)", CM_GOTOEND},
    };
    auto* pButtons = new QHBoxLayout;
    pButtons->setSpacing(2);
    for (const Transport& t : aTransport) {
        auto* pButton = new QToolButton;
        pButton->setObjectName(QString::number(t.iId));
        pButton->setIcon(LOVIcons::Get(t.icon));
        pButton->setIconSize(QSize(32, 32));
        pButton->setToolTip(t.szTip);
        pButton->setCheckable(true);
        pButton->setFixedHeight(52);
        pButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        pButton->setFocusPolicy(Qt::NoFocus);
        if (t.iId == 115 || t.iId == 116) {
            // Rewind and Forward scan while held.
            const bool bForward = t.iId == 116;
            connect(pButton, &QToolButton::pressed, this, [this, bForward]() { dialog.ScanPressed(bForward); });
            connect(pButton, &QToolButton::released, this, [this]() {
                dialog.ScanReleased();
                EnablePlayerControls();
            });
        } else {
            const int iCommand = t.iCommand;
            connect(pButton, &QToolButton::clicked, this, [this, iCommand]() {
                if (iCommand)
                    EvCommand(iCommand);
                else
                    dialog.CmScrub();
                EnablePlayerControls();
            });
        }
        pButtons->addWidget(pButton);
        mapTransport[t.iId] = pButton;
    }
    pGrid->addLayout(pButtons, 1, 0);

    auto* pTime = new QLabel;
    pTime->setObjectName("109");
    pTime->setToolTip("Current Time");
    pTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont font = pTime->font();
    font.setBold(true);
    font.setPixelSize(30);
    pTime->setFont(font);
    pTime->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    mapFields[109] = pTime;
    pGrid->addWidget(pTime, 0, 1);
    pGrid->addWidget(CreateLevelControls(), 1, 1);
    pGrid->setColumnStretch(0, 70);
    pGrid->setColumnStretch(1, 30);
    return pPanel;
}


QWidget* LMDIMainWindow::CreateLevelControls()
{
    auto* pBox = new QWidget;
    auto* pLayout = new QVBoxLayout(pBox);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(2);
    pVolume = new LDBEdit;
    pVolume->setObjectName("102");
    pVolume->setToolTip("Volume");
    pVolume->SetValue(std::clamp(LSettings::Get().GetInt("Settings", "PlayVolume", 0), -127, 127));
    connect(pVolume, &LDBEdit::ValueChanged, this, [this](int iDb) {
        LSettings::Get().SetInt("Settings", "PlayVolume", iDb);
        ApplyVolume();
    });
    pMeter = new LDBDisplay;
    pMeter->setObjectName("101");
    pLayout->addWidget(pVolume, 1);
    pLayout->addWidget(pMeter, 1);
    ApplyVolume();
    return pBox;
}

void LMDIMainWindow::ApplyVolume()
{
    LMixer::SetOutVolume(LSettings::Get().GetInt("Settings", "SoundOutDevice", 0), pVolume->GetValue(), 0);
}
