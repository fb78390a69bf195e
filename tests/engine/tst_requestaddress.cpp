#include "engine/requestaddress.h"
#include "platform/runtimeerror.h"

#include <QTest>

using namespace kestrune;

class TestRequestAddress : public QObject
{
    Q_OBJECT

private slots:
    void address_data()
    {
        QTest::addColumn<QString>("forumName");
        QTest::addColumn<qint64>("page");
        QTest::addColumn<QByteArray>("expected"); // empty: rejected
        const QByteArray prefix = "http://h:1/f/like/furank?kw=";
        QTest::newRow("ascii") << "abc" << qint64(3) << prefix + "abc&pn=3";
        QTest::newRow("negative page") << "abc" << qint64(-1) << prefix + "abc&pn=-1";
        QTest::newRow("empty") << "" << qint64(1) << prefix + "&pn=1";
        QTest::newRow("space") << "a b" << qint64(1) << prefix + "a%20b&pn=1";
        QTest::newRow("chinese") << "中" << qint64(1) << prefix + "%D6%D0&pn=1";
        QTest::newRow("ampersand as typed") << "a&b" << qint64(1) << prefix + "a&b&pn=1";
        QTest::newRow("slash as typed") << "a/b" << qint64(1) << prefix + "a/b&pn=1";
        QTest::newRow("plus as typed") << "a+b" << qint64(1) << prefix + "a+b&pn=1";
        // A fragment would cut the page number off every request.
        QTest::newRow("hash") << "a#b" << qint64(1) << prefix + "a%23b&pn=1";
        QTest::newRow("control character") << "a\tb" << qint64(1) << prefix + "a%09b&pn=1";
        QTest::newRow("stray percent") << "%" << qint64(1) << prefix + "%25&pn=1";
        QTest::newRow("percent and one hex digit") << "%4" << qint64(1) << prefix + "%254&pn=1";
        QTest::newRow("typed already encoded") << "%D6%d0" << qint64(1) << prefix + "%D6%d0&pn=1";
        QTest::newRow("characters an address cannot carry")
            << "<>\"{}|\\^`" << qint64(1) << prefix + "%3C%3E%22%7B%7D%7C%5C%5E%60&pn=1";
        QTest::newRow("no code page form") << "😀" << qint64(1) << QByteArray();
        QTest::newRow("100 chinese") << QString(100, u'中') << qint64(1)
                                     << prefix + QByteArray("%D6%D0").repeated(100) + "&pn=1";
    }
    void address()
    {
        QFETCH(QString, forumName);
        QFETCH(qint64, page);
        QFETCH(QByteArray, expected);
        if (expected.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(RuntimeError,
                                     BuildRequestAddress(QStringLiteral("h:1"), forumName, page));
            return;
        }
        QCOMPARE(BuildRequestAddress(QStringLiteral("h:1"), forumName, page), expected);
    }

    void hosts_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QByteArray>("expected"); // empty: rejected
        const QByteArray path = "/f/like/furank?kw=a&pn=1";
        QTest::newRow("host and port") << "h:8"
                                       << "http://h:8" + path;
        QTest::newRow("https base") << "https://h"
                                    << "https://h" + path;
        QTest::newRow("base with slash") << "http://h:8/"
                                         << "http://h:8" + path;
        QTest::newRow("another scheme") << "ftp://h" << QByteArray();
        QTest::newRow("a path") << "h/x" << QByteArray();
        QTest::newRow("space in host") << "h x" << QByteArray();
        QTest::newRow("empty") << "" << QByteArray();
    }
    void hosts()
    {
        QFETCH(QString, host);
        QFETCH(QByteArray, expected);
        if (expected.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(RuntimeError,
                                     BuildRequestAddress(host, QStringLiteral("a"), 1));
            return;
        }
        QCOMPARE(BuildRequestAddress(host, QStringLiteral("a"), 1), expected);
    }
};

QTEST_GUILESS_MAIN(TestRequestAddress)
#include "tst_requestaddress.moc"
