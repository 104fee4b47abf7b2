// The frame's fixed controls: the toolbar, the time fields, the transport
// buttons and the level controls, and their layout.
#include "app/LDBDisplay.h"
#include "app/LDBEdit.h"
#include "app/LMDIMainWindow.h"
#include "app/LOVIcons.h"
#include "platform/LSettings.h"
#include "platform/sound/LMixer.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
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
        { CM_FILENEW, "New File",
            QIcon::fromTheme("document-new", pStyle->standardIcon(QStyle::SP_FileIcon)) },
        { CM_FILEOPEN, "Open File",
            QIcon::fromTheme("document-open", pStyle->standardIcon(QStyle::SP_DialogOpenButton)) },
        { CM_FILESAVE, "Save File",
            QIcon::fromTheme("document-save", pStyle->standardIcon(QStyle::SP_DialogSaveButton)) },
        { CM_UNDO, "Undo",
            QIcon::fromTheme("edit-undo", pStyle->standardIcon(QStyle::SP_ArrowBack)) },
        { CM_CUT, "Cut", LOVIcons::Themed("edit-cut", LOVIcons::Cut) },
        { CM_COPY, "Copy", LOVIcons::Themed("edit-copy", LOVIcons::Copy) },
        { CM_PASTE, "Paste", LOVIcons::Themed("edit-paste", LOVIcons::Paste) },
        { CM_DELETE, "Delete", LOVIcons::Themed("edit-delete", LOVIcons::Delete) },
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

void LMDIMainWindow::CreateBottomPanel(QWidget& parent)
{
    struct Field {
        int iId;
        const char* szTip;
    };
    const Field aFields[] = { { 106, "Selected Region Start" }, { 107, "Selected Region End" },
        { 108, "Selected Region Length" }, { 130, "File Length" } };
    for (const Field& f : aFields) {
        auto* pLabel = new QLabel(&parent);
        pLabel->setObjectName(QString::number(f.iId));
        pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pLabel->setToolTip(f.szTip);
        pLabel->setAlignment(Qt::AlignCenter);
        mapFields[f.iId] = pLabel;
    }

    struct Transport {
        int iId;
        LOVIcons::Kind icon;
        const char* szTip;
        int iCommand;
    };
    const Transport aTransport[] = {
        { 111, LOVIcons::Play, "Play (F9)", CM_PLAY },
        { 118, LOVIcons::Record, "Record (F8)", CM_RECORD },
        { 112, LOVIcons::Scrub, "Scrub (Space)", 0 },
        { 113, LOVIcons::Stop, "Stop (Esc)", CM_STOP },
        { 114, LOVIcons::Start, "Go to Start (Home)", CM_GOTOSTART },
        { 115, LOVIcons::Rewind, "Rewind (<-)", 0 },
        { 116, LOVIcons::Forward, "Forward (->)", 0 },
        { 117, LOVIcons::End, "Go to End (End)", CM_GOTOEND },
    };
    for (const Transport& t : aTransport) {
        auto* pButton = new QToolButton(&parent);
        pButton->setObjectName(QString::number(t.iId));
        pButton->setIcon(LOVIcons::Get(t.icon));
        pButton->setIconSize(QSize(32, 32));
        pButton->setToolTip(t.szTip);
        pButton->setCheckable(true);
        pButton->setFocusPolicy(Qt::NoFocus);
        if (t.iId == 115 || t.iId == 116) {
            // Rewind and Forward scan while held.
            const bool bForward = t.iId == 116;
            connect(pButton, &QToolButton::pressed, this,
                [this, bForward]() { dialog.ScanPressed(bForward); });
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
        mapTransport[t.iId] = pButton;
        vecTransportOrder.push_back(pButton);
    }

    auto* pTime = new QLabel(&parent);
    pTime->setObjectName("109");
    pTime->setToolTip("Current Time");
    pTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pTime->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    mapFields[109] = pTime;
    CreateLevelControls(parent);
}

void LMDIMainWindow::CreateLevelControls(QWidget& parent)
{
    pVolume = new LDBEdit(&parent);
    pVolume->setObjectName("102");
    pVolume->setToolTip("Volume");
    pVolume->SetValue(std::clamp(LSettings::Get().GetInt("Settings", "PlayVolume", 0), -127, 127));
    connect(pVolume, &LDBEdit::ValueChanged, this, [this](int iDb) {
        LSettings::Get().SetInt("Settings", "PlayVolume", iDb);
        ApplyVolume();
    });
    pMeter = new LDBDisplay(&parent);
    pMeter->setObjectName("101");
    ApplyVolume();
}

void LMDIMainWindow::LayoutControls()
{
    const QWidget* pClient = centralWidget();
    if (!pClient || vecTransportOrder.empty())
        return;
    const int iW = pClient->width(), iH = pClient->height();
    const int iF = fontMetrics().height();
    // Part 0 of the status bar ends 13 font heights before the right edge
    // (wider when the rate text would not fit).
    const int iRateWidth
        = pRateStatus->fontMetrics().horizontalAdvance("Sample Rate: 96000   Stereo") + 8;
    pRateStatus->setFixedWidth(std::max(13 * iF, iRateWidth));

    // The transport buttons in a row of 52 at the bottom, the four time
    // fields above them, the current time with volume and meter to the right.
    const int iButtonWidth = int(iW * 0.088);
    const int iButtonTop = iH - 52;
    for (size_t i = 0; i < vecTransportOrder.size(); ++i)
        vecTransportOrder[i]->setGeometry(
            1 + int(i) * (iButtonWidth + 1), iButtonTop, iButtonWidth, 52);
    const int iFieldWidth = (8 * iButtonWidth + 9) / 4 - 1;
    const int iFieldTop = iButtonTop - iF - 2;
    const int aFieldIds[] = { 106, 107, 108, 130 };
    for (int i = 0; i < 4; ++i)
        mapFields[aFieldIds[i]]->setGeometry(
            1 + i * (iFieldWidth + 1), iFieldTop, iFieldWidth, iF + 1);

    const int iRight = 1 + 8 * (iButtonWidth + 1);
    const int iRightWidth = std::max(0, iW - iRight - 1);
    const int iTimeHeight = int((iF + 53) * 0.433);
    QLabel* pTime = mapFields[109];
    pTime->setGeometry(iRight, iFieldTop, iRightWidth, iTimeHeight);
    QFont font = pTime->font();
    font.setBold(true);
    font.setPixelSize(std::max(1, std::min(iRightWidth / 10, int(iTimeHeight * 0.75))));
    pTime->setFont(font);
    const int iLevelsTop = iFieldTop + iTimeHeight + 1;
    const int iLevels = std::max(0, iH - iLevelsTop);
    pVolume->setGeometry(iRight, iLevelsTop, iRightWidth, iLevels / 2 - 1);
    pMeter->setGeometry(iRight, iLevelsTop + iLevels / 2, iRightWidth, iLevels - iLevels / 2 - 1);

    int iTop = iFieldTop - 3;
    pSeparatorLine->setGeometry(0, iTop, iW, 2);
    // With two or more documents a row of window buttons above the separator.
    const QList<QAbstractButton*> buttons = pWindowButtonGroup->buttons();
    if (!pWindowButtons->isHidden() && !buttons.isEmpty()) {
        iTop -= 28;
        pWindowButtons->setGeometry(0, iTop, iW, 28);
        const int iEach = std::min(iW / int(dialog.GetFiles().size()), 110);
        for (QAbstractButton* pButton : buttons)
            pButton->setFixedWidth(iEach);
    }
    pMdiArea->setGeometry(0, 0, iW, std::max(0, iTop - 1));
}

void LMDIMainWindow::ApplyVolume()
{
    LMixer::SetOutVolume(
        LSettings::Get().GetInt("Settings", "SoundOutDevice", 0), pVolume->GetValue(), 0);
}
