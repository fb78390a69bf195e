#pragma once

#include <QString>

class QWidget;

namespace kestrune {

// Asks for an existing folder. Tests answer it ahead instead, as they answer
// the message boxes, so no dialog opens.
class FolderDialog final
{
public:
    FolderDialog() = delete;

    // The folder chosen, or empty when the user cancelled.
    static QString Choose(QWidget *parent, const QString &title, const QString &start);

    // For tests: the next Choose opens nothing and gives `folder` (empty:
    // cancelled).
    static void SetNextChoice(const QString &folder);
};

} // namespace kestrune
