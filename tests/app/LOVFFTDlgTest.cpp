#include "app/LOVFFTDlg.h"

#include "app/LFrequencyWindow.h"
#include "platform/LSettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

TEST(LOVFFTDlg, LabelUnderTheMouseAndFourTimesKeptOnClose)
{
    LSettings::Get().SetInt("Settings", "FreqFourTimes", 0);
    LSpectrumValues values;
    values.fill(-127);
    values[93] = -3;
    LOVFFTDlg dlg(44100, values, nullptr);
    dlg.resize(1100, 400);
    dlg.show();
    LFrequencyWindow& w = *dlg.GetWindow();
    ASSERT_FALSE(dlg.GetFourTimes()->isChecked());
    // Bin 93 sits at x = 93 x W / 2048; the bottom edge is about -64 db.
    const int x = (93 * w.width() + 2047) / 2048;
    QTest::mouseMove(&w, QPoint(x, w.height() - 1));
    EXPECT_EQ(w.BinAt(x), 93);
    EXPECT_EQ(w.GetLabel(), QString("1001 Hz, -64 db"));
    EXPECT_EQ(dlg.Label(0, 0), "0 Hz, 0 db");
    // Four Times: the lowest 512 bins over the whole width.
    dlg.GetFourTimes()->setChecked(true);
    EXPECT_EQ(w.BinAt(w.width() - 1), 511);
    EXPECT_EQ(w.BinAt(x * 4), 93);
    dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->click();
    EXPECT_EQ(LSettings::Get().GetInt("Settings", "FreqFourTimes", 0), 1);
    LOVFFTDlg again(44100, values, nullptr);
    EXPECT_TRUE(again.GetFourTimes()->isChecked());
}
