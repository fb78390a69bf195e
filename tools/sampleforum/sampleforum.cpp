#include "tools/sampleforum/sampleforum.h"

#include "tools/sampleforum/httpresponse.h"
#include "tools/sampleforum/rankingpage.h"
#include "tools/sampleforum/rankingquery.h"
#include "tools/sampleforum/requestreader.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

namespace kestrune {

namespace {

const QByteArray RankingPath = QByteArrayLiteral("/f/like/furank");

void Send(QTcpSocket *socket, const QByteArray &response)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write(response);
    socket->disconnectFromHost(); // flushes first
}

} // namespace

SampleForum::SampleForum(QObject *parent)
    : QObject(parent)
    , server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &SampleForum::AcceptConnections);
}

bool SampleForum::Listen(quint16 port)
{
    return server_->listen(QHostAddress::LocalHost, port);
}

quint16 SampleForum::ServerPort() const
{
    return server_->serverPort();
}

QString SampleForum::ErrorString() const
{
    return server_->errorString();
}

void SampleForum::SetMemberCountOverride(std::optional<qint64> count)
{
    roster_.SetCountOverride(count);
}

void SampleForum::SetRepeatNames(bool repeat)
{
    roster_.SetNames(repeat ? MemberRoster::Names::Repeated : MemberRoster::Names::Distinct);
}

void SampleForum::SetDay(int day)
{
    roster_.SetDay(day);
}

void SampleForum::SetStallPage(qint64 page)
{
    stallPages_.insert(page);
}

void SampleForum::SetStatusPage(qint64 page, int code)
{
    statusPages_.insert(page, code);
}

void SampleForum::SetSlowPage(qint64 page, int ms)
{
    slowPages_.insert(page, ms);
}

qint64 SampleForum::MemberCount(const QByteArray &forumName) const
{
    return roster_.MemberCount(forumName);
}

QList<SampleMember> SampleForum::MembersOnPage(const QByteArray &forumName, qint64 page) const
{
    return roster_.MembersOnPage(forumName, page);
}

QByteArray SampleForum::PageBody(const QByteArray &forumName, qint64 page) const
{
    return RankingPage::Render(forumName, page, roster_.LastPage(forumName),
                               roster_.MembersOnPage(forumName, page));
}

void SampleForum::AcceptConnections()
{
    while (QTcpSocket *socket = server_->nextPendingConnection()) {
        // Owned by the slot below, so it lives as long as this connection.
        const auto reader = std::make_shared<RequestReader>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        const auto onReadyRead = [this, socket, reader] {
            const QByteArray bytes = socket->readAll();
            if (reader->CurrentStatus() != RequestReader::Status::Incomplete)
                return;
            switch (reader->Feed(bytes)) {
            case RequestReader::Status::Incomplete:
                break;
            case RequestReader::Status::Invalid:
                Send(socket, HttpResponse(400, "text/plain", "bad request\n"));
                break;
            case RequestReader::Status::Complete:
                Answer(socket, reader->Method(), reader->Target());
                break;
            }
        };
        connect(socket, &QTcpSocket::readyRead, this, onReadyRead);
        if (socket->bytesAvailable() > 0)
            onReadyRead();
    }
}

void SampleForum::Answer(QTcpSocket *socket, const QByteArray &method, const QByteArray &target)
{
    ++requestCount_;
    emit requestReceived(target);

    if (method != "GET") {
        Send(socket, HttpResponse(405, "text/plain", "method not allowed\n"));
        return;
    }
    const RankingQuery query = RankingQuery::FromTarget(target);
    if (query.path != RankingPath) {
        Send(socket, HttpResponse(404, "text/plain", "not found\n"));
        return;
    }
    if (stallPages_.contains(query.page))
        return; // keep the socket open and silent

    const QByteArray response =
        HttpResponse(statusPages_.value(query.page, 200), "text/html; charset=gbk",
                     PageBody(query.forumName, query.page));
    const int delay = slowPages_.value(query.page, 0);
    if (delay > 0)
        QTimer::singleShot(delay, socket, [socket, response] { Send(socket, response); });
    else
        Send(socket, response);
}

} // namespace kestrune
