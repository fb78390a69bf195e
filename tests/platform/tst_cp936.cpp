#include "platform/cp936.h"

#include <QTest>

using namespace kestrune;

class TestCp936 : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("Henu") << QByteArray("Henu");
        QTest::newRow("chinese") << QStringLiteral("中文") << QByteArray("\xD6\xD0\xCE\xC4");
        QTest::newRow("euro") << QStringLiteral("€") << QByteArray("\x80");
        QTest::newRow("single byte 0xFF") << QStringLiteral("\uF8F5") << QByteArray("\xFF");
        QTest::newRow("user-defined area") << QStringLiteral("\uE000") << QByteArray("\xAA\xA1");
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QByteArray encoded;
        QVERIFY(EncodeCp936(text, encoded));
        QCOMPARE(encoded, bytes);
        QCOMPARE(DecodeCp936(bytes), text);
    }

    void unencodableFails_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("emoji") << QStringLiteral("a😀");
        // Windows would send a look-alike: à, a, space.
        QTest::newRow("capital with grave") << QStringLiteral("À");
        QTest::newRow("no-break space") << QStringLiteral("\u00A0");
    }
    void unencodableFails()
    {
        QFETCH(QString, text);
        QByteArray encoded;
        QVERIFY(!EncodeCp936(text, encoded));
    }

    void danglingLeadByteIsKept_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString bad(QChar::ReplacementCharacter);
        QTest::newRow("alone") << QByteArray("\x81") << bad;
        QTest::newRow("after ascii") << QByteArray("ab\xD6") << QStringLiteral("ab") + bad;
        QTest::newRow("after pair") << QByteArray("\xD6\xD0\xD6") << QStringLiteral("中") + bad;
        QTest::newRow("trail byte last") << QByteArray("\xD6\xD0") << QStringLiteral("中");
        // A byte that cannot follow a lead byte stays a character of its own.
        QTest::newRow("before space") << QByteArray("\x81 a") << bad + QStringLiteral(" a");
        QTest::newRow("before 0xFF") << QByteArray("\xD6\xFF") << bad + QChar(0xF8F5);
    }
    void danglingLeadByteIsKept()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(DecodeCp936(bytes), text);
    }
};

QTEST_GUILESS_MAIN(TestCp936)
#include "tst_cp936.moc"
