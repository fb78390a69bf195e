#include "tools/sampleforum/rankingpage.h"

#include "platform/cp936.h"

#include <QString>
#include <array>

namespace kestrune {

namespace {

constexpr std::array<QStringView, 18> LevelTitles = {
    u"新芽", u"初识", u"常客", u"熟客", u"好友", u"知己", u"中坚", u"骨干", u"精英",
    u"达人", u"能手", u"高手", u"大师", u"宗师", u"名宿", u"元老", u"传奇", u"至尊"};

// Numeric references also for '=' and '_', so no forum name can fake a row marker.
QString Escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QStringLiteral("&amp;");
            break;
        case u'<':
            out += QStringLiteral("&lt;");
            break;
        case u'>':
            out += QStringLiteral("&gt;");
            break;
        case u'"':
            out += QStringLiteral("&quot;");
            break;
        case u'\'':
            out += QStringLiteral("&#39;");
            break;
        case u'=':
            out += QStringLiteral("&#61;");
            break;
        case u'_':
            out += QStringLiteral("&#95;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString PageLink(const QString &query, qint64 page, QStringView label)
{
    return QStringLiteral("<a class=\"pager_link\" href=\"/f/like/furank?%1&amp;pn=%2\">%3</a>")
        .arg(query, QString::number(page), label);
}

QString MemberRow(const SampleMember &member, const QString &name)
{
    const qint64 experience =
        qint64{member.level} * member.level * 53 + (member.id * 7919) % (member.level * 40 + 1);
    const QString rank = QString::number(member.rank);
    const QString id = QString::number(member.id);
    const QString level = QString::number(member.level);
    return QStringLiteral(
               "<tr class=\"rank_row\">\n"
               "<td class=\"rank_no\"><span class=\"rank_digit\">%1</span></td>\n"
               "<td class=\"rank_avatar\"><a href=\"/home/main?id=%2\" target=\"_blank\">"
               "<img src=\"/static/img/avatar_default.png\" width=\"24\" height=\"24\" "
               "alt=\"头像\"></a></td>\n"
               "<td class=\"rank_name\"><a href=\"/home/main?id=%2\" username=\"%3\">%3</a>"
               "</td>\n"
               "<td class=\"rank_level\"><span class=\"lv_badge lv%4\"></span>"
               "<span class=\"l_item_ex\" data-v>%4</span>"
               "<span class=\"lv_title\">%5</span></td>\n"
               "<td class=\"rank_exp\">经验值 <em>%6</em></td>\n"
               "</tr>\n")
        .arg(rank, id, name, level, LevelTitles.at(member.level - 1).toString(),
             QString::number(experience));
}

} // namespace

QByteArray RankingPage::Render(const QByteArray &forumName, qint64 page, qint64 lastPage,
                               const QList<SampleMember> &members)
{
    const QString forum = Escaped(DecodeCp936(forumName));
    const QString query =
        QStringLiteral("kw=") + QString::fromLatin1(forumName.toPercentEncoding({}, "_"));
    const QString pageText = QString::number(page);

    QString html =
        QStringLiteral(
            "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"gbk\">\n"
            "<title>%1 论坛 - 会员排行榜 - 第%2页</title>\n<style>\n"
            "body{margin:0;font:12px/1.5 sans-serif;color:#333;background:#f7f7f7}\n"
            ".top_bar{padding:12px 20px;background:#3b6ea5;color:#fff}\n"
            ".rank_table{width:100%;border-collapse:collapse;background:#fff}\n"
            ".rank_table td,.rank_table th{padding:6px 8px;border-bottom:1px solid #eee}\n"
            ".rank_no{width:48px;text-align:center;color:#999}\n"
            ".lv_badge{display:inline-block;width:16px;height:16px;margin-right:4px}\n"
            ".pager{padding:10px 20px}\n</style>\n</head>\n<body>\n"
            "<div class=\"top_bar\"><h1 class=\"forum_title\">%1 论坛</h1>\n"
            "<p class=\"forum_sub\">会员排行榜 · 第 %2 页 · 共 %3 页</p></div>\n"
            "<table class=\"rank_table\">\n<tr class=\"rank_head\"><th>排名</th>"
            "<th>头像</th><th>会员</th><th>等级</th><th>经验值</th></tr>\n")
            .arg(forum, pageText, QString::number(lastPage));

    for (const SampleMember &member : members)
        html += MemberRow(member, DecodeCp936(member.name));

    html += QStringLiteral("</table>\n<div class=\"pager\">");
    if (page > 1)
        html += PageLink(query, page - 1, u"上一页");
    if (page < lastPage)
        html += PageLink(query, page + 1, u"下一页");
    html += QStringLiteral("</div>\n<div class=\"footer\">示例数据，仅供测试使用</div>\n"
                           "</body>\n</html>\n");

    QByteArray bytes;
    EncodeCp936(html, bytes); // the names came from GBK, the rest is GB2312
    return bytes;
}

} // namespace kestrune
