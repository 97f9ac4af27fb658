#include "export_number.h"

#include "engine/band_plan.h"

#include <charconv>
#include <cmath>
#include <iterator>

namespace memories {

QByteArray exportNumber(double v)
{
    char buf[32];
    const auto r = std::to_chars(std::begin(buf), std::end(buf), v);
    return QByteArray(buf, static_cast<int>(r.ptr - buf));
}

QByteArray exportLevel(const SpectrumRec& rec, int j)
{
    const double level = rec.levels[static_cast<std::size_t>(j)];
    if (j < 1 || !std::isfinite(level) || !engine::bandHasBin(rec.f, j))
        return {};
    return exportNumber(level);
}

} // namespace memories
