#include "power_maths.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {

void combineLevels(PowerOperation operation, std::span<const BinArray* const> levels, int bands,
                   BinArray& out)
{
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const int n = std::clamp(bands, 0, kBinArraySize);
    out.fill(kNaN);
    if (levels.empty())
        return;
    for (int j = 1; j < n; ++j) {
        const auto at = static_cast<std::size_t>(j);
        long double power = 0;
        bool known = true;
        for (std::size_t s = 0; s < levels.size(); ++s) {
            const long double level = (*levels[s])[at];
            if (std::isnan(level)) {
                known = false;
                break;
            }
            const long double p = std::pow(10.0L, level / 10);
            power += (operation == PowerOperation::Difference && s > 0) ? -p : p;
        }
        if (!known)
            continue;
        if (operation == PowerOperation::Average)
            power /= static_cast<long double>(levels.size());
        out[at] = power > 0 ? static_cast<double>(10 * std::log10(power))
                            : -std::numeric_limits<double>::infinity();
    }
}

} // namespace engine
