#include "scope_time_base.h"

#include "rounding.h"

namespace engine {

bool applyTimeBase(MeasurementState& state, int position, int frameRate)
{
    if (position < 1 || position > kTimeBasePositions)
        return false;
    const double tDiv = TimeBase[static_cast<std::size_t>(position - 1)];
    const auto size = roundToInt32(static_cast<long double>(frameRate) * tDiv * 10);
    if (!size)
        return false;
    state.CurrtDiv = tDiv;
    state.ScopeBuffersize = *size;
    return true;
}

std::string timeBaseCaption(int position)
{
    if (position < 1 || position > kTimeBasePositions)
        return {};
    return std::string(TimeBaseLabel[static_cast<std::size_t>(position - 1)]) + "/div";
}

} // namespace engine
