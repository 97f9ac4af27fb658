// Transforms of any length: the chirp z-transform on power-of-two transforms,
// with its two complex helpers, and the driver that picks it.

#include "fft_kernels.h"
#include "fft_routines.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace dsp {
namespace {

struct Cplx {
    double re;
    double im;
};

Cplx operator*(Cplx a, Cplx b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

Cplx power(Cplx z, std::int64_t exponent)
{
    Cplx r;
    CplxPowerIntDbl(z.re, z.im, exponent, r.re, r.im);
    return r;
}

// The chirp factors are walked by multiplication; this pulls one back onto the
// circle it should lie on, every kRenormalise steps.
constexpr std::ptrdiff_t kRenormalise = 4096;

Cplx renormalised(Cplx z, double magnitude = 1.0)
{
    const double d = std::sqrt(z.re * z.re + z.im * z.im) * magnitude;
    return {z.re / d, z.im / d};
}

// Walks z_t = z0 * v0 * v0 q * v0 q^2 ..., the quadratic phase of a chirp.
struct ChirpWalk {
    Cplx z;
    Cplx v;
    Cplx q;

    void advance(std::ptrdiff_t t)
    {
        z = z * v;
        v = v * q;
        if (t % kRenormalise == 0) {
            z = renormalised(z);
            v = renormalised(v);
        }
    }
};

Cplx productInDouble(float re, float im, Cplx b)
{
    return Cplx{re, im} * b;
}

// Transform size K of the convolution: the power of two >= max(8, n) that the
// cost estimate prefers; d is how many outputs one block of size K yields.
struct ChirpSize {
    std::ptrdiff_t K;
    std::ptrdiff_t d;
};

ChirpSize chirpSize(std::ptrdiff_t n, std::ptrdiff_t m)
{
    std::ptrdiff_t K = 8;
    int lk = 3;
    while (K < n) {
        K *= 2;
        ++lk;
    }
    auto costOf = [m](std::ptrdiff_t size, int logSize, std::ptrdiff_t outputs) {
        return (2.0 * static_cast<double>(m + outputs - 1) / static_cast<double>(outputs) + 1.0) *
               static_cast<double>(size) * logSize;
    };
    std::ptrdiff_t d = K - (n - 1);
    double cost = costOf(K, lk, d);
    std::ptrdiff_t r = 2 * K - (n - 1);
    double next = costOf(2 * K, lk + 1, r);
    while (next < cost) {
        K *= 2;
        ++lk;
        d = r;
        cost = next;
        r = 2 * K - (n - 1);
        next = costOf(2 * K, lk + 1, r);
    }
    return {K, d};
}

} // namespace

void CplxPowerIntDbl(double zr, double zi, std::int64_t exponent, double& rr, double& ri)
{
    std::int64_t e = exponent < 0 ? -exponent : exponent;
    Cplx x{zr, zi};
    Cplx r{1.0, 0.0};
    while (e > 0) {
        while (e % 2 == 0) {
            e /= 2;
            x = {(x.re + x.im) * (x.re - x.im), 2.0 * x.im * x.re};
        }
        e -= 1;
        r = r * x;
    }
    if (exponent < 0) {
        const double f = 1.0 / (r.re * r.re + r.im * r.im);
        r = {r.re * f, -r.im * f};
    }
    rr = r.re;
    ri = r.im;
}

void CplxSqrtDbl(double zr, double zi, double& rr, double& ri)
{
    if (zr == 0.0 && zi == 0.0) {
        rr = 0.0;
        ri = 0.0;
        return;
    }
    const double t = std::sqrt((std::fabs(zr) + std::sqrt(zr * zr + zi * zi)) / 2.0);
    if (zr >= 0.0) {
        rr = t;
        ri = zi / (2.0 * t);
    } else if (zi >= 0.0) {
        rr = zi / (2.0 * t);
        ri = t;
    } else {
        rr = -zi / (2.0 * t);
        ri = -t;
    }
}

void Chirp1(const TFFTFloat* realIn, Step realStepIn, const TFFTFloat* imagIn, Step imagStepIn,
            std::ptrdiff_t n, double wr, double wi, double ar, double ai, double br, double bi,
            double cr, double ci, PArrayOfFloat realOut, Step realStepOut, PArrayOfFloat imagOut,
            Step imagStepOut, std::ptrdiff_t m)
{
    if (m <= 0)
        return;
    if (n <= 0) {
        for (std::ptrdiff_t k = 0; k < m; ++k) {
            realOut[k * realStepOut] = 0.0f;
            imagOut[k * imagStepOut] = 0.0f;
        }
        return;
    }

    Cplx s;
    CplxSqrtDbl(wr, wi, s.re, s.im); // w^(q/2) is s^q from here on
    const auto [K, blockOutputs] = chirpSize(n, m);

    // One buffer of 2K complex values, held as four unit-step sequences.
    const auto work = std::make_unique_for_overwrite<float[]>(static_cast<std::size_t>(4 * K));
    float* const aRe = work.get();
    float* const aIm = aRe + K;
    float* const bRe = aIm + K;
    float* const bIm = bRe + K;

    // A[t] = x[t] * w^(t^2/2), optionally times a and b^t.
    ChirpWalk in{{1.0, 0.0}, s, power(s, 2)};
    for (std::ptrdiff_t t = 0; t < n; ++t) {
        const Cplx p = productInDouble(realIn[t * realStepIn], imagIn[t * imagStepIn], in.z);
        aRe[t] = static_cast<float>(p.re);
        aIm[t] = static_cast<float>(p.im);
        in.advance(t);
    }
    const Cplx a{ar, ai};
    if (ar != 1.0 || ai != 0.0) {
        for (std::ptrdiff_t t = 0; t < n; ++t) {
            const Cplx p = productInDouble(aRe[t], aIm[t], a);
            aRe[t] = static_cast<float>(p.re);
            aIm[t] = static_cast<float>(p.im);
        }
    }
    if (br != 1.0 || bi != 0.0) {
        const Cplx b{br, bi};
        Cplx z{1.0, 0.0};
        for (std::ptrdiff_t t = 0; t < n; ++t) {
            const Cplx p = productInDouble(aRe[t], aIm[t], z);
            aRe[t] = static_cast<float>(p.re);
            aIm[t] = static_cast<float>(p.im);
            z = z * b;
            if (t % kRenormalise == 0)
                z = renormalised(z);
        }
    }
    std::fill(aRe + n, aRe + K, 0.0f);
    std::fill(aIm + n, aIm + K, 0.0f);
    SandeTukeyFFT(aRe, 1, aIm, 1, K, 1); // stays in bit-reversed order

    std::ptrdiff_t d = blockOutputs;
    for (std::ptrdiff_t p = 0; p < m; p += d) {
        if (p + d > m)
            d = m - p;

        // B[t] = w^(-(s0+t)^2/2), the conjugate chirp seen by outputs p .. p+d-1.
        const std::int64_t s0 = p - (n - 1);
        ChirpWalk conj{power(power(s, -s0), s0), power(s, -(2 * s0 + 1)), power(s, -2)};
        for (std::ptrdiff_t t = 0; t <= n + d - 2; ++t) {
            bRe[t] = static_cast<float>(conj.z.re);
            bIm[t] = static_cast<float>(conj.z.im);
            conj.advance(t);
        }
        std::fill(bRe + n + d - 1, bRe + K, 0.0f);
        std::fill(bIm + n + d - 1, bIm + K, 0.0f);
        SandeTukeyFFT(bRe, 1, bIm, 1, K, 1);
        for (std::ptrdiff_t t = 0; t < K; ++t) {
            const float re = aRe[t] * bRe[t] - aIm[t] * bIm[t];
            const float im = aRe[t] * bIm[t] + aIm[t] * bRe[t];
            bRe[t] = re;
            bIm[t] = im;
        }
        CooleyTukeyFFT(bRe, 1, bIm, 1, K, -1); // K times the convolution, natural order

        ChirpWalk out{power(power(s, p), p), power(s, 2 * p + 1), power(s, 2)};
        for (std::ptrdiff_t t = 0; t < d; ++t) {
            const Cplx v = out.z * Cplx{bRe[n - 1 + t], bIm[n - 1 + t]};
            realOut[(p + t) * realStepOut] = static_cast<float>(v.re);
            imagOut[(p + t) * imagStepOut] = static_cast<float>(v.im);
            out.advance(t);
        }
    }

    const double invK = 1.0 / static_cast<double>(K);
    if (cr == 1.0 && ci == 0.0) {
        const float r = static_cast<float>(invK);
        for (std::ptrdiff_t t = 0; t < m; ++t) {
            realOut[t * realStepOut] *= r;
            imagOut[t * imagStepOut] *= r;
        }
        return;
    }
    const Cplx gamma{cr, ci};
    Cplx z{invK, 0.0};
    for (std::ptrdiff_t t = 0; t < m; ++t) {
        const Cplx v = productInDouble(realOut[t * realStepOut], imagOut[t * imagStepOut], z);
        realOut[t * realStepOut] = static_cast<float>(v.re);
        imagOut[t * imagStepOut] = static_cast<float>(v.im);
        z = z * gamma;
        if (t % kRenormalise == 0)
            z = renormalised(z, static_cast<double>(K));
    }
}

void InPlaceFFTCplx(PArrayOfFloat real, Step realStep, PArrayOfFloat imag, Step imagStep,
                    std::ptrdiff_t n, bool inverse)
{
    if (n <= 1)
        return;
    if ((n & (n - 1)) == 0) {
        Power2LengthFFT(real, realStep, imag, imagStep, n, inverse);
        return;
    }
    long double theta = -2.0L * std::numbers::pi_v<long double> / static_cast<long double>(n);
    if (inverse)
        theta = -theta;
    const double th = static_cast<double>(theta);
    Chirp1(real, realStep, imag, imagStep, n, std::cos(th), std::sin(th), 1.0, 0.0, 1.0, 0.0, 1.0,
           0.0, real, realStep, imag, imagStep, n);
    if (inverse)
        kernels::scaleByInverseLength(real, realStep, imag, imagStep, n);
}

} // namespace dsp
