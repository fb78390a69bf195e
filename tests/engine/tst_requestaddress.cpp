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
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("forumName");
        QTest::addColumn<QByteArray>("expected"); // empty: rejected
        // query null: rejected.
        const auto row =
            [](const char *name, const char *host, const QString &forumName, const char *query) {
                const QByteArray base =
                    QByteArray(host).startsWith("https") ? "https://h" : "http://h:1";
                QTest::newRow(name)
                    << QString::fromLatin1(host) << forumName
                    << (query ? base + "/f/like/furank?kw=" + query + "&pn=2" : QByteArray());
            };
        row("ascii", "h:1", QStringLiteral("abc"), "abc");
        row("empty", "h:1", QString(), "");
        row("space", "h:1", QStringLiteral("a b"), "a%20b");
        row("chinese", "h:1", QStringLiteral("中"), "%D6%D0");
        row("query characters as typed", "h:1", QStringLiteral("a&b/c+d"), "a&b/c+d");
        // A fragment would cut the page number off every request.
        row("hash", "h:1", QStringLiteral("a#b"), "a%23b");
        row("control character", "h:1", QStringLiteral("a\tb"), "a%09b");
        // Escapes typed whole are kept; a stray or cut one is escaped.
        row("percent signs", "h:1", QStringLiteral("%D6%d0%4%"), "%D6%d0%254%25");
        row("characters an address cannot carry", "h:1", QStringLiteral("<>\"{}|\\^`"),
            "%3C%3E%22%7B%7D%7C%5C%5E%60");
        row("no code page form", "h:1", QStringLiteral("😀"), nullptr);
        row("base with slash", "http://h:1/", QStringLiteral("a"), "a");
        row("https base", "https://h", QStringLiteral("a"), "a");
        row("another scheme", "ftp://h", QStringLiteral("a"), nullptr);
        row("a path", "h/x", QStringLiteral("a"), nullptr);
        row("space in host", "h x", QStringLiteral("a"), nullptr);
        row("no host", "", QStringLiteral("a"), nullptr);
    }
    void address()
    {
        QFETCH(QString, host);
        QFETCH(QString, forumName);
        QFETCH(QByteArray, expected);
        const Expected<QByteArray> address = BuildRequestAddress(host, forumName, 2);
        QCOMPARE(address.HasValue(), !expected.isEmpty());
        if (address)
            QCOMPARE(*address, expected);
        else
            QCOMPARE(address.Error().Kind(), ErrorKind::InvalidArgument);
    }
};

QTEST_GUILESS_MAIN(TestRequestAddress)
#include "tst_requestaddress.moc"
