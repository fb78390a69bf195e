#include "tests/ui/window/windowfixture.h"

using namespace kestrune;

// A Chinese forum name typed into the window goes out as GBK, as on Linux.
class TestTypedName final : public WindowTest
{
    Q_OBJECT

private slots:
    void typedNameReachesServer_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("received");
        QTest::newRow("河大") << QStringLiteral("河大") << QByteArray("\xBA\xD3\xB4\xF3");
        QTest::newRow("中文吧") << QStringLiteral("中文吧")
                                << QByteArray("\xD6\xD0\xCE\xC4\xB0\xC9");
        QTest::newRow("mixed with a space")
            << QStringLiteral("河大 Henu") << QByteArray("\xBA\xD3\xB4\xF3 Henu");
    }
    void typedNameReachesServer()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, received);
        QList<QByteArray> targets;
        connect(&f_->forum, &SampleForum::requestReceived, this,
                [&targets](const QByteArray &target) { targets << target; });
        QLineEdit *name = f_->Box("Text1");
        name->clear();
        WindowFixture::CommitEach(name, typed);
        QCOMPARE(name->text(), typed);
        f_->RunTo(QStringLiteral("40"));
        MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
        QSignalSpy completed(&f_->Engine(), &Exporter::completed);
        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QVERIFY(completed.wait());
        QCOMPARE(MessageBox::Answered().constLast().message.text, QStringLiteral("导出完成！"));

        QCOMPARE(targets.size(), 2);
        const QByteArray kw = "kw=" + received.toPercentEncoding(" ", {}).replace(' ', "%20");
        QVERIFY2(targets.first().contains(kw), targets.first().constData());
        QCOMPARE(f_->Results(), ExpectedPages(f_->forum, received, 1, 2));
    }
};

QTEST_MAIN(TestTypedName)
#include "tst_typedname.moc"
