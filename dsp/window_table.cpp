#include "window_table.h"

#include <cmath>
#include <numbers>

namespace dsp {

void BuildWindowTable(int item, std::span<double> window)
{
    if (item < 0 || item > 3)
        return;
    const auto type = static_cast<WindowType>(item);
    const long double n = static_cast<long double>(window.size());
    const long double pi = std::numbers::pi_v<long double>;
    for (std::size_t k = 0; k < window.size(); ++k) {
        const long double phase = pi * static_cast<long double>(k + 1) / n; // pi * i / n
        long double w = 1.0L;
        switch (type) {
        case WindowType::Rectangular:
            break;
        case WindowType::Hann:
            w = std::pow(std::sin(phase), 2.0L);
            break;
        case WindowType::Hamming:
            w = 0.54L - 0.46L * std::cos(2.0L * phase);
            break;
        case WindowType::BlackmanHarris:
            w = 0.35875L - 0.48829L * std::cos(2.0L * phase) + 0.14128L * std::cos(4.0L * phase) -
                0.01168L * std::cos(6.0L * phase);
            break;
        }
        window[k] = static_cast<double>(w);
    }
}

} // namespace dsp
