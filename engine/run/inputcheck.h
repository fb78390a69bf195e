#pragma once

#include "engine/run/exportinputs.h"
#include "platform/runtimeerror.h"

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

// One box's text, read as an export reads it; nothing when it can be used.
std::optional<InputProblem> CheckInput(InputBox box, const QString &text);

// Every box an export reads, in the window's tab order; nothing when all can
// be used.
std::optional<InputProblem> CheckInputs(const ExportInputs &inputs);

// What reading a number box's text met, as an export reads it; nothing when
// it reads.
std::optional<RuntimeError> InputReadingError(InputBox box, const QString &text);

} // namespace kestrune
