// Stored curves in the reference shown: by how much each one's levels move
// to land on today's axis, and the legend's line for it, which says why a
// curve is missing where its levels cannot be converted.

#include "frm_main.h"

#include "calibrated_levels.h"
#include "string_table.h"

namespace app {

std::optional<double> TfrmMain::shownShift(const memories::SpectrumRec& slot,
                                           const engine::LevelBasis& shown) const
{
    // An FFT spectrum keeps its bins in dBFS; band levels are in their own reference.
    if (slot.fft.length > 0)
        return engine::dbfsShift(slot.basis, shown);
    return engine::levelShift(slot.basis, shown);
}

QString TfrmMain::notShownReason(const memories::SpectrumRec& slot,
                                 const engine::LevelBasis& shown) const
{
    if (!slot.basis.reference || !shown.reference)
        return LoadStr(sLegendReferenceUnknown);
    if (*slot.basis.reference == *shown.reference)
        return LoadStr(sLegendCalibrationUnknown);
    return LoadStr(sLegendNotConvertible)
        .arg(referenceName(*slot.basis.reference), referenceName(*shown.reference));
}

display::LegendEntry TfrmMain::memoryLegendEntry(const memories::SlotTable& table, int k,
                                                 const engine::LevelBasis& shown) const
{
    const memories::SpectrumRec& slot = table[static_cast<std::size_t>(k)];
    QString text = QString::number(k);
    if (!slot.comment.isEmpty())
        text += "  " + slot.comment;
    return {text, slot.Color, shownShift(slot, shown) ? QString() : notShownReason(slot, shown)};
}

} // namespace app
