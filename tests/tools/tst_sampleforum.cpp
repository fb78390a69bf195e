#include "platform/cp936.h"
#include "tools/sampleforum/sampleforum.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <memory>

using namespace kestrune;

namespace {

QByteArray gbk(QStringView text)
{
    QByteArray bytes;
    EncodeCp936(text, bytes);
    return bytes;
}

QString fromGbk(const QByteArray &bytes)
{
    return DecodeCp936(bytes);
}

QByteArray rankingTarget(const QByteArray &forum, const QByteArray &query)
{
    return "/f/like/furank?kw=" + forum.toPercentEncoding() + query;
}

struct Fetched
{
    bool finished = false;
    int status = 0;
    QByteArray contentType;
    QByteArray body;
};

Fetched fetch(const SampleForum &forum, const QByteArray &target, int timeoutMs = 5000)
{
    QNetworkAccessManager nam;
    nam.setProxy(QNetworkProxy::NoProxy);
    const QUrl url =
        QUrl::fromEncoded("http://127.0.0.1:" + QByteArray::number(forum.ServerPort()) + target);
    const std::unique_ptr<QNetworkReply> reply(nam.get(QNetworkRequest(url)));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    Fetched result;
    result.finished = finished.wait(timeoutMs);
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.contentType = reply->rawHeader("Content-Type");
    result.body = reply->readAll();
    return result;
}

} // namespace

class TestSampleForum : public QObject
{
    Q_OBJECT

private slots:
    void pages_data();
    void pages();
    void roster();
    void faults_data();
    void faults();
    void rawRequests_data();
    void rawRequests();
};

void TestSampleForum::pages_data()
{
    QTest::addColumn<QByteArray>("forumName");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<qint64>("page");
    QTest::addColumn<int>("membersOverride");
    QTest::addColumn<int>("listed");
    QTest::addColumn<qint64>("firstRank");

    const QByteArray henu = QByteArrayLiteral("Henu");
    QTest::newRow("first") << henu << QByteArray("&pn=1") << qint64{1} << 0 << 20 << qint64{1};
    QTest::newRow("last") << henu << QByteArray("&pn=118") << qint64{118} << 0 << 5 << qint64{2341};
    QTest::newRow("past last") << henu << QByteArray("&pn=119") << qint64{119} << 0 << 0
                               << qint64{0};
    QTest::newRow("negative") << henu << QByteArray("&pn=-1") << qint64{-1} << 0 << 0 << qint64{0};
    QTest::newRow("garbage") << henu << QByteArray("&pn=x1") << qint64{0} << 0 << 0 << qint64{0};
    QTest::newRow("chinese") << gbk(u"中文论坛") << QByteArray("&pn=2") << qint64{2} << 0 << 20
                             << qint64{21};
    QTest::newRow("override") << henu << QByteArray("&pn=3") << qint64{3} << 45 << 5 << qint64{41};
}

void TestSampleForum::pages()
{
    QFETCH(QByteArray, forumName);
    QFETCH(QByteArray, query);
    QFETCH(qint64, page);
    QFETCH(int, membersOverride);
    QFETCH(int, listed);
    QFETCH(qint64, firstRank);

    SampleForum forum;
    if (membersOverride > 0)
        forum.SetMemberCountOverride(membersOverride);
    QVERIFY(forum.Listen(0));
    QSignalSpy received(&forum, &SampleForum::requestReceived);

    const QByteArray target = rankingTarget(forumName, query);
    const Fetched reply = fetch(forum, target);
    QVERIFY(reply.finished);
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.contentType, QByteArray("text/html; charset=gbk"));
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.at(0).at(0).toByteArray(), target);
    QCOMPARE(reply.body, forum.PageBody(forumName, page));
    QVERIFY(reply.body.endsWith('\n'));

    // What the program extracts from these pages is checked by the export tests.
    QVERIFY(fromGbk(reply.body).contains(fromGbk(forumName)));
    const QList<SampleMember> expected = forum.MembersOnPage(forumName, page);
    QCOMPARE(expected.size(), listed);
    QCOMPARE(reply.body.count("username="), listed);
    QCOMPARE(reply.body.count("l_item_ex"), listed);
    for (qsizetype i = 0; i < expected.size(); ++i)
        QCOMPARE(expected[i].rank, firstRank + i);
}

void TestSampleForum::roster()
{
    const SampleForum forum;
    const QByteArray henu = QByteArrayLiteral("Henu");
    QCOMPARE(forum.MemberCount(henu), 2345);
    QVERIFY(forum.MembersOnPage(gbk(u"中文"), 1) != forum.MembersOnPage(gbk(u"中文论坛"), 1));
    for (const QByteArray &other : {gbk(u"中文"), QByteArray("a"), QByteArray()}) {
        QVERIFY(forum.MemberCount(other) >= 500);
        QVERIFY(forum.MemberCount(other) <= 3000);
    }

    static const QRegularExpression ascii(QStringLiteral("^[A-Za-z0-9_]{3,16}$"));
    static const QRegularExpression hanzi(QStringLiteral("^\\p{Han}{1,14}$"));
    int asciiNames = 0;
    int longestNames = 0;
    for (qint64 page = 1; page <= 118; ++page) {
        for (const SampleMember &member : forum.MembersOnPage(henu, page)) {
            const QString name = fromGbk(member.name);
            QVERIFY2(member.level >= 1 && member.level <= 18, member.name.constData());
            if (ascii.match(name).hasMatch()) {
                ++asciiNames;
                continue;
            }
            QVERIFY2(hanzi.match(name).hasMatch(), member.name.toHex().constData());
            QCOMPARE(member.name.size(), name.size() * 2); // two-byte GB2312 codes only
            longestNames += name.size() == 14;
        }
    }
    QVERIFY(asciiNames > 0);
    QVERIFY(longestNames > 0);
}

void TestSampleForum::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("value");

    QTest::newRow("status 404") << QStringLiteral("status") << 404;
    QTest::newRow("status 500") << QStringLiteral("status") << 500;
    QTest::newRow("slow") << QStringLiteral("slow") << 100;
    QTest::newRow("stall") << QStringLiteral("stall") << 0;
}

void TestSampleForum::faults()
{
    QFETCH(QString, fault);
    QFETCH(int, value);

    constexpr qint64 faultyPage = 4;
    SampleForum forum;
    if (fault == u"status")
        forum.SetStatusPage(faultyPage, value);
    else if (fault == u"slow")
        forum.SetSlowPage(faultyPage, value);
    else
        forum.SetStallPage(faultyPage);
    QVERIFY(forum.Listen(0));

    const QByteArray henu = QByteArrayLiteral("Henu");
    QElapsedTimer clock;
    clock.start();
    const Fetched faulty =
        fetch(forum, rankingTarget(henu, "&pn=4"), fault == u"stall" ? 200 : 5000);
    if (fault == u"stall") {
        QVERIFY(!faulty.finished);
        QCOMPARE(forum.RequestCount(), 1);
    } else {
        QVERIFY(faulty.finished);
        QCOMPARE(faulty.status, fault == u"status" ? value : 200);
        QCOMPARE(faulty.body, forum.PageBody(henu, faultyPage));
        if (fault == u"slow")
            QVERIFY(clock.elapsed() >= value);
    }

    const Fetched healthy = fetch(forum, rankingTarget(henu, "&pn=3"));
    QVERIFY(healthy.finished);
    QCOMPARE(healthy.status, 200);
}

void TestSampleForum::rawRequests_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<QByteArray>("statusLine");

    QTest::newRow("in pieces") << QList<QByteArray>{"GE", "T /f/like/furank?kw=Henu&pn=1 HT",
                                                    "TP/1.1\r\nHost: a\r\n", "\r\n"}
                               << QByteArray("HTTP/1.1 200 OK");
    QTest::newRow("other path") << QList<QByteArray>{"GET /f/like/other HTTP/1.1\r\n\r\n"}
                                << QByteArray("HTTP/1.1 404 Not Found");
    QTest::newRow("post") << QList<QByteArray>{"POST /f/like/furank HTTP/1.1\r\n"
                                               "Content-Length: 3\r\n\r\nabc"}
                          << QByteArray("HTTP/1.1 405 Method Not Allowed");
    QTest::newRow("not http") << QList<QByteArray>{"hello there\r\n\r\n"}
                              << QByteArray("HTTP/1.1 400 Bad Request");
    QTest::newRow("overlong head")
        << QList<QByteArray>{"GET / HTTP/1.1\r\nX: " + QByteArray(17000, 'a') + "\r\n\r\n"}
        << QByteArray("HTTP/1.1 400 Bad Request");
}

void TestSampleForum::rawRequests()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(QByteArray, statusLine);

    SampleForum forum;
    QVERIFY(forum.Listen(0));
    QTcpSocket socket;
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    socket.connectToHost(QHostAddress::LocalHost, forum.ServerPort());
    for (const QByteArray &piece : pieces) {
        socket.write(piece);
        QVERIFY(socket.waitForBytesWritten(5000));
        QCoreApplication::processEvents();
    }
    QVERIFY(!closed.isEmpty() || closed.wait(5000));
    QVERIFY(socket.readAll().startsWith(statusLine + "\r\n"));
}

QTEST_GUILESS_MAIN(TestSampleForum)
#include "tst_sampleforum.moc"
