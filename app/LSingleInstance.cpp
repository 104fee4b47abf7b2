#include "app/LSingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <unistd.h>

LSingleInstance::LSingleInstance(const QString& strName, QObject* pParent)
    : QObject(pParent)
    , strName(strName)
{
}

LSingleInstance::~LSingleInstance() = default;

QString LSingleInstance::DefaultName()
{
    return "orvenna-" + QString::number(getuid());
}

bool LSingleInstance::HandOff(const QStringList& paths, int iTimeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(strName);
    if (!socket.waitForConnected(iTimeoutMs))
        return false;
    QByteArray message;
    for (const QString& strPath : paths)
        message += QFileInfo(strPath).absoluteFilePath().toUtf8() + '\n';
    if (message.isEmpty())
        message = "\n";
    // The end of the message is the end of the connection.
    socket.write(message);
    if (!socket.waitForBytesWritten(iTimeoutMs) && socket.bytesToWrite() > 0)
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(iTimeoutMs);
    return true;
}

LSingleInstance::Role LSingleInstance::Start(const QStringList& paths)
{
    if (HandOff(paths))
        return kHandedOff;
    // Another start may be between its failed hand-off and its listen: the
    // lock makes the second one wait and then find the first one listening.
    QLockFile lock(QDir::tempPath() + "/" + strName + ".lock");
    lock.setStaleLockTime(10000);
    // Without the lock (a folder we cannot write) the steps run unguarded.
    lock.tryLock(5000);
    for (int iTry = 0; iTry < 2; ++iTry) {
        if (HandOff(paths))
            return kHandedOff;
        if (Listen())
            return kRunning;
    }
    return kAlone;
}

bool LSingleInstance::Listen()
{
    if (pServer)
        return true;
    // The server binds beside the name and renames over it, which would
    // silently take the name from a running instance: ask first.
    if (IsAnswering())
        return false;
    // Nobody answers: a socket still there is a left-over.
    QLocalServer::removeServer(strName);
    pServer = new QLocalServer(this);
    pServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(pServer, &QLocalServer::newConnection, this, &LSingleInstance::Accept);
    if (pServer->listen(strName))
        return true;
    delete pServer;
    pServer = nullptr;
    return false;
}

bool LSingleInstance::IsAnswering() const
{
    QLocalSocket probe;
    probe.connectToServer(strName);
    if (!probe.waitForConnected(500))
        return false;
    // An empty message would bring the window to the front: leave without one.
    probe.abort();
    return true;
}

void LSingleInstance::Accept()
{
    while (QLocalSocket* pSocket = pServer->nextPendingConnection()) {
        auto* pBuffer = new QByteArray;
        connect(pSocket, &QLocalSocket::readyRead, this,
            [pSocket, pBuffer]() { *pBuffer += pSocket->readAll(); });
        connect(pSocket, &QLocalSocket::disconnected, this, [this, pSocket, pBuffer]() {
            *pBuffer += pSocket->readAll();
            const bool bProbe = pBuffer->isEmpty();
            QStringList paths;
            for (const QByteArray& line : pBuffer->split('\n'))
                if (!line.isEmpty())
                    paths.append(QString::fromUtf8(line));
            delete pBuffer;
            pSocket->deleteLater();
            if (!bProbe)
                emit Activated(paths);
        });
    }
}
