#pragma once

#include <QString>

class QWidget;

namespace kestrune {

// Asks for a table to read or a file to save a comparison in. Tests answer
// it ahead instead, so no dialog opens.
class TableDialog final
{
public:
    TableDialog() = delete;

    // The file chosen, or empty when the user cancelled.
    static QString Open(QWidget *parent, const QString &title, const QString &start);
    static QString Save(QWidget *parent, const QString &title, const QString &start);

    // For tests: the next Open or Save opens nothing and gives `path`
    // (empty: cancelled).
    static void SetNextChoice(const QString &path);
};

} // namespace kestrune
