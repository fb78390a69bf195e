#include "engine/resume/resumepoint.h"

#include <charconv>
#include <functional>
#include <map>
#include <optional>

namespace kestrune {

namespace {

constexpr std::string_view Heading = "kestrune-resume ";
constexpr int Version = 1;
constexpr std::string_view Ending = "end";

// Names come from forms and command lines: a line break in one must not
// start a key of its own.
std::string Escaped(const QString &text)
{
    std::string out;
    for (const char c : text.toStdString()) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::optional<QString> Unescaped(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    const QString decoded = QString::fromStdString(out);
    // Not UTF-8: decoding replaced bytes.
    if (decoded.toStdString() != out)
        return std::nullopt;
    return decoded;
}

template <typename Number> std::optional<Number> NumberOf(std::string_view text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

// How each key reads into the point; false when its value does not.
using FieldReader = std::function<bool(ResumePoint &, std::string_view)>;

template <typename Number> FieldReader NumberField(Number ResumePoint::*field, Number least)
{
    return [field, least](ResumePoint &point, std::string_view text) {
        const std::optional<Number> value = NumberOf<Number>(text);
        if (!value || *value < least)
            return false;
        point.*field = *value;
        return true;
    };
}

FieldReader TextField(QString ResumePoint::*field)
{
    return [field](ResumePoint &point, std::string_view text) {
        const std::optional<QString> value = Unescaped(text);
        if (value)
            point.*field = *value;
        return value.has_value();
    };
}

const std::map<std::string_view, FieldReader> &Fields()
{
    static const std::map<std::string_view, FieldReader> fields{
        {"forum", TextField(&ResumePoint::forum)},
        {"next-rank", NumberField<std::int64_t>(&ResumePoint::nextRank, INT64_MIN)},
        {"to-rank", NumberField<std::int64_t>(&ResumePoint::toRank, INT64_MIN)},
        {"delay", TextField(&ResumePoint::delay)},
        {"next-number", NumberField<std::int64_t>(&ResumePoint::nextNumber, INT64_MIN)},
        {"table", TextField(&ResumePoint::table)},
        {"host", TextField(&ResumePoint::host)},
        {"retries", NumberField(&ResumePoint::retries, 0)},
        {"timeout", NumberField(&ResumePoint::timeoutSeconds, 0)},
        {"results-size", NumberField(&ResumePoint::resultsSize, 0LL)},
        {"table-size", NumberField(&ResumePoint::tableSize, 0LL)},
    };
    return fields;
}

ResumeTextProblem Damaged(std::string detail)
{
    return {.detail = std::move(detail)};
}

} // namespace

std::string FormatResumePoint(const ResumePoint &point)
{
    std::string text = std::string(Heading) + std::to_string(Version) + '\n';
    const auto line = [&text](std::string_view key, const std::string &value) {
        text.append(key).append("=").append(value).append("\n");
    };
    line("forum", Escaped(point.forum));
    line("next-rank", std::to_string(point.nextRank));
    line("to-rank", std::to_string(point.toRank));
    line("delay", Escaped(point.delay));
    line("next-number", std::to_string(point.nextNumber));
    line("table", Escaped(point.table));
    line("host", Escaped(point.host));
    line("retries", std::to_string(point.retries));
    line("timeout", std::to_string(point.timeoutSeconds));
    line("results-size", std::to_string(point.resultsSize));
    line("table-size", std::to_string(point.tableSize));
    return text.append(Ending).append("\n");
}

std::variant<ResumePoint, ResumeTextProblem> ParseResumePoint(std::string_view text)
{
    const std::size_t headingEnd = text.find('\n');
    const std::string_view heading = text.substr(0, headingEnd);
    if (!heading.starts_with(Heading))
        return Damaged("第 1 行不是 kestrune-resume");
    const std::optional<int> version = NumberOf<int>(heading.substr(Heading.size()));
    if (!version)
        return Damaged("第 1 行的版本号读不出");
    if (*version > Version)
        return ResumeTextProblem{.newerVersion = true,
                                 .detail = "版本 " + std::to_string(*version)};
    ResumePoint point;
    std::map<std::string_view, bool> seen;
    std::size_t start = headingEnd == std::string_view::npos ? text.size() : headingEnd + 1;
    for (int lineNumber = 2; start < text.size(); ++lineNumber) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            break;
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const std::string where = "第 " + std::to_string(lineNumber) + " 行";
        if (line == Ending) {
            if (start != text.size())
                return Damaged(where + "之后还有内容");
            if (seen.size() != Fields().size())
                return Damaged("缺少某些项");
            return point;
        }
        const std::size_t equals = line.find('=');
        const auto field = Fields().find(line.substr(0, equals));
        if (equals == std::string_view::npos || field == Fields().end() || seen[field->first])
            return Damaged(where + "不是可用的一项");
        seen[field->first] = true;
        if (!field->second(point, line.substr(equals + 1)))
            return Damaged(where + "的值读不出");
    }
    return Damaged("文件不完整（没有 end 行）");
}

} // namespace kestrune
