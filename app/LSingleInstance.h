#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

// One editor per user: a program started while another runs hands its file
// paths to the running one over a local socket named per user and ends.
// The message is the paths, each ending in a line break, in UTF-8; a single
// line break only asks the running instance to come to the front, and a
// connection closed without a byte (a probe) asks nothing.
class LSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit LSingleInstance(const QString& strName = DefaultName(), QObject* pParent = nullptr);
    ~LSingleInstance() override;

    enum Role { kHandedOff, kRunning, kAlone };

    // "orvenna-" and the user id.
    static QString DefaultName();

    // The start of a program: hands the paths to a running instance, or
    // becomes the running instance. Two programs started at the same moment
    // take turns through a lock file, so exactly one of them listens and the
    // other hands off to it. kAlone: neither worked (the program runs on
    // without taking files from later starts).
    Role Start(const QStringList& paths);

    // Gives the paths (made absolute) to a running instance; false when none
    // answered within the time.
    bool HandOff(const QStringList& paths, int iTimeoutMs = 2000);
    // Becomes the running instance; a socket left behind by one that ended
    // without cleaning up is taken over. False when it cannot listen, or
    // when another instance answers on the socket.
    bool Listen();

signals:
    // Another start asked to come to the front, with its paths (maybe none).
    void Activated(const QStringList& paths);

private:
    void Accept();
    // True when a server takes a connection on the name.
    bool IsAnswering() const;

    QString strName;
    QLocalServer* pServer = nullptr;
};
