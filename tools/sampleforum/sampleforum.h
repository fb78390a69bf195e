#pragma once

#include "memberroster.h"
#include "samplemember.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <optional>

class QTcpServer;
class QTcpSocket;

namespace kestrune {

// Stand-in forum service on 127.0.0.1 serving GBK ranking pages, with fault modes for tests.
class SampleForum : public QObject
{
    Q_OBJECT

public:
    static constexpr quint16 defaultPort = 8936;
    static constexpr int membersPerPage = MemberRoster::membersPerPage;

    explicit SampleForum(QObject *parent = nullptr);

    // Port 0 picks any free port; see serverPort().
    bool listen(quint16 port = defaultPort);
    quint16 serverPort() const;
    QString errorString() const;

    void setMemberCountOverride(std::optional<qint64> count);
    // Each rule applies to that page number of every forum; rules accumulate.
    void setStallPage(qint64 page);
    void setStatusPage(qint64 page, int code);
    void setSlowPage(qint64 page, int ms);

    qint64 memberCount(const QByteArray &forumName) const;
    QList<SampleMember> membersOnPage(const QByteArray &forumName, qint64 page) const;
    // The exact body served for that page (GBK).
    QByteArray pageBody(const QByteArray &forumName, qint64 page) const;

    // Requests whose head arrived completely, whatever the answer.
    qint64 requestCount() const { return m_requestCount; }

signals:
    void requestReceived(const QByteArray &target);

private:
    void acceptConnections();
    void answer(QTcpSocket *socket, const QByteArray &method, const QByteArray &target);

    QTcpServer *m_server; // child
    MemberRoster m_roster;
    QSet<qint64> m_stallPages;
    QHash<qint64, int> m_statusPages;
    QHash<qint64, int> m_slowPages;
    qint64 m_requestCount = 0;
};

} // namespace kestrune
