#include "startup/startupmessages.h"

#include "engine/fetch/retrywait.h"

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

const char16_t NothingDone[] = u"没有开始导出，也没有保存设置。";
const char16_t NotStarted[] = u"没有开始导出。";
const char16_t PemDetail[] =
    u"找的是 PEM 格式的证书：-----BEGIN CERTIFICATE----- 到 -----END CERTIFICATE----- 之间的内容";

// One row a kind, two for a CA file without a certificate: given or stored.
// In the texts {value} is the setting as given or stored, {path} the same as a
// path, {file} the settings file, {low} to {high} a number's range, {problem}
// what is wrong with a host; {reason}, {fix} and {status} why the file was not
// written and what to do. The window's also have {host}, the host in use,
// {timeout}, the default timeout, and {item}, the menu item that puts it right.
struct StartupWords
{
    Kind kind;
    bool stored = false;
    const char16_t *happened;
    const char16_t *onCommandLine;      // after `notDone`
    const char16_t *inWindow = nullptr; // none: as on the command line
    QString SettingMenu::*item = {};    // named by `inWindow`
    const char16_t *notDone = NothingDone;
    std::int64_t low = 0, high = 0;   // {low} to {high}
    const char *key = nullptr;        // of the entry, as the file has it
    const char16_t *detail = nullptr; // a further line of detail
    bool fileInWindowDetail = true;   // the window names the settings file
};

const StartupWords Table[] = {
    {.kind = Kind::BadHost,
     .happened = u"论坛地址{problem}",
     .onCommandLine = u"请改正 --host 后再运行。",
     .inWindow = u"窗口使用 {host}。要换论坛地址，请在窗口上单击右键，选“{item}”。",
     .item = &SettingMenu::host},
    {.kind = Kind::BadStoredHost,
     .stored = true,
     .happened = u"保存的论坛地址{problem}",
     .onCommandLine = u"请用 --host 给出论坛地址，加 --remember 换掉保存的地址。",
     .inWindow = u"改正前使用 {host}。请在窗口上单击右键，选“{item}”改正。",
     .item = &SettingMenu::host,
     .key = "host"},
    {.kind = Kind::UnreadableCaFile,
     .happened = u"无法读取 CA 证书文件 {path}：找不到这个文件，或没有权限读取它。",
     .onCommandLine = u"请改正 --ca-file 后再运行。",
     .inWindow = u"这次只用系统自带的证书。要另选文件，请在窗口上单击右键，选“{item}”。",
     .item = &SettingMenu::caFile},
    {.kind = Kind::UnreadableStoredCaFile,
     .stored = true,
     .happened = u"无法读取保存的 CA 证书文件 {path}：找不到这个文件，或没有权限读取它。",
     .onCommandLine = u"请把文件放回原处后再运行；或用 --ca-file 另选一个文件并加 --remember，"
                      u"或用 --ca-file \"\" --remember 不再使用它。",
     .inWindow = u"改正前只用系统自带的证书。请把文件放回原处，或在窗口上单击右键，"
                 u"选“{item}”另选文件或清除。",
     .item = &SettingMenu::caFile,
     .key = "caFile"},
    {.kind = Kind::CaFileWithoutCertificate,
     .happened = u"CA 证书文件 {path} 里没有证书。",
     .onCommandLine = u"请改正 --ca-file 后再运行。",
     .inWindow = u"这次只用系统自带的证书。要另选文件，请在窗口上单击右键，选“{item}”。",
     .item = &SettingMenu::caFile,
     .detail = PemDetail},
    {.kind = Kind::CaFileWithoutCertificate,
     .stored = true,
     .happened = u"保存的 CA 证书文件 {path} 里没有证书。",
     .onCommandLine = u"请用 --ca-file 另选一个文件并加 --remember，"
                      u"或用 --ca-file \"\" --remember 不再使用它。",
     .inWindow = u"改正前只用系统自带的证书。请在窗口上单击右键，选“{item}”另选文件或清除。",
     .item = &SettingMenu::caFile,
     .key = "caFile",
     .detail = PemDetail},
    {.kind = Kind::RememberAlone,
     .happened = u"--remember 只保存同时给出的 --host、--ca-file、--retries 或 --timeout，"
                 u"这次一个也没有给出。",
     .onCommandLine = u"请加上要保存的设置再运行，如 --host bbs.example.cn --remember。",
     .inWindow = u"窗口照常使用原来的设置。要保存设置，请在窗口上单击右键，选要改的一项"
                 u"（如“{item}”），并勾选“记住”。",
     .item = &SettingMenu::host},
    {.kind = Kind::NotSaved,
     .happened = u"设置没能保存到 {file}：{reason}。",
     .onCommandLine = u"{fix}，再运行一次。",
     .inWindow = u"新的设置这次照样使用，但下次打开时不会记得。{fix}，再在窗口上单击右键"
                 u"重新设置，并勾选“记住”。",
     .notDone = NotStarted,
     .detail = u"QSettings: {status}"},
    {.kind = Kind::BadRetries,
     .happened = u"重试次数“{value}”有误：应为 {low} 到 {high} 的整数。",
     .onCommandLine = u"请改正 --retries 后再运行。",
     .inWindow = u"这次不重试。请改正 --retries 后再运行。",
     .high = MaxRetries},
    {.kind = Kind::BadStoredRetries,
     .stored = true,
     .happened = u"保存的重试次数“{value}”有误：应为 {low} 到 {high} 的整数。",
     .onCommandLine = u"请用 --retries 给出次数，加 --remember 换掉保存的值。",
     .inWindow = u"改正前不重试。请在窗口上单击右键，选“{item}”改正。",
     .item = &SettingMenu::retries,
     .high = MaxRetries,
     .key = "retries",
     .fileInWindowDetail = false},
    {.kind = Kind::BadTimeout,
     .happened = u"超时秒数“{value}”有误：应为 {low} 到 {high} 的整数。",
     .onCommandLine = u"请改正 --timeout 后再运行。",
     .inWindow = u"这次每页最多等 {timeout} 秒。请改正 --timeout 后再运行。",
     .low = PageFetcher::MinTimeoutSeconds,
     .high = PageFetcher::MaxTimeoutSeconds},
    {.kind = Kind::BadStoredTimeout,
     .stored = true,
     .happened = u"保存的超时秒数“{value}”有误：应为 {low} 到 {high} 的整数。",
     .onCommandLine = u"请用 --timeout 给出秒数，加 --remember 换掉保存的值。",
     .inWindow = u"改正前每页最多等 {timeout} 秒。请在窗口上单击右键，选“{item}”改正。",
     .item = &SettingMenu::timeout,
     .low = PageFetcher::MinTimeoutSeconds,
     .high = PageFetcher::MaxTimeoutSeconds,
     .key = "timeout",
     .fileInWindowDetail = false},
    // Settings given with --remember are saved by now.
    {.kind = Kind::BadFirstNumber,
     .happened = u"起始编号“{value}”有误：应为 {low} 到 {high} 的整数。",
     .onCommandLine = u"请改正 --number-from 后再运行。",
     .notDone = NotStarted,
     .low = 1,
     .high = MaxFirstNumber},
};

const StartupWords &WordsFor(const StartupError &error)
{
    const StartupWords *found = nullptr;
    for (const StartupWords &words : Table)
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

QString Detail(const StartupError &error, const StartupWords &words, const Markers &markers,
               bool namesFile)
{
    QStringList lines;
    if (IsStored(error) && namesFile)
        lines << Fill(u"设置文件：{file}", markers);
    if (words.key)
        lines << QStringLiteral("[forum] %1=%2").arg(QLatin1String(words.key), error.value);
    if (words.detail)
        lines << Fill(words.detail, markers);
    return lines.join(QLatin1Char('\n'));
}

QString OnCommandLine(const StartupWords &words, const Markers &markers)
{
    return QString::fromUtf16(words.notDone) + Fill(words.onCommandLine, markers);
}

} // namespace

QString DescribeHostError(const HostError &error)
{
    return QStringLiteral("论坛地址") + HostProblemText(error);
}

UserMessage DescribeStartupError(const StartupError &error)
{
    const StartupWords &words = WordsFor(error);
    const Markers markers = MarkersOf(error, words);
    return {Fill(words.happened, markers) + QLatin1Char('\n') + OnCommandLine(words, markers),
            Detail(error, words, markers, true)};
}

UserMessage DescribeStartupError(const StartupError &error, const QString &hostInUse,
                                 const SettingMenu &menu)
{
    const StartupWords &words = WordsFor(error);
    Markers markers = MarkersOf(error, words);
    markers.emplace_back(u"host", ShownHost(hostInUse));
    markers.emplace_back(u"item", words.item ? menu.*words.item : QString());
    const QString todo =
        words.inWindow ? Fill(words.inWindow, markers) : OnCommandLine(words, markers);
    return {Fill(words.happened, markers) + QLatin1Char('\n') + todo,
            Detail(error, words, markers, words.fileInWindowDetail)};
}

UserMessage DescribeSaved(const SavedSettings &saved)
{
    const auto &[host, caFile, retries, timeout] = saved.settings;
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
    return {QStringLiteral("已保存设置：%1。以后每次运行都会使用，不必再给出。")
                .arg(parts.join(QStringLiteral("，"))),
            QStringLiteral("设置文件：%1").arg(QDir::toNativeSeparators(saved.file))};
}

UserMessage DescribeNoDisplay()
{
    return {
        QStringLiteral("找不到图形界面，窗口打不开，没有导出。\n请在桌面环境中运行，或改用命令行"
                       "程序 kestrune-cli 导出（kestrune-cli --help 列出它的选项）。"),
        QStringLiteral("没有设置 DISPLAY 或 WAYLAND_DISPLAY")};
}

} // namespace kestrune
