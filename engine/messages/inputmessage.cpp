#include "engine/messages/inputmessage.h"

#include "engine/messages/detailwords.h"

#include <QStringList>
#include <cstdint>

namespace kestrune {

namespace {

using Kind = InputProblem::Kind;

// PageOfRank rounds rank - 1 into 32 bits.
constexpr std::int64_t MaxRank = std::int64_t{2147483647} + 1;
// The window's delay arrows stop there, in tenths of a second.
constexpr int DelayArrowsMax = 20;

QString Quoted(const QString &text)
{
    return QStringLiteral("“%1”").arg(text);
}

QString CodePoints(const QString &text)
{
    QStringList points;
    for (const char32_t point : text.toUcs4())
        points << QStringLiteral("U+") +
                      QString::number(point, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return points.join(QLatin1Char(' '));
}

} // namespace

QString BoxName(InputBox box)
{
    switch (box) {
    case InputBox::ForumName:
        return QStringLiteral("论坛名");
    case InputBox::FromRank:
        return QStringLiteral("起始名次");
    case InputBox::ToRank:
        return QStringLiteral("结束名次");
    case InputBox::Delay:
        break;
    }
    return QStringLiteral("停顿");
}

QString DescribeInputFault(const InputProblem &problem, const QString &option)
{
    const QString box = option.isEmpty()
                            ? Quoted(BoxName(problem.box))
                            : QStringLiteral("%1（%2）").arg(Quoted(BoxName(problem.box)), option);
    switch (problem.kind) {
    case Kind::NotANumber:
        if (problem.text.trimmed().isEmpty())
            return QStringLiteral("%1是空的。").arg(box);
        return QStringLiteral("%1中的%2不是数字。").arg(box, Quoted(problem.text));
    case Kind::TooLarge:
        return QStringLiteral("%1中的%2超出了范围。").arg(box, Quoted(problem.text));
    case Kind::NotInCodePage:
        break;
    }
    return QStringLiteral("%1中的%2含有%3，这个字符不在简体中文 GBK 字符集中；"
                          "论坛名只能使用 GBK 中有的字符。")
        .arg(box, Quoted(problem.text), Quoted(problem.character));
}

QString DescribeInputAdvice(const InputProblem &problem)
{
    const QString box = Quoted(BoxName(problem.box));
    if (problem.kind == Kind::NotInCodePage)
        return QStringLiteral("请在%1中删去%2，或换成 GBK 中有的字符。")
            .arg(box, Quoted(problem.character));
    if (problem.box == InputBox::Delay)
        return QStringLiteral("请在%1中填以十分之一秒计的停顿，例如 10 即 1 秒，通常在 0 到 %2 "
                              "之间；更大的数也可以，但不能超过约 3.4×10^39。")
            .arg(box)
            .arg(DelayArrowsMax);
    if (problem.kind == Kind::TooLarge)
        return QStringLiteral("请在%1中填一个 1 到 %2 之间的整数。").arg(box).arg(MaxRank);
    return QStringLiteral("请在%1中填一个整数，例如 %2。")
        .arg(box)
        .arg(problem.box == InputBox::ToRank ? 2000 : 1);
}

QString DescribeInputDetail(const InputProblem &problem)
{
    if (problem.kind == Kind::NotInCodePage)
        return DescribeError(RuntimeError(ErrorKind::InvalidArgument,
                                          QStringLiteral("论坛名中有 GBK 无法表示的字符 %1")
                                              .arg(CodePoints(problem.character))
                                              .toStdString()));
    const std::optional<RuntimeError> error = InputReadingError(problem.box, problem.text);
    return error ? DescribeError(*error) : QString();
}

UserMessage DescribeInputProblem(const InputProblem &problem, const QString &option)
{
    return {DescribeInputFault(problem, option) +
                QStringLiteral("\n导出没有开始，没有下载或改动任何文件。\n") +
                DescribeInputAdvice(problem),
            DescribeInputDetail(problem)};
}

} // namespace kestrune
