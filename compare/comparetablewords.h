#pragma once

#include "platform/runtimeerror.h"
#include "platform/usermessage.h"
#include "tables/tablereader.h"

#include <QString>

// What a user is told about the table files of a comparison.
namespace kestrune {

UserMessage DescribeTableProblem(const QString &path, const TableProblem &problem);
UserMessage DescribeTableUnreadable(const QString &path, const RuntimeError &error);
UserMessage DescribeTableTooLarge(const QString &path);

UserMessage DescribeNotAFile(const QString &path);
UserMessage DescribeWouldOverwriteExport(const QString &path);
UserMessage DescribeSaveFailed(const QString &path, const QString &reason);

} // namespace kestrune
