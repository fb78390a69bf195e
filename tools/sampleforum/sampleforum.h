#pragma once

#include "tools/sampleforum/memberroster.h"
#include "tools/sampleforum/samplemember.h"

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
    static constexpr quint16 DefaultPort = 8936;
    static constexpr int MembersPerPage = MemberRoster::MembersPerPage;

    explicit SampleForum(QObject *parent = nullptr);

    // Port 0 picks any free port; see ServerPort().
    bool Listen(quint16 port = DefaultPort);
    quint16 ServerPort() const;
    QString ErrorString() const;

    void SetMemberCountOverride(std::optional<qint64> count);
    // Lets different members share a name, for tests of a ranking that shifts.
    void SetRepeatNames(bool repeat);
    // 0, the default, is the ranking as it always is; see MemberRoster::SetDay.
    void SetDay(int day);
    // Each rule applies to that page number of every forum; rules accumulate.
    void SetStallPage(qint64 page);
    void SetStatusPage(qint64 page, int code);
    void SetSlowPage(qint64 page, int ms);

    qint64 MemberCount(const QByteArray &forumName) const;
    QList<SampleMember> MembersOnPage(const QByteArray &forumName, qint64 page) const;
    // The exact body served for that page (GBK).
    QByteArray PageBody(const QByteArray &forumName, qint64 page) const;

    // Requests whose head arrived completely, whatever the answer.
    qint64 RequestCount() const { return requestCount_; }

signals:
    void requestReceived(const QByteArray &target);

private:
    void AcceptConnections();
    void Answer(QTcpSocket *socket, const QByteArray &method, const QByteArray &target);

    QTcpServer *server_; // child
    MemberRoster roster_;
    QSet<qint64> stallPages_;
    QHash<qint64, int> statusPages_;
    QHash<qint64, int> slowPages_;
    qint64 requestCount_ = 0;
};

} // namespace kestrune
