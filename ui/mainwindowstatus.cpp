// The status bar's account of a run: the page, the names, the time left.
#include "engine/timeleft.h"
#include "platform/clock.h"
#include "ui/mainwindow.h"
#include "ui/statusbar.h"

#include <QLabel>
#include <QPushButton>

namespace kestrune {

void MainWindow::ShowProgress(const QString &state, qint64 page, qint64 pagesDone,
                              qint64 namesWritten)
{
    const qint64 pages = exporter_.LastPage() - exporter_.FirstPage() + 1;
    // The panel has room for the page and the names only; the pages done
    // fill the bar beside it, and the tip tells them.
    statusBar_->Panel1()->setText(state.arg(page) +
                                  QStringLiteral(" · %1 个名字").arg(namesWritten));
    statusBar_->Panel1()->setToolTip(QStringLiteral("已完成 %1/%2 页").arg(pagesDone).arg(pages));
}

void MainWindow::OnPageStarted(qint64 page)
{
    pace_.PageStarted(clock_.MonotonicMilliseconds());
    ShowTimeLeft(page - exporter_.FirstPage());
    ShowProgress(QStringLiteral("正在下载第 %1 页"), page, page - exporter_.FirstPage(),
                 exporter_.NamesWritten());
}

void MainWindow::OnPageFinished(qint64 page, qint64 namesWritten)
{
    ShowProgress(QStringLiteral("第 %1 页完成"), page, page - exporter_.FirstPage() + 1,
                 namesWritten);
    pace_.PageFinished(clock_.MonotonicMilliseconds(), PauseOfDelay(Delay().toStdString()));
    ShowTimeLeft(page - exporter_.FirstPage() + 1);
}

void MainWindow::ShowTimeLeft(qint64 pagesDone)
{
    const qint64 pages = exporter_.LastPage() - exporter_.FirstPage() + 1;
    statusBar_->ShowRunProgress(
        pagesDone, pages,
        DescribeTimeLeft(pace_.TimeLeft(pages - pagesDone, PauseOfDelay(Delay().toStdString())),
                         true));
}

void MainWindow::ShowIdle()
{
    // The status bar keeps the run's last counts until the next run.
    statusBar_->HideRunProgress();
    exportButton_->setText(QStringLiteral("导出"));
}

void MainWindow::ShowRunEnd(const ExportFailure &failure)
{
    // Else the last progress text says the run still goes on.
    if (!failure.RunStarted())
        return;
    ShowProgress(
        failure.cause == ExportFailure::Cause::Stopped ? QStringLiteral("已停在第 %1 页")
                                                       : QStringLiteral("出错停在第 %1 页"),
        failure.page, failure.page - failure.firstPage, failure.namesWritten + failure.namesOnPage);
}

} // namespace kestrune
