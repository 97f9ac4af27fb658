#include "level_basis.h"

#include "types.h"

#include "dsp/window_table.h"

#include <array>
#include <cmath>

namespace engine {

LevelBasis levelBasisOf(const CalibrationModel& model, double rawMinusDbfs)
{
    LevelBasis b{model.effectiveReference(), model.offsetFromDbfs(rawMinusDbfs)};
    if (!std::isfinite(*b.offsetDb))
        b.offsetDb.reset();
    return b;
}

std::optional<double> levelShift(const LevelBasis& stored, const LevelBasis& shown)
{
    if (!stored.reference || !shown.reference)
        return std::nullopt;
    const bool same = *stored.reference == *shown.reference;
    if (same && *stored.reference == LevelReference::Spl)
        return 0.0;
    if (stored.offsetDb && shown.offsetDb)
        return *shown.offsetDb - *stored.offsetDb;
    if (same)
        return 0.0;
    return std::nullopt;
}

std::optional<double> dbfsShift(const LevelBasis& stored, const LevelBasis& shown)
{
    if (stored.reference == LevelReference::Spl && shown.reference == LevelReference::Spl)
        return stored.offsetDb;
    return shown.offsetDb;
}

std::optional<double> rtaRawMinusDbfsOfWindow(int windowItem)
{
    if (windowItem < 0 || windowItem > 3)
        return std::nullopt;
    std::array<double, kBlockSamples> table{};
    dsp::BuildWindowTable(windowItem, table);
    const double offset = rtaRawMinusDbfs(table);
    if (!std::isfinite(offset))
        return std::nullopt;
    return offset;
}

} // namespace engine
