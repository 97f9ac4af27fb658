#include "engine_test_support.h"

#include "engine/scope_ring.h"
#include "engine/scope_time_base.h"
#include "engine/scope_trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

using enginetest::constantBlock;
using enginetest::makeState;

namespace {

constexpr int kBox = 401;
constexpr int kRing = engine::kScopeRingSize;

struct Scope {
    std::unique_ptr<engine::MeasurementState> state = makeState();
    std::unique_ptr<engine::ScopeTrace> trace = std::make_unique<engine::ScopeTrace>();

    explicit Scope(int timeBase)
    {
        engine::resetScope(*state);
        engine::applyTimeBase(*state, timeBase);
    }
    bool pass(int zoom = 15, int width = kBox, int height = kBox)
    {
        return engine::computeScopeTrace(*state, width, height, zoom, 0, *trace);
    }
    const engine::ScopeStep* stepAt(int k) const
    {
        for (int i = 0; i < trace->count; ++i)
            if (trace->steps[i].k == k)
                return &trace->steps[i];
        return nullptr;
    }
    const engine::ScopeStep& last() const { return trace->steps[trace->count - 1]; }
};

std::vector<std::int16_t> ramp(int n, int from)
{
    std::vector<std::int16_t> s(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>((from + i) % 30000);
    return s;
}

} // namespace

TEST(ScopeTimeBase, SamplesAcrossTheScreenForEveryPosition)
{
    const int want[] = {48,    96,    240,   480,    960,    2400,   4800,   9600,
                        24000, 48000, 96000, 240000, 480000, 960000, 2400000};
    auto state = makeState();
    for (int p = 1; p <= 15; ++p) {
        ASSERT_TRUE(engine::applyTimeBase(*state, p));
        EXPECT_EQ(state->ScopeBuffersize, want[p - 1]) << p;
        EXPECT_EQ(state->CurrtDiv, static_cast<double>(engine::TimeBase[p - 1])) << p;
    }
    ASSERT_TRUE(engine::applyTimeBase(*state, 1));
    EXPECT_EQ(state->CurrtDiv, 9.99999974737875163555145263671875e-05);
    for (int p : {0, 16, -3}) {
        EXPECT_FALSE(engine::applyTimeBase(*state, p));
        EXPECT_EQ(state->ScopeBuffersize, 48);
    }
}

TEST(ScopeTimeBase, CaptionsCarryTheMicroSignInUtf8)
{
    EXPECT_EQ(engine::timeBaseCaption(1), "100\xC2\xB5s/div");
    EXPECT_EQ(engine::timeBaseCaption(3), "500\xC2\xB5s/div");
    EXPECT_EQ(engine::timeBaseCaption(10), "100ms/div");
    EXPECT_EQ(engine::timeBaseCaption(15), "5s/div");
    EXPECT_EQ(engine::timeBaseCaption(0), "");
    EXPECT_EQ(engine::timeBaseCaption(16), "");
}

TEST(ScopeRing, TwentySevenBlocksWrapWithTheNewestAt683)
{
    auto state = makeState();
    for (int b = 0; b < 27; ++b)
        engine::appendScopeBlock(*state, ramp(8192, b * 8192));
    EXPECT_EQ(state->ScopeBufferCounter, 27 * 8192);
    const int newest = (27 * 8192 - 1) % 30000;
    EXPECT_EQ(state->ScopeBuffer[683], newest);
    EXPECT_EQ(state->ScopeBuffer[684], 684); // the oldest sample kept
    EXPECT_EQ(state->ScopeBuffer[kRing], 0); // never used
}

TEST(ScopeRing, CounterFarBeyond2To31KeepsTheRightPosition)
{
    auto state = makeState();
    const std::int64_t start = std::int64_t{kRing} * 10000 + kRing - 3; // 2.2e9
    state->ScopeBufferCounter = start;
    engine::appendScopeBlock(*state, ramp(8, 1));
    EXPECT_EQ(state->ScopeBufferCounter, start + 8);
    EXPECT_EQ(state->ScopeBuffer[kRing - 3], 1);
    EXPECT_EQ(state->ScopeBuffer[kRing - 1], 3);
    EXPECT_EQ(state->ScopeBuffer[0], 4);
    EXPECT_EQ(state->ScopeBuffer[4], 8);
    EXPECT_EQ(engine::scopeRingPosition(start + 8), 5);
    EXPECT_EQ(engine::scopeRingPosition(-1), kRing - 1);
    EXPECT_EQ(engine::scopeRingPosition(-48), kRing - 48);

    // The trace reads the window that ends with the newest sample: 50 steps
    // at 100 us/div, the last on the right edge.
    auto trace = std::make_unique<engine::ScopeTrace>();
    engine::applyTimeBase(*state, 1);
    ASSERT_TRUE(engine::computeScopeTrace(*state, kBox, kBox, 15, 0, *trace));
    EXPECT_EQ(trace->firstPosition, 5 - 50 + kRing);
}

TEST(ScopeRing, ActivationClearsRingAndCounter)
{
    auto state = makeState();
    engine::appendScopeBlock(*state, constantBlock(-7));
    engine::resetScope(*state);
    EXPECT_EQ(state->ScopeBufferCounter, 0);
    EXPECT_TRUE(std::all_of(state->ScopeBuffer.begin(), state->ScopeBuffer.end(),
                            [](int v) { return v == 0; }));
}

TEST(ScopeTrace, At500usPerDivStep3EndsOnColumn4AndTheRightEdgeShowsTheNewest)
{
    Scope scope(3);
    engine::appendScopeBlock(*scope.state, constantBlock(0));
    ASSERT_TRUE(scope.pass());
    EXPECT_EQ(scope.trace->xStep, 1.6666666f);
    EXPECT_LT(static_cast<double>(scope.trace->xStep), 5.0 / 3);
    const auto* s3 = scope.stepAt(3);
    ASSERT_NE(s3, nullptr);
    EXPECT_EQ(s3->x0, 3);
    EXPECT_EQ(s3->x1, 4);
    EXPECT_EQ(scope.trace->lastStep, 241);
    EXPECT_EQ((scope.trace->firstPosition + 241) % kRing, 8191); // the newest sample
    EXPECT_EQ(scope.last().k, 241);
    EXPECT_EQ(scope.last().x0, 399);
    EXPECT_EQ(scope.last().x1, 401);
}

TEST(ScopeTrace, At100usPerDivEachSampleIsAStepOf8Or9Columns)
{
    Scope scope(1);
    engine::appendScopeBlock(*scope.state, constantBlock(0));
    ASSERT_TRUE(scope.pass());
    EXPECT_EQ(scope.trace->xStep, 8.333334f);
    ASSERT_EQ(scope.trace->count, 50);
    EXPECT_EQ(scope.trace->steps[0].k, 0);
    EXPECT_EQ(scope.trace->steps[0].x0, -8);
    EXPECT_EQ(scope.trace->steps[0].x1, 0);
    for (int i = 1; i < 49; ++i) {
        const int width = scope.trace->steps[i].x1 - scope.trace->steps[i].x0;
        EXPECT_TRUE(width == 8 || width == 9) << i;
    }
    // The newest sample's step begins on the last column, cut at the edge.
    EXPECT_EQ(scope.trace->lastStep, 49);
    EXPECT_EQ(scope.last().x0, 400);
    EXPECT_EQ(scope.last().x1, 401);
}

TEST(ScopeTrace, At100msPerDivTheLastColumnShowsTheNewestSample)
{
    // First block after activation: 8192 samples of signal in a window of
    // 48122, so the left 83 % of the screen is the centre line.
    Scope scope(10);
    engine::appendScopeBlock(*scope.state, constantBlock(16384));
    ASSERT_TRUE(scope.pass());
    EXPECT_EQ(scope.trace->startRow, 200);
    const auto& last = scope.last();
    EXPECT_EQ(last.x1, 401);
    EXPECT_EQ(last.k, 48121);
    EXPECT_EQ(last.row, 100); // ring position 8191: the newest sample
    for (int i = 0; i < scope.trace->count; ++i) {
        const auto& s = scope.trace->steps[i];
        const bool signal = s.k >= 48121 - 8191;
        EXPECT_EQ(s.row, signal ? 100 : 200) << "step " << s.k;
        EXPECT_EQ(s.x1 <= 332, !signal) << "step " << s.k;
    }
    EXPECT_EQ(scope.trace->lastStep + 1, 48122); // steps visited in the pass
}

TEST(ScopeTrace, RowsFollowGainAndRoundHalvesToEven)
{
    const struct {
        int zoom;
        std::int16_t value;
        int row;
    } cases[] = {
        {15, 32767, 0},  {15, 0, 200}, {15, -32768, 400}, {15, 2048, 188}, // 187.5
        {15, 6144, 162},                                                   // 162.5
        {0, 1, 0},       {0, -1, 400}, {0, 2, -200},      {14, 16384, 0},
    };
    for (const auto& c : cases) {
        // 50 samples: the window at 100 us/div, the first one at step 0.
        Scope scope(1);
        std::vector<std::int16_t> block(50, 0);
        block[0] = c.value;
        engine::appendScopeBlock(*scope.state, block);
        ASSERT_TRUE(scope.pass(c.zoom));
        EXPECT_EQ(scope.trace->startRow, c.row) << c.zoom << " " << c.value;
        EXPECT_EQ(scope.trace->steps[0].row, c.row) << c.zoom << " " << c.value;
        EXPECT_EQ(scope.trace->steps[1].row, 200);
    }
}

TEST(ScopeTrace, EveryTimeBaseCoversTheScreenAndEndsOnTheNewestSample)
{
    for (int p = 1; p <= 15; ++p) {
        Scope scope(p);
        engine::appendScopeBlock(*scope.state, ramp(8192, 7));
        ASSERT_TRUE(scope.pass()) << p;
        ASSERT_GT(scope.trace->count, 0);
        ASSERT_LE(scope.trace->count, kBox + 1);
        // The strips join up from the left edge to the right one, so after
        // any time base before, every column is wiped or drawn anew.
        EXPECT_LE(scope.trace->steps[0].x0, 0) << p;
        for (int i = 1; i < scope.trace->count; ++i) {
            const auto& s = scope.trace->steps[i];
            EXPECT_EQ(s.x0, scope.trace->steps[i - 1].x1) << p;
            EXPECT_GT(s.x1, s.x0) << p;
        }
        EXPECT_EQ(scope.last().x1, kBox) << p;
        EXPECT_EQ(scope.last().k, scope.trace->lastStep) << p;
        EXPECT_EQ((scope.trace->firstPosition + scope.last().k) % kRing, 8191) << p;
    }
    Scope widest(1);
    ASSERT_TRUE(widest.pass(15, engine::kScopeMaxColumns, 100));
    EXPECT_LE(widest.trace->count, engine::kScopeMaxColumns + 1);
}

TEST(ScopeTrace, UndrawableGeometryOrTimeBaseDrawsNothing)
{
    auto state = makeState();
    auto trace = std::make_unique<engine::ScopeTrace>();
    // No time base yet: CurrtDiv is 0.
    EXPECT_FALSE(engine::computeScopeTrace(*state, kBox, kBox, 15, 0, *trace));
    engine::applyTimeBase(*state, 3);
    const struct {
        int width, height, zoom;
    } cases[] = {
        {1, kBox, 15},  {0, kBox, 15},    {-5, kBox, 15},  {engine::kScopeMaxColumns + 1, kBox, 15},
        {kBox, -1, 15}, {kBox, kBox, -1}, {kBox, kBox, 16}};
    for (const auto& c : cases) {
        trace->count = 7;
        EXPECT_FALSE(engine::computeScopeTrace(*state, c.width, c.height, c.zoom, 0, *trace))
            << c.width << " " << c.height << " " << c.zoom;
        EXPECT_EQ(trace->count, 0);
    }
    state->CurrtDiv = std::nan("");
    EXPECT_FALSE(engine::computeScopeTrace(*state, kBox, kBox, 15, 0, *trace));
    state->CurrtDiv = 1e-12; // less than one sample per screen
    EXPECT_FALSE(engine::computeScopeTrace(*state, kBox, kBox, 15, 0, *trace));
    state->CurrtDiv = 1e6; // a pass of 4.8e12 samples would freeze the window
    EXPECT_FALSE(engine::computeScopeTrace(*state, kBox, kBox, 15, 0, *trace));
}

namespace {

// The pass as a plain walk over every step k, for comparison.
struct WalkedStep {
    int k, x0, x1, row;
    friend bool operator==(const WalkedStep&, const WalkedStep&) = default;
};

std::vector<WalkedStep> walkThePass(const engine::MeasurementState& state, int width, int height,
                                    int zoom, int* lastStep)
{
    const float xStep =
        static_cast<float>((width - 1) / (48000 * (10 * static_cast<long double>(state.CurrtDiv))));
    const int centre = height / 2;
    const long double gain = std::ldexp(1.0L, 15 - zoom);
    auto x = [&](long long k) {
        return static_cast<int>(std::trunc(k * static_cast<long double>(xStep)));
    };
    // The pass ends with the first step that reaches the right edge, which
    // reads the newest sample.
    int last = 0;
    while (x(last) < width)
        ++last;
    *lastStep = last;
    int r = engine::scopeRingPosition(state.ScopeBufferCounter - 1 - last);
    std::vector<WalkedStep> steps;
    for (int k = 0; k <= last; ++k) {
        if (x(k) > x(k - 1))
            steps.push_back({k, x(k - 1), std::min(x(k), width),
                             static_cast<int>(std::nearbyint(centre - gain * centre / 32768 *
                                                                          state.ScopeBuffer[r]))});
        r = (r + 1) % kRing;
    }
    return steps;
}

} // namespace

TEST(ScopeTrace, JumpingBetweenColumnsFindsTheStepsOfTheFullWalk)
{
    auto state = makeState();
    std::mt19937 gen(11);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    for (int& v : state->ScopeBuffer)
        v = sample(gen);
    state->ScopeBuffer[kRing] = 0;
    auto trace = std::make_unique<engine::ScopeTrace>();

    struct Case {
        double tDiv;
        int width, height, zoom;
        std::int64_t counter;
    };
    std::vector<Case> cases;
    for (int p = 1; p <= 15; ++p)
        for (int width : {2, 3, 50, 400, 401, 402, 1000, engine::kScopeMaxColumns})
            cases.push_back({engine::TimeBase[p - 1], width, 401, 15, 27 * 8192});
    std::uniform_real_distribution<double> decades(-5.5, 0.5);
    std::uniform_int_distribution<int> widths(2, 1200);
    std::uniform_int_distribution<std::int64_t> counters(0, std::int64_t{1} << 40);
    for (int i = 0; i < 300; ++i)
        cases.push_back({std::pow(10.0, decades(gen)), widths(gen), 301, i % 16, counters(gen)});

    std::size_t compared = 0;
    for (const Case& c : cases) {
        state->CurrtDiv = c.tDiv;
        state->ScopeBuffersize = static_cast<int>(std::nearbyint(480000 * c.tDiv));
        state->ScopeBufferCounter = c.counter;
        if (!engine::computeScopeTrace(*state, c.width, c.height, c.zoom, 0, *trace))
            continue; // a pass too long for the screen: nothing to compare
        int lastStep = -1;
        const auto want = walkThePass(*state, c.width, c.height, c.zoom, &lastStep);
        std::vector<WalkedStep> got;
        for (int i = 0; i < trace->count; ++i) {
            const auto& s = trace->steps[static_cast<std::size_t>(i)];
            got.push_back({s.k, s.x0, s.x1, s.row});
        }
        ASSERT_EQ(got, want) << c.tDiv << " s/div, width " << c.width;
        ASSERT_EQ(trace->lastStep, lastStep) << c.tDiv << " s/div, width " << c.width;
        ++compared;
    }
    EXPECT_GT(compared, cases.size() * 9 / 10);
}
