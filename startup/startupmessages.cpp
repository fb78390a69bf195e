#include "startup/startupmessages.h"

#include "startup/startupwords.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <utility>
#include <vector>

namespace kestrune {

namespace {

using Kind = StartupError::Kind;

const QString Example = QStringLiteral("如 bbs.example.cn 或 https://bbs.example.cn:8443");
const QString Shape = QStringLiteral("应写论坛的域名，需要时加冒号和端口号，") + Example;

QString Why(HostProblem problem)
{
    switch (problem) {
    case HostProblem::Empty:
    case HostProblem::NotAHost:
        return Shape;
    case HostProblem::BadPort:
        return QStringLiteral("冒号后面的端口号只能是数字，如 https://bbs.example.cn:8443");
    case HostProblem::BadScheme:
        return QStringLiteral("开头只能是 http:// 或 https://，也可以不写，如 bbs.example.cn");
    case HostProblem::PortOutOfRange:
        return QStringLiteral("端口超出范围，应为 1–65535");
    case HostProblem::UserInfo:
        return QStringLiteral("不能带用户名或密码，只写域名和端口，") + Example;
    case HostProblem::PathAfterHost:
        return QStringLiteral("只写域名和端口，不带后面的路径，") + Example;
    }
    return {};
}

// What is wrong with a host, told after the name of the setting.
QString HostProblemText(const HostError &error)
{
    if (error.problem == HostProblem::Empty)
        return QStringLiteral("是空的：%1。").arg(Why(error.problem));
    return QStringLiteral("“%1”有误：%2。").arg(error.text, Why(error.problem));
}

// A stored value is put right where it is kept; a given one, where it was given.
bool IsStored(const StartupError &error)
{
    return error.kind != Kind::NotSaved && !error.settingsFile.isEmpty();
}

const StartupWords &WordsFor(const StartupError &error)
{
    const StartupWords *found = nullptr;
    for (const StartupWords &words : StartupWordsTable())
        if (words.kind == error.kind && (!found || words.stored == IsStored(error)))
            found = &words;
    return *found;
}

using Markers = std::vector<std::pair<QStringView, QString>>;

Markers MarkersOf(const StartupError &error, const StartupWords &words)
{
    const bool noAccess = error.notSaved == SettingsWriteError::Reason::NoAccess;
    return {
        {u"value", error.value},
        {u"path", QDir::toNativeSeparators(error.value)},
        {u"file", QDir::toNativeSeparators(error.settingsFile)},
        {u"low", QString::number(words.low)},
        {u"high", QString::number(words.high)},
        {u"problem", HostProblemText({error.hostProblem, error.value})},
        {u"reason", noAccess ? QStringLiteral("没有写入这个文件的权限")
                             : QStringLiteral("这个文件的内容格式有误")},
        {u"fix", noAccess ? QStringLiteral("请确认可以写入这个文件和它所在的文件夹")
                          : QStringLiteral("请用文本编辑器（如记事本）打开它改正，或删掉它"
                                           "（保存过的设置会一并丢失）")},
        {u"status", noAccess ? QStringLiteral("AccessError") : QStringLiteral("FormatError")},
        {u"timeout", QString::number(PageFetcher::DefaultTimeoutSeconds)},
        {u"here", QDir::toNativeSeparators(QDir::currentPath())},
    };
}

// `words` with each {name} replaced in one pass, so that braces in a value
// stay as they are.
QString Fill(const char16_t *words, const Markers &markers)
{
    static const QRegularExpression marker(QStringLiteral("\\{(\\w+)\\}"));
    const QString text = QString::fromUtf16(words);
    QString filled;
    qsizetype done = 0;
    for (const QRegularExpressionMatch &match : marker.globalMatch(text)) {
        const auto found =
            std::ranges::find(markers, match.capturedView(1), &Markers::value_type::first);
        filled += QStringView(text).sliced(done, match.capturedStart() - done);
        filled += found != markers.end() ? found->second : match.captured();
        done = match.capturedEnd();
    }
    return filled += QStringView(text).sliced(done);
}

QStringList DetailLines(const StartupError &error, const StartupWords &words,
                        const Markers &markers)
{
    QStringList lines;
    if (words.key)
        lines << QStringLiteral("[forum] %1=%2").arg(QLatin1String(words.key), error.value);
    if (words.detail)
        lines << Fill(words.detail, markers);
    return lines;
}

// One problem as a front end tells it.
struct Told
{
    QString happened;
    QString todo;
    QString notDone;    // what did not happen; the window's is empty
    QStringList detail; // without the settings file
    QString file;       // the settings file, when the detail names it
};

Told TellOnCommandLine(const StartupError &error)
{
    const StartupWords &words = WordsFor(error);
    const Markers markers = MarkersOf(error, words);
    return {Fill(words.happened, markers), Fill(words.onCommandLine, markers),
            QString::fromUtf16(words.notDone), DetailLines(error, words, markers),
            IsStored(error) ? QDir::toNativeSeparators(error.settingsFile) : QString()};
}

Told TellInWindow(const StartupError &error, const QString &hostInUse, const SettingMenu &menu)
{
    Told told = TellOnCommandLine(error);
    const StartupWords &words = WordsFor(error);
    if (words.inWindow) {
        Markers markers = MarkersOf(error, words);
        markers.emplace_back(u"host", ShownHost(hostInUse));
        markers.emplace_back(u"item", words.item ? menu.*words.item : QString());
        told.todo = Fill(words.inWindow, markers);
        if (!words.fileInWindowDetail)
            told.file.clear();
    } else {
        told.todo.prepend(told.notDone);
    }
    told.notDone.clear();
    return told;
}

// One problem as it always read; several numbered in one message, so that
// one run finds them all. The settings file is named once.
UserMessage Combine(const QList<Told> &problems)
{
    QStringList detail;
    const auto named =
        std::ranges::find_if(problems, [](const Told &told) { return !told.file.isEmpty(); });
    if (named != problems.end())
        detail << QStringLiteral("设置文件：%1").arg(named->file);
    for (const Told &told : problems)
        detail << told.detail;
    if (problems.size() == 1) {
        const Told &told = problems.constFirst();
        return {told.happened + QLatin1Char('\n') + told.notDone + told.todo,
                detail.join(QLatin1Char('\n'))};
    }
    QStringList lines{QStringLiteral("有 %1 项设置不能使用：").arg(problems.size())};
    for (qsizetype i = 0; i < problems.size(); ++i)
        lines << QStringLiteral("%1. %2%3").arg(i + 1).arg(problems[i].happened, problems[i].todo);
    // Settings are saved only when all are good, so anything not done counts.
    const auto nothing =
        std::ranges::find(problems, QString::fromUtf16(NothingDone), &Told::notDone);
    const QString notDone =
        nothing != problems.end() ? nothing->notDone : problems.constFirst().notDone;
    if (!notDone.isEmpty())
        lines << notDone;
    return {lines.join(QLatin1Char('\n')), detail.join(QLatin1Char('\n'))};
}

} // namespace

QString DescribeHostError(const HostError &error)
{
    return QStringLiteral("论坛地址") + HostProblemText(error);
}

UserMessage DescribeStartupError(const StartupError &error, const QString &hostInUse,
                                 const SettingMenu &menu)
{
    return Combine({TellInWindow(error, hostInUse, menu)});
}

UserMessage DescribeStartupErrors(const QList<StartupError> &errors)
{
    QList<Told> problems;
    for (const StartupError &error : errors)
        problems << TellOnCommandLine(error);
    return Combine(problems);
}

UserMessage DescribeStartupErrors(const QList<StartupError> &errors, const QString &hostInUse,
                                  const SettingMenu &menu)
{
    QList<Told> problems;
    for (const StartupError &error : errors)
        problems << TellInWindow(error, hostInUse, menu);
    return Combine(problems);
}

UserMessage DescribeSaved(const SavedSettings &saved)
{
    const auto &[host, caFile, retries, timeout, folder, table] = saved.settings;
    QStringList parts;
    if (host)
        parts << (host->isEmpty()
                      ? QStringLiteral("论坛地址恢复为默认的 %1").arg(ShownHost(DefaultForumHost()))
                      : QStringLiteral("论坛地址 %1").arg(ShownHost(*host)));
    if (caFile)
        parts << (caFile->isEmpty()
                      ? QStringLiteral("不再使用另外的 CA 证书文件")
                      : QStringLiteral("CA 证书文件 %1").arg(QDir::toNativeSeparators(*caFile)));
    if (retries)
        parts << QStringLiteral("重试次数 %1").arg(*retries);
    if (timeout)
        parts << QStringLiteral("超时 %1 秒").arg(*timeout);
    if (folder)
        parts << (folder->isEmpty()
                      ? QStringLiteral("结果改回写入当前文件夹")
                      : QStringLiteral("结果文件夹 %1").arg(QDir::toNativeSeparators(*folder)));
    if (table)
        parts << (*table == u"0" ? QStringLiteral("不再同时保存表格")
                                 : QStringLiteral("同时保存表格"));
    return {QStringLiteral("已保存设置：%1。以后每次运行都会使用，不必再给出。")
                .arg(parts.join(QStringLiteral("，"))),
            QStringLiteral("设置文件：%1").arg(QDir::toNativeSeparators(saved.file))};
}

UserMessage DescribeNoForumAddress()
{
    return {QStringLiteral("还没有设置论坛地址：这次试的是内置的默认地址，没有连上。\n"
                           "请用 --host 给出论坛的地址，如 --host bbs.example.cn；加上 --remember "
                           "就会保存下来，以后 kestrune 和 kestrune-cli 都用它。"),
            QStringLiteral("内置的默认地址：%1").arg(ShownHost(DefaultForumHost()))};
}

UserMessage DescribeNoDisplay()
{
    return {
        QStringLiteral("找不到图形界面，窗口打不开，没有导出。\n请在桌面环境中运行，或改用命令行"
                       "程序 kestrune-cli 导出（kestrune-cli --help 列出它的选项）。"),
        QStringLiteral("没有设置 DISPLAY 或 WAYLAND_DISPLAY")};
}

} // namespace kestrune
