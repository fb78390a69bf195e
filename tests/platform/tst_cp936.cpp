#include "cp936.h"

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
        QTest::newRow("dash") << QStringLiteral("—") << QByteArray("\xA1\xAA");
        QTest::newRow("done") << QStringLiteral("导出完成！")
                              << QByteArray("\xB5\xBC\xB3\xF6\xCD\xEA\xB3\xC9\xA3\xA1");
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

    void unencodableFails()
    {
        QByteArray encoded;
        QVERIFY(!EncodeCp936(QStringLiteral("a😀"), encoded));
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
