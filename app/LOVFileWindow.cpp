#include "app/LOVFileWindow.h"

#include "app/LOVIcons.h"
#include "app/LOVWaveWindow.h"
#include "engine/LOVFile.h"

#include <QContextMenuEvent>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

namespace {
constexpr int kFirstButton = 83;
constexpr int kMinZoomFrames = 100;

struct ButtonInfo {
    LOVIcons::Kind icon;
    const char* szTip;
};
const ButtonInfo aButtons[7] = {
    { LOVIcons::ZoomOut, "Zoom Out" },
    { LOVIcons::ZoomIn, "Zoom In" },
    { LOVIcons::ZoomSelection, "Zoom Selection" },
    { LOVIcons::ZoomFull, "Zoom Full" },
    { LOVIcons::VerticalZoom, "Vertical Zoom" },
    { LOVIcons::DisplayPlusMinus, "Wave display + up / - down" },
    { LOVIcons::DisplayLeftRight, "Wave display left channel up / right channel down." },
};
} // namespace

LOVFileWindow::LOVFileWindow(LOVFile& d, QWidget* pParent)
    : QWidget(pParent)
    , doc(d)
    , pOverview(new LOVWaveWindow(this))
    , pZoomed(new LOVWaveWindow(this))
    , pScroll(new QScrollBar(Qt::Horizontal, this))
{
    setFont(QFont(font().family(), 9));
    pOverview->setObjectName("80");
    pZoomed->setObjectName("81");
    pScroll->setObjectName("82");
    pScroll->setRange(0, 200);
    pScroll->setPageStep(1);
    connect(pScroll, &QScrollBar::actionTriggered, this, &LOVFileWindow::OnScrollAction);
    for (int i = 0; i < 7; ++i) {
        auto* pButton = new QToolButton(this);
        pButton->setObjectName(QString::number(kFirstButton + i));
        pButton->setIcon(LOVIcons::Get(aButtons[i].icon));
        pButton->setToolTip(aButtons[i].szTip);
        pButton->setAutoRaise(false);
        apButtons[i] = pButton;
    }
    apButtons[4]->setCheckable(true);
    apButtons[5]->setCheckable(true);
    apButtons[6]->setCheckable(true);
    connect(apButtons[0], &QToolButton::clicked, this, [this]() {
        ZoomOut();
        emit RefreshRequested();
    });
    connect(apButtons[1], &QToolButton::clicked, this, [this]() {
        ZoomIn();
        emit RefreshRequested();
    });
    connect(apButtons[2], &QToolButton::clicked, this, [this]() {
        ZoomSelection();
        emit RefreshRequested();
    });
    connect(apButtons[3], &QToolButton::clicked, this, [this]() {
        ZoomFull();
        emit RefreshRequested();
    });
    connect(apButtons[4], &QToolButton::clicked, this, [this]() {
        ToggleVerticalZoom();
        emit RefreshRequested();
    });
    connect(apButtons[5], &QToolButton::clicked, this, [this]() {
        SetDisplayMode(0);
        emit RefreshRequested();
    });
    connect(apButtons[6], &QToolButton::clicked, this, [this]() {
        SetDisplayMode(1);
        emit RefreshRequested();
    });
    for (LOVWaveWindow* pView : { pOverview, pZoomed }) {
        connect(pView, &LOVWaveWindow::Notify, this, [this, pView](int iCode) {
            if (iCode == LOVWaveWindow::kReleased)
                emit WaveReleased(pView);
            else if (iCode == LOVWaveWindow::kSelChanging)
                emit WaveSelectionChanging(pView);
        });
    }
    SetSource();
}

LOVFileWindow::~LOVFileWindow()
{
    pOverview->Stop();
    pZoomed->Stop();
}

QAbstractButton* LOVFileWindow::GetButton(int iId) const
{
    int i = iId - kFirstButton;
    return i >= 0 && i < 7 ? apButtons[i] : nullptr;
}

void LOVFileWindow::SetSource()
{
    pOverview->SetSource(doc.claAudio, doc.iWavDisplayMode, false);
    pZoomed->SetSource(doc.claAudio, doc.iWavDisplayMode, doc.bVerticalZoom != 0);
    const bool bStereo = doc.claAudio.GetChannels() == 2;
    apButtons[4]->setChecked(doc.bVerticalZoom != 0);
    apButtons[5]->setChecked(doc.iWavDisplayMode == 0);
    apButtons[6]->setChecked(doc.iWavDisplayMode == 1);
    apButtons[5]->setEnabled(bStereo);
    apButtons[6]->setEnabled(bStereo);
}

void LOVFileWindow::ApplyView()
{
    const int32_t iLength = doc.GetLength();
    // An empty document still shows one second.
    const int32_t iShown = iLength > 0 ? iLength : doc.claAudio.GetSampleRate();
    pOverview->SetView(0, iShown);
    pZoomed->SetView(doc.sViewStart, iLength > 0 ? doc.sViewEnd - doc.sViewStart : iShown);
}

void LOVFileWindow::WavApply()
{
    const int32_t iLength = doc.GetLength();
    if (doc.sViewStart >= iLength)
        doc.sViewStart = 0;
    doc.sViewEnd = std::min(doc.sViewEnd, iLength);
    if (doc.sViewEnd <= doc.sViewStart)
        doc.sViewEnd = iLength;
    pOverview->SetEndMark(iLength);
    pZoomed->SetEndMark(iLength);
    ApplyView();
    ShowSelection();
    UpdateTime(doc.sPosition);
}

void LOVFileWindow::ShowSelection()
{
    for (LOVWaveWindow* pView : { pOverview, pZoomed }) {
        pView->SetSelStart(doc.sSelStart);
        pView->SetSelEnd(doc.sSelEnd);
    }
}

void LOVFileWindow::UpdateTime(int32_t iPosition)
{
    doc.sPosition = std::max(0, iPosition);
    const int32_t iLength = doc.GetLength();
    pOverview->SetCursor(doc.sPosition, 0);
    pZoomed->SetCursor(doc.sPosition, 0);
    {
        QSignalBlocker block(pScroll);
        pScroll->setValue(iLength > 0 ? int(int64_t(doc.sPosition) * 201 / iLength) : 0);
    }
    const int32_t iWidth = doc.sViewEnd - doc.sViewStart;
    if (iWidth > 0 && doc.sPosition > doc.sViewEnd) {
        doc.sViewEnd = doc.sPosition;
        doc.sViewStart = doc.sPosition - iWidth;
        ApplyView();
    } else if (iWidth > 0 && doc.sPosition < doc.sViewStart) {
        doc.sViewStart = doc.sPosition;
        doc.sViewEnd = doc.sPosition + iWidth;
        ApplyView();
    }
}

void LOVFileWindow::ZoomIn()
{
    const int32_t iWidth = std::max(kMinZoomFrames, (doc.sViewEnd - doc.sViewStart) / 2);
    doc.sViewStart = std::max(0, doc.sPosition - iWidth / 2);
    doc.sViewEnd = doc.sViewStart + iWidth;
}

void LOVFileWindow::ZoomOut()
{
    const int32_t iLength = doc.GetLength();
    const int32_t iWidth
        = int32_t(std::min<int64_t>(int64_t(doc.sViewEnd - doc.sViewStart) * 2, iLength));
    doc.sViewStart = std::max(0, doc.sViewStart - iWidth / 4);
    doc.sViewEnd = doc.sViewStart + iWidth;
    if (doc.sViewEnd > iLength) {
        doc.sViewEnd = iLength;
        doc.sViewStart = std::max(0, iLength - iWidth);
    }
}

void LOVFileWindow::ZoomSelection()
{
    if (!doc.HasValidSelection())
        return;
    doc.sViewStart = doc.sSelStart;
    doc.sViewEnd = doc.sSelEnd;
}

void LOVFileWindow::ZoomFull()
{
    doc.sViewStart = 0;
    doc.sViewEnd = doc.GetLength();
}

void LOVFileWindow::ToggleVerticalZoom()
{
    doc.bVerticalZoom = doc.bVerticalZoom ? 0 : 1;
    SetSource();
}

void LOVFileWindow::SetDisplayMode(int iMode)
{
    doc.iWavDisplayMode = iMode;
    SetSource();
}

void LOVFileWindow::OnScrollAction(int iAction)
{
    const int32_t iRate = doc.claAudio.GetSampleRate();
    switch (iAction) {
    case QAbstractSlider::SliderSingleStepSub:
    case QAbstractSlider::SliderPageStepSub:
        iScrollTarget = std::max(0, doc.sPosition - 2 * iRate);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderPageStepAdd:
        iScrollTarget = doc.sPosition + 2 * iRate;
        break;
    case QAbstractSlider::SliderMove:
        iScrollTarget = int32_t(doc.GetLength() * (pScroll->sliderPosition() * 0.005));
        break;
    default:
        return;
    }
    emit ScrollMoved();
}

void LOVFileWindow::LayoutControls()
{
    const int iW = width(), iH = height();
    const int iScrollWidth = int(iW * 0.6);
    pScroll->setGeometry(0, iH - 26, iScrollWidth, 25);
    const int iButtonWidth = (iW - iScrollWidth - 2) / 7;
    for (int i = 0; i < 7; ++i)
        apButtons[i]->setGeometry(
            iScrollWidth + 1 + i * (iButtonWidth + 1), iH - 26, iButtonWidth, 25);
    const int iOverview = int((iH - 25) * 0.12);
    pOverview->setGeometry(0, 0, iW, iOverview);
    pZoomed->setGeometry(0, iOverview, iW, std::max(0, iH - 26 - iOverview));
}

void LOVFileWindow::resizeEvent(QResizeEvent*)
{
    LayoutControls();
    emit RefreshRequested();
}

void LOVFileWindow::contextMenuEvent(QContextMenuEvent* pEvent)
{
    QWidget* pChild = childAt(pEvent->pos());
    if (pChild == pOverview || pChild == pZoomed)
        emit ContextMenuRequested(pEvent->globalPos());
}
