#include "app/LDBDisplay.h"
#include "app/LDBEdit.h"
#include "app/LMDIMainWindow.h"
#include "app/LQtProgressView.h"
#include "platform/LSettings.h"

#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {
QImage Shot(QWidget& w)
{
    return w.grab().toImage();
}

bool IsGreen(QRgb c)
{
    return qGreen(c) > 100 && qRed(c) < 60 && qBlue(c) < 60;
}
bool IsRed(QRgb c)
{
    return qRed(c) > 100 && qGreen(c) < 60 && qBlue(c) < 60;
}
bool IsBlack(QRgb c)
{
    return qRed(c) == 0 && qGreen(c) == 0 && qBlue(c) == 0;
}

// Each pixel (x, 8) of the widget's picture has its colour.
void ExpectRow(QWidget& w, std::initializer_list<std::pair<int, QRgb>> pixels)
{
    const QImage img = Shot(w);
    for (auto [x, c] : pixels)
        EXPECT_EQ(img.pixel(x, 8), c) << x;
}

LSoundLevels Levels(std::initializer_list<int> levels)
{
    LSoundLevels l;
    l.bChannels = uint8_t(levels.size());
    int i = 0;
    for (int v : levels)
        l.aLevels[i++] = int8_t(v);
    return l;
}
} // namespace

TEST(LDBEditTest, ValuesAreClampedShownAndSignalled)
{
    LDBEdit edit;
    QSignalSpy spy(&edit, &LDBEdit::ValueChanged);
    EXPECT_EQ(edit.GetMinimum(), -36);
    EXPECT_EQ(edit.GetMaximum(), 12);
    EXPECT_EQ(edit.GetField().text(), "0dB");
    edit.SetValue(20);
    EXPECT_EQ(edit.GetValue(), 12);
    EXPECT_EQ(edit.GetField().text(), "12dB");
    edit.SetValue(12);
    EXPECT_EQ(spy.count(), 1); // no change, no signal

    edit.SetRange(-40, -6);
    EXPECT_EQ(edit.GetValue(), -6);
    edit.GetField().setText("-50");
    emit edit.GetField().editingFinished();
    EXPECT_EQ(edit.GetValue(), -40);
    EXPECT_EQ(edit.GetField().text(), "-40dB");
    edit.GetField().setText("-20dB");
    emit edit.GetField().editingFinished();
    EXPECT_EQ(edit.GetValue(), -20);
    edit.GetField().setText("loud");
    emit edit.GetField().editingFinished();
    EXPECT_EQ(edit.GetValue(), -20);
    EXPECT_EQ(edit.GetField().text(), "-20dB");
    EXPECT_EQ(spy.count(), 4);
    EXPECT_EQ(spy.last().at(0).toInt(), -20);

    edit.SetRange(-127, 12);
    edit.SetValue(-127);
    EXPECT_EQ(edit.GetField().text(), "--dB");
    edit.SetValue(-126);
    EXPECT_EQ(edit.GetField().text(), "-126dB");
}

TEST(LDBEditTest, BarMapsPixelsToValuesAndPaints)
{
    LDBEdit edit;
    edit.resize(LDBEdit::kFieldWidth + 96, 16); // two pixels a dB
    EXPECT_EQ(edit.PixelOf(-36), 32);
    EXPECT_EQ(edit.PixelOf(0), 32 + 72);
    EXPECT_EQ(edit.ValueAt(32 + 48), -12);
    QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(32 + 48, 8));
    EXPECT_EQ(edit.GetValue(), -12);
    QTest::mouseClick(&edit, Qt::LeftButton, {}, QPoint(32 + 95, 8));
    EXPECT_EQ(edit.GetValue(), 11);

    const QRgb green = qRgb(0, 128, 0), red = qRgb(192, 0, 0), black = qRgb(0, 0, 0),
               gray = qRgb(128, 128, 128);
    edit.SetValue(6); // green to 0 dB (x 104), red to 6 dB (x 116), black after
    ExpectRow(edit, { { 103, green }, { 105, red }, { 113, red }, { 120, black } });
    EXPECT_NE(Shot(edit).pixel(116, 8), black); // the thumb
    edit.SetValue(-18); // x 68
    ExpectRow(edit, { { 60, green }, { 80, black } });
    edit.setEnabled(false);
    ExpectRow(edit, { { 40, gray }, { 120, gray } });
}

TEST(LDBDisplayTest, RowsAndScale)
{
    LDBDisplay meter;
    meter.resize(96, 20); // two pixels a dB, 0 dB at x 72
    EXPECT_EQ(meter.GetChannels(), 1);
    EXPECT_EQ(meter.GetLevel(0), -127);
    EXPECT_TRUE(IsBlack(Shot(meter).pixel(0, 10)));
    meter.SetLevels(Levels({ -6, 6 }));
    EXPECT_EQ(meter.GetChannels(), 2);
    const QImage img = Shot(meter);
    EXPECT_TRUE(IsGreen(img.pixel(1, 5)));
    EXPECT_TRUE(IsBlack(img.pixel(62, 5)));
    EXPECT_TRUE(IsGreen(img.pixel(69, 15)));
    EXPECT_TRUE(IsRed(img.pixel(81, 15)));
    EXPECT_TRUE(IsBlack(img.pixel(86, 15)));

    // Only the stretch that changed is repainted.
    meter.SetLevels(Levels({ -3, 6 }));
    EXPECT_EQ(meter.GetLastDirty(), QRect(60, 0, 7, 10));
    meter.SetLevels(Levels({ -3, 6 }));
    EXPECT_TRUE(meter.GetLastDirty().isNull());

    meter.SetLevels(Levels({}));
    EXPECT_EQ(Shot(meter).pixel(50, 10), qRgb(128, 128, 128));
}

TEST(LevelControlsTest, MainWindowVolumeAndMeter)
{
    LQtProgressView::Install();
    LSettings::Get().SetInt("Settings", "PlayVolume", 50);
    {
        LMDIMainWindow w;
        EXPECT_EQ(w.GetVolume().toolTip(), "Volume");
        EXPECT_EQ(w.GetVolume().GetValue(), 12);
        w.GetVolume().SetValue(-9);
        EXPECT_EQ(LSettings::Get().GetInt("Settings", "PlayVolume", 0), -9);

        LDBDisplay& meter = w.GetMeter();
        ASSERT_TRUE(w.GetTransport().onLevels);
        w.GetTransport().onLevels(Levels({ -10, -20 }));
        ASSERT_EQ(meter.GetChannels(), 2);
        EXPECT_EQ(meter.GetLevel(0), -10);
        EXPECT_EQ(meter.GetLevel(1), -20);
        w.GetTransport().onState(true);
        w.GetTransport().onState(false);
        EXPECT_EQ(meter.GetChannels(), 1);
        EXPECT_EQ(meter.GetLevel(0), -127);
    }
    LSettings::Get().SetInt("Settings", "PlayVolume", 0);
    LProgressView::SetFactory(nullptr);
}
