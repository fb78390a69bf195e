#include "tests/support/exportharness.h"

#include "engine/messages/failuremessage.h"
#include "engine/messages/runreportmessage.h"
#include "tests/support/fixtures.h"

#include <QEventLoop>
#include <QTimer>

namespace kestrune {

ExportHarness::ExportHarness(const Clock &clock)
    : exporter(inputs, clock)
{
    if (forum.Listen(0))
        exporter.SetHost(LocalHost(forum.ServerPort()));
    exporter.SetDirectory(QDir(dir.path()));
}

RunOutcome ExportHarness::Run(int timeoutMs)
{
    RunOutcome outcome;
    QEventLoop loop; // its connections go with it
    QObject::connect(&exporter, &Exporter::completed, &loop, [&](const RunReport &report) {
        outcome = {true, true, CompletionMessage(), {}, report};
        loop.quit();
    });
    QObject::connect(&exporter, &Exporter::failed, &loop, [&](const ExportFailure &failure) {
        const UserMessage message = DescribeFailure(failure);
        outcome = {true, false, message.text + u'\n' + message.detail, failure, {}};
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    // Queued, as a click would be, so an at-once outcome is not missed.
    QMetaObject::invokeMethod(&exporter, &Exporter::RunExport, Qt::QueuedConnection);
    loop.exec();
    return outcome;
}

} // namespace kestrune
