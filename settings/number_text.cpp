#include "settings/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace settings {

namespace {

constexpr QChar kBlank = QLatin1Char(' ');

qsizetype skipBlanks(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at] == kBlank)
        ++at;
    return at;
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int hexDigit(QChar c)
{
    if (isDigit(c))
        return c.unicode() - '0';
    if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        return c.unicode() - 'a' + 10;
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        return c.unicode() - 'A' + 10;
    return -1;
}

} // namespace

std::optional<std::int32_t> textToInteger(QStringView text)
{
    qsizetype at = skipBlanks(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-'))) {
        negative = text[at] == QLatin1Char('-');
        ++at;
    }
    if (at < text.size() && text[at] == QLatin1Char('$')) {
        ++at;
        if (at == text.size())
            return std::nullopt;
        std::uint64_t value = 0;
        for (; at < text.size(); ++at) {
            const int digit = hexDigit(text[at]);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + std::uint64_t(digit);
            if (value > 0xFFFFFFFFu)
                return std::nullopt;
        }
        // All 32 bits are the value's, as two's complement; a sign negates that.
        const std::uint32_t bits = std::uint32_t(value);
        return std::int32_t(negative ? 0u - bits : bits);
    }
    if (at == text.size())
        return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (; at < text.size(); ++at) {
        if (!isDigit(text[at]))
            return std::nullopt;
        value = value * 10 + (text[at].unicode() - '0');
        if (value > limit)
            return std::nullopt;
    }
    return std::int32_t(negative ? -value : value);
}

std::optional<double> textToDecimal(QStringView text)
{
    // Checked here character by character, then handed to from_chars in its own (locale-free)
    // spelling.
    qsizetype at = skipBlanks(text, 0);
    std::string number;
    if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-'))) {
        if (text[at] == QLatin1Char('-'))
            number += '-';
        ++at;
    }
    int mantissaDigits = 0;
    for (; at < text.size() && isDigit(text[at]); ++at, ++mantissaDigits)
        number += char(text[at].unicode());
    if (at < text.size() && (text[at] == QLatin1Char('.') || text[at] == QLatin1Char(','))) {
        number += '.';
        for (++at; at < text.size() && isDigit(text[at]); ++at, ++mantissaDigits)
            number += char(text[at].unicode());
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (at < text.size() && (text[at] == QLatin1Char('e') || text[at] == QLatin1Char('E'))) {
        number += 'e';
        ++at;
        if (at < text.size() && (text[at] == QLatin1Char('+') || text[at] == QLatin1Char('-')))
            number += char(text[at++].unicode());
        int exponentDigits = 0;
        for (; at < text.size() && isDigit(text[at]); ++at, ++exponentDigits)
            number += char(text[at].unicode());
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (skipBlanks(text, at) != text.size())
        return std::nullopt;

    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> axisValue(QStringView text)
{
    if (const auto decimal = textToDecimal(text))
        return decimal;
    if (const auto integer = textToInteger(text))
        return double(*integer);
    return std::nullopt;
}

} // namespace settings
