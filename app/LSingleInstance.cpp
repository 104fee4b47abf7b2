#include "app/LSingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

LSingleInstance::LSingleInstance(const QString& strName, QObject* pParent) : QObject(pParent), strName(strName) {}

LSingleInstance::~LSingleInstance() = default;

QString LSingleInstance::DefaultName() { return "orvenna-" + QString::number(getuid()); }

bool LSingleInstance::HandOff(const QStringList& paths, int iTimeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(strName);
    if (!socket.waitForConnected(iTimeoutMs))
        return false;
    QByteArray message;
    for (const QString& strPath : paths)
        message += QFileInfo(strPath).absoluteFilePath().toUtf8() + '\n';
    // The end of the message is the end of the connection.
    socket.write(message);
    if (!socket.waitForBytesWritten(iTimeoutMs) && socket.bytesToWrite() > 0)
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(iTimeoutMs);
    return true;
}

bool LSingleInstance::Listen()
{
    if (pServer)
        return true;
    pServer = new QLocalServer(this);
    pServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(pServer, &QLocalServer::newConnection, this, &LSingleInstance::Accept);
    if (pServer->listen(strName))
        return true;
    if (pServer->serverError() == QAbstractSocket::AddressInUseError) {
        // Nobody answered HandOff: the socket is a left-over.
        QLocalServer::removeServer(strName);
        if (pServer->listen(strName))
            return true;
    }
    delete pServer;
    pServer = nullptr;
    return false;
}

void LSingleInstance::Accept()
{
    while (QLocalSocket* pSocket = pServer->nextPendingConnection()) {
        auto* pBuffer = new QByteArray;
        connect(pSocket, &QLocalSocket::readyRead, this, [pSocket, pBuffer]() { *pBuffer += pSocket->readAll(); });
        connect(pSocket, &QLocalSocket::disconnected, this, [this, pSocket, pBuffer]() {
            *pBuffer += pSocket->readAll();
            QStringList paths;
            for (const QByteArray& line : pBuffer->split('\n'))
                if (!line.isEmpty())
                    paths.append(QString::fromUtf8(line));
            delete pBuffer;
            pSocket->deleteLater();
            emit Activated(paths);
        });
    }
}
