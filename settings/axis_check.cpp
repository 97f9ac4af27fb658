#include "settings/axis_check.h"

#include "settings/number_text.h"

namespace settings {

AxisProblem checkAxes(const AxisTexts& texts)
{
    const auto yMin = axisValue(texts.yAxisMin);
    const auto yMax = axisValue(texts.yAxisMax);
    const auto yStep = axisValue(texts.yAxisStep);
    if (yMin && yMax && !(*yMin < *yMax))
        return AxisProblem::LevelRangeInverted;
    if (yStep && !(*yStep > 0))
        return AxisProblem::LevelStepNotPositive;
    if (yMin && yMax && yStep && (*yMax - *yMin) / *yStep > kMaxLevelGridLines)
        return AxisProblem::LevelStepTooFine;

    const auto xMin = axisValue(texts.xAxisMin);
    const auto xMax = axisValue(texts.xAxisMax);
    for (const auto& x : {xMin, xMax})
        if (x && !(*x >= kMinFrequencyHz && *x <= kMaxFrequencyHz))
            return AxisProblem::FrequencyOutOfRange;
    if (xMin && xMax && !(*xMin < *xMax))
        return AxisProblem::FrequencyNotAscending;
    return AxisProblem::None;
}

bool isLevelProblem(AxisProblem problem)
{
    return problem == AxisProblem::LevelRangeInverted ||
           problem == AxisProblem::LevelStepNotPositive || problem == AxisProblem::LevelStepTooFine;
}

} // namespace settings
