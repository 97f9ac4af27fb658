#include "band_plan.h"

#include "rta_curve.h"

#include <algorithm>
#include <cmath>

namespace engine {

const std::array<int, kPrefFreqBaseSize> PrefFreqBase = {
    100, 103, 106, 109, 112, 115, 118, 122, 125, 128, 132, 136, 140, 145, 150, 155,
    160, 165, 170, 175, 180, 185, 190, 195, 200, 206, 212, 218, 224, 230, 236, 243,
    250, 258, 265, 272, 280, 290, 300, 307, 315, 325, 335, 345, 355, 365, 375, 387,
    400, 412, 425, 437, 450, 462, 475, 487, 500, 515, 530, 545, 560, 580, 600, 615,
    630, 650, 670, 690, 710, 730, 750, 775, 800, 825, 850, 875, 900, 925, 950, 975,
};

void buildPrefFreqList(BandPlan& plan)
{
    int count = 0;
    long long decade = 10;
    for (int e = 1; e <= 4; ++e, decade *= 10) {
        for (int hundredths : PrefFreqBase) {
            // Exact integer over an exact divisor: one correctly rounded division.
            const double f = static_cast<double>(hundredths * decade) / 100.0;
            if (13.9 > f || f > 28001.0)
                continue;
            if (count < kBinArraySize)
                plan.PrefFreqList[static_cast<std::size_t>(count)] = f;
            ++count;
        }
    }
}

double nominalCentre(double lower, double upper)
{
    const double centre = std::sqrt(lower * upper);
    double best = 0;
    long long decade = 10;
    for (int e = 1; e <= 4; ++e, decade *= 10) {
        for (const int hundredths : PrefFreqBase) {
            const double f = static_cast<double>(hundredths * decade) / 100.0;
            if (13.9 > f || f > 28001.0)
                continue;
            if (best == 0 || std::abs(std::log(f / centre)) < std::abs(std::log(best / centre)))
                best = f;
        }
    }
    return best;
}

bool bandHasBin(const BinArray& borders, int j)
{
    const auto at = [](int i) { return static_cast<std::size_t>(i); };
    const long double top = std::floor(borders[at(j)] / kBinSpacingHz);
    const long double highest = std::min(top, static_cast<long double>(kRtaBins - 1));
    const long double lowest = j == 1 ? 0.0L : std::floor(borders[at(j - 1)] / kBinSpacingHz) + 1;
    return highest >= lowest;
}

bool applyOctaveType(BandPlan& plan, MeasurementState& state, int item, const RtaGeometry& g)
{
    if (item < 1 || item > kOctaveTypeItems)
        return false;
    const auto n = 10 * o[static_cast<std::size_t>(item)] + 2;
    const auto start = AfStart[static_cast<std::size_t>(item)];
    const auto step = p[static_cast<std::size_t>(item)];

    plan.validbands = 0;
    for (int k = 0; k < n; ++k) {
        plan.OctBinBorderList[static_cast<std::size_t>(plan.validbands)] =
            plan.PrefFreqList[static_cast<std::size_t>(start + step * k)];
        ++plan.validbands;
    }

    state.Columnwidth = static_cast<double>(static_cast<long double>(g.graphWidth) /
                                            static_cast<long double>(plan.validbands - 2));
    layOutBandColumns(std::span(plan.OctBinBorderList).first(static_cast<std::size_t>(n)),
                      std::nullopt, g, state.NewPoints[0]);
    const std::int32_t bottom = bottomRow(g);
    for (int k = 1; k < plan.validbands; ++k) {
        state.OctBands[static_cast<std::size_t>(k)] = bottom;
        state.OldPoints[1][static_cast<std::size_t>(k)] = bottom;
    }
    state.AverageRestart = true;
    return true;
}

} // namespace engine
