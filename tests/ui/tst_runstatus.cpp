#include "tests/support/scriptedserver.h"
#include "tests/ui/windowfixture.h"

#include <QLabel>
#include <QProgressBar>

using namespace kestrune;

// How the status bar follows a run; tst_mainwindow sees how runs end.
class TestRunStatus final : public WindowTest
{
    Q_OBJECT

private slots:
    // Each page tells the names written and, in its tip and the bar beside
    // it, the pages done; a wait before another try tells itself.
    void statusFollowsRun()
    {
        ScriptedServer server; // two names a page
        QVERIFY(server.Listen());
        server.Script({{.body = {}, .status = 503}, {}});
        f_->Engine().SetHost(LocalHost(server.Port()));
        f_->Engine().SetRetries(1);
        f_->RunTo(QStringLiteral("60"));
        const QLabel *panel = f_->Bar()->Panel1();
        const QProgressBar *bar = f_->Bar()->RunProgress();
        QStringList progress;
        connect(&f_->Engine(), &Exporter::pageFinished, this, [&progress, panel, bar] {
            progress << panel->text() + panel->toolTip() + (bar->isHidden() ? "" : bar->text());
        });
        QStringList retries; // told, and as it should be
        connect(&f_->Engine(), &Exporter::retryScheduled, this,
                [&retries, panel](qint64 page, int retry, qint64 ms) {
                    retries << panel->text() << DescribeRetry(page, retry, ms);
                });
        MessageBox::SetNextAnswer(MessageBox::Answer::Ok);
        QSignalSpy completed(&f_->Engine(), &Exporter::completed);

        QTest::mouseClick(f_->Button(), Qt::LeftButton);
        QVERIFY(completed.wait());
        QCOMPARE(retries.size(), 2);
        QCOMPARE(retries.at(0), retries.at(1));
        QCOMPARE(progress.size(), 3);
        for (int page = 1; page <= 3; ++page) {
            const QString &shown = progress.at(page - 1);
            QVERIFY2(shown.contains(QStringLiteral("%1/3").arg(page)), qPrintable(shown));
            QVERIFY2(shown.contains(QStringLiteral("%1 个名字").arg(page * 2)), qPrintable(shown));
        }
        QVERIFY2(progress.constLast().endsWith(QStringLiteral("约 0 秒")),
                 qPrintable(progress.constLast()));
        // The counts stay until the next run.
        QVERIFY(bar->isHidden());
        QCOMPARE(panel->text(), QStringLiteral("第 3 页完成 · 6 个名字"));
    }
};

QTEST_MAIN(TestRunStatus)
#include "tst_runstatus.moc"
