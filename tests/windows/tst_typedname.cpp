#include "tests/support/expectedresults.h"
#include "tests/support/fixtures.h"
#include "tools/sampleforum/sampleforum.h"
#include "ui/mainwindow.h"
#include "ui/messagebox.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kestrune;

// A Chinese forum name typed into the window goes out as GBK, as on Linux.
class TestTypedName final : public QObject
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
        SampleForum forum;
        QVERIFY(forum.Listen(0));
        QTemporaryDir dir;
        MainWindow window;
        window.Engine().SetHost(LocalHost(forum.ServerPort()));
        window.Engine().SetDirectory(QDir(dir.path()));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QList<QByteArray> targets;
        connect(&forum, &SampleForum::requestReceived, this,
                [&targets](const QByteArray &target) { targets << target; });

        auto *name = window.findChild<QLineEdit *>(QStringLiteral("Text1"));
        name->clear();
        // Chinese comes from an input method as committed text, not as keys.
        for (const QChar character : typed) {
            QInputMethodEvent commit;
            commit.setCommitString(QString(character));
            QCoreApplication::sendEvent(name, &commit);
        }
        QCOMPARE(name->text(), typed);
        window.findChild<QLineEdit *>(QStringLiteral("Text3"))->setText(QStringLiteral("40"));
        window.findChild<QLineEdit *>(QStringLiteral("Text4"))->setText(QStringLiteral("0"));
        MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
        QSignalSpy completed(&window.Engine(), &Exporter::completed);
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QVERIFY(completed.wait());
        QCOMPARE(MessageBox::Answered().constLast().message.text, QStringLiteral("导出完成！"));
        MessageBox::ResetAnswers();

        QCOMPARE(targets.size(), 2);
        const QByteArray kw = "kw=" + received.toPercentEncoding(" ", {}).replace(' ', "%20");
        QVERIFY2(targets.first().contains(kw), targets.first().constData());
        QCOMPARE(FileBytes(dir.filePath(QStringLiteral("jieguo.txt"))),
                 ExpectedPages(forum, received, 1, 2));
    }
};

QTEST_MAIN(TestTypedName)
#include "tst_typedname.moc"
