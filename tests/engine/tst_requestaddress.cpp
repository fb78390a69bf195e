#include "requestaddress.h"
#include "runtimeerror.h"

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
        QTest::newRow("hash starts a fragment") << "a#b" << qint64(1) << prefix + "a#b&pn=1";
        QTest::newRow("control character") << "a\tb" << qint64(1) << prefix + "a%09b&pn=1";
        QTest::newRow("stray percent") << "%" << qint64(1) << QByteArray();
        QTest::newRow("quote") << "a\"b" << qint64(1) << QByteArray();
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
        QCOMPARE(BuildRequestAddress(QStringLiteral("h:1"), forumName, page).toEncoded(), expected);
    }
};

QTEST_GUILESS_MAIN(TestRequestAddress)
#include "tst_requestaddress.moc"
