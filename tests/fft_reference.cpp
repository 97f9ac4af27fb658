#include "fft_reference.h"

#include "dsp/fft_kernels.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace reference {
namespace {

using dsp::kernels::stageAngle;

// The twiddle recurrence exactly as stated: wt = wr, then the two updates.
struct Walk {
    double wr = 1, wi = 0, wpr, wpi;
    explicit Walk(double theta)
    {
        const double s = std::sin(0.5 * theta);
        wpr = -2.0 * s * s;
        wpi = std::sin(theta);
    }
    void advance()
    {
        const double wt = wr;
        wr = wr * wpr - wi * wpi + wr;
        wi = wi * wpr + wt * wpi + wi;
    }
};

void realFFTInterleave(float* re, std::ptrdiff_t rs, float* im, std::ptrdiff_t is, std::ptrdiff_t n,
                       int isign)
{
    const float c1 = 0.5f;
    const float c2 = 0.5f * static_cast<float>(isign);
    Walk w(stageAngle(isign, n));
    w.wr = 1.0 + w.wpr;
    w.wi = w.wpi;
    for (std::ptrdiff_t i = 1; i <= n / 2; ++i) {
        const std::ptrdiff_t j = n - i;
        const float h1r = c1 * (re[i * rs] + re[j * rs]);
        const float h1i = c1 * (im[i * is] - im[j * is]);
        const float h2r = c2 * (im[i * is] + im[j * is]);
        const float h2i = -c2 * (re[i * rs] - re[j * rs]);
        const double tr = w.wr * h2r - w.wi * h2i;
        const double ti = w.wr * h2i + w.wi * h2r;
        re[i * rs] = static_cast<float>(h1r + tr);
        im[i * is] = static_cast<float>(h1i + ti);
        re[j * rs] = static_cast<float>(h1r - tr);
        im[j * is] = static_cast<float>(-h1i + ti);
        w.advance();
    }
    const float h1r = re[0];
    re[0] = h1r + im[0];
    im[0] = h1r - im[0];
}

} // namespace

void sandeTukey(float* re, std::ptrdiff_t rs, float* im, std::ptrdiff_t is, std::ptrdiff_t n,
                int isign)
{
    for (std::ptrdiff_t n2 = n / 2, n1 = n; n2 >= 1; n1 = n2, n2 /= 2) {
        Walk w(stageAngle(isign, n2));
        for (std::ptrdiff_t j = 0; j < n2; ++j) {
            for (std::ptrdiff_t i = j; i < n; i += n1) {
                const std::ptrdiff_t k = i + n2;
                const float tempr = re[i * rs] - re[k * rs];
                const float tempi = im[i * is] - im[k * is];
                re[i * rs] = re[i * rs] + re[k * rs];
                im[i * is] = im[i * is] + im[k * is];
                re[k * rs] = static_cast<float>(w.wr * tempr - w.wi * tempi);
                im[k * is] = static_cast<float>(w.wr * tempi + w.wi * tempr);
            }
            w.advance();
        }
    }
}

void cooleyTukey(float* re, std::ptrdiff_t rs, float* im, std::ptrdiff_t is, std::ptrdiff_t n,
                 int isign)
{
    for (std::ptrdiff_t n1 = 1; n > n1;) {
        const std::ptrdiff_t n2 = n1;
        n1 *= 2;
        Walk w(stageAngle(isign, n2));
        for (std::ptrdiff_t j = 0; j < n2; ++j) {
            for (std::ptrdiff_t i = j; i < n; i += n1) {
                const std::ptrdiff_t k = i + n2;
                const float tempr = static_cast<float>(w.wr * re[k * rs] - w.wi * im[k * is]);
                const float tempi = static_cast<float>(w.wr * im[k * is] + w.wi * re[k * rs]);
                re[k * rs] = re[i * rs] - tempr;
                im[k * is] = im[i * is] - tempi;
                re[i * rs] = re[i * rs] + tempr;
                im[i * is] = im[i * is] + tempi;
            }
            w.advance();
        }
    }
}

void bitReversal(float* re, std::ptrdiff_t rs, float* im, std::ptrdiff_t is, std::ptrdiff_t n)
{
    std::ptrdiff_t j = 0;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        if (j > i) {
            std::swap(re[i * rs], re[j * rs]);
            std::swap(im[i * is], im[j * is]);
        }
        std::ptrdiff_t m = n / 2;
        while (m >= 2 && m <= j) {
            j -= m;
            m /= 2;
        }
        j += m;
    }
}

std::vector<TFFTComplex> realFFT(const std::vector<float>& signal)
{
    const auto n = static_cast<std::ptrdiff_t>(signal.size());
    const std::ptrdiff_t h = n / 2;
    std::vector<TFFTComplex> out(signal.size());
    float* re = &out[0].real;
    float* im = &out[0].imag;
    for (std::ptrdiff_t k = 0; k < h; ++k) {
        re[2 * k] = signal[2 * k];
        im[2 * k] = signal[2 * k + 1];
    }
    if (h >= 2) {
        sandeTukey(re, 2, im, 2, h, 1);
        bitReversal(re, 2, im, 2, h);
    }
    realFFTInterleave(re, 2, im, 2, h, 1);
    for (std::ptrdiff_t k = 1; k < h; ++k) {
        re[2 * (n - k)] = re[2 * k];
        im[2 * (n - k)] = -im[2 * k];
    }
    re[2 * h] = im[0];
    im[2 * h] = 0.0f;
    im[0] = 0.0f;
    return out;
}

std::vector<LComplex> dft(const std::vector<LComplex>& x, int sign)
{
    const std::size_t n = x.size();
    std::vector<LComplex> roots(n);
    for (std::size_t m = 0; m < n; ++m) {
        const long double a = sign * 2.0L * std::numbers::pi_v<long double> *
                              static_cast<long double>(m) / static_cast<long double>(n);
        roots[m] = {std::cos(a), std::sin(a)};
    }
    std::vector<LComplex> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        LComplex sum = 0;
        for (std::size_t j = 0; j < n; ++j)
            sum += x[j] * roots[(j * k) % n];
        out[k] = sum;
    }
    return out;
}

std::vector<LComplex> dft(const std::vector<float>& x)
{
    return dft(std::vector<LComplex>(x.begin(), x.end()));
}

} // namespace reference
