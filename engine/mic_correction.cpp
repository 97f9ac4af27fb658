#include "mic_correction.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace engine {
namespace {

bool isSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r';
}

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSeparator(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isSeparator(line[i]))
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

// A whole field as a number with a dot, whatever the locale; `suffix` (such
// as "Hz" or "dB", any case) may follow it.
std::optional<double> numberOf(std::string_view field, std::string_view suffix = {})
{
    if (!suffix.empty() && field.size() > suffix.size()) {
        const std::string_view tail = field.substr(field.size() - suffix.size());
        if (std::equal(tail.begin(), tail.end(), suffix.begin(), suffix.end(),
                       [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
            field.remove_suffix(suffix.size());
    }
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    if (ec != std::errc() || end != field.data() + field.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// "Sens Factor =-1.23dB" (quoted or not, with or without blanks) or a
// comment "*1000Hz -38.6": the sensitivity in dB, when the line is one.
std::optional<double> sensitivityOf(std::string_view line)
{
    const std::string low = lowered(line);
    if (const std::size_t at = low.find("sens"); at != std::string::npos) {
        const std::size_t eq = low.find('=', at);
        if (eq == std::string::npos)
            return std::nullopt;
        std::string_view rest = line.substr(eq + 1);
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
            rest.remove_prefix(1);
        std::size_t n = 0;
        while (n < rest.size() && (std::isdigit(static_cast<unsigned char>(rest[n])) ||
                                   rest[n] == '-' || rest[n] == '+' || rest[n] == '.'))
            ++n;
        return numberOf(rest.substr(0, n));
    }
    if (line.empty() || line.front() != '*')
        return std::nullopt;
    const auto fields = fieldsOf(line.substr(1));
    if (fields.size() != 2 || !numberOf(fields[0], "hz") ||
        lowered(fields[0]).find("hz") == std::string::npos)
        return std::nullopt;
    return numberOf(fields[1], "db");
}

} // namespace

double MicCorrection::responseDb(double hz) const
{
    if (points.empty())
        return 0.0;
    if (!(hz > points.front().hz))
        return points.front().db;
    if (hz >= points.back().hz)
        return points.back().db;
    const auto upper = std::upper_bound(points.begin(), points.end(), hz,
                                        [](double f, const Point& p) { return f < p.hz; });
    const Point& b = *upper;
    const Point& a = *(upper - 1);
    const double t = std::log(hz / a.hz) / std::log(b.hz / a.hz);
    return a.db + t * (b.db - a.db);
}

std::optional<MicCorrection> parseMicCorrection(std::string_view text, MicCorrectionError& error)
{
    MicCorrection result;
    int number = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        while (!line.empty() && isSeparator(line.back()))
            line.remove_suffix(1);
        while (!line.empty() && isSeparator(line.front()))
            line.remove_prefix(1);
        if (line.empty())
            continue;
        if (const auto sens = sensitivityOf(line)) {
            result.sensitivityDb = sens;
            continue;
        }
        if (line.front() == '*' || line.front() == '"')
            continue;
        const auto fields = fieldsOf(line);
        const bool counted = fields.size() == 2 || (fields.size() == 3 && numberOf(fields[2]));
        const double hz = counted ? numberOf(fields[0]).value_or(0.0) : 0.0;
        const auto db = counted ? numberOf(fields[1]) : std::nullopt;
        const bool ascending = result.points.empty() || hz > result.points.back().hz;
        if (!(hz > 0) || !db || !ascending) {
            error = {number, std::string(line)};
            return std::nullopt;
        }
        result.points.push_back({hz, *db});
    }
    if (result.points.empty()) {
        error = {0, {}};
        return std::nullopt;
    }
    return result;
}

} // namespace engine
