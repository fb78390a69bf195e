#include "sampleforum.h"

#include "httpresponse.h"
#include "rankingpage.h"
#include "rankingquery.h"
#include "requestreader.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace kestrune {

namespace {

const QByteArray rankingPath = QByteArrayLiteral("/f/like/furank");

void send(QTcpSocket *socket, const QByteArray &response)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write(response);
    socket->disconnectFromHost(); // flushes first
}

} // namespace

SampleForum::SampleForum(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &SampleForum::acceptConnections);
}

bool SampleForum::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 SampleForum::serverPort() const
{
    return m_server->serverPort();
}

QString SampleForum::errorString() const
{
    return m_server->errorString();
}

void SampleForum::setMemberCountOverride(std::optional<qint64> count)
{
    m_roster = MemberRoster(count);
}

void SampleForum::setStallPage(qint64 page)
{
    m_stallPages.insert(page);
}

void SampleForum::setStatusPage(qint64 page, int code)
{
    m_statusPages.insert(page, code);
}

void SampleForum::setSlowPage(qint64 page, int ms)
{
    m_slowPages.insert(page, ms);
}

qint64 SampleForum::memberCount(const QByteArray &forumName) const
{
    return m_roster.memberCount(forumName);
}

QList<SampleMember> SampleForum::membersOnPage(const QByteArray &forumName, qint64 page) const
{
    return m_roster.membersOnPage(forumName, page);
}

QByteArray SampleForum::pageBody(const QByteArray &forumName, qint64 page) const
{
    return RankingPage::render(forumName, page, m_roster.lastPage(forumName),
                               m_roster.membersOnPage(forumName, page));
}

void SampleForum::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // Owned by the slot below, so it lives as long as this connection.
        const auto reader = std::make_shared<RequestReader>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        const auto onReadyRead = [this, socket, reader] {
            const QByteArray bytes = socket->readAll();
            if (reader->status() != RequestReader::Status::Incomplete)
                return;
            switch (reader->feed(bytes)) {
            case RequestReader::Status::Incomplete:
                break;
            case RequestReader::Status::Invalid:
                send(socket, httpResponse(400, "text/plain", "bad request\n"));
                break;
            case RequestReader::Status::Complete:
                answer(socket, reader->method(), reader->target());
                break;
            }
        };
        connect(socket, &QTcpSocket::readyRead, this, onReadyRead);
        if (socket->bytesAvailable() > 0)
            onReadyRead();
    }
}

void SampleForum::answer(QTcpSocket *socket, const QByteArray &method, const QByteArray &target)
{
    ++m_requestCount;
    emit requestReceived(target);

    if (method != "GET") {
        send(socket, httpResponse(405, "text/plain", "method not allowed\n"));
        return;
    }
    const RankingQuery query = RankingQuery::fromTarget(target);
    if (query.path != rankingPath) {
        send(socket, httpResponse(404, "text/plain", "not found\n"));
        return;
    }
    if (m_stallPages.contains(query.page))
        return; // keep the socket open and silent

    const QByteArray response =
        httpResponse(m_statusPages.value(query.page, 200), "text/html; charset=gbk",
                     pageBody(query.forumName, query.page));
    const int delay = m_slowPages.value(query.page, 0);
    if (delay > 0)
        QTimer::singleShot(delay, socket, [socket, response] { send(socket, response); });
    else
        send(socket, response);
}

} // namespace kestrune
