#include "app/LHelp.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

bool LHelp::Open(const QString& strTopic, QString& strMessage)
{
    const QString strDir = QCoreApplication::applicationDirPath();
    QString strHelp = strDir + "/help/index.html";
    if (!QFileInfo::exists(strHelp))
        strHelp = strDir + "/../share/orvenna/help/index.html";
    QUrl url = QUrl::fromLocalFile(strHelp);
    if (!strTopic.isEmpty())
        url.setFragment(strTopic);
    if (QFileInfo::exists(strHelp) && QDesktopServices::openUrl(url))
        return true;
    strMessage = "Unable to open the help file \"" + strHelp + "\".";
    return false;
}
