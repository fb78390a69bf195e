#include "platform/numberreading.h"

#include "platform/runtimeerror.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace kestrune {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int DigitValue(char c, int radix)
{
    int value = radix;
    if (IsDigit(c))
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < radix ? value : -1;
}

std::string Quoted(std::string_view text)
{
    return "“" + std::string(text) + "”";
}

// A number cleaned of separators, ready for from_chars. The decimal exponent
// estimate tells overflow from underflow when from_chars gives up.
struct DecimalText
{
    std::string digits; // [-]digits[.digits][e[-]digits]
    long magnitude = 0; // rough power of ten of the value
    bool anyDigit = false;
};

double ConvertDecimal(const DecimalText &number, std::string_view original)
{
    double value = 0;
    const auto *first = number.digits.data();
    const auto *last = first + number.digits.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        if (number.magnitude > 0)
            throw RuntimeError(ErrorKind::Overflow, Quoted(original) + " 超出数值范围");
        return 0.0;
    }
    if (ec != std::errc() || end != last)
        throw RuntimeError(ErrorKind::TypeMismatch, Quoted(original) + " 不是数字");
    return value;
}

// Reads &H / &O digits from text[pos]; returns the value and moves pos.
double ReadRadixInteger(std::string_view text, std::size_t &pos, int radix, bool skipBlanks)
{
    double value = 0;
    for (; pos < text.size(); ++pos) {
        if (skipBlanks && IsBlank(text[pos]))
            continue;
        const int digit = DigitValue(text[pos], radix);
        if (digit < 0)
            break;
        value = value * radix + digit;
    }
    return value;
}

int RadixOf(char c)
{
    if (c == 'h' || c == 'H')
        return 16;
    if (c == 'o' || c == 'O')
        return 8;
    return 0;
}

struct RadixNumber
{
    double value;
    std::size_t length; // of what followed the prefix
};

// An &H or &O integer at text[pos], pos moved past it; nothing, pos
// unmoved, when none starts there.
std::optional<RadixNumber> ReadRadixNumber(std::string_view text, std::size_t &pos, bool skipBlanks)
{
    if (pos + 1 >= text.size() || text[pos] != '&' || RadixOf(text[pos + 1]) == 0)
        return std::nullopt;
    const int radix = RadixOf(text[pos + 1]);
    pos += 2;
    const std::size_t start = pos;
    const double value = ReadRadixInteger(text, pos, radix, skipBlanks);
    return RadixNumber{value, pos - start};
}

} // namespace

std::string HalfWidth(std::string_view text)
{
    const auto byte = [&text](std::size_t at) {
        return static_cast<unsigned char>(text[at]);
    };
    std::string half;
    half.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at + 2 < text.size() && byte(at) == 0xEF &&
            (byte(at + 1) == 0xBC || byte(at + 1) == 0xBD)) {
            // U+FF01..U+FF5E: EF BC 81..EF BD 9E.
            const unsigned low = (byte(at + 1) & 0x3u) << 6 | (byte(at + 2) & 0x3Fu);
            if (low >= 0x01 && low <= 0x5E) {
                half += static_cast<char>(low + 0x20);
                at += 2;
                continue;
            }
        } else if (at + 2 < text.size() && byte(at) == 0xE3 && byte(at + 1) == 0x80 &&
                   byte(at + 2) == 0x80) {
            half += ' '; // U+3000
            at += 2;
            continue;
        }
        half += text[at];
    }
    return half;
}

double ReadNumber(std::string_view typed)
{
    const std::string half = HalfWidth(typed);
    const std::string_view text = half;
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    const std::string_view body = text.substr(begin, end - begin);
    const auto mismatch = [&] {
        return RuntimeError(ErrorKind::TypeMismatch, Quoted(typed) + " 不是数字");
    };

    std::size_t pos = 0;
    bool negative = false;
    if (pos < body.size() && (body[pos] == '+' || body[pos] == '-'))
        negative = body[pos++] == '-';

    if (const auto radix = ReadRadixNumber(body, pos, false)) {
        if (radix->length == 0 || pos != body.size())
            throw mismatch();
        if (radix->value > static_cast<double>(std::numeric_limits<std::uint64_t>::max()))
            throw RuntimeError(ErrorKind::Overflow, Quoted(typed) + " 超出数值范围");
        return negative ? -radix->value : radix->value;
    }

    DecimalText number;
    if (negative)
        number.digits += '-';
    bool significant = false;
    for (; pos < body.size(); ++pos) {
        const char c = body[pos];
        if (IsDigit(c)) {
            number.anyDigit = true;
            significant = significant || c != '0';
            if (significant)
                ++number.magnitude;
            number.digits += c;
        } else if (c == ',' && pos > 0 && IsDigit(body[pos - 1]) && pos + 1 < body.size() &&
                   IsDigit(body[pos + 1])) {
            continue; // group separator
        } else {
            break;
        }
    }
    if (pos < body.size() && body[pos] == '.') {
        number.digits += body[pos++];
        for (; pos < body.size() && IsDigit(body[pos]); ++pos) {
            number.anyDigit = true;
            if (!significant && body[pos] == '0')
                --number.magnitude;
            significant = significant || body[pos] != '0';
            number.digits += body[pos];
        }
    }
    if (!number.anyDigit)
        throw mismatch();
    if (pos < body.size() && (body[pos] == 'e' || body[pos] == 'E')) {
        number.digits += body[pos++];
        std::string exponent;
        if (pos < body.size() && (body[pos] == '+' || body[pos] == '-'))
            exponent += body[pos++];
        const std::size_t expDigits = pos;
        for (; pos < body.size() && IsDigit(body[pos]); ++pos)
            exponent += body[pos];
        if (pos == expDigits)
            throw mismatch();
        number.digits += exponent;
        long shift = 0;
        std::from_chars(exponent.data() + (exponent[0] == '+' ? 1 : 0),
                        exponent.data() + exponent.size(), shift);
        number.magnitude += shift;
    }
    if (pos != body.size())
        throw mismatch();
    return ConvertDecimal(number, typed);
}

double ReadLeadingNumber(std::string_view typed)
{
    const std::string half = HalfWidth(typed);
    const std::string_view text = half;
    std::size_t pos = 0;
    const auto skipBlanks = [&] {
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
    };
    skipBlanks();
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos++] == '-';
        skipBlanks();
    }
    if (const auto radix = ReadRadixNumber(text, pos, true))
        return negative ? -radix->value : radix->value;

    DecimalText number;
    if (negative)
        number.digits += '-';
    bool significant = false;
    bool seenPoint = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (IsBlank(c))
            continue;
        if (c == '.' && !seenPoint) {
            seenPoint = true;
            number.digits += c;
            continue;
        }
        if (!IsDigit(c))
            break;
        number.anyDigit = true;
        if (seenPoint && !significant && c == '0')
            --number.magnitude;
        significant = significant || c != '0';
        if (!seenPoint && significant)
            ++number.magnitude;
        number.digits += c;
    }
    if (!number.anyDigit)
        return 0.0;
    if (pos < text.size() &&
        (text[pos] == 'e' || text[pos] == 'E' || text[pos] == 'd' || text[pos] == 'D')) {
        std::size_t look = pos + 1;
        std::string exponent;
        while (look < text.size() && IsBlank(text[look]))
            ++look;
        if (look < text.size() && (text[look] == '+' || text[look] == '-'))
            exponent += text[look++];
        bool anyExpDigit = false;
        for (; look < text.size(); ++look) {
            if (IsBlank(text[look]))
                continue;
            if (!IsDigit(text[look]))
                break;
            anyExpDigit = true;
            exponent += text[look];
        }
        if (anyExpDigit) {
            number.digits += 'e';
            number.digits += exponent;
            long shift = 0;
            const auto *first = exponent.data() + (exponent[0] == '+' ? 1 : 0);
            if (std::from_chars(first, exponent.data() + exponent.size(), shift).ec != std::errc())
                shift = exponent[0] == '-' ? -100000 : 100000;
            number.magnitude += shift;
        }
    }
    if (number.digits.back() == '.')
        number.digits.pop_back();
    return ConvertDecimal(number, typed);
}

std::int32_t RoundToInt32(double value)
{
    const double rounded = std::nearbyint(value); // default mode: halves to even
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0))
        throw RuntimeError(ErrorKind::Overflow, "数值超出 32 位整数范围");
    return static_cast<std::int32_t>(rounded);
}

float ToSingle(double value)
{
    if (!(std::fabs(value) <= static_cast<double>(FLT_MAX)))
        throw RuntimeError(ErrorKind::Overflow, "数值超出单精度范围");
    return static_cast<float>(value);
}

} // namespace kestrune
