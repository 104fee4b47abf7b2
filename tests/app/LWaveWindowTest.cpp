#include "app/LWaveWindow.h"

#include "WaveTestSupport.h"
#include "app/LWaveView.h"
#include "edit/LSRCCutListAudio.h"

#include <QImage>
#include <QMouseEvent>
#include <gtest/gtest.h>
#include <vector>

class LWaveWindowProbe {
public:
    static bool Wait(LWaveWindow& w)
    {
        return WaveTest::WaitUntil([&] { return w.IsWorkerIdle(); });
    }
    static std::vector<uint8_t> Top(const LWaveWindow& w)
    {
        uint8_t top[LWaveView::kMaxColumns], bottom[LWaveView::kMaxColumns];
        w.CopyColumns(top, bottom);
        EXPECT_TRUE(std::equal(top, top + w.width() - 2, bottom));
        return std::vector<uint8_t>(top, top + w.width() - 2);
    }
};

TEST(WaveWindow, SymmetricEnvelopeOfAnySourceAndACursorClick)
{
    // Negative peaks larger than positive ones: the envelope shows the larger.
    std::vector<int32_t> v(60000, 0);
    for (size_t i = 0; i < v.size(); i += 5)
        v[i] = i % 2 ? -120000 : 30000;
    LWaveWindow w;
    w.resize(302, 101);
    w.show();
    w.SetSource(MakeHandle<LSRCCutListAudio>(WaveTest::MakeList(v, 1)));
    w.SetEndMark(60000);
    w.SetView(0, 60000); // 200 frames per column: beyond 256 the source is still read
    ASSERT_TRUE(LWaveWindowProbe::Wait(w));
    EXPECT_EQ(LWaveWindowProbe::Top(w), std::vector<uint8_t>(300, 120000 >> 10));
    w.SetView(0, 300000); // 1000 frames per column, past the end
    ASSERT_TRUE(LWaveWindowProbe::Wait(w));
    std::vector<uint8_t> top = LWaveWindowProbe::Top(w);
    EXPECT_EQ(top[10], 120000 >> 10);
    EXPECT_EQ(top[100], 0);

    // Drawn symmetric: v = (117 * 100) >> 9 = 22 rows each side of row 50.
    const QImage img = w.grab().toImage();
    const QRgb wave = w.palette().color(QPalette::WindowText).rgb();
    const QRgb back = w.palette().color(QPalette::Base).rgb();
    EXPECT_EQ(img.pixelColor(21, 50 - 22).rgb(), wave);
    EXPECT_EQ(img.pixelColor(21, 50 - 23).rgb(), back);
    EXPECT_EQ(img.pixelColor(21, 50 + 22).rgb(), wave);
    EXPECT_EQ(img.pixelColor(21, 50 + 23).rgb(), back);
    EXPECT_EQ(
        img.pixelColor(101, 10).rgb(), w.palette().color(QPalette::Button).rgb()); // after the end

    std::vector<int> codes;
    QObject::connect(&w, &LWaveWindow::Notify, [&](int c) { codes.push_back(c); });
    QPointF pos(41, 30);
    QMouseEvent press(QEvent::MouseButtonPress, pos, w.mapToGlobal(pos), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    EXPECT_TRUE(codes.empty()); // only the release counts
    QMouseEvent release(QEvent::MouseButtonRelease, pos, w.mapToGlobal(pos), Qt::LeftButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &release);
    EXPECT_EQ(codes, std::vector<int> { LWaveWindow::kReleased });
    EXPECT_EQ(w.GetCursor(), 40000);
    EXPECT_EQ(w.GetCursor(), w.PixelToFrame(40));
    QApplication::processEvents();
    EXPECT_EQ(w.grab().toImage().pixelColor(41, 30), QColor(0, 255, 0));
}

TEST(WaveWindow, StopDisablesAndDrawsGray)
{
    LWaveWindow w;
    w.resize(102, 51);
    w.show();
    w.SetSource(
        MakeHandle<LSRCCutListAudio>(WaveTest::MakeList(std::vector<int32_t>(1000, 5000), 1)));
    EXPECT_TRUE(w.isEnabled());
    w.Stop();
    EXPECT_FALSE(w.isEnabled());
    EXPECT_EQ(w.grab().toImage().pixelColor(50, 25).rgb(),
        w.palette().color(QPalette::Disabled, QPalette::Mid).rgb());
}
