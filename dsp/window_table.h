#pragma once
// The coefficient table the octave-band analyzer multiplies each block by,
// built for the window type chosen in the settings.

#include <span>

namespace dsp {

// Window types in the order of the settings' list.
enum class WindowType { Rectangular = 0, Hann = 1, Hamming = 2, BlackmanHarris = 3 };

// Fills window[k], k < n = window.size(), with the raw (not normalised) weight
// of the periodic window of length n at i = k + 1, so window[n-1] holds the
// minimum. An item outside 0..3 (no selection) leaves the table unchanged.
void BuildWindowTable(int item, std::span<double> window);

} // namespace dsp
