#include "ui/dialogs/folderdialog.h"

#include <QFileDialog>
#include <optional>
#include <utility>

namespace kestrune {

namespace {

std::optional<QString> &NextChoice()
{
    static std::optional<QString> choice;
    return choice;
}

} // namespace

QString FolderDialog::Choose(QWidget *parent, const QString &title, const QString &start)
{
    if (const std::optional<QString> choice = std::exchange(NextChoice(), std::nullopt))
        return *choice;
    return QFileDialog::getExistingDirectory(parent, title, start);
}

void FolderDialog::SetNextChoice(const QString &folder)
{
    NextChoice() = folder;
}

} // namespace kestrune
