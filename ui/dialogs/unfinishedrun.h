#pragma once

#include "engine/resume/resumepoint.h"

#include <functional>

class QDir;
class QWidget;

namespace kestrune {

class Exporter;

// Closing the window in the middle of `exporter`'s run: 继续导出 (the
// default) keeps it going, 停止并退出 calls `quit`.
void AskBeforeQuitting(QWidget *window, const Exporter &exporter, std::function<void()> quit);
// The desktop session is ending: nobody is there to answer a question.
bool SessionEnding();

// A run in `folder` that did not complete is offered before anything else:
// 继续 calls `resume`; 不用了 removes its record after one more question. A
// record that cannot be used is told and left alone. `then` runs once the
// offer is settled, whatever the answer.
void OfferResume(QWidget *window, const QDir &folder,
                 std::function<void(const ResumePoint &)> resume, std::function<void()> then);

} // namespace kestrune
