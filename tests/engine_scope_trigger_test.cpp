#include "engine_test_support.h"

#include "engine/scope_ring.h"
#include "engine/scope_time_base.h"
#include "engine/scope_trace.h"
#include "engine/scope_trigger.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

using enginetest::makeState;

namespace {

// Block b of a sine continued across blocks; 997.3 Hz has no whole number
// of periods in a block, so a free-running trace would drift.
std::vector<std::int16_t> sineAt(int b, double hz = 997.3, double peak = 30000)
{
    std::vector<std::int16_t> s(8192);
    for (int i = 0; i < 8192; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
            std::lround(peak * std::sin(2 * std::numbers::pi * hz * (8192.0 * b + i) / 48000.0)));
    return s;
}

double phaseOf(std::int64_t sample, double hz = 997.3)
{
    const double cycles = hz * static_cast<double>(sample) / 48000.0;
    return cycles - std::floor(cycles);
}

} // namespace

TEST(ScopeTrigger, HoldsASinesPhaseWithinOneSampleForBothEdgesAndSeveralLevels)
{
    const double samplePhase = 997.3 / 48000.0; // one sample, in cycles
    for (const auto edge : {engine::TriggerEdge::Rising, engine::TriggerEdge::Falling})
        for (const double level : {-50.0, 0.0, 25.0, 80.0}) {
            SCOPED_TRACE(::testing::Message() << static_cast<int>(edge) << " at " << level);
            auto state = makeState();
            engine::resetScope(*state);
            engine::applyTimeBase(*state, 3); // 500 µs/div, 240 samples
            engine::TriggerSettings settings{engine::TriggerMode::Normal, edge, level, 10.0};
            engine::TriggerState trigger;
            double firstPhase = -1;
            for (int b = 0; b < 12; ++b) {
                engine::appendScopeBlock(*state, sineAt(b));
                const auto window = engine::scopeTriggerWindow(*state, settings, trigger, 8192);
                ASSERT_TRUE(window.draw && window.firstSample);
                const std::int64_t t = *window.firstSample + 24; // 10 % of 240
                EXPECT_EQ(t, trigger.lastTrigger);
                // Its screen lies wholly among the samples up to the newest.
                EXPECT_LE(*window.firstSample + 242, state->ScopeBufferCounter);
                const double phase = phaseOf(t);
                if (firstPhase < 0)
                    firstPhase = phase;
                double d = std::fabs(phase - firstPhase);
                d = std::min(d, 1 - d);
                EXPECT_LE(d, samplePhase + 1e-9) << "block " << b;
                const auto at = [&](std::int64_t c) {
                    return state
                        ->ScopeBuffer[static_cast<std::size_t>(engine::scopeRingPosition(c))];
                };
                const double l = level / 100 * 32768;
                if (edge == engine::TriggerEdge::Rising)
                    EXPECT_TRUE(at(t - 1) < l && at(t) >= l);
                else
                    EXPECT_TRUE(at(t - 1) > l && at(t) <= l);
            }
        }
}

TEST(ScopeTrigger, ModesWithoutATrigger)
{
    auto state = makeState();
    engine::resetScope(*state);
    engine::applyTimeBase(*state, 3);
    engine::appendScopeBlock(*state, enginetest::constantBlock(100));
    engine::TriggerState trigger;
    engine::TriggerSettings s{engine::TriggerMode::Auto, engine::TriggerEdge::Rising, 50.0, 10.0};
    auto w = engine::scopeTriggerWindow(*state, s, trigger, 8192);
    EXPECT_TRUE(w.draw && !w.firstSample); // Auto runs free
    s.mode = engine::TriggerMode::Normal;
    EXPECT_FALSE(engine::scopeTriggerWindow(*state, s, trigger, 8192).draw);

    // "Einzeln" takes the first trigger only, until armed again.
    s.mode = engine::TriggerMode::Single;
    engine::appendScopeBlock(*state, sineAt(0));
    EXPECT_TRUE(engine::scopeTriggerWindow(*state, s, trigger, 8192).draw);
    engine::appendScopeBlock(*state, sineAt(1));
    EXPECT_FALSE(engine::scopeTriggerWindow(*state, s, trigger, 8192).draw);
    trigger.armed = true;
    EXPECT_TRUE(engine::scopeTriggerWindow(*state, s, trigger, 8192).draw);
}

TEST(ScopeEnvelope, ASingleSampleSpikeAt100msPerDivReachesItsRow)
{
    for (const std::int16_t spike : {std::int16_t{30000}, std::int16_t{-30000}}) {
        auto state = makeState();
        engine::resetScope(*state);
        engine::applyTimeBase(*state, 10); // 48000 samples, 120 per column
        for (int b = 0; b < 6; ++b) {
            auto block = enginetest::constantBlock(0);
            if (b == 3)
                block[4321] = spike;
            engine::appendScopeBlock(*state, block);
        }
        auto trace = std::make_unique<engine::ScopeTrace>();
        ASSERT_TRUE(engine::computeScopeTrace(*state, 401, 401, 15, 0, *trace));
        const int row = 200 - static_cast<int>(std::lround(200.0 * spike / 32768));
        int hits = 0;
        for (int i = 0; i < trace->count; ++i) {
            const auto& s = trace->steps[i];
            ASSERT_LE(s.rowHigh, s.row);
            ASSERT_GE(s.rowLow, s.row);
            hits += (spike > 0 ? s.rowHigh : s.rowLow) == row;
        }
        // In one column, or two where the spike is their shared sample.
        EXPECT_GE(hits, 1);
        EXPECT_LE(hits, 2);
    }
}
