#include "measurement_state.h"

#include <cmath>

namespace engine {

void onCaptureStart(MeasurementState& state)
{
    state.ScopeBufferCounter = 0;
    // The level of a full-scale 26-bit value: 156.5356 dB.
    state.ZerodBOffset = static_cast<double>(20 * std::log10(67108864.0L));
}

} // namespace engine
