#include "app/LOVWaveWindow.h"

#include "WaveTestSupport.h"
#include "app/LWaveView.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QMouseEvent>
#include <QPalette>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

using WaveTest::MakeList;
using WaveTest::Sine;

class LOVWaveWindowProbe {
public:
    static bool Wait(LOVWaveWindow& w)
    {
        return WaveTest::WaitUntil([&] { return w.IsWorkerIdle(); });
    }
    static std::vector<uint8_t> Top(const LOVWaveWindow& w) { return Get(w, true); }
    static std::vector<uint8_t> Bottom(const LOVWaveWindow& w) { return Get(w, false); }

private:
    static std::vector<uint8_t> Get(const LOVWaveWindow& w, bool bTop)
    {
        uint8_t top[LWaveView::kMaxColumns], bottom[LWaveView::kMaxColumns];
        w.CopyColumns(top, bottom);
        const uint8_t* p = bTop ? top : bottom;
        return std::vector<uint8_t>(p, p + w.width() - 2);
    }
};

namespace {
using Probe = LOVWaveWindowProbe;

// Audio with a different picture in every column: the test signal of the
// other layers at internal scale.
LCutListAudio Signal(int32_t iFrames, int iChannels)
{
    std::vector<int16_t> s = TestSupport::MakeSignal(iFrames, iChannels, 44100);
    std::vector<int32_t> v(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        v[i] = s[i] * 16 * (1 + int32_t(i / (s.size() / 4 + 1))); // four loudness steps
    return MakeList(v, iChannels);
}

// A control of 400 columns and 512 rows (column values map to rows 1:1).
struct Window {
    explicit Window(const LCutListAudio& list, int iMode = 0)
    {
        w.resize(402, 513);
        w.show();
        w.SetSource(list, iMode, false);
        w.SetEndMark(list.GetTotalLength());
    }
    void View(int32_t iStart, int32_t iLength)
    {
        w.SetView(iStart, iLength);
        EXPECT_TRUE(Probe::Wait(w));
    }
    LOVWaveWindow w;
};

void Send(QWidget& w, QEvent::Type type, int x, Qt::MouseButtons buttons)
{
    Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QPointF pos(x, 20);
    QMouseEvent e(type, pos, w.mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}
} // namespace

TEST(OVWaveWindow, WorkerFillsTheViewFromTheCutList)
{
    LCutListAudio list = MakeList(Sine(40000, 1, 200000, 100), 1);
    Window win(list);
    win.View(0, 40000);
    EXPECT_EQ(win.w.GetViewLength(), 40000);
    EXPECT_EQ(Probe::Top(win.w), std::vector<uint8_t>(400, 200000 >> 11));
    EXPECT_EQ(Probe::Bottom(win.w), std::vector<uint8_t>(400, 200000 >> 11));
    // A new source forgets the view (the modes' columns: LWaveColumnsTest).
    win.w.SetSource(MakeList(Sine(40000, 2, 200000, 100, 1u), 2), 1, false);
    EXPECT_EQ(win.w.GetViewLength(), 0);
}

TEST(OVWaveWindow, ScrollingKeepsColumnsThatAFreshViewWouldCompute)
{
    LCutListAudio list = Signal(3000000, 2);
    // An audio view (100 frames per pixel) and a graph view (3000).
    for (int32_t iLength : { 40000, 1200000 }) {
        Window win(list);
        win.View(100000, iLength);
        const int32_t iPixel = iLength / 400;
        for (int32_t iStart : { 100000 + 37 * iPixel + iPixel / 3, 100000 + 20 * iPixel,
                 100000 + 250 * iPixel, 100000 - 5 * iPixel, 100000 + 2000 * iPixel }) {
            win.View(iStart, iLength);
            Window fresh(list);
            fresh.View(iStart, iLength);
            ASSERT_EQ(win.w.FrameToPixel(iStart + 10 * iPixel),
                fresh.w.FrameToPixel(iStart + 10 * iPixel));
            ASSERT_EQ(Probe::Top(win.w), Probe::Top(fresh.w)) << iLength << " " << iStart;
            ASSERT_EQ(Probe::Bottom(win.w), Probe::Bottom(fresh.w)) << iLength << " " << iStart;
        }
    }
}

TEST(OVWaveWindow, ResizeRecomputesForTheNewWidth)
{
    LCutListAudio list = Signal(400000, 1);
    Window win(list);
    win.View(0, 400000);
    win.w.resize(202, 513);
    EXPECT_TRUE(Probe::Wait(win.w));
    EXPECT_EQ(win.w.FrameToPixel(200000), 100);
    Window fresh(list);
    fresh.w.resize(202, 513);
    fresh.View(0, 400000);
    EXPECT_EQ(Probe::Top(win.w), Probe::Top(fresh.w));
}

TEST(OVWaveWindow, MouseDragSelectsAndNotifies)
{
    Window win(MakeList(Sine(40000, 1, 200000, 100), 1));
    win.View(0, 40000); // 100 frames per column; column x at client x + 1
    std::vector<int> codes;
    QObject::connect(&win.w, &LOVWaveWindow::Notify, [&](int c) { codes.push_back(c); });

    Send(win.w, QEvent::MouseButtonRelease, 50, Qt::NoButton); // not captured: ignored
    EXPECT_TRUE(codes.empty());

    Send(win.w, QEvent::MouseButtonPress, 101, Qt::LeftButton);
    EXPECT_EQ(win.w.GetSelStart(), 10000);
    EXPECT_EQ(win.w.GetSelEnd(), 10000);
    Send(win.w, QEvent::MouseMove, 201, Qt::LeftButton);
    EXPECT_EQ(win.w.GetSelEnd(), 20000);
    Send(win.w, QEvent::MouseMove, 51, Qt::LeftButton); // back across the anchor
    EXPECT_EQ(win.w.GetSelStart(), 5000);
    EXPECT_EQ(win.w.GetSelEnd(), 10000);
    Send(win.w, QEvent::MouseMove, 450, Qt::LeftButton); // beyond the right edge
    EXPECT_EQ(win.w.GetSelEnd(), 40000);
    Send(win.w, QEvent::MouseMove, 300, Qt::LeftButton); // back
    Send(win.w, QEvent::MouseButtonRelease, 31, Qt::NoButton);
    EXPECT_EQ(codes, (std::vector<int> { 8, 8, 4, 8, 5, 8, 2 }));
    EXPECT_EQ(win.w.GetSelStart(), 3000);
    EXPECT_EQ(win.w.GetSelEnd(), 10000);
    EXPECT_EQ(win.w.GetCursor(), 3000);

    // Released beyond the left edge: the edge state ends before the release.
    codes.clear();
    Send(win.w, QEvent::MouseButtonPress, 201, Qt::LeftButton);
    Send(win.w, QEvent::MouseMove, -5, Qt::LeftButton);
    Send(win.w, QEvent::MouseButtonRelease, -5, Qt::NoButton);
    EXPECT_EQ(codes, (std::vector<int> { 6, 8, 7, 2 }));
    EXPECT_EQ(win.w.GetSelStart(), 0);
    EXPECT_EQ(win.w.GetSelEnd(), 20000);
}

TEST(OVWaveWindow, SelectionEndFollowsTheViewBeyondAnEdge)
{
    Window win(MakeList(Sine(200000, 1, 200000, 100), 1));
    win.View(0, 40000);
    Send(win.w, QEvent::MouseButtonPress, 101, Qt::LeftButton);
    Send(win.w, QEvent::MouseMove, 420, Qt::LeftButton); // state "beyond the right edge"
    win.View(5000, 40000); // the owner scrolls right
    EXPECT_EQ(win.w.GetSelStart(), 10000);
    EXPECT_EQ(win.w.GetSelEnd(), 45000);
    Send(win.w, QEvent::MouseButtonRelease, 420, Qt::NoButton);
    EXPECT_EQ(win.w.GetSelEnd(), 45000);
}

TEST(OVWaveWindow, PaintsWithThePaletteRoles)
{
    LOVWaveWindow w;
    QPalette pal = w.palette();
    pal.setColor(QPalette::WindowText, QColor(5, 5, 5));
    pal.setColor(QPalette::Base, QColor(250, 250, 240));
    pal.setColor(QPalette::HighlightedText, QColor(255, 255, 0));
    pal.setColor(QPalette::Highlight, QColor(10, 20, 200));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(160, 160, 160));
    pal.setColor(QPalette::Button, QColor(120, 120, 120));
    pal.setColor(QPalette::Shadow, QColor(1, 2, 3));
    pal.setColor(QPalette::Light, QColor(254, 253, 252));
    pal.setColor(QPalette::Mid, QColor(140, 141, 142));
    w.setPalette(pal);
    w.resize(402, 101);
    w.show();
    const QImage disabled = w.grab().toImage();
    EXPECT_EQ(disabled.pixelColor(200, 50), QColor(140, 141, 142)); // gray until a source is set

    w.SetSource(MakeList(Sine(30000, 1, 400000, 100), 1), 0, false);
    w.SetEndMark(30000);
    w.SetSelStart(10000);
    w.SetSelEnd(20000);
    w.SetCursor(5000, 1000);
    w.SetView(0, 40000);
    ASSERT_TRUE(Probe::Wait(w));
    const QImage img = w.grab().toImage();
    // One pixel a drawing path. Column x is at client x + 1; row 2 is
    // background, row 50 the middle of the waveform, which is 400000 >> 11 =
    // 195 -> (195 * 100) >> 9 = 38 rows high each side.
    const QColor base(250, 250, 240), selBack(10, 20, 200), selWave(255, 255, 0);
    for (auto [x, y, c] : { std::tuple { 41, 2, base }, { 41, 50, QColor(5, 5, 5) },
             { 101, 2, selBack }, { 201, 2, base }, { 151, 50 - 38, selWave },
             { 151, 50 - 39, selBack }, { 151, 50 + 38, selWave }, { 151, 50 + 39, selBack },
             { 301, 2, QColor(120, 120, 120) }, { 301, 50, QColor(160, 160, 160) }, // after the end
             { 51, 30, QColor(0, 255, 0) }, // cursor line
             { 56, 2, QColor(170, 255, 170) }, { 56, 50, QColor(0, 128, 0) }, // band
             { 0, 50, QColor(1, 2, 3) }, { 401, 50, QColor(254, 253, 252) } }) // sunken border
        EXPECT_EQ(img.pixelColor(x, y), c) << x << "," << y;
    if (const char* szShot = std::getenv("ORVENNA_WAVE_SHOT")) { // a PNG for a person to see
        EXPECT_TRUE(img.save(szShot));
    }

    // A band inside the selection swaps its greens.
    w.SetCursor(15000, 1000);
    const QImage band = w.grab().toImage();
    EXPECT_EQ(band.pixelColor(156, 2), QColor(0, 128, 0));
    EXPECT_EQ(band.pixelColor(156, 50), QColor(170, 255, 170));
}

TEST(OVWaveWindow, EmptyDocumentShowsOneSecondWithoutAudio)
{
    LOVWaveWindow w;
    w.resize(402, 101);
    w.show();
    w.SetSource(LCutListAudio(44100, 1), 0, false);
    w.SetEndMark(0);
    w.SetView(0, 44100);
    ASSERT_TRUE(Probe::Wait(w));
    const QImage img = w.grab().toImage();
    const QRgb none = w.palette().color(QPalette::Button).rgb();
    for (int x : { 2, 3, 200, 400 }) // the cursor line is at client x 1
        EXPECT_EQ(img.pixelColor(x, 10).rgb(), none) << x;
}
