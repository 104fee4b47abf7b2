#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

// One editor per user: a program started while another runs hands its file
// paths to the running one over a local socket named per user and ends.
// The message is the paths, one a line, in UTF-8; an empty message only asks
// the running instance to come to the front.
class LSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit LSingleInstance(const QString& strName = DefaultName(), QObject* pParent = nullptr);
    ~LSingleInstance() override;

    // "orvenna-" and the user id.
    static QString DefaultName();

    // Gives the paths (made absolute) to a running instance; false when none
    // answered within the time.
    bool HandOff(const QStringList& paths, int iTimeoutMs = 2000);
    // Becomes the running instance; a socket left behind by one that ended
    // without cleaning up is taken over. False when it cannot listen.
    bool Listen();

signals:
    // Another start asked to come to the front, with its paths (maybe none).
    void Activated(const QStringList& paths);

private:
    void Accept();

    QString strName;
    QLocalServer* pServer = nullptr;
};
