// The virtual test signals: their syntax, levels, spectra and repeatability.

#include "capture/pcm_convert.h"
#include "capture/test_signal.h"
#include "dsp/fft.h"
#include "engine/sound_level_meter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <numbers>
#include <vector>

using namespace capture;

namespace {

std::vector<float> render(const std::string& text, int frames, double rate = 48000)
{
    std::string error;
    const auto params = parseTestSignal(text, error);
    EXPECT_TRUE(params) << error;
    auto source = makeTestSignal(*params, rate, error);
    EXPECT_TRUE(source) << error;
    std::vector<float> out(static_cast<std::size_t>(frames));
    for (int done = 0; done < frames; done += 240)
        source->render(out.data() + done, std::min(240, frames - done), 1);
    return out;
}

// What the meter reads of the signal as 16-bit PCM: its Leq in dBFS.
double meterDb(const std::vector<float>& x)
{
    std::vector<std::uint8_t> bytes(2 * x.size());
    floatToPcm16(x.data(), x.size(), bytes.data());
    std::vector<std::int16_t> pcm(x.size());
    std::memcpy(pcm.data(), bytes.data(), bytes.size()); // little-endian, as the host
    engine::SoundLevelMeter meter;
    meter.process(pcm);
    return meter.readings().leqDb;
}

TEST(TestSignal, ParsesValidSpecsAndExplainsInvalidOnes)
{
    using K = TestSignalParams::Kind;
    struct Valid {
        const char* text;
        K kind;
        double f1, f2, seconds, level;
    };
    for (const Valid& v :
         {Valid{"sine:1000", K::Sine, 1000, 0, 0, -6},
          Valid{"sine:997.5:-20", K::Sine, 997.5, 0, 0, -20},
          Valid{"sweep:20-20000:10", K::Sweep, 20, 20000, 10, -6},
          Valid{"sweep:8000-100:0.5:-3", K::Sweep, 8000, 100, 0.5, -3},
          Valid{"pink", K::Pink, 0, 0, 0, -80}, Valid{"white:-40", K::White, 0, 0, 0, -40},
          Valid{"silence", K::Silence, 0, 0, 0, 0}}) {
        std::string error;
        const auto params = parseTestSignal(v.text, error);
        ASSERT_TRUE(params) << v.text << ": " << error;
        EXPECT_EQ(params->kind, v.kind) << v.text;
        EXPECT_EQ(params->frequency, v.f1) << v.text;
        EXPECT_EQ(params->frequency2, v.f2) << v.text;
        EXPECT_EQ(params->seconds, v.seconds) << v.text;
        EXPECT_EQ(params->levelDb, v.level) << v.text;
    }
    struct Invalid {
        const char* text;
        const char* error;
    };
    for (const Invalid& c :
         {Invalid{"", "unknown test signal \"\" (sine, sweep, pink, white or silence)"},
          Invalid{"square:100", "unknown test signal \"square\""},
          Invalid{"sine", "wrong number of fields in \"sine\""},
          Invalid{"sine:1000:-6:2", "wrong number of fields"},
          Invalid{"sine:abc",
                  "frequency must be a number of hertz from 0.1 to 1000000, not \"abc\""},
          Invalid{"sine:0", "frequency must be a number of hertz from 0.1"},
          Invalid{"sine:0.01", "frequency must be"},
          Invalid{"sine:2e6", "frequency must be"},
          Invalid{"sine:-5", "frequency must be"},
          Invalid{"sine:1e999", "frequency must be"},
          Invalid{"sine:1000:3", "level must be a number of dBFS from -200 to 0, not \"3\""},
          Invalid{"pink:-300", "level must be"},
          Invalid{"sine:1000:loud", "level must be"},
          Invalid{"pink:nan", "level must be"},
          Invalid{"sweep:20:10", "sweep range must read F1-F2, not \"20\""},
          Invalid{"sweep:20-x:10", "frequency must be"},
          Invalid{"sweep:20-200:0", "sweep duration must be a number of seconds from 0.1 to 3600"},
          Invalid{"sweep:20-200:1e300", "sweep duration must be"},
          Invalid{"sweep:20-200", "wrong number of fields"},
          Invalid{"silence:-6", "wrong number of fields"}}) {
        std::string error;
        EXPECT_FALSE(parseTestSignal(c.text, error)) << c.text;
        EXPECT_EQ(error.substr(0, std::strlen(c.error)), c.error) << c.text;
    }
}

// Tones and noise alike read their level on the meter.
TEST(TestSignal, LevelsReadOnTheMeterAsGivenAndRunsRepeat)
{
    struct Case {
        const char* text;
        bool noise;
        double db;
    };
    for (const Case& c : {Case{"sine:1000", false, -6}, Case{"sine:440:-20", false, -20},
                          Case{"sweep:20-20000:1", false, -6}, Case{"white", true, -80},
                          Case{"pink", true, -80}, Case{"pink:-20", true, -20},
                          Case{"white:-20", true, -20}, Case{"white:-10", true, -10}}) {
        const auto x = render(c.text, 480000);
        EXPECT_NEAR(meterDb(x), c.db, c.noise ? 0.3 : 0.02) << c.text;
        EXPECT_EQ(x, render(c.text, 480000)) << c.text;
    }
    // Two channels carry the same samples as one, frame by frame.
    std::string error;
    auto stereo = makeTestSignal(*parseTestSignal("pink:-30", error), 48000, error);
    std::vector<float> both(2 * 4800);
    stereo->render(both.data(), 4800, 2);
    const auto mono = render("pink:-30", 4800);
    for (std::size_t i = 0; i < mono.size(); ++i)
        ASSERT_TRUE(both[2 * i] == mono[i] && both[2 * i + 1] == mono[i]) << i;

    const auto silence = render("silence", 4800);
    EXPECT_EQ(silence, std::vector<float>(4800, 0.0f));
}

TEST(TestSignal, PcmRoundsHalvesToEvenAndClampsAtFullScale)
{
    const float in[] = {0.5f / 32768,  1.5f / 32768,     -0.5f / 32768, -2.5f / 32768,
                        0.49f / 32768, 32766.5f / 32768, 1.0f,          7.0f,
                        -1.0f,         -1.01f,           -3e38f};
    const std::int16_t want[] = {0, 2, 0, -2, 0, 32766, 32767, 32767, -32768, -32768, -32768};
    std::uint8_t out[2 * std::size(in)];
    floatToPcm16(in, std::size(in), out);
    for (std::size_t i = 0; i < std::size(in); ++i)
        EXPECT_EQ(static_cast<std::int16_t>(out[2 * i] | out[2 * i + 1] << 8), want[i]) << in[i];
}

TEST(TestSignal, SineHasItsFrequencyAndFrequenciesAboveHalfTheRateAreRefused)
{
    const auto x = render("sine:1000", 48000);
    // 1000 Hz at 48000 Hz repeats every 48 samples.
    for (int i = 0; i < 1000; ++i)
        ASSERT_NEAR(x[static_cast<std::size_t>(i)], x[static_cast<std::size_t>(i + 48 * 900)],
                    1e-5);
    EXPECT_NEAR(x[12], std::pow(10.0, -6.0 / 20), 1e-6); // a quarter period: the peak

    std::string error;
    for (const char* text : {"sine:24000", "sweep:100-30000:1", "sweep:30000-100:1"}) {
        const auto params = parseTestSignal(text, error);
        ASSERT_TRUE(params);
        EXPECT_FALSE(makeTestSignal(*params, 48000, error)) << text;
        EXPECT_NE(error.find("is not below half the sample rate"), std::string::npos) << error;
    }
}

// Power in bands of one octave, from the averaged spectrum of Hann-windowed
// 8192-point blocks.
std::vector<double> octavePowers(const std::vector<float>& x, const std::vector<double>& centres)
{
    constexpr int n = 8192;
    std::vector<double> psd(n / 2, 0.0);
    std::vector<float> block(n);
    std::vector<dsp::TFFTComplex> spectrum(n);
    for (std::size_t start = 0; start + n <= x.size(); start += n / 2) {
        for (int i = 0; i < n; ++i)
            block[i] = x[start + static_cast<std::size_t>(i)] *
                       static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n));
        dsp::FFT(block, spectrum);
        for (int k = 0; k < n / 2; ++k)
            psd[static_cast<std::size_t>(k)] +=
                static_cast<double>(spectrum[k].real) * spectrum[k].real +
                static_cast<double>(spectrum[k].imag) * spectrum[k].imag;
    }
    std::vector<double> powers;
    for (double centre : centres) {
        double sum = 0;
        for (int k = 1; k < n / 2; ++k) {
            const double f = k * 48000.0 / n;
            if (f >= centre / std::sqrt(2.0) && f < centre * std::sqrt(2.0))
                sum += psd[static_cast<std::size_t>(k)];
        }
        powers.push_back(10 * std::log10(sum));
    }
    return powers;
}

TEST(TestSignal, PinkNoiseHasEqualPowerPerOctaveAndWhiteNoiseDoublesPerOctave)
{
    const std::vector<double> centres = {31.25, 62.5, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
    const auto pink = octavePowers(render("pink", 48000 * 60), centres);
    const auto white = octavePowers(render("white", 48000 * 20), centres);
    for (std::size_t i = 1; i < centres.size(); ++i) {
        EXPECT_NEAR(pink[i] - pink[i - 1], 0.0, 0.5) << centres[i];
        EXPECT_NEAR(white[i] - white[i - 1], 3.01, 0.5) << centres[i];
    }
}

// Against the ideal 1/f density summed over the same bins, so that the bins'
// spacing does not count, only the noise's shape: 200 s of pink noise through
// 65536-point Hann blocks, the 31 third-octave bands of 20 Hz to 20 kHz.
TEST(TestSignal, PinkNoiseIsPinkWithinHalfADecibelPerThirdOctave)
{
    constexpr int n = 65536;
    constexpr double kBinHz = 48000.0 / n;
    const auto x = render("pink:-20", 48000 * 200);
    std::vector<double> psd(n / 2, 0.0);
    std::vector<float> block(n);
    std::vector<dsp::TFFTComplex> spectrum(n);
    for (std::size_t start = 0; start + n <= x.size(); start += n / 2) {
        for (int i = 0; i < n; ++i)
            block[i] = x[start + static_cast<std::size_t>(i)] *
                       static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n));
        dsp::FFT(block, spectrum);
        for (int k = 1; k < n / 2; ++k)
            psd[static_cast<std::size_t>(k)] +=
                static_cast<double>(spectrum[k].real) * spectrum[k].real +
                static_cast<double>(spectrum[k].imag) * spectrum[k].imag;
    }
    std::vector<double> excess; // dB above the ideal shape, per band
    for (int band = -17; band <= 13; ++band) {
        const double centre = 1000 * std::pow(10.0, band / 10.0);
        double measured = 0;
        double ideal = 0;
        for (int k = 1; k < n / 2; ++k) {
            const double f = k * kBinHz;
            if (f >= centre * std::pow(10.0, -0.05) && f < centre * std::pow(10.0, 0.05)) {
                measured += psd[static_cast<std::size_t>(k)];
                ideal += 1 / f;
            }
        }
        excess.push_back(10 * std::log10(measured / ideal));
    }
    double mean = 0;
    for (double e : excess)
        mean += e / static_cast<double>(excess.size());
    for (std::size_t b = 0; b < excess.size(); ++b)
        EXPECT_NEAR(excess[b], mean, 0.5)
            << "third-octave band at " << 1000 * std::pow(10.0, (static_cast<int>(b) - 17) / 10.0)
            << " Hz";
}

} // namespace
