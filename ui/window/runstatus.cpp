#include "ui/window/runstatus.h"

#include "engine/messages/failuremessage.h"
#include "engine/messages/timeleftmessage.h"
#include "engine/run/exporter.h"
#include "engine/run/exportinputs.h"
#include "platform/clock.h"
#include "ui/window/statusbar.h"

namespace kestrune {

RunStatus::RunStatus(StatusBar &bar, const Exporter &exporter, const ExportInputs &inputs,
                     const Clock &clock)
    : bar_(bar)
    , exporter_(exporter)
    , inputs_(inputs)
    , clock_(clock)
{
    connect(&exporter, &Exporter::pageStarted, this, &RunStatus::OnPageStarted);
    connect(&exporter, &Exporter::pageFinished, this, &RunStatus::OnPageFinished);
    connect(&exporter, &Exporter::retryScheduled, this, [this](qint64 page, int retry, qint64 ms) {
        bar_.ShowText(DescribeRetry(page, retry, ms));
    });
}

RunStatus::~RunStatus() = default;

void RunStatus::RunEnded()
{
    bar_.HideRunProgress();
}

void RunStatus::ShowRunEnd(const ExportFailure &failure)
{
    // Else the last progress text says the run still goes on.
    if (!failure.RunStarted())
        return;
    ShowProgress(
        failure.cause == ExportFailure::Cause::Stopped ? QStringLiteral("已停在第 %1 页")
                                                       : QStringLiteral("出错停在第 %1 页"),
        failure.page, failure.page - failure.firstPage, failure.namesWritten + failure.namesOnPage);
}

void RunStatus::OnPageStarted(qint64 page)
{
    pace_.PageStarted(clock_.MonotonicMilliseconds());
    ShowTimeLeft(page - exporter_.FirstPage());
    ShowProgress(QStringLiteral("正在下载第 %1 页"), page, page - exporter_.FirstPage(),
                 exporter_.NamesWritten());
}

void RunStatus::OnPageFinished(qint64 page, qint64 namesWritten)
{
    ShowProgress(QStringLiteral("第 %1 页完成"), page, page - exporter_.FirstPage() + 1,
                 namesWritten);
    pace_.PageFinished(clock_.MonotonicMilliseconds(), Pause());
    ShowTimeLeft(page - exporter_.FirstPage() + 1);
}

void RunStatus::ShowProgress(const QString &state, qint64 page, qint64 pagesDone,
                             qint64 namesWritten)
{
    // The panel has room for the page and the names only; the pages done
    // fill the bar beside it, and the tip tells them.
    bar_.ShowText(state.arg(page) + QStringLiteral(" · %1 个名字").arg(namesWritten),
                  QStringLiteral("已完成 %1/%2 页").arg(pagesDone).arg(Pages()));
}

void RunStatus::ShowTimeLeft(qint64 pagesDone)
{
    bar_.ShowRunProgress(pagesDone, Pages(),
                         DescribeTimeLeft(pace_.TimeLeft(Pages() - pagesDone, Pause()), true));
}

qint64 RunStatus::Pages() const
{
    return exporter_.LastPage() - exporter_.FirstPage() + 1;
}

std::int64_t RunStatus::Pause() const
{
    return PauseOfDelay(inputs_.Delay().toStdString());
}

} // namespace kestrune
