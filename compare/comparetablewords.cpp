#include "compare/comparetablewords.h"

#include "tables/tableformat.h"

#include <QDir>

namespace kestrune {

namespace {

QString Quoted(const QString &path)
{
    return QStringLiteral("“%1”").arg(QDir::toNativeSeparators(path));
}

QString WhatIsWrong(const TableProblem &problem)
{
    using Kind = TableProblem::Kind;
    switch (problem.kind) {
    case Kind::NoByteOrderMark:
        return QStringLiteral("第 1 行：文件开头没有 UTF-8 的字节顺序标记（BOM）。");
    case Kind::WrongHeader:
        return QStringLiteral("第 1 行：表头应为“%1”。")
            .arg(QString::fromUtf8(ExportTableHeader.data(),
                                   static_cast<qsizetype>(ExportTableHeader.size())));
    case Kind::WrongFieldCount:
        return QStringLiteral("第 %1 行：有 %2 项，应为 3 项。")
            .arg(problem.line)
            .arg(problem.fields);
    case Kind::UnclosedQuote:
        return QStringLiteral("第 %1 行：引号到文件末尾也没有结束。").arg(problem.line);
    case Kind::NotANumber:
        return QStringLiteral("第 %1 行：名次不是大于 0 的整数。").arg(problem.line);
    case Kind::TooLarge:
        break;
    }
    return QStringLiteral("文件太大。");
}

} // namespace

UserMessage DescribeTableProblem(const QString &path, const TableProblem &problem)
{
    return {QStringLiteral("表格%1不能比较：%2\n"
                           "只能比较本程序导出的表格，而且导出后不能被别的程序另存过。")
                .arg(Quoted(path), WhatIsWrong(problem))};
}

UserMessage DescribeTableUnreadable(const QString &path, const RuntimeError &error)
{
    return {QStringLiteral("无法读取表格%1。请确认文件还在，而且可以打开。").arg(Quoted(path)),
            QString::fromStdString(error.Detail())};
}

UserMessage DescribeTableTooLarge(const QString &path)
{
    return {QStringLiteral("表格%1超过 256 MB，太大了，不能比较。").arg(Quoted(path))};
}

UserMessage DescribeNotAFile(const QString &path)
{
    return {QStringLiteral("%1不是普通文件（可能是链接或文件夹），比较结果没有保存。"
                           "请换一个文件名。")
                .arg(Quoted(path))};
}

UserMessage DescribeWouldOverwriteExport(const QString &path)
{
    return {QStringLiteral("%1是导出的表格，不能用比较结果覆盖它，比较结果没有保存。"
                           "请换一个文件名。")
                .arg(Quoted(path))};
}

UserMessage DescribeSaveFailed(const QString &path, const QString &reason)
{
    return {QStringLiteral("无法保存比较结果到%1，没有写入任何内容。"
                           "请确认文件夹可以写入，磁盘还有空间。")
                .arg(Quoted(path)),
            reason};
}

} // namespace kestrune
