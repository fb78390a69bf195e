#pragma once

#include <QString>

class QWidget;

namespace kestrune {

// Asks for a folder or a file. Tests answer it ahead instead, as they answer
// the message boxes, so no dialog opens.
class FileDialog final
{
public:
    FileDialog() = delete;

    // What was chosen, or empty when the user cancelled.
    static QString ChooseFolder(QWidget *parent, const QString &title, const QString &start);
    // An existing table to read.
    static QString OpenTable(QWidget *parent, const QString &title, const QString &start);
    // A table to write.
    static QString SaveTable(QWidget *parent, const QString &title, const QString &start);

    // For tests: the next question opens nothing and gives `path` (empty:
    // cancelled).
    static void SetNextChoice(const QString &path);
};

} // namespace kestrune
