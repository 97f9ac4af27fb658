// Reading the axis fields as numbers: the integer check of the level fields, the decimal reading
// of the octave-band view, and the two together.

#include "settings/number_text.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

TEST(NumberText, IntegerConversionAcceptsBlanksSignDigitsAndDollarHex)
{
    const struct {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"100", 100},
        {"-5", -5},
        {"+7", 7},
        {"   42", 42},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", std::int32_t(-2147483647 - 1)},
        {"$1F", 31},
        {"$ff", 255},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"$0000000000FF", 255},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"abc", std::nullopt},
        {"12.5", std::nullopt},
        {"12,5", std::nullopt},
        {"1e2", std::nullopt},
        {"70 ", std::nullopt},
        {"- 5", std::nullopt},
        {"+-5", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$100000000", std::nullopt},
        {"$1G", std::nullopt},
        {"0x1F", std::nullopt},
        {"\t5", std::nullopt},
        {"\xd9\xa3", std::nullopt}, // an Arabic-Indic digit three
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(settings::textToInteger(QString::fromUtf8(c.text)), c.value);
    }
}

TEST(NumberText, DecimalConversionAcceptsPointOrCommaAndExponents)
{
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"100", 100.0},
        {"-20", -20.0},
        {" 12.5 ", 12.5},
        {"12,5", 12.5},
        {".5", 0.5},
        {"5.", 5.0},
        {"+1e2", 100.0},
        {"2.5E-1", 0.25},
        {"", std::nullopt},
        {".", std::nullopt},
        {"abc", std::nullopt},
        {"1e", std::nullopt},
        {"1e+", std::nullopt},
        {"$64", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1 2", std::nullopt},
        {"1e999", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(settings::textToDecimal(QString::fromUtf8(c.text)), c.value);
    }
}

TEST(NumberText, AxisValueReadsEveryTextTheLevelFieldsAccept)
{
    EXPECT_EQ(settings::axisValue(u"$64"), 100.0);
    EXPECT_EQ(settings::axisValue(u"  -$A"), -10.0);
    EXPECT_EQ(settings::axisValue(u"12.5"), 12.5);
    EXPECT_EQ(settings::axisValue(u"20000"), 20000.0);
    EXPECT_EQ(settings::axisValue(u"abc"), std::nullopt);
    EXPECT_EQ(settings::axisValue(u""), std::nullopt);
}

} // namespace
