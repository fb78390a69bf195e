#pragma once

#include "engine/commit/runreport.h"
#include "engine/run/exportfailure.h"
#include "ui/dialogs/messagebox.h"

#include <QDir>
#include <QString>

class QWidget;

namespace kestrune {

// The box a completed run shows: its report, where jieguo.txt and the table
// are, 打开所在文件夹 (Choice) and, with a table, 打开表格 (OtherChoice).
MessageBox::Content CompletionBox(const QString &message, const RunReport &report,
                                  const QDir &directory, const QString &table);

// The box a run that ended early shows, in the window's words; a run that
// started offers 从第 N 名继续 (Choice).
MessageBox::Content FailureBox(const ExportFailure &failure);

// The system's program for .csv files, or a box saying there is none.
void OpenTable(QWidget *parent, const QString &table);

} // namespace kestrune
