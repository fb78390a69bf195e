#include "engine/resume/resumefile.h"
#include "tests/ui/window/windowfixture.h"

#include <QFile>

using namespace kestrune;

using Answer = MessageBox::Answer;
Q_DECLARE_METATYPE(QList<kestrune::MessageBox::Answer>)

// A window opened on a folder whose last run did not complete.
class TestUnfinishedRun : public WindowTest
{
    Q_OBJECT

private:
    // The fixture's window exports pages 1 to 3 and is stopped after page 1.
    void LeaveAnUnfinishedRun()
    {
        f_->RunTo(QStringLiteral("60"));
        f_->Box("Text4")->setText(QStringLiteral("0"));
        connect(&f_->Engine(), &Exporter::pageFinished, &f_->Engine(), &Exporter::Stop);
        MessageBox::SetNextAnswer(Answer::Ok);
        QSignalSpy failed(&f_->Engine(), &Exporter::failed);
        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QVERIFY(failed.wait());
        f_->Engine().disconnect(&f_->Engine());
        MessageBox::ResetAnswers();
    }

private slots:
    // 继续 carries the run on in a new window as if it never stopped;
    // 不用了 removes the record only once 放弃 confirms it; a record that
    // cannot be read is told and kept. The start's own messages come after.
    void offeredOnStart_data()
    {
        QTest::addColumn<QByteArray>("record"); // empty: the stopped run's
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<bool>("continues");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("told");
        QTest::newRow("继续") << QByteArray() << QList{Answer::Ok} << true << false
                              << QStringLiteral(
                                     "上次的导出没有完成：Henu，第 21—60 名。要接着导出吗？");
        QTest::newRow("不用了, 保留")
            << QByteArray() << QList{Answer::Choice, Answer::Ok} << false << true
            << QStringLiteral("不再接着上次的导出（Henu，第 21—60 名）了吗？");
        QTest::newRow("不用了, 放弃")
            << QByteArray() << QList{Answer::Choice, Answer::Choice} << false << false << QString();
        QTest::newRow("damaged") << QByteArray("kestrune-resume 1\nforum=") << QList{Answer::Ok}
                                 << false << true << QStringLiteral("已损坏");
    }
    void offeredOnStart()
    {
        QFETCH(QByteArray, record);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, continues);
        QFETCH(bool, kept);
        QFETCH(QString, told);
        LeaveAnUnfinishedRun();
        const QString resume = f_->dir.filePath(QLatin1String(ResumeFileName));
        if (!record.isEmpty()) {
            QFile file(resume);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(record) == record.size());
        }

        MainWindow window;
        window.Engine().SetDirectory(QDir(f_->dir.path()));
        // No address chosen yet: the record's is used without asking.
        window.UseSettings(f_->store, true, {});
        for (const Answer answer : answers)
            MessageBox::SetNextAnswer(answer);
        QSignalSpy completed(&window.Engine(), &Exporter::completed);
        bool settled = false;
        window.OfferUnfinishedRun([&settled] { settled = true; });
        QTRY_VERIFY(settled);
        QCOMPARE(MessageBox::Answered().size(), answers.size());
        QVERIFY2(told.isEmpty() || MessageBox::Answered().constLast().message.text.contains(told),
                 qPrintable(MessageBox::Answered().constLast().message.text));
        QCOMPARE(window.Engine().IsRunning(), continues);
        if (continues) {
            QVERIFY(completed.wait());
            QCOMPARE(f_->Results(), ExpectedPages(f_->forum, "Henu", 1, 3));
        } else {
            QCOMPARE(f_->Results(), ExpectedPages(f_->forum, "Henu", 1, 1));
        }
        QCOMPARE(QFile::exists(resume), kept);
    }
};

QTEST_MAIN(TestUnfinishedRun)
#include "tst_unfinishedrun.moc"
