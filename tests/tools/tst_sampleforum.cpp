#include "tools/sampleforum/sampleforum.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

using namespace kestrune;

namespace {

// The whole reply to a request written in these pieces; the forum closes
// the connection after every reply.
QByteArray Exchange(const SampleForum &forum, const QList<QByteArray> &pieces)
{
    QTcpSocket socket;
    QSignalSpy closed(&socket, &QTcpSocket::disconnected);
    socket.connectToHost(QHostAddress::LocalHost, forum.ServerPort());
    for (const QByteArray &piece : pieces) {
        socket.write(piece);
        if (!socket.waitForBytesWritten(5000))
            return {};
        QCoreApplication::processEvents();
    }
    if (closed.isEmpty() && !closed.wait(5000))
        return {};
    return socket.readAll();
}

} // namespace

class TestSampleForum : public QObject
{
    Q_OBJECT

private slots:
    // What the exporter makes of these pages, and the slow and stalled pages, are
    // checked by the export and window tests; here the forum's own edges.
    void requests_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<int>("members"); // 0: the forum's own count
        QTest::addColumn<QByteArray>("statusLine");
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("firstRank");

        const auto get = [](const QByteArray &query) {
            return QList<QByteArray>{"GET /f/like/furank?kw=Henu" + query + " HTTP/1.1\r\n\r\n"};
        };
        const QByteArray ok = "HTTP/1.1 200 OK";
        const QByteArray bad = "HTTP/1.1 400 Bad Request";
        QTest::newRow("first") << get("&pn=1") << 0 << ok << 20 << 1;
        QTest::newRow("last") << get("&pn=118") << 0 << ok << 5 << 2341;
        QTest::newRow("past last") << get("&pn=119") << 0 << ok << 0 << 0;
        QTest::newRow("member count set") << get("&pn=3") << 45 << ok << 5 << 41;
        QTest::newRow("status rule")
            << get("&pn=2") << 0 << QByteArray("HTTP/1.1 500 Internal Server Error") << 20 << 21;
        QTest::newRow("in pieces") << QList<QByteArray>{"GE", "T /f/like/furank?kw=Henu&pn=1 HT",
                                                        "TP/1.1\r\nHost: a\r\n", "\r\n"}
                                   << 0 << ok << 20 << 1;
        QTest::newRow("other path") << QList<QByteArray>{"GET /f/like/other HTTP/1.1\r\n\r\n"} << 0
                                    << QByteArray("HTTP/1.1 404 Not Found") << 0 << 0;
        QTest::newRow("not http") << QList<QByteArray>{"hello there\r\n\r\n"} << 0 << bad << 0 << 0;
        QTest::newRow("overlong head")
            << QList<QByteArray>{"GET / HTTP/1.1\r\nX: " + QByteArray(17000, 'a') + "\r\n\r\n"} << 0
            << bad << 0 << 0;
    }

    void requests()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(int, members);
        QFETCH(QByteArray, statusLine);
        QFETCH(int, listed);
        QFETCH(int, firstRank);

        SampleForum forum;
        if (members > 0)
            forum.SetMemberCountOverride(members);
        forum.SetStatusPage(2, 500);
        QVERIFY(forum.Listen(0));

        const QByteArray reply = Exchange(forum, pieces);
        QVERIFY2(reply.startsWith(statusLine + "\r\n"), reply.left(60).constData());
        QCOMPARE(reply.count("username="), listed);
        QCOMPARE(reply.count("l_item_ex"), listed);
        if (listed == 0)
            return;
        QVERIFY(reply.contains("\r\nContent-Type: text/html; charset=gbk\r\n"));
        const auto rank = [](int n) {
            return "rank_digit\">" + QByteArray::number(n) + "<";
        };
        QVERIFY(reply.contains(rank(firstRank)) && reply.contains(rank(firstRank + listed - 1)));
        QVERIFY(!reply.contains(rank(firstRank - 1)) && !reply.contains(rank(firstRank + listed)));
    }

    // A real forum's names are its members' own, so an export that meets one
    // twice can report the ranking as shifted (the repeating forum's test is
    // the command line's, which finds them told).
    void names_data()
    {
        QTest::addColumn<QByteArray>("forumName");
        QTest::newRow("Henu") << QByteArray("Henu");
        QTest::newRow("河大 in GBK") << QByteArray("\xBA\xD3\xB4\xF3");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("odd bytes") << QByteArray("\xFF\0<&\"_\x81", 7);
    }

    void names()
    {
        QFETCH(QByteArray, forumName);
        constexpr qint64 members = 100'000;
        SampleForum forum;
        forum.SetMemberCountOverride(members);
        QSet<QByteArray> names;
        names.reserve(members);
        qint64 ascii = 0;
        for (qint64 page = 1; page <= members / SampleForum::MembersPerPage; ++page) {
            for (const SampleMember &member : forum.MembersOnPage(forumName, page)) {
                QVERIFY(!member.name.isEmpty() && member.name.size() <= 28);
                ascii += static_cast<unsigned char>(member.name.front()) < 0x80 ? 1 : 0;
                names.insert(member.name);
            }
        }
        QCOMPARE(names.size(), members);
        QVERIFY2(ascii > members / 4 && ascii < members / 2, qPrintable(QString::number(ascii)));
    }
};

QTEST_GUILESS_MAIN(TestSampleForum)
#include "tst_sampleforum.moc"
