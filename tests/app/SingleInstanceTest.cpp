#include "MainWindowFixture.h"
#include "app/LSingleInstance.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QThread>
#include <QtTest/QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <semaphore>
#include <unistd.h>

namespace {
QString UniqueName()
{
    static int n = 0;
    return QString("orvenna-test-%1-%2").arg(getpid()).arg(++n);
}
} // namespace

TEST(SingleInstanceTest, PathsTravelAbsoluteToTheRunningInstance)
{
    const QString strName = UniqueName();
    LSingleInstance first(strName);
    ASSERT_TRUE(first.Listen());
    QSignalSpy spy(&first, &LSingleInstance::Activated);

    LSingleInstance second(strName);
    ASSERT_TRUE(second.HandOff({ "relative name.wav", QString::fromUtf8("/data/Grüße.wav") }));
    ASSERT_TRUE(spy.wait(3000));
    const QStringList paths = spy.takeFirst().at(0).toStringList();
    ASSERT_EQ(paths.size(), 2);
    EXPECT_EQ(paths[0], QDir::current().absoluteFilePath("relative name.wav"));
    EXPECT_EQ(paths[1], QString::fromUtf8("/data/Grüße.wav"));

    // A start without a file only asks to come to the front.
    LSingleInstance third(strName);
    ASSERT_TRUE(third.HandOff({}));
    ASSERT_TRUE(spy.wait(3000));
    EXPECT_TRUE(spy.takeFirst().at(0).toStringList().isEmpty());
}

TEST(SingleInstanceTest, NobodyOrALeftOverSocketMeansNoHandOffAndIsTakenOver)
{
    const QString strName = UniqueName();
    LSingleInstance second(strName);
    EXPECT_FALSE(second.HandOff({ "/tmp/a.wav" }, 200));
    {
        QFile stale(QDir::tempPath() + "/" + strName);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    EXPECT_FALSE(second.HandOff({}, 200));
    LSingleInstance first(strName);
    ASSERT_TRUE(first.Listen());
    QSignalSpy spy(&first, &LSingleInstance::Activated);
    EXPECT_TRUE(second.HandOff({ "/x.wav" }));
    EXPECT_TRUE(spy.wait(3000));
}

TEST(SingleInstanceTest, ASecondListenerLeavesTheRunningOneAlone)
{
    const QString strName = UniqueName();
    LSingleInstance first(strName);
    ASSERT_TRUE(first.Listen());
    QSignalSpy spy(&first, &LSingleInstance::Activated);
    // The second one must not take the socket over, and its probe is not a
    // request to come to the front.
    LSingleInstance second(strName);
    EXPECT_FALSE(second.Listen());
    EXPECT_FALSE(spy.wait(300));
    EXPECT_EQ(second.Start({ "/late.wav" }), LSingleInstance::kHandedOff);
    ASSERT_TRUE(spy.wait(3000));
    EXPECT_EQ(spy.takeFirst().at(0).toStringList(), QStringList { "/late.wav" });
}

TEST(SingleInstanceTest, TwoStartsAtOnceGiveOneRunningInstance)
{
    for (int iRound = 0; iRound < 10; ++iRound) {
        const QString strName = UniqueName();
        std::atomic<int> aRoles[2] = { -1, -1 };
        std::counting_semaphore<2> started(0), checked(0);
        auto start = [&](int i) {
            return QThread::create([&, i] {
                LSingleInstance instance(strName);
                aRoles[i] = instance.Start({ QString("/file%1.wav").arg(i) });
                started.release();
                // Held until the socket was checked, so the runner still listens.
                checked.acquire();
            });
        };
        QThread* pA = start(0);
        QThread* pB = start(1);
        pA->start();
        pB->start();
        started.acquire();
        started.acquire();
        const int iRunning = int(aRoles[0] == LSingleInstance::kRunning)
            + int(aRoles[1] == LSingleInstance::kRunning);
        const int iHanded = int(aRoles[0] == LSingleInstance::kHandedOff)
            + int(aRoles[1] == LSingleInstance::kHandedOff);
        EXPECT_EQ(iRunning, 1) << "round " << iRound;
        EXPECT_EQ(iHanded, 1) << "round " << iRound;
        LSingleInstance third(strName);
        EXPECT_TRUE(third.HandOff({}, 1000)) << "round " << iRound;
        checked.release(2);
        pA->wait();
        pB->wait();
        delete pA;
        delete pB;
    }
}

TEST_F(MainWindowFixture, RunningWindowLoadsTheHandedFile)
{
    REQUIRE_PEER("sox");
    const std::string strPath = MakeWav("handed.wav", { "-r", "8000", "-c", "1" });
    const std::string strOther = dir.File("other.wav");
    ASSERT_EQ(TestSupport::Run({ "sox", strPath, strOther, "reverse" }), 0);
    const QString strName = UniqueName();
    w->showMinimized();
    LSingleInstance first(strName);
    ASSERT_TRUE(first.Listen());
    QObject::connect(&first, &LSingleInstance::Activated, w.get(), &LMDIMainWindow::EvLoad);

    LSingleInstance second(strName);
    ASSERT_TRUE(second.HandOff({ QString::fromStdString(strPath) }));
    ASSERT_TRUE(QTest::qWaitFor([&]() { return w->GetController().GetNoFiles() == 1; }, 5000));
    ASSERT_NE(w->GetController().GetCurrentFile(), nullptr);
    EXPECT_EQ(w->GetController().GetCurrentFile()->szFilePath, strPath);
    EXPECT_EQ(w->GetController().GetCurrentFile()->GetLength(), 8000);
    EXPECT_FALSE(w->isMinimized());
    EXPECT_TRUE(w->isVisible());

    // While a modal dialog (a load's progress) runs, the file waits.
    QDialog busy(w.get());
    busy.setWindowModality(Qt::ApplicationModal);
    busy.show();
    w->EvLoad({ QString::fromStdString(strOther) });
    QTest::qWait(300);
    EXPECT_EQ(w->GetController().GetNoFiles(), 1);
    busy.hide();
    EXPECT_TRUE(QTest::qWaitFor([&]() { return w->GetController().GetNoFiles() == 2; }, 5000));
    EXPECT_EQ(w->GetController().GetCurrentFile()->szFilePath, strOther);
}
