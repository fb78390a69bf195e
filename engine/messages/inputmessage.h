#pragma once

#include "engine/run/inputcheck.h"
#include "platform/usermessage.h"

#include <QString>

namespace kestrune {

// The box's name as the window's labels and the messages call it.
QString BoxName(InputBox box);

// What is wrong with which box, and what to type instead, for a run that
// has not started. `option`, if given, is how a command line names the box.
UserMessage DescribeInputProblem(const InputProblem &problem, const QString &option = {});

// Its parts, for a run the problem stopped: the box, its text and what is
// wrong; what to type instead; the runtime's words (类型不匹配（…）).
QString DescribeInputFault(const InputProblem &problem, const QString &option = {});
QString DescribeInputAdvice(const InputProblem &problem);
QString DescribeInputDetail(const InputProblem &problem);

} // namespace kestrune
