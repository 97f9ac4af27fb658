#pragma once
// The twiddle recurrence of the radix-2 stages and of the real-transform
// separation: (cos k*theta, sin k*theta) walked by multiplication, two sine
// calls per walk and no tables. Every routine must advance it in exactly this
// way, as the rounding of each step carries into all later factors.

#include <cmath>
#include <cstddef>

namespace dsp {

struct TwiddleWalk {
    double wr = 1.0;
    double wi = 0.0;
    double wpr = 0.0;
    double wpi = 0.0;

    TwiddleWalk() = default;
    explicit TwiddleWalk(double theta)
    {
        const double s = std::sin(0.5 * theta);
        wpr = -2.0 * s * s;
        wpi = std::sin(theta);
    }

    // wr' = wr*wpr - wi*wpi + wr and wi' = wi*wpr + wr*wpi + wi. The products
    // are named so that no copy of wr sits on the 9-cycle path of a step.
    void advance()
    {
        const double rr = wr * wpr;
        const double ii = wi * wpi;
        const double ir = wi * wpr;
        const double ri = wr * wpi;
        wr = rr - ii + wr;
        wi = ir + ri + wi;
    }

    // Writes the next `count` factors and advances past them.
    void fill(double* outR, double* outI, std::ptrdiff_t count)
    {
        for (std::ptrdiff_t c = 0; c < count; ++c) {
            outR[c] = wr;
            outI[c] = wi;
            advance();
        }
    }
};

} // namespace dsp
