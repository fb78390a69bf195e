#include "tools/sampleforum/sampleforum.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

using namespace kestrune;

namespace {

// The whole reply to a request written in these pieces; the forum closes
// the connection after every reply.
// Every member of the forum as the roster lists it, in rank order.
QList<SampleMember> Ranking(const SampleForum &forum, const QByteArray &forumName)
{
    QList<SampleMember> members;
    const qint64 pages = (forum.MemberCount(forumName) + SampleForum::MembersPerPage - 1) /
                         SampleForum::MembersPerPage;
    for (qint64 page = 1; page <= pages; ++page)
        members += forum.MembersOnPage(forumName, page);
    return members;
}

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

    // A later day lists the same members, each near its day-0 rank, with
    // levels that only rise; day 0 is pinned to the bytes it always served.
    void days_data()
    {
        QTest::addColumn<QByteArray>("forumName");
        QTest::addColumn<int>("members"); // 0: the forum's own count
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("repeatNames");
        QTest::addColumn<QByteArray>("firstPageSha1"); // empty: not pinned

        const QByteArray henu = "Henu";
        const QByteArray heda = "\xBA\xD3\xB4\xF3";
        QTest::newRow("day 0") << henu << 0 << 0 << false
                               << QByteArray("ffbea48a108d9fc3178540fe114792fe8a9caf0b");
        QTest::newRow("day 0, repeated names")
            << henu << 0 << 0 << true << QByteArray("e523c8898476741fcc7401c4afb04c29555d1206");
        QTest::newRow("day 1") << henu << 0 << 1 << false << QByteArray();
        QTest::newRow("day 2, 500 members") << henu << 500 << 2 << false << QByteArray();
        QTest::newRow("day 2, repeated names") << henu << 500 << 2 << true << QByteArray();
        QTest::newRow("fewer than a block") << heda << 37 << 5 << false << QByteArray();
        QTest::newRow("one member") << heda << 1 << 3 << false << QByteArray();
        QTest::newRow("last day") << henu << 500 << MemberRoster::MaxDay << false << QByteArray();
    }

    void days()
    {
        QFETCH(QByteArray, forumName);
        QFETCH(int, members);
        QFETCH(int, day);
        QFETCH(bool, repeatNames);
        QFETCH(QByteArray, firstPageSha1);

        SampleForum dayZero;
        SampleForum forum;
        SampleForum again;
        for (SampleForum *each : {&dayZero, &forum, &again}) {
            if (members > 0)
                each->SetMemberCountOverride(members);
            each->SetRepeatNames(repeatNames);
        }
        forum.SetDay(day);
        again.SetDay(day);

        const QList<SampleMember> before = Ranking(dayZero, forumName);
        const QList<SampleMember> after = Ranking(forum, forumName);
        QCOMPARE(after.size(), forum.MemberCount(forumName));
        QSet<qint64> seen;
        qint64 moved = 0;
        qint64 risen = 0;
        for (qsizetype i = 0; i < after.size(); ++i) {
            const SampleMember &member = after[i];
            QCOMPARE(member.rank, i + 1);
            QVERIFY(member.id >= 1 && member.id <= after.size());
            QVERIFY2(!seen.contains(member.id), qPrintable(QString::number(member.id)));
            seen.insert(member.id);
            const SampleMember &was = before[member.id - 1];
            QCOMPARE(member.name, was.name);
            QVERIFY(qAbs(member.rank - was.rank) < MemberRoster::ShuffleSpan);
            QVERIFY(member.level >= was.level);
            QVERIFY(member.level <= std::min(was.level + day, MemberRoster::MaxLevel));
            moved += member.rank != was.rank ? 1 : 0;
            risen += member.level > was.level ? 1 : 0;
        }
        QCOMPARE(moved > 0, day > 0 && after.size() > 1);
        QCOMPARE(risen > 0, day > 0 && after.size() > 1);

        const qint64 lastPage = (after.size() - 1) / SampleForum::MembersPerPage + 1;
        for (const qint64 page : {qint64{1}, lastPage})
            QCOMPARE(again.PageBody(forumName, page), forum.PageBody(forumName, page));
        if (!firstPageSha1.isEmpty())
            QCOMPARE(
                QCryptographicHash::hash(forum.PageBody(forumName, 1), QCryptographicHash::Sha1)
                    .toHex(),
                firstPageSha1);
    }

    // Two days' exports of the same ranks, compared by name as the tables
    // are: members climbed, fell, stayed, came in and left at the range's
    // edges, and some gained a level while none lost one.
    void betweenDays_data()
    {
        QTest::addColumn<int>("olderDay");
        QTest::addColumn<int>("newerDay");
        QTest::addColumn<int>("fromRank");
        QTest::addColumn<int>("toRank");

        QTest::newRow("day 1 to 2, ranks 1-2000") << 1 << 2 << 1 << 2000;
        QTest::newRow("day 0 to 1, ranks 1-2000") << 0 << 1 << 1 << 2000;
        QTest::newRow("day 2 to 3, ranks 101-300") << 2 << 3 << 101 << 300;
    }

    void betweenDays()
    {
        QFETCH(int, olderDay);
        QFETCH(int, newerDay);
        QFETCH(int, fromRank);
        QFETCH(int, toRank);

        const auto exported = [&](int day) {
            SampleForum forum;
            forum.SetDay(day);
            QHash<QByteArray, SampleMember> byName;
            for (const SampleMember &member : Ranking(forum, "Henu")) {
                if (member.rank >= fromRank && member.rank <= toRank)
                    byName.insert(member.name, member);
            }
            return byName;
        };
        const QHash<QByteArray, SampleMember> older = exported(olderDay);
        const QHash<QByteArray, SampleMember> newer = exported(newerDay);
        QCOMPARE(newer.size(), older.size());

        int climbed = 0;
        int fell = 0;
        int stayed = 0;
        int gone = 0;
        int risen = 0;
        for (const SampleMember &was : older) {
            const auto now = newer.constFind(was.name);
            if (now == newer.cend()) {
                ++gone;
                continue;
            }
            QVERIFY(now->level >= was.level);
            risen += now->level > was.level ? 1 : 0;
            climbed += now->rank < was.rank ? 1 : 0;
            fell += now->rank > was.rank ? 1 : 0;
            stayed += now->rank == was.rank ? 1 : 0;
        }
        QVERIFY2(climbed > 0 && fell > 0 && stayed > 0 && gone > 0 && risen > 0,
                 qPrintable(QString::asprintf("climbed %d, fell %d, stayed %d, gone %d, risen %d",
                                              climbed, fell, stayed, gone, risen)));
    }
};

QTEST_GUILESS_MAIN(TestSampleForum)
#include "tst_sampleforum.moc"
