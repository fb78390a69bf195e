#include "platform/cp936.h"

#include <QTest>

using namespace kestrune;

class TestCp936 : public QObject
{
    Q_OBJECT

private slots:
    void convert_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes"); // none: the text has no GBK form
        QTest::addColumn<bool>("encoded");     // the text gives these bytes, not only read
        const QString bad(QChar::ReplacementCharacter);
        QTest::newRow("ascii") << QStringLiteral("Henu") << QByteArray("Henu") << true;
        QTest::newRow("chinese") << QStringLiteral("中文") << QByteArray("\xD6\xD0\xCE\xC4")
                                 << true;
        QTest::newRow("euro") << QStringLiteral("€") << QByteArray("\x80") << true;
        QTest::newRow("single byte 0xFF") << QStringLiteral("\uF8F5") << QByteArray("\xFF") << true;
        QTest::newRow("user-defined area")
            << QStringLiteral("\uE000") << QByteArray("\xAA\xA1") << true;
        QTest::newRow("emoji") << QStringLiteral("a😀") << QByteArray() << true;
        // Windows would send a look-alike: à, a, space.
        QTest::newRow("capital with grave") << QStringLiteral("À") << QByteArray() << true;
        QTest::newRow("no-break space") << QStringLiteral("\u00A0") << QByteArray() << true;
        // A dangling lead byte is kept as a character of its own.
        QTest::newRow("lead alone") << bad << QByteArray("\x81") << false;
        QTest::newRow("lead after ascii") << "ab" + bad << QByteArray("ab\xD6") << false;
        QTest::newRow("lead after pair") << "中" + bad << QByteArray("\xD6\xD0\xD6") << false;
        QTest::newRow("lead before space") << bad + " a" << QByteArray("\x81 a") << false;
        QTest::newRow("lead before 0xFF") << bad + QChar(0xF8F5) << QByteArray("\xD6\xFF") << false;
    }
    void convert()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, encoded);
        QByteArray out;
        if (encoded)
            QCOMPARE(EncodeCp936(text, out) ? out : QByteArray(), bytes);
        if (!bytes.isEmpty())
            QCOMPARE(DecodeCp936(bytes), text);
    }
};

QTEST_GUILESS_MAIN(TestCp936)
#include "tst_cp936.moc"
