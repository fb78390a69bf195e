#include "engine/messages/failureadvice.h"

#include "engine/fetch/pagefetcher.h"
#include "engine/write/exportfiles.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <initializer_list>

namespace kestrune {

namespace {

// One row of the table: the kinds it covers and their Advice.
struct FetchWords
{
    std::initializer_list<FetchFailure::Kind> kinds;
    const char16_t *what;
    const char16_t *todo;
    Hint hint;
};

} // namespace

Advice FetchAdvice(const FetchFailure &failure)
{
    using Kind = FetchFailure::Kind;
    static const char16_t checkAddress[] = u"检查论坛地址 %1 是否写对%3。";
    static const char16_t retryLater[] = u"多半是网络或论坛服务器一时出错，稍后再继续。";
    static const char16_t tellAdmin[] =
        u"这是论坛网站证书的问题，请告诉论坛的管理员；也请确认这台电脑的日期和时间是对的。";
    static const FetchWords table[] = {
        {{Kind::TimedOut},
         u"超过 %2 秒还没有下载完（超时）",
         u"网络或论坛服务器较慢：可以加长超时%3或调大停顿，也可以稍后再继续。",
         Hint::Timeout},
        {{Kind::HostNotFound},
         u"找不到论坛地址 %1 所指的主机",
         u"检查论坛地址 %1 是否写对%3，以及这台电脑能否上网。",
         Hint::ForumAddress},
        {{Kind::Refused},
         u"论坛 %1 拒绝了连接",
         u"检查论坛地址 %1 是否写对%3；地址没错的话，论坛服务器可能暂时没有运行，稍后再继续。",
         Hint::ForumAddress},
        {{Kind::BadAddress},
         u"论坛地址 %1 无效",
         u"改正论坛地址%3，写成“主机[:端口]”或“https://主机[:端口]”。",
         Hint::ForumAddress},
        {{Kind::CutShort}, u"连接中途断开，这一页没有下载完整", retryLater, Hint::None},
        {{Kind::EmptyAnswer},
         u"论坛 %1 什么也没有发回",
         u"多半是论坛服务器一时出错：稍后再继续%3；一再出现的话，确认论坛地址 %1 "
         u"指的是论坛服务器。",
         Hint::Retries},
        {{Kind::CorruptCompression, Kind::TrailingBytes, Kind::UnfinishedCompression},
         u"论坛 %1 发回的压缩数据已损坏",
         retryLater,
         Hint::None},
        {{Kind::BodyTooLarge},
         u"论坛 %1 发回的一页超过 %2 兆字节，不像会员排名页",
         checkAddress,
         Hint::ForumAddress},
        {{Kind::CertificateExpired}, u"论坛 %1 的证书已过期", tellAdmin, Hint::None},
        {{Kind::CertificateNotYetValid}, u"论坛 %1 的证书尚未生效", tellAdmin, Hint::None},
        {{Kind::CertificateUntrusted},
         u"论坛 %1 的证书不是这台电脑信任的机构签发的",
         u"如果是在公司、学校等会替网站重新签发证书的网络中上网，向网络管理员要来 CA "
         u"证书文件，再设置它%3。",
         Hint::CaFile},
        {{Kind::CertificateWrongName},
         u"论坛 %1 的证书不是发给这个地址的",
         u"检查论坛地址 %1 是否写对%3；地址没错的话，这是论坛网站证书的问题，请告诉论坛的管理员。",
         Hint::ForumAddress},
        {{Kind::CertificateInvalid},
         u"论坛 %1 的证书没有通过验证",
         u"这多半是论坛网站证书的问题，请告诉论坛的管理员；在会替网站重新签发证书的网络中上网时，"
         u"可以设置 CA 证书文件%3。",
         Hint::CaFile},
        {{Kind::NotHttps},
         u"论坛 %1 的服务器似乎不支持加密连接（https://）",
         u"去掉论坛地址开头的 https://%3，再试一次。",
         Hint::ForumAddress},
        {{Kind::TlsFailed},
         u"无法和论坛 %1 建立加密连接",
         u"稍后再继续；一再出现的话，论坛可能不支持加密连接，可以去掉论坛地址开头的 https://%3。",
         Hint::ForumAddress},
        {{Kind::BadCaFile},
         u"设置的 CA 证书文件无法使用",
         u"检查 CA 证书文件是否还在、其中是不是证书%3。",
         Hint::CaFile},
        {{Kind::InsecureRedirect},
         u"论坛 %1 要把下载转到不加密的地址，为安全起见没有跟过去",
         u"确实要用不加密的连接的话，去掉论坛地址开头的 https://%3。",
         Hint::ForumAddress},
        {{Kind::TooManyRedirects},
         u"论坛 %1 一再把下载转到别的地址（超过 %2 次）",
         checkAddress,
         Hint::ForumAddress},
        {{Kind::HeadersTooLarge, Kind::HeaderLineTooLong, Kind::UnaskedEncoding, Kind::Other},
         u"论坛 %1 发回的响应无法识别",
         u"确认论坛地址 %1 指的是论坛服务器%3；没错的话稍后再继续。",
         Hint::ForumAddress},
        {{Kind::CouldNotStart},
         u"无法开始下载",
         u"稍后再继续；一再出现的话，重新启动本程序。",
         Hint::None},
        {{Kind::LibraryFailed},
         u"本程序的下载组件出错，这一页没有下载",
         u"重新启动本程序后再继续；一再出现的话，重新安装本程序。",
         Hint::None},
    };
    for (const FetchWords &words : table) {
        if (std::find(words.kinds.begin(), words.kinds.end(), failure.kind) != words.kinds.end())
            return {QString::fromUtf16(words.what), QString::fromUtf16(words.todo), words.hint};
    }
    // HttpStatus: a page without names, and a status that says why.
    const QString what = QStringLiteral("论坛 %1 拒绝了请求（状态码 %2），发回的页面中没有名字");
    const int status = failure.status;
    if (status == 404 || status == 410)
        return {what, QStringLiteral("检查论坛名和论坛地址 %1 是否写对%3。"), Hint::ForumAddress};
    if (status == 408 || status == 429 || status == 503)
        return {what, QStringLiteral("论坛服务器太忙或限制了下载的频率：调大停顿，稍后再继续%3。"),
                Hint::Retries};
    if (status >= 500)
        return {what, QStringLiteral("论坛服务器出错了，稍后再继续。")};
    return {what, QStringLiteral("确认论坛地址 %1 是否写对%3；没错的话稍后再继续。"),
            Hint::ForumAddress};
}

// The datum the words of some kinds name.
QString FetchDatum(const FetchFailure &failure)
{
    switch (failure.kind) {
    case FetchFailure::Kind::TimedOut:
        return failure.detail;
    case FetchFailure::Kind::BodyTooLarge:
        return QString::number(PageFetcher::MaxBodyMiB);
    case FetchFailure::Kind::TooManyRedirects:
        return QString::number(PageFetcher::MaxRedirects);
    case FetchFailure::Kind::HttpStatus:
        return QString::number(failure.status);
    default:
        return {};
    }
}

namespace {

// Our files by their part in a run: 结果文件 /home/a/jieguo.txt.
QString FileWithRole(const QString &directory, const std::string &name, const QString &table)
{
    const QString fileName = QString::fromStdString(name);
    if (!table.isEmpty() && QFileInfo(table).fileName() == fileName)
        return QStringLiteral("表格文件 ") + QDir::toNativeSeparators(table);
    if (name == ResultsFileName)
        return QStringLiteral("结果文件 ") + NativePath(directory, ResultsFileName);
    if (name == PageFileName)
        return QStringLiteral("临时文件 ") + NativePath(directory, PageFileName);
    return QStringLiteral("文件 ") +
           QDir::toNativeSeparators(QDir(directory).absoluteFilePath(fileName));
}

} // namespace

QString NativePath(const QString &directory, const char *name)
{
    return QDir::toNativeSeparators(QDir(directory).absoluteFilePath(QLatin1String(name)));
}

Advice FileAdvice(const QString &directory, const RuntimeError &error, const QString &table)
{
    const QString file = FileWithRole(directory, error.FileName(), table);
    switch (error.Fault()) {
    case FileFault::AccessDenied:
        return {QStringLiteral("%1 是只读的（或没有写入的权限），无法写入").arg(file),
                QStringLiteral("去掉这个文件的只读属性（或给它写入的权限）后再继续，"
                               "或换一个文件夹运行本程序%3。"),
                Hint::OtherFolder};
    case FileFault::DiskFull:
        return {QStringLiteral("磁盘空间不足，无法写入%1").arg(file),
                QStringLiteral("腾出磁盘空间后再继续。")};
    case FileFault::ReadOnlyDisk:
        return {QStringLiteral("%1 所在的磁盘是只读的，无法写入").arg(file),
                QStringLiteral("换一个可以写入的文件夹运行本程序%3。"), Hint::OtherFolder};
    case FileFault::InUse:
        return {QStringLiteral("%1 正被其他程序使用").arg(file),
                QStringLiteral("关闭使用它的程序后再继续。")};
    case FileFault::Other:
        break;
    }
    return {QStringLiteral("无法使用%1").arg(file),
            QStringLiteral("把这个文件移走或改名后再继续，或换一个文件夹运行本程序%3。"),
            Hint::OtherFolder};
}

} // namespace kestrune
