#include "ui/dialogs/unfinishedrun.h"

#include "engine/messages/resumemessage.h"
#include "engine/resume/resumefile.h"
#include "engine/run/continuerun.h"
#include "engine/run/exporter.h"
#include "ui/dialogs/messagebox.h"

#include <QApplication>

namespace kestrune {

using Answer = MessageBox::Answer;

void AskBeforeQuitting(QWidget *window, const Exporter &exporter, std::function<void()> quit)
{
    MessageBox::Show(window,
                     {.kind = MessageBox::Kind::Notice,
                      .message = DescribeQuitQuestion(exporter.FirstPage(), exporter.PagesDone(),
                                                      exporter.ResumeRankNow()),
                      .okText = QStringLiteral("继续导出"),
                      .choice = QStringLiteral("停止并退出")},
                     [quit = std::move(quit)](Answer answer) {
                         if (answer == Answer::Choice)
                             quit();
                     });
}

bool SessionEnding()
{
#ifndef QT_NO_SESSIONMANAGER
    return qApp->isSavingSession();
#else
    return false;
#endif
}

namespace {

void AskBeforeDropping(QWidget *window, const QDir &folder, const ResumePoint &point,
                       std::function<void()> then)
{
    MessageBox::Show(window,
                     {.kind = MessageBox::Kind::Notice,
                      .message = DescribeDropResumeQuestion(point),
                      .okText = QStringLiteral("保留"),
                      .choice = QStringLiteral("放弃")},
                     [window, folder, then = std::move(then)](Answer answer) {
                         if (answer != Answer::Choice) {
                             then();
                             return;
                         }
                         if (Expected<> removed = RemoveResumePoint(folder); !removed) {
                             MessageBox::Show(window, MessageBox::Kind::Error,
                                              DescribeDropFailed(removed.Error()),
                                              [then](Answer) { then(); });
                             return;
                         }
                         then();
                     });
}

} // namespace

void OfferResume(QWidget *window, const QDir &folder,
                 std::function<void(const ResumePoint &)> resume, std::function<void()> then)
{
    // Another window's run keeps its record up to date as it goes.
    const ResumeLoad load = RunGoingOnIn(folder) ? ResumeLoad{} : LoadResumePoint(folder);
    if (load.problem) {
        MessageBox::Show(window, MessageBox::Kind::Error, DescribeResumeProblem(*load.problem),
                         [then = std::move(then)](Answer) { then(); });
        return;
    }
    if (!load.point) {
        then();
        return;
    }
    MessageBox::Show(window,
                     {.kind = MessageBox::Kind::Notice,
                      .message = DescribeResumeOffer(*load.point, folder.absolutePath()),
                      .okText = QStringLiteral("继续"),
                      .choice = QStringLiteral("不用了")},
                     [window, folder, point = *load.point, resume = std::move(resume),
                      then = std::move(then)](Answer answer) {
                         if (answer == Answer::Choice) {
                             AskBeforeDropping(window, folder, point, then);
                             return;
                         }
                         resume(point);
                         then();
                     });
}

} // namespace kestrune
