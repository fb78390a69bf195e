#pragma once

#include "compare/comparison.h"

#include <QString>
#include <QStringList>

namespace kestrune {

// The tables compared, as the summary names them.
struct ComparedFiles
{
    QString older;
    QString newer;
};

// "新进 37 人，跌出 37 人，上升 812 人，下降 905 人，不变 209 人"
QString DescribeChanges(const ComparisonSummary &summary);

// What else a user should know, each a line: tables of two forums (said
// first), members outside the ranks both cover, levels, repeated names.
QStringList DescribeComparisonNotes(const ComparisonSummary &summary, const ComparedFiles &files);

// Every line, the warning about forums first: the command line's output.
QStringList DescribeComparison(const ComparisonSummary &summary, const ComparedFiles &files);

} // namespace kestrune
