#include "app/LWaveWindow.h"

#include "WaveTestSupport.h"
#include "app/LWaveView.h"
#include "edit/LSRCCutListAudio.h"

#include <QImage>
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

// The strip's own drawing; its clicks and Stop are checked through the play
// dialog (LPlayDlgTest), the painter's other paths in LOVWaveWindowTest.
TEST(WaveWindow, SymmetricEnvelopeOfAnySource)
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
}
