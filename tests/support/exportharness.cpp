#include "tests/support/exportharness.h"

#include "engine/messages/failuremessage.h"
#include "engine/messages/runreportmessage.h"
#include "tests/support/fixtures.h"

#include <QEventLoop>
#include <QTimer>

namespace kestrune {

RunOutcome WaitForOutcome(Exporter &exporter, int timeoutMs)
{
    RunOutcome outcome;
    QEventLoop loop;
    const auto onCompleted =
        QObject::connect(&exporter, &Exporter::completed, &loop, [&](const RunReport &report) {
            outcome = {true, true, CompletionMessage(), {}, report};
            loop.quit();
        });
    const auto onFailed =
        QObject::connect(&exporter, &Exporter::failed, &loop, [&](const ExportFailure &failure) {
            const UserMessage message = DescribeFailure(failure);
            outcome = {true, false, message.text + u'\n' + message.detail, failure, {}};
            loop.quit();
        });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(onCompleted);
    QObject::disconnect(onFailed);
    return outcome;
}

ExportHarness::ExportHarness(const Clock &clock)
    : exporter(inputs, clock)
{
    if (forum.Listen(0))
        exporter.SetHost(LocalHost(forum.ServerPort()));
    exporter.SetDirectory(QDir(dir.path()));
}

RunOutcome ExportHarness::Run(int timeoutMs)
{
    // Queued, as a click would be, so an at-once outcome is not missed.
    QMetaObject::invokeMethod(&exporter, &Exporter::RunExport, Qt::QueuedConnection);
    return WaitForOutcome(exporter, timeoutMs);
}

} // namespace kestrune
