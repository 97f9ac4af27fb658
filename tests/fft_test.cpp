#include "dsp/fft.h"
#include "dsp/fft_routines.h"

#include "fft_reference.h"
#include "test_signals.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numbers>

using dsp::TFFTComplex;
using reference::LComplex;

namespace {

std::vector<TFFTComplex> fft(const std::vector<float>& signal)
{
    std::vector<TFFTComplex> spectrum(signal.size());
    dsp::FFT(signal, spectrum);
    return spectrum;
}

bool sameBits(const std::vector<TFFTComplex>& a, const std::vector<TFFTComplex>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0;
}

std::vector<std::size_t> lengthsUnderTest()
{
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 64; ++n)
        lengths.push_back(n);
    for (std::size_t n : {97, 1009, 6000, 4096, 8192})
        lengths.push_back(n);
    return lengths;
}

// Largest error, relative to the largest bin, for 16-bit full-scale input:
// radix-2 lengths stay 130 dB below it (single precision with double
// twiddles); the chirp path rounds through a convolution of up to four times
// the length and a chirp walked by multiplication, and stays 125 dB below.
double allowedErrorDb(std::size_t n)
{
    const std::size_t half = n / 2;
    const bool radix2 = n <= 2 || (n % 2 == 0 && (half & (half - 1)) == 0);
    return radix2 ? -130.0 : -125.0;
}

} // namespace

TEST(FFT, MatchesDirectDftForEveryLength)
{
    for (std::size_t n : lengthsUnderTest()) {
        SCOPED_TRACE(n);
        const auto x = testsig::pcm16Noise(n, static_cast<std::uint32_t>(n) + 7);
        const auto want = reference::dft(x);
        const auto got = testsig::asComplex(fft(x));
        EXPECT_LT(testsig::errorBelowPeakDb(got, want), allowedErrorDb(n));
        // Single precision with double twiddles is more exact than a
        // single-precision library transform (about 1.3e-7 at this length).
        if (n == 8192) {
            EXPECT_LT(testsig::spectrumError(got, want).relativeRms, 1.15e-7);
        }
    }
}

TEST(FFT, EvenLengthsGiveExactConjugateSymmetryAndRealDcAndNyquist)
{
    for (std::size_t n : {2, 12, 30, 64, 6000, 8192}) {
        SCOPED_TRACE(n);
        const auto s = fft(testsig::pcm16Noise(n, 3));
        EXPECT_EQ(s[0].imag, 0.0f);
        EXPECT_EQ(s[n / 2].imag, 0.0f);
        for (std::size_t k = 1; k < n; ++k) {
            ASSERT_EQ(s[n - k].real, s[k].real) << k;
            ASSERT_EQ(s[n - k].imag, -s[k].imag) << k;
        }
    }
}

TEST(FFT, PowerOfTwoLengthsAreBitIdenticalToPlainTranscription)
{
    for (std::size_t n = 2; n <= 65536; n *= 2) {
        SCOPED_TRACE(n);
        const auto x = testsig::pcm16Noise(n, 11);
        EXPECT_TRUE(sameBits(fft(x), reference::realFFT(x)));
    }
}

TEST(FFT, LongTransformsMatchTheDirectDftAtSampledBins)
{
    // A full direct DFT of 65536 points takes minutes; every 61st bin and the
    // edges of the spectrum are summed directly instead.
    for (std::size_t n : {16384, 32768, 65536}) {
        SCOPED_TRACE(n);
        const auto x = testsig::pcm16Noise(n, static_cast<std::uint32_t>(n) + 3);
        const auto got = fft(x);
        std::vector<LComplex> root(n);
        for (std::size_t j = 0; j < n; ++j)
            root[j] = std::polar(1.0L, -2 * std::numbers::pi_v<long double> * j / n);
        long double peak = 0, worst = 0;
        for (std::size_t k = 0; k < n; k += (k < 3 || k > n - 4) ? 1 : 61) {
            LComplex sum = 0;
            for (std::size_t j = 0; j < n; ++j)
                sum += static_cast<long double>(x[j]) * root[(j * k) % n];
            peak = std::max(peak, std::abs(sum));
            worst = std::max(worst, std::abs(sum - LComplex(got[k].real, got[k].imag)));
        }
        EXPECT_LT(20 * std::log10(worst / peak), -130.0L);
    }
}

TEST(FFT, SpecialSignals)
{
    const auto silence = fft(std::vector<float>(8192, 0.0f));
    for (const auto& bin : silence)
        ASSERT_TRUE(bin.real == 0.0f && bin.imag == 0.0f);

    const auto dc = fft(std::vector<float>(8192, 1.0f));
    EXPECT_EQ(dc[0].real, 8192.0f);
    EXPECT_EQ(dc[0].imag, 0.0f);
    for (std::size_t k = 1; k < dc.size(); ++k)
        ASSERT_LT(std::hypot(dc[k].real, dc[k].imag), 1e-3f) << k;

    const auto two = fft({3.0f, 5.0f});
    EXPECT_EQ(two[0].real, 8.0f);
    EXPECT_EQ(two[0].imag, 0.0f);
    EXPECT_EQ(two[1].real, -2.0f);
    EXPECT_EQ(two[1].imag, 0.0f);

    const auto one = fft({-7.5f});
    EXPECT_EQ(one[0].real, -7.5f);
    EXPECT_EQ(one[0].imag, 0.0f);
}

TEST(FFT, SpectrumLengthIsCheckedAndOnlyTheFirstNBinsAreWritten)
{
    std::vector<TFFTComplex> none;
    EXPECT_NO_THROW(dsp::FFT(std::vector<float>{}, none));

    const TFFTComplex marker{123.0f, -456.0f};
    const auto x = testsig::pcm16Noise(16);
    std::vector<TFFTComplex> tooShort(15, marker);
    try {
        dsp::FFT(x, tooShort);
        FAIL() << "no error for a short spectrum";
    } catch (const std::length_error& e) {
        EXPECT_STREQ(e.what(), "FFT: spectrum array too short");
    }
    for (const auto& bin : tooShort)
        ASSERT_TRUE(bin.real == marker.real && bin.imag == marker.imag);

    std::vector<TFFTComplex> longer(20, marker);
    dsp::FFT(x, longer);
    EXPECT_TRUE(sameBits({longer.begin(), longer.begin() + 16}, fft(x)));
    for (std::size_t k = 16; k < longer.size(); ++k)
        ASSERT_TRUE(longer[k].real == marker.real && longer[k].imag == marker.imag);
}

TEST(Radix2, StagesAreBitIdenticalToPlainTranscriptionForAnyStep)
{
    for (std::ptrdiff_t n = 1; n <= 8192; n *= 2) {
        for (int isign : {1, -1}) {
            SCOPED_TRACE(testing::Message() << "n=" << n << " isign=" << isign);
            const auto seed = static_cast<std::uint32_t>(n);
            const auto re0 = testsig::pcm16Noise(n, seed), im0 = testsig::pcm16Noise(n, seed + 1);

            auto wantRe = re0, wantIm = im0;
            reference::sandeTukey(wantRe.data(), 1, wantIm.data(), 1, n, isign);
            auto re = re0, im = im0;
            dsp::SandeTukeyFFT(re.data(), 1, im.data(), 1, n, isign);
            EXPECT_EQ(re, wantRe);
            EXPECT_EQ(im, wantIm);

            wantRe = re0, wantIm = im0;
            reference::cooleyTukey(wantRe.data(), 1, wantIm.data(), 1, n, isign);
            re = re0, im = im0;
            dsp::CooleyTukeyFFT(re.data(), 1, im.data(), 1, n, isign);
            EXPECT_EQ(re, wantRe);
            EXPECT_EQ(im, wantIm);

            // Steps 3 and 2, interleaved in one array as the real transform does.
            std::vector<float> strided(3 * n + 1);
            for (std::ptrdiff_t k = 0; k < n; ++k) {
                strided[3 * k] = re0[k];
                strided[3 * k + 1] = im0[k];
            }
            dsp::CooleyTukeyFFT(strided.data(), 3, strided.data() + 1, 3, n, isign);
            for (std::ptrdiff_t k = 0; k < n; ++k) {
                ASSERT_EQ(strided[3 * k], wantRe[k]);
                ASSERT_EQ(strided[3 * k + 1], wantIm[k]);
            }
        }
    }
}

TEST(Radix2, BitReversalAndPowerOfTwoDriverRespectTheirSteps)
{
    // Step 3: only every third element is part of the sequence.
    const std::ptrdiff_t n = 16;
    std::vector<float> re(3 * n), im(3 * n);
    for (std::size_t k = 0; k < re.size(); ++k) {
        re[k] = static_cast<float>(k);
        im[k] = -static_cast<float>(k);
    }
    auto re1 = re, im1 = im;
    dsp::Power2LengthFFT(re1.data(), 3, im1.data(), 3, n, false);
    for (std::size_t k = 0; k < re.size(); ++k) {
        if (k % 3 != 0) {
            ASSERT_EQ(re1[k], re[k]) << k;
            ASSERT_EQ(im1[k], im[k]) << k;
        }
    }

    auto re2 = re, im2 = im;
    dsp::BitReversal(re2.data(), 3, im2.data(), 3, 8);
    const int order[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(re2[3 * k], static_cast<float>(3 * order[k]));
        EXPECT_EQ(im2[3 * k], -static_cast<float>(3 * order[k]));
    }

    // Lengths below 2 are left alone.
    float r = 5.0f, i = 6.0f;
    dsp::Power2LengthFFT(&r, 1, &i, 1, 1, true);
    dsp::InPlaceFFTCplx(&r, 1, &i, 1, 1, true);
    EXPECT_EQ(r, 5.0f);
    EXPECT_EQ(i, 6.0f);
}

TEST(InPlaceFFTCplx, MatchesDirectDftBothWaysAndRoundTrips)
{
    for (std::ptrdiff_t n : {2, 3, 5, 6, 7, 8, 12, 64, 97, 100, 1009, 4096, 6000}) {
        SCOPED_TRACE(n);
        auto re = testsig::pcm16Noise(n, 21), im = testsig::pcm16Noise(n, 22);
        std::vector<LComplex> x(n);
        for (std::ptrdiff_t k = 0; k < n; ++k)
            x[k] = {re[k], im[k]};
        const auto original = std::make_pair(re, im);

        dsp::InPlaceFFTCplx(re.data(), 1, im.data(), 1, n, false);
        std::vector<std::complex<float>> got(n);
        for (std::ptrdiff_t k = 0; k < n; ++k)
            got[k] = {re[k], im[k]};
        EXPECT_LT(testsig::errorBelowPeakDb(got, reference::dft(x, -1)), -125.0);

        dsp::InPlaceFFTCplx(re.data(), 1, im.data(), 1, n, true);
        std::vector<LComplex> back(original.first.size());
        for (std::ptrdiff_t k = 0; k < n; ++k)
            back[k] = {original.first[k], original.second[k]};
        for (std::ptrdiff_t k = 0; k < n; ++k)
            got[k] = {re[k], im[k]};
        EXPECT_LT(testsig::errorBelowPeakDb(got, back), -125.0);

        // The inverse alone is the +i kernel scaled by 1/n.
        auto ire = original.first, iim = original.second;
        dsp::InPlaceFFTCplx(ire.data(), 1, iim.data(), 1, n, true);
        auto want = reference::dft(x, +1);
        for (auto& v : want)
            v /= static_cast<long double>(n);
        for (std::ptrdiff_t k = 0; k < n; ++k)
            got[k] = {ire[k], iim[k]};
        EXPECT_LT(testsig::errorBelowPeakDb(got, want), -125.0);
    }
}

TEST(Chirp1, ComputesTheGeneralChirpZTransform)
{
    using std::polar;
    const long double pi = std::numbers::pi_v<long double>;
    struct Case {
        std::ptrdiff_t n, m;
    };
    // m below, equal to and far above what one block yields, and n beyond one
    // renormalisation period of the chirp walk.
    for (Case c :
         {Case{5, 3}, Case{5, 5}, Case{5, 200}, Case{40, 7}, Case{300, 1000}, Case{5000, 64}}) {
        SCOPED_TRACE(testing::Message() << "n=" << c.n << " m=" << c.m);
        const LComplex w = polar(1.0L, -2 * pi * 0.123L), a{0.5L, -2.0L};
        const LComplex b = polar(1.0L, 0.3L), g = polar(1.0L, 0.2L);
        const auto xr = testsig::pcm16Noise(c.n, 5), xi = testsig::pcm16Noise(c.n, 6);
        std::vector<float> outR(c.m), outI(c.m);
        dsp::Chirp1(xr.data(), 1, xi.data(), 1, c.n, w.real(), w.imag(), a.real(), a.imag(),
                    b.real(), b.imag(), g.real(), g.imag(), outR.data(), 1, outI.data(), 1, c.m);

        std::vector<LComplex> want(c.m);
        std::vector<std::complex<float>> got(c.m);
        for (std::ptrdiff_t k = 0; k < c.m; ++k) {
            LComplex sum = 0;
            for (std::ptrdiff_t j = 0; j < c.n; ++j)
                sum += a * polar(1.0L, 0.3L * j) * LComplex(xr[j], xi[j]) *
                       polar(1.0L, -2 * pi * 0.123L * static_cast<long double>((j * k) % 1000));
            want[k] = polar(1.0L, 0.2L * k) * sum;
            got[k] = {outR[k], outI[k]};
        }
        EXPECT_LT(testsig::errorBelowPeakDb(got, want), -100.0);
    }

    // Degenerate sizes: m <= 0 writes nothing, n <= 0 writes m zeros.
    std::vector<float> r(4, 9.0f), i(4, 9.0f);
    dsp::Chirp1(r.data(), 1, i.data(), 1, 3, 1, 0, 1, 0, 1, 0, 1, 0, r.data(), 1, i.data(), 1, 0);
    EXPECT_EQ(r, std::vector<float>(4, 9.0f));
    dsp::Chirp1(r.data(), 1, i.data(), 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, r.data(), 2, i.data(), 2, 2);
    EXPECT_EQ(r, (std::vector<float>{0, 9, 0, 9}));
    EXPECT_EQ(i, (std::vector<float>{0, 9, 0, 9}));
}

TEST(ComplexHelpers, IntegerPowersAndPrincipalRoots)
{
    struct Pow {
        double zr, zi;
        std::int64_t e;
        double rr, ri;
    };
    for (Pow p : {Pow{0, 2, -1, 0, -0.5}, Pow{3, -4, 0, 1, 0}, Pow{1, 1, 2, 0, 2},
                  Pow{0, 1, 4, 1, 0}, Pow{2, 0, 10, 1024, 0}, Pow{1, 1, -2, 0, -0.5}}) {
        double rr, ri;
        dsp::CplxPowerIntDbl(p.zr, p.zi, p.e, rr, ri);
        EXPECT_DOUBLE_EQ(rr, p.rr) << p.zr << "," << p.zi << "^" << p.e;
        EXPECT_NEAR(ri, p.ri, 1e-15) << p.zr << "," << p.zi << "^" << p.e;
    }
    struct Root {
        double zr, zi, rr, ri;
    };
    for (Root r : {Root{-4, 0, 0, 2}, Root{0, -2, 1, -1}, Root{0, 0, 0, 0}, Root{3, 4, 2, 1},
                   Root{-3, -4, 1, -2}, Root{-3, 4, 1, 2}}) {
        double rr, ri;
        dsp::CplxSqrtDbl(r.zr, r.zi, rr, ri);
        EXPECT_DOUBLE_EQ(rr, r.rr) << r.zr << "," << r.zi;
        EXPECT_DOUBLE_EQ(ri, r.ri) << r.zr << "," << r.zi;
    }
}

TEST(RealFFTInterleave, PreparingTheInverseUndoesTheSeparation)
{
    // Separate, prepare the inverse, transform back: the packed signal returns,
    // through unit steps and through an interleaved pair alike.
    for (std::ptrdiff_t h : {1, 2, 8, 12, 64, 4096}) {
        SCOPED_TRACE(h);
        const auto x = testsig::pcm16Noise(2 * h, 31);
        std::vector<float> re(h), im(h), pair(2 * h);
        for (std::ptrdiff_t k = 0; k < h; ++k) {
            pair[2 * k] = re[k] = x[2 * k];
            pair[2 * k + 1] = im[k] = x[2 * k + 1];
        }
        dsp::InPlaceFFTCplx(re.data(), 1, im.data(), 1, h, false);
        dsp::RealFFTInterleave(re.data(), 1, im.data(), 1, h, 1);
        dsp::RealFFTInterleave(re.data(), 1, im.data(), 1, h, -1);
        dsp::InPlaceFFTCplx(re.data(), 1, im.data(), 1, h, true);

        float* pr = pair.data();
        dsp::InPlaceFFTCplx(pr, 2, pr + 1, 2, h, false);
        dsp::RealFFTInterleave(pr, 2, pr + 1, 2, h, 1);
        dsp::RealFFTInterleave(pr, 2, pr + 1, 2, h, -1);
        dsp::InPlaceFFTCplx(pr, 2, pr + 1, 2, h, true);

        for (std::ptrdiff_t k = 0; k < h; ++k) {
            ASSERT_NEAR(re[k], x[2 * k], 0.02f) << k;
            ASSERT_NEAR(im[k], x[2 * k + 1], 0.02f) << k;
            ASSERT_EQ(pair[2 * k], re[k]) << k;
            ASSERT_EQ(pair[2 * k + 1], im[k]) << k;
        }
    }
}
