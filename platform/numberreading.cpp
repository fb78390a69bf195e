#include "platform/numberreading.h"

#include "platform/halfwidth.h"

#include <charconv>
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

RuntimeError NotANumber(std::string_view typed)
{
    return {ErrorKind::TypeMismatch, Quoted(typed) + " 不是数字"};
}

RuntimeError OutOfRange(std::string_view typed)
{
    return {ErrorKind::Overflow, Quoted(typed) + " 超出数值范围"};
}

// A number cleaned of separators, ready for from_chars. The decimal exponent
// estimate tells overflow from underflow when from_chars gives up.
struct DecimalText
{
    std::string digits; // [-]digits[.digits][e[-]digits]
    long magnitude = 0; // rough power of ten of the value
    bool anyDigit = false;
};

// What may stand between the digits of a number's mantissa.
struct MantissaRules
{
    bool blanks = false;          // anywhere, skipped
    bool groupSeparators = false; // "," between two digits before the point
};

// The one digit loop: digits and at most one "." from text[pos], pos moved
// past them.
void ReadMantissa(std::string_view text, std::size_t &pos, MantissaRules rules, DecimalText &number)
{
    bool significant = false;
    bool seenPoint = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (rules.blanks && IsBlank(c))
            continue;
        if (c == '.' && !seenPoint) {
            seenPoint = true;
            number.digits += c;
            continue;
        }
        if (rules.groupSeparators && !seenPoint && c == ',' && pos > 0 && IsDigit(text[pos - 1]) &&
            pos + 1 < text.size() && IsDigit(text[pos + 1]))
            continue;
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
}

Expected<double> ConvertDecimal(const DecimalText &number, std::string_view original)
{
    double value = 0;
    const auto *first = number.digits.data();
    const auto *last = first + number.digits.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range)
        return number.magnitude > 0 ? Expected<double>(OutOfRange(original)) : 0.0;
    if (ec != std::errc() || end != last)
        return NotANumber(original);
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
    double value = 0;
    std::size_t length = 0; // of what followed the prefix
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
    double value = 0;
    for (; pos < text.size(); ++pos) {
        if (skipBlanks && IsBlank(text[pos]))
            continue;
        const int digit = DigitValue(text[pos], radix);
        if (digit < 0)
            break;
        value = value * radix + digit;
    }
    return RadixNumber{value, pos - start};
}

// The exponent digits of `exponent` ([+-]digits) as a power of ten;
// beyond long's range, far past any double.
long ExponentShift(const std::string &exponent)
{
    long shift = 0;
    const auto *first = exponent.data() + (exponent[0] == '+' ? 1 : 0);
    if (std::from_chars(first, exponent.data() + exponent.size(), shift).ec != std::errc())
        shift = exponent[0] == '-' ? -100000 : 100000;
    return shift;
}

} // namespace

Expected<double> ReadNumber(std::string_view typed)
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

    std::size_t pos = 0;
    bool negative = false;
    if (pos < body.size() && (body[pos] == '+' || body[pos] == '-'))
        negative = body[pos++] == '-';

    if (const auto radix = ReadRadixNumber(body, pos, false)) {
        if (radix->length == 0 || pos != body.size())
            return NotANumber(typed);
        if (radix->value > static_cast<double>(std::numeric_limits<std::uint64_t>::max()))
            return OutOfRange(typed);
        return negative ? -radix->value : radix->value;
    }

    DecimalText number;
    if (negative)
        number.digits += '-';
    ReadMantissa(body, pos, {.groupSeparators = true}, number);
    if (!number.anyDigit)
        return NotANumber(typed);
    if (pos < body.size() && (body[pos] == 'e' || body[pos] == 'E')) {
        number.digits += body[pos++];
        std::string exponent;
        if (pos < body.size() && (body[pos] == '+' || body[pos] == '-'))
            exponent += body[pos++];
        const std::size_t expDigits = pos;
        for (; pos < body.size() && IsDigit(body[pos]); ++pos)
            exponent += body[pos];
        if (pos == expDigits)
            return NotANumber(typed);
        number.digits += exponent;
        number.magnitude += ExponentShift(exponent);
    }
    if (pos != body.size())
        return NotANumber(typed);
    return ConvertDecimal(number, typed);
}

Expected<double> ReadLeadingNumber(std::string_view typed)
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
    ReadMantissa(text, pos, {.blanks = true}, number);
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
            number.magnitude += ExponentShift(exponent);
        }
    }
    if (number.digits.back() == '.')
        number.digits.pop_back();
    return ConvertDecimal(number, typed);
}

} // namespace kestrune
