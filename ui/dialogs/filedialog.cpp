#include "ui/dialogs/filedialog.h"

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

QString Tables()
{
    return QStringLiteral("表格 (*.csv);;所有文件 (*)");
}

} // namespace

QString FileDialog::ChooseFolder(QWidget *parent, const QString &title, const QString &start)
{
    if (const std::optional<QString> choice = std::exchange(NextChoice(), std::nullopt))
        return *choice;
    return QFileDialog::getExistingDirectory(parent, title, start);
}

QString FileDialog::OpenTable(QWidget *parent, const QString &title, const QString &start)
{
    if (const std::optional<QString> choice = std::exchange(NextChoice(), std::nullopt))
        return *choice;
    return QFileDialog::getOpenFileName(parent, title, start, Tables());
}

QString FileDialog::SaveTable(QWidget *parent, const QString &title, const QString &start)
{
    if (const std::optional<QString> choice = std::exchange(NextChoice(), std::nullopt))
        return *choice;
    return QFileDialog::getSaveFileName(parent, title, start, Tables());
}

void FileDialog::SetNextChoice(const QString &path)
{
    NextChoice() = path;
}

} // namespace kestrune
