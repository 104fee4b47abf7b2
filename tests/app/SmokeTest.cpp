#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

TEST(App, OffscreenWidgetsWork)
{
    QWidget w;
    w.resize(200, 100);
    w.show();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(QApplication::platformName(), "offscreen");
}
