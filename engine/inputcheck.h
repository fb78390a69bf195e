#pragma once

#include "engine/exportinputs.h"
#include "platform/usermessage.h"

#include <QString>
#include <optional>

namespace kestrune {

// The boxes an export reads.
enum class InputBox
{
    ForumName,
    FromRank,
    ToRank,
    Delay,
};

// A box whose text an export cannot use, told before anything is fetched or
// touched (or, for a box edited during a run, on the page that reads it).
struct InputProblem
{
    enum class Kind
    {
        NotANumber,
        TooLarge,      // beyond what the box's number may hold
        NotInCodePage, // the forum name has a character code page 936 lacks
    };

    InputBox box = InputBox::FromRank;
    Kind kind = Kind::NotANumber;
    QString text{};      // the box's text as it was read
    QString character{}; // NotInCodePage: the first character that cannot be sent
};

// The box's name as the window's labels and the messages call it.
QString BoxName(InputBox box);

// One box's text, read as an export reads it; nothing when it can be used.
std::optional<InputProblem> CheckInput(InputBox box, const QString &text);

// Every box an export reads, in the window's tab order; nothing when all can
// be used.
std::optional<InputProblem> CheckInputs(const ExportInputs &inputs);

// What is wrong with which box, and what to type instead, for a run that
// has not started. `option`, if given, is how a command line names the box.
UserMessage DescribeInputProblem(const InputProblem &problem, const QString &option = {});

// Its parts, for a run the problem stopped: the box, its text and what is
// wrong; what to type instead; the runtime's words (类型不匹配（…）).
QString DescribeInputFault(const InputProblem &problem, const QString &option = {});
QString DescribeInputAdvice(const InputProblem &problem);
QString DescribeInputDetail(const InputProblem &problem);

} // namespace kestrune
