#pragma once

#include "engine/fetch/fetchfailure.h"
#include "platform/runtimeerror.h"

#include <QString>

namespace kestrune {

// Where a piece of advice says how the change is made.
enum class Hint
{
    None,
    ForumAddress,
    CaFile,
    Timeout,
    OtherFolder, // how a run is started in another folder
    Retries,     // another way out: trying a page again
};

// What went wrong and what to do, in the user's words: %1 stands for the
// forum's address, %2 for the datum, %3 for how `hint`'s setting is changed.
struct Advice
{
    QString what;
    QString todo{};
    Hint hint = Hint::None;
};

// What a fetch failure means for the user and what to do, from one table.
Advice FetchAdvice(const FetchFailure &failure);

// The datum a fetch failure's words name.
QString FetchDatum(const FetchFailure &failure);

// A file error's meaning, the file named by its part in a run with its full
// path in `directory`.
// `table`: the run's table, wherever it is; empty for none.
Advice FileAdvice(const QString &directory, const RuntimeError &error, const QString &table = {});

// `name` in `directory`, with the system's separators.
QString NativePath(const QString &directory, const char *name);

} // namespace kestrune
