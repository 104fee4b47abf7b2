#include "app/LOVCurveDialog.h"

#include "app/LBrainWaveWindow.h"
#include "app/LDBEdit.h"
#include "app/LOVValuesDialog.h"
#include "effects/LEffectTable.h"
#include "effects/LStoredValues.h"
#include "platform/LSettings.h"
#include "platform/qt/LQtUiDispatcher.h"
#include "platform/sound/LWaveOut.h"
#include "support/AudioTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <gtest/gtest.h>

namespace {
class CurveDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        LUiDispatcher::SetCurrent(&dispatcher);
        const int iNull = LWaveOut::FindDevice("null");
        ASSERT_GE(iNull, 0);
        LSettings::Get().SetInt("Player", "Device", iNull);
        values.eCurve = LDialogValues::kFrequencyCurve;
        values.curve = PointList::Flat();
        values.fnPreview = [this](const LDialogValues& v) {
            previewed = v.curve;
            return SourceHandle(TestSupport::SineSource(44100, 1, 44100, 440));
        };
    }
    void TearDown() override { LUiDispatcher::SetCurrent(nullptr); }

    // A mouse event at curve point (x, y) of the editor.
    static void Send(LBrainWaveWindow& w, QEvent::Type type, Qt::MouseButton button, int x, int y)
    {
        const QPoint pixel = w.ToPixel({ uint8_t(x), uint8_t(y) });
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent e(type, pixel, w.mapToGlobal(pixel), button, held, Qt::NoModifier);
        QApplication::sendEvent(&w, &e);
    }
    static void Drag(LBrainWaveWindow& w, int x0, int y0, int x1, int y1)
    {
        Send(w, QEvent::MouseButtonPress, Qt::LeftButton, x0, y0);
        Send(w, QEvent::MouseMove, Qt::LeftButton, x1, y1);
        Send(w, QEvent::MouseButtonRelease, Qt::LeftButton, x1, y1);
    }

    LQtUiDispatcher dispatcher;
    LDialogValues values;
    PointList previewed;
};

std::vector<std::pair<int, int>> Points(const PointList& l)
{
    std::vector<std::pair<int, int>> v;
    for (int i = 0; i < l.nPoints; ++i)
        v.emplace_back(l.aPoints[i].x, l.aPoints[i].y);
    return v;
}
} // namespace

TEST_F(CurveDialogTest, EditorInsertsDragsBetweenNeighboursDeletesAndSetsFlat)
{
    LOVCurveDialog dlg("Equalizer", values, 44100, 44100, true, nullptr);
    dlg.resize(600, 400);
    dlg.show();
    LBrainWaveWindow& w = *dlg.GetEditor();
    LDialogValues out;
    auto Curve = [&] {
        dlg.Take(out);
        return Points(out.curve);
    };
    using P = std::vector<std::pair<int, int>>;
    // Pixels round to whole curve steps, so positions are checked within one.
    auto Near = [](const P& got, const P& want) {
        return std::equal(got.begin(), got.end(), want.begin(), want.end(), [](auto a, auto b) {
            return std::abs(a.first - b.first) <= 1 && std::abs(a.second - b.second) <= 1;
        });
    };
    Send(w, QEvent::MouseButtonPress, Qt::LeftButton, 100, 200);
    Send(w, QEvent::MouseButtonRelease, Qt::LeftButton, 100, 200);
    Send(w, QEvent::MouseButtonPress, Qt::LeftButton, 50, 60);
    Send(w, QEvent::MouseButtonRelease, Qt::LeftButton, 50, 60);
    EXPECT_PRED2(Near, Curve(), (P { { 0, 128 }, { 50, 60 }, { 100, 200 }, { 255, 128 } }));
    // The point at 50 dragged past its right neighbour stops at its x; the
    // first point keeps x = 0 and the last x = 255 wherever they are dragged.
    Drag(w, 50, 60, 180, 30);
    Drag(w, 0, 128, 90, 10);
    Drag(w, 255, 128, 3, 250);
    EXPECT_PRED2(Near, Curve(), (P { { 0, 10 }, { 100, 30 }, { 100, 200 }, { 255, 250 } }));
    const PointList::Point last = out.curve.aPoints[3];
    EXPECT_EQ(w.GetLabel(), dlg.Label(last.x, last.y)) << "the dragged point's values";
    EXPECT_EQ(dlg.Label(255, 250), "20000 Hz, 195 %");
    // Right clicks delete inner points only.
    Send(w, QEvent::MouseButtonPress, Qt::RightButton, 0, 10);
    Send(w, QEvent::MouseButtonPress, Qt::RightButton, 100, 200);
    EXPECT_PRED2(Near, Curve(), (P { { 0, 10 }, { 100, 30 }, { 255, 250 } }));

    // Preview plays the curve shown through the dialog's player; a drag
    // that ends while it plays starts it again with the new curve.
    QPushButton* pPreview = dlg.findChild<QPushButton*>("Preview");
    ASSERT_NE(pPreview, nullptr);
    ASSERT_TRUE(pPreview->isEnabled());
    pPreview->click();
    EXPECT_NE(dlg.GetPreviewPlayer().GetState(), 0);
    EXPECT_EQ(Points(previewed), Curve());
    Drag(w, 100, 30, 120, 90);
    EXPECT_EQ(Points(previewed), Curve());

    dlg.findChild<QPushButton*>("SetFlat")->click();
    EXPECT_EQ(Curve(), (P { { 0, 128 }, { 255, 128 } }));
    dlg.reject();
    EXPECT_EQ(dlg.GetPreviewPlayer().GetState(), 0) << "closing stops the preview";
    EXPECT_EQ(Points(values.curve), (P { { 0, 128 }, { 255, 128 } })) << "the caller's copy";
}

TEST_F(CurveDialogTest, EnvelopeLabelTimesTheSelectionAndEchoDialogPreviews)
{
    values.eCurve = LDialogValues::kTimeCurve;
    values.fnPreview = nullptr;
    LOVCurveDialog env("Envelope", values, 441000, 44100, true, nullptr);
    EXPECT_EQ(env.findChild<QPushButton*>("Preview"), nullptr);
    EXPECT_EQ(env.Label(51, 128), "(0:00:02.00, 100 %)");

    const LEffect& echo = *FindEffect("Echo");
    LDialogValues v = LStoredValues::Load(echo.form);
    int iPreviews = 0;
    v.fnPreview = [&](const LDialogValues& shown) {
        ++iPreviews;
        EXPECT_EQ(shown.Get("EchoTime"), 250);
        return SourceHandle(TestSupport::SineSource(44100, 2, 44100, 440));
    };
    for (bool bSelection : { false, true }) {
        LOVValuesDialog dlg("Echo", v, true, bSelection, nullptr);
        QPushButton* pPreview = dlg.findChild<QPushButton*>("Preview");
        ASSERT_NE(pPreview, nullptr);
        EXPECT_EQ(pPreview->isEnabled(), bSelection);
        if (!bSelection)
            continue;
        dlg.findChild<QLineEdit*>("EchoTime")->setText("250");
        pPreview->click();
        EXPECT_EQ(iPreviews, 1);
        EXPECT_NE(dlg.GetPreviewPlayer().GetState(), 0);
    }
}

TEST(LOVValuesDialog, DecibelSlidersAndTheRatioListOfTheDynamics)
{
    const LEffect& comp = *FindEffect("Dynamic Range Compressor");
    LDialogValues v = LStoredValues::Load(comp.form);
    v.Set("CompressorThreshold", -20);
    v.Set("CompressorRatio", 2);
    LOVValuesDialog dlg(comp.szDialog, v, true, true, nullptr);
    auto* pThreshold = dlg.findChild<LDBEdit*>("CompressorThreshold");
    auto* pRatio = dlg.findChild<QComboBox*>("CompressorRatio");
    ASSERT_TRUE(pThreshold && pRatio && dlg.findChild<LDBEdit*>("CompressorLimit"));
    EXPECT_EQ(pThreshold->GetValue(), -20);
    EXPECT_EQ(pRatio->currentText(), "2:1");
    pThreshold->SetValue(-30);
    pRatio->setCurrentIndex(4);
    dlg.Take(v);
    EXPECT_EQ(v.Get("CompressorThreshold"), -30);
    EXPECT_EQ(v.Get("CompressorRatio"), 4);

    LOVValuesDialog noise("Noise Reduction",
        LStoredValues::Load(FindEffect("Noise Reduction")->form), true, true, nullptr);
    auto* pLevel = noise.findChild<LDBEdit*>("NoiseGateLevel");
    ASSERT_NE(pLevel, nullptr);
    EXPECT_EQ(pLevel->GetValue(), -30);
    pLevel->SetValue(-90);
    EXPECT_EQ(pLevel->GetValue(), -40) << "the lower end is -40 dB";
}
