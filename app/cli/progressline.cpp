#include "app/cli/progressline.h"

#include "engine/messages/timeleftmessage.h"
#include "engine/run/exporter.h"
#include "engine/run/exportinputs.h"
#include "platform/clock.h"
#include "platform/consoleoutput.h"
#include "startup/terminal.h"

#include <algorithm>

namespace kestrune {

namespace {

constexpr qint64 BarCells = 20;
constexpr qint64 RedrawMs = 200;

} // namespace

ProgressLine::ProgressLine(Exporter &exporter, const ExportInputs &inputs, std::FILE *stream,
                           const Clock &clock)
    : exporter_(exporter)
    , inputs_(inputs)
    , stream_(stream)
    , clock_(clock)
    , console_(IsConsole(stream))
{
    QObject::connect(&exporter, &Exporter::pageStarted, &context_,
                     [this] { pace_.PageStarted(clock_.MonotonicMilliseconds()); });
    QObject::connect(&exporter, &Exporter::pageFinished, &context_,
                     [this](qint64 page, qint64 names) { Show(page, names); });
}

void ProgressLine::Show(qint64 page, qint64 namesWritten)
{
    const qint64 last = exporter_.LastPage();
    if (!console_) {
        PrintLine(stream_, QStringLiteral("第 %1/%2 页已导出，共写入 %3 个名字")
                               .arg(page)
                               .arg(last)
                               .arg(namesWritten));
        return;
    }
    const qint64 pauseMs = PauseOfDelay(inputs_.Delay().toStdString());
    const qint64 now = clock_.MonotonicMilliseconds();
    pace_.PageFinished(now, pauseMs);
    // Fast pages redraw a few times a second at most; the last one always.
    if (page < last && columns_ > 0 && now - drawnAtMs_ < RedrawMs)
        return;
    drawnAtMs_ = now;
    const qint64 pages = last - exporter_.FirstPage() + 1;
    const qint64 done = page - exporter_.FirstPage() + 1;
    const qint64 filled = done * BarCells / pages;
    QString line = QStringLiteral("[%1%2] 第 %3/%4 页 · %5 个名字 · %6")
                       .arg(QString(filled, QLatin1Char('#')))
                       .arg(QString(BarCells - filled, QLatin1Char('-')))
                       .arg(page)
                       .arg(last)
                       .arg(namesWritten)
                       .arg(DescribeTimeLeft(pace_.TimeLeft(pages - done, pauseMs)));
    // Spaces, not an escape sequence, clear what a longer line left: a
    // Windows console may not read escapes.
    const int columns = DisplayColumns(line);
    line += QString(std::max(0, columns_ - columns), QLatin1Char(' '));
    columns_ = columns;
    PrintText(stream_, QLatin1Char('\r') + line);
}

void ProgressLine::End()
{
    if (columns_ == 0)
        return;
    PrintText(stream_, QStringLiteral("\n"));
    columns_ = 0;
}

} // namespace kestrune
