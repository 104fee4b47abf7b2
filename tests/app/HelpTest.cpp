#include "ModalScript.h"
#include "app/LMDIMainWindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <gtest/gtest.h>

namespace {
// Takes the URLs the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler("file", this, "Open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};
} // namespace

TEST(Help, ContentsOpenTheBundledPageOrSayItIsMissing)
{
    UrlCatcher catcher;
    LMDIMainWindow w;
    const QString strDir = QCoreApplication::applicationDirPath() + "/help";
    const QString strPage = strDir + "/index.html";
    const bool bHadPage = QFile::exists(strPage);
    if (!bHadPage) {
        ModalScript script;
        script.Then(ModalScript::Answer(QMessageBox::Ok));
        w.Action(CM_HELPCONTENTS)->trigger();
        ASSERT_EQ(script.seen.size(), 1u);
        EXPECT_EQ(script.seen[0].strTitle, "Orvenna");
        EXPECT_TRUE(script.seen[0].strText.startsWith("Unable to open the help file"));
        EXPECT_TRUE(catcher.urls.isEmpty());
        // The program's own folder holds the pages; put one there.
        QDir().mkpath(strDir);
        QFile::copy(QString(QT_TESTCASE_SOURCEDIR) + "/../app/help/index.html", strPage);
    }
    w.Action(CM_HELPCONTENTS)->trigger();
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(strPage));
    if (!bHadPage)
        QDir(strDir).removeRecursively();

    ModalScript script;
    script.Then(ModalScript::Answer(QMessageBox::Ok));
    w.Action(CM_ABOUT)->trigger();
    ASSERT_EQ(script.seen.size(), 1u);
    EXPECT_EQ(script.seen[0].strTitle, "About Orvenna");
    EXPECT_TRUE(script.seen[0].strText.startsWith("Orvenna"));
}

#include "HelpTest.moc"
