#pragma once
// Reading the settings dialog's axis fields as numbers, the way the program has always read
// them. None of these throws; any text they do not accept gives std::nullopt. Any thread.

#include <QStringView>

#include <cstdint>
#include <optional>

namespace settings {

// A 32-bit integer: optional leading blanks, an optional sign, then decimal digits or "$" and
// hexadecimal digits, and nothing after them. Decimal values must lie in the int32 range;
// hexadecimal ones may use all 32 bits ("$FFFFFFFF" is -1). This is the test a level-axis
// field must pass when the user leaves it.
std::optional<std::int32_t> textToInteger(QStringView text);

// A finite decimal number: optional blanks, an optional sign, digits with an optional decimal
// point ("." or ","), an optional exponent ("e" or "E", optional sign, digits), optional
// trailing blanks. No hexadecimal.
std::optional<double> textToDecimal(QStringView text);

// What an axis field means as a number: its decimal value, or, for the hexadecimal texts the
// field's check lets through, their integer value.
std::optional<double> axisValue(QStringView text);

} // namespace settings
