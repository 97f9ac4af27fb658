// Calibrated levels: the weighting curves and filters against the sound level
// meter table, dBFS band levels of known signals, the microphone correction
// file, the calibration measurement, the meter's time weightings and the
// RTA's Leq and Max curves.

#include "engine_test_support.h"

#include "engine/calibration_measurement.h"
#include "engine/calibration_model.h"
#include "engine/level_basis.h"
#include "engine/mic_correction.h"
#include "engine/rta_block.h"
#include "engine/rta_statistics.h"
#include "engine/sound_level_meter.h"
#include "engine/weighting.h"
#include "engine/weighting_filter.h"

#include "dsp/window_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

using enginetest::kRtaPage;
using enginetest::makePlan;
using enginetest::makeState;

namespace {

constexpr double kFs = 48000.0;

// The weighting table at the exact base-ten frequencies 1000 x 10^(n/10), n =
// -20 .. 13 (10 Hz .. 20 kHz), with the class 1 acceptance limits.
struct WeightingRow {
    double a, c, plus, minus; // minus: how far below; 99 for no limit
};
constexpr WeightingRow kTable[] = {
    {-70.4, -14.3, 3.5, 99}, {-63.4, -11.2, 3.0, 99}, {-56.7, -8.5, 2.5, 4.5},
    {-50.5, -6.2, 2.5, 2.5}, {-44.7, -4.4, 2.5, 2.0}, {-39.4, -3.0, 2.0, 2.0},
    {-34.6, -2.0, 1.5, 1.5}, {-30.2, -1.3, 1.5, 1.5}, {-26.2, -0.8, 1.5, 1.5},
    {-22.5, -0.5, 1.5, 1.5}, {-19.1, -0.3, 1.5, 1.5}, {-16.1, -0.2, 1.5, 1.5},
    {-13.4, -0.1, 1.5, 1.5}, {-10.9, 0.0, 1.5, 1.5},  {-8.6, 0.0, 1.4, 1.4},
    {-6.6, 0.0, 1.4, 1.4},   {-4.8, 0.0, 1.4, 1.4},   {-3.2, 0.0, 1.4, 1.4},
    {-1.9, 0.0, 1.4, 1.4},   {-0.8, 0.0, 1.4, 1.4},   {0.0, 0.0, 1.1, 1.1},
    {0.6, 0.0, 1.4, 1.4},    {1.0, -0.1, 1.6, 1.6},   {1.2, -0.2, 1.6, 1.6},
    {1.3, -0.3, 1.6, 1.6},   {1.2, -0.5, 1.6, 1.6},   {1.0, -0.8, 1.6, 1.6},
    {0.5, -1.3, 2.1, 2.1},   {-0.1, -2.0, 2.1, 2.6},  {-1.1, -3.0, 2.1, 3.1},
    {-2.5, -4.4, 2.6, 3.6},  {-4.3, -6.2, 3.0, 6.0},  {-6.6, -8.5, 3.5, 17.0},
    {-9.3, -11.2, 4.0, 99},
};
double tableHz(int row)
{
    return 1000 * std::pow(10.0, (row - 20) / 10.0);
}
constexpr int kRows = static_cast<int>(std::size(kTable));

void expectWithinClass1(double got, const WeightingRow& r, double want, double hz)
{
    EXPECT_LE(got - want, r.plus) << hz << " Hz";
    EXPECT_GE(got - want, -r.minus) << hz << " Hz";
}

std::vector<std::int16_t> sine(double hz, double dbfs, int n, double phase = 0)
{
    const double peak = 32768 * std::pow(10.0, dbfs / 20);
    std::vector<std::int16_t> s(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::clamp<long>(
            std::lround(peak * std::sin(2 * std::numbers::pi * hz * i / kFs + phase)), -32768,
            32767));
    return s;
}

// Noise of one block: every bin k of kLow .. kHigh - 1 with power
// binPower(k) and a random phase.
template <class BinPower>
std::vector<std::int16_t> noise(int kLow, int kHigh, BinPower binPower, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> phase(0, 2 * std::numbers::pi);
    std::vector<double> x(8192, 0.0);
    for (int k = kLow; k < kHigh; ++k) {
        const double amp = std::sqrt(2 * binPower(k)), ph = phase(gen);
        for (int i = 0; i < 8192; ++i)
            x[i] += amp * std::sin(2 * std::numbers::pi * k * i / 8192.0 + ph);
    }
    std::vector<std::int16_t> s(8192);
    for (int i = 0; i < 8192; ++i)
        s[i] = static_cast<std::int16_t>(std::lround(x[i]));
    return s;
}

double meanSquareDbfs(const std::vector<std::int16_t>& s)
{
    double sum = 0;
    for (auto v : s)
        sum += double(v) * v;
    return 10 *
           std::log10(sum / double(s.size()) / (engine::kFullScaleRms * engine::kFullScaleRms));
}

// The octave-band path in dBFS for a window type.
struct DbfsRta {
    std::unique_ptr<engine::MeasurementState> state = makeState();
    std::unique_ptr<engine::BandPlan> plan;
    std::vector<float> factors;
    engine::CalibrationModel model;

    explicit DbfsRta(int window, engine::Weighting w = engine::Weighting::Z)
    {
        dsp::BuildWindowTable(window, state->Window);
        plan = makePlan(2, *state);
        model.weighting = w;
        factors.resize(4097);
        model.binPowerFactors(8192, kFs, factors);
    }
    void block(const std::vector<std::int16_t>& s)
    {
        const engine::RtaLevels levels{factors, -engine::rtaRawMinusDbfs(state->Window)};
        engine::processRtaBlock(*state, *plan, s, {-100, 0, 20, 20000}, kRtaPage, levels);
    }
    double level(int band) const { return double(state->OctBandLevels[band]); }
    int bandOf(double hz) const
    {
        for (int j = 1; j < plan->validbands; ++j)
            if (hz <= plan->OctBinBorderList[j])
                return j;
        return plan->validbands - 1;
    }
    double powerSumDbfs() const
    {
        double sum = 0;
        for (int j = 1; j < plan->validbands; ++j)
            sum += std::pow(10.0, level(j) / 10);
        return 10 * std::log10(sum);
    }
};

} // namespace

TEST(Weighting, AnalyticCurvesMeetTheTableAndTheFiltersStayInClass1At48kHz)
{
    const engine::WeightingFilter a(engine::Weighting::A, kFs);
    const engine::WeightingFilter c(engine::Weighting::C, kFs);
    for (int row = 0; row < kRows; ++row) {
        const double hz = tableHz(row);
        EXPECT_NEAR(engine::weightingDb(engine::Weighting::A, hz), kTable[row].a, 0.06) << hz;
        EXPECT_NEAR(engine::weightingDb(engine::Weighting::C, hz), kTable[row].c, 0.06) << hz;
        if (hz > 16500)
            continue;
        expectWithinClass1(a.responseDb(hz), kTable[row], kTable[row].a, hz);
        expectWithinClass1(c.responseDb(hz), kTable[row], kTable[row].c, hz);
    }
    EXPECT_NEAR(engine::weightingDb(engine::Weighting::Z, 31.5), 0.0, 1e-12);
    EXPECT_NEAR(a.responseDb(1000), 0.0, 1e-9);
}

TEST(RtaLevels, SinesAndNoiseReadTheirDbfsForEveryWindow)
{
    for (int window = 0; window < 4; ++window) {
        DbfsRta rta(window);
        // White up to the last band's border: every band power counted once.
        const double top = rta.plan->OctBinBorderList[rta.plan->validbands - 1];
        const auto white = noise(
            1, std::min(4096, int(top / (kFs / 8192))), [](int) { return 2000.0; }, 3);
        rta.block(sine(1000, -20, 8192));
        // The rectangular window's leakage reaches past the band.
        EXPECT_NEAR(rta.level(18), -20.0, window == 0 ? 0.1 : 0.05) << window;
        rta.block(sine(1000, 0, 8192));
        EXPECT_NEAR(rta.level(18), 0.0, window == 0 ? 0.1 : 0.05) << window;
        rta.block(white);
        EXPECT_NEAR(rta.powerSumDbfs(), meanSquareDbfs(white), 0.1) << window;
    }
}

TEST(RtaLevels, PinkNoiseReadsLevelThirdOctaveBands)
{
    // Every bin from 20 Hz up with power 1/f: each third octave holds the
    // same power. The energy mean of a few blocks of other phases evens out
    // how the window's leakage mixes neighbouring bins.
    DbfsRta rta(1);
    engine::RtaStatistics stats;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        rta.block(noise(
            4, 4096, [](int k) { return 2e5 / k; }, seed));
        stats.add(*rta.state, *rta.plan);
    }
    auto leq = [&](double hz) {
        return double(stats.level(engine::RtaCurve::Leq, rta.bandOf(hz), *rta.state));
    };
    // From 500 Hz, where a band holds twenty bins or more: in narrower ones
    // the window's leakage across the band edges decides.
    for (double hz : {500.0, 2000.0, 4000.0, 8000.0, 16000.0})
        EXPECT_NEAR(leq(hz), leq(1000), 0.5) << hz;
}

TEST(RtaLevels, WeightedToneDiffersFromItsZLevelByTheTable)
{
    DbfsRta z(1), a(1, engine::Weighting::A), c(1, engine::Weighting::C);
    // From 25 Hz: below it the 5.9 Hz bins cannot follow the weighting's
    // slope across a Hann main lobe.
    for (int row = 4; row < kRows; ++row) {
        const double hz = tableHz(row);
        const auto s = sine(hz, -10, 8192);
        z.block(s);
        a.block(s);
        c.block(s);
        const int band = z.bandOf(hz);
        expectWithinClass1(a.level(band) - z.level(band), kTable[row], kTable[row].a, hz);
        expectWithinClass1(c.level(band) - z.level(band), kTable[row], kTable[row].c, hz);
    }
}

TEST(MicCorrection, ReadsEveryAcceptedFormAndRefusesABadLine)
{
    engine::MicCorrectionError error;
    const auto plain = engine::parseMicCorrection(
        "\"Sens Factor =-1.23dB, SERNO: 1234\"\n20 -2.0 12\n1000\t0.0\n20000,3.0\n", error);
    ASSERT_TRUE(plain);
    EXPECT_NEAR(*plain->sensitivityDb, -1.23, 1e-12);
    ASSERT_EQ(plain->points.size(), 3u);
    // Linear over log frequency, flat beyond the ends.
    EXPECT_NEAR(plain->responseDb(std::sqrt(20.0 * 1000)), -1.0, 1e-9);
    EXPECT_NEAR(plain->responseDb(10), -2.0, 1e-12);
    EXPECT_NEAR(plain->responseDb(24000), 3.0, 1e-12);

    const auto starred = engine::parseMicCorrection(
        "* a comment\r\n*1000Hz -38.6\r\n100;1.5\r\n\r\n200; 2.5\r\n", error);
    ASSERT_TRUE(starred);
    EXPECT_NEAR(*starred->sensitivityDb, -38.6, 1e-12);
    EXPECT_EQ(starred->points.size(), 2u);

    struct Bad {
        const char* text;
        int line;
    };
    for (const Bad& bad :
         {Bad{"* only comments\n\n", 0}, Bad{"100 1\n200 x\n", 2}, Bad{"100 1\n50 2\n", 2},
          Bad{"0 1\n", 1}, Bad{"100 1 2 3\n", 1}, Bad{"100\n", 1}}) {
        EXPECT_FALSE(engine::parseMicCorrection(bad.text, error)) << bad.text;
        EXPECT_EQ(error.line, bad.line) << bad.text;
    }
}

TEST(Calibration, FindsTheOffsetOfASteadyToneAndRefusesAWanderingOrWrongOne)
{
    const engine::MicCorrection none;
    engine::CalibrationMeasurement steady(94.0, 1000, none);
    engine::CalibrationResult r;
    for (int b = 0; b < engine::kCalibrationBlocks; ++b)
        r = steady.addBlock(sine(1000, -26, 8192, b));
    ASSERT_EQ(r.status, engine::CalibrationResult::Status::Done);
    EXPECT_NEAR(r.levelDbfs, -26.0, 0.02);
    EXPECT_NEAR(r.offsetDb, 120.0, 0.02);

    engine::CalibrationMeasurement wandering(94.0, 1000, none);
    for (int b = 0; b < engine::kCalibrationBlocks; ++b)
        r = wandering.addBlock(sine(1000, -26 + 0.1 * b, 8192));
    EXPECT_EQ(r.status, engine::CalibrationResult::Status::Wandering);
    EXPECT_NEAR(r.spreadDb, 0.4, 0.02);

    engine::CalibrationMeasurement elsewhere(94.0, 1000, none);
    for (int b = 0; b < engine::kCalibrationBlocks; ++b)
        r = elsewhere.addBlock(sine(250, -26, 8192));
    EXPECT_EQ(r.status, engine::CalibrationResult::Status::NotATone);
    EXPECT_NEAR(r.peakHz, 250, 6);

    engine::CalibrationMeasurement silent(94.0, 1000, none);
    EXPECT_EQ(silent.addBlock(std::vector<std::int16_t>(8192, 0)).status,
              engine::CalibrationResult::Status::Silent);
}

TEST(SoundLevelMeter, ToneBurstsMeetTheFastAndSlowTableAndASteadySineReadsAlike)
{
    // Steady 1 kHz: LAF = LAS = LAeq = the sine's dBFS.
    engine::SoundLevelMeter meter(engine::Weighting::A);
    meter.process(sine(1000, -20, 48000 * 5));
    auto r = meter.readings();
    EXPECT_NEAR(r.fastDb, -20.0, 0.1);
    EXPECT_NEAR(r.slowDb, -20.0, 0.1);
    EXPECT_NEAR(r.leqDb, -20.0, 0.1);
    EXPECT_NEAR(r.peakDb, -20.0, 0.01);

    // 4 kHz bursts: the highest level after a burst less the steady level,
    // with the class 1 limits (plus, minus).
    struct Burst {
        double ms, fast, fastPlus, fastMinus, slow, slowPlus, slowMinus;
    };
    const Burst bursts[] = {
        {1000, 0.0, 0.5, 0.5, -2.0, 0.5, 0.5},  {500, -0.1, 0.5, 0.5, -4.1, 0.5, 0.5},
        {200, -1.0, 0.5, 0.5, -7.4, 0.5, 0.5},  {100, -2.6, 1.0, 1.0, -10.2, 1.0, 1.0},
        {50, -4.8, 1.0, 1.0, -13.1, 1.0, 1.0},  {20, -8.3, 1.0, 1.0, -17.0, 1.0, 1.5},
        {10, -11.1, 1.0, 1.0, -20.0, 1.0, 2.0}, {5, -14.1, 1.0, 1.0, -23.0, 1.0, 2.5},
        {2, -18.0, 1.0, 1.5, -27.0, 1.0, 3.0},  {1, -21.0, 1.0, 2.0, 0, 0, 0},
        {0.5, -24.0, 1.0, 2.5, 0, 0, 0},        {0.25, -27.0, 1.0, 3.0, 0, 0, 0},
    };
    const auto tone = sine(4000, -10, 48000 * 3);
    meter.reset();
    meter.process(tone);
    const double steadyFast = meter.readings().fastDb;
    for (const Burst& b : bursts) {
        const auto n = static_cast<std::size_t>(std::lround(b.ms * 48));
        std::vector<std::int16_t> s(48000 * 4, 0);
        std::copy_n(tone.begin(), n, s.begin() + 48000);
        meter.reset();
        meter.process(s);
        EXPECT_LE(meter.readings().maxFastDb - steadyFast - b.fast, b.fastPlus) << b.ms;
        EXPECT_GE(meter.readings().maxFastDb - steadyFast - b.fast, -b.fastMinus) << b.ms;
        if (b.slowPlus == 0)
            continue;
        // The Slow maximum: follow it sample by sample over the burst's tail.
        meter.reset();
        double slowMax = -1e9;
        for (std::size_t i = 0; i < s.size(); i += 48) {
            meter.process(std::span(s).subspan(i, 48));
            slowMax = std::max(slowMax, meter.readings().slowDb);
        }
        EXPECT_LE(slowMax - steadyFast - b.slow, b.slowPlus) << b.ms;
        EXPECT_GE(slowMax - steadyFast - b.slow, -b.slowMinus) << b.ms;
    }
}

TEST(LevelStatistics, LeqAndMaxOfALevelStep)
{
    // Meter: 1 s at -30 dBFS then 1 s at -20 dBFS.
    engine::SoundLevelMeter meter;
    meter.process(sine(1000, -30, 48000));
    meter.process(sine(1000, -20, 48000));
    const auto r = meter.readings();
    EXPECT_NEAR(r.leqDb, 10 * std::log10((0.001 + 0.01) / 2), 0.05);
    EXPECT_NEAR(r.maxFastDb, -20.0, 0.1);

    // RTA: three blocks at -30 dBFS, one at -20 dBFS in the 1 kHz band.
    DbfsRta rta(1);
    engine::RtaStatistics stats;
    for (double dbfs : {-30.0, -30.0, -30.0, -20.0}) {
        rta.block(sine(1000, dbfs, 8192));
        stats.add(*rta.state, *rta.plan);
    }
    EXPECT_NEAR(double(stats.level(engine::RtaCurve::Leq, 18, *rta.state)),
                10 * std::log10((3 * 0.001 + 0.01) / 4), 0.05);
    EXPECT_NEAR(double(stats.level(engine::RtaCurve::Max, 18, *rta.state)), -20.0, 0.05);
    engine::BinArray levels{};
    engine::copyRtaCurveLevels(*rta.state, *rta.plan, stats, engine::RtaCurve::Max, levels);
    EXPECT_NEAR(levels[18], -20.0, 0.05);
    EXPECT_TRUE(std::isnan(levels[0]));
    stats.reset();
    EXPECT_TRUE(std::isnan(double(stats.level(engine::RtaCurve::Leq, 18, *rta.state))));
}

TEST(LevelBasis, StoredLevelsMoveIntoTheReferenceShownOrSayTheyCannot)
{
    using engine::LevelBasis;
    using R = engine::LevelReference;
    const double hann = *engine::rtaRawMinusDbfsOfWindow(1);
    std::vector<double> table(8192);
    dsp::BuildWindowTable(1, table);
    EXPECT_EQ(hann, engine::rtaRawMinusDbfs(table));
    EXPECT_FALSE(engine::rtaRawMinusDbfsOfWindow(4));

    const LevelBasis dbfs{R::Dbfs, 0.0};
    const LevelBasis spl94{R::Spl, 94.0};
    const LevelBasis spl100{R::Spl, 100.0};
    const LevelBasis splUnknown{R::Spl, std::nullopt};
    const LevelBasis rawHann{R::Raw, hann};
    const LevelBasis rawUnknown{R::Raw, std::nullopt};
    const LevelBasis unknown{};
    const struct {
        LevelBasis stored, shown;
        std::optional<double> shift, fftShift;
    } cases[] = {
        {dbfs, dbfs, 0.0, 0.0},
        {dbfs, spl94, 94.0, 94.0},
        {spl94, dbfs, -94.0, 0.0},
        // The sound was that loud, whatever today's calibration.
        {spl94, spl100, 0.0, 94.0},
        {splUnknown, spl100, 0.0, std::nullopt},
        {splUnknown, dbfs, std::nullopt, 0.0},
        // Files from before the reference: 161.3 dB above dBFS.
        {rawHann, dbfs, -hann, 0.0},
        {rawHann, spl94, 94.0 - hann, 94.0},
        {rawUnknown, dbfs, std::nullopt, 0.0},
        {rawUnknown, rawHann, 0.0, hann},
        {unknown, dbfs, std::nullopt, 0.0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(i);
        const std::optional<double> shift = engine::levelShift(c.stored, c.shown);
        ASSERT_EQ(shift.has_value(), c.shift.has_value());
        if (shift) {
            EXPECT_DOUBLE_EQ(*shift, *c.shift);
        }
        const std::optional<double> fft = engine::dbfsShift(c.stored, c.shown);
        ASSERT_EQ(fft.has_value(), c.fftShift.has_value());
        if (fft) {
            EXPECT_DOUBLE_EQ(*fft, *c.fftShift);
        }
    }
    // What a measurement with a model is relative to; dB SPL needs its calibration.
    engine::CalibrationModel model;
    model.reference = R::Spl;
    EXPECT_EQ(engine::levelBasisOf(model, hann), dbfs);
    model.calibrationOffsetDb = 94.0;
    EXPECT_EQ(engine::levelBasisOf(model, hann), spl94);
    model.reference = R::Raw;
    EXPECT_EQ(engine::levelBasisOf(model, hann), rawHann);
}
