// The device side of a capture allocates nothing: every allocation made off
// the UI thread while blocks flow is counted, through a replaced operator new.

#include "capture/audio_in.h"
#include "capture/generator_render.h"
#include "capture/test_signal.h"
#include "capture/virtual_devices.h"
#include "capture_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> offThreadAllocations{0};
std::thread::id uiThread;

void noteAllocation()
{
    if (counting.load(std::memory_order_relaxed) && std::this_thread::get_id() != uiThread)
        offThreadAllocations.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

void* operator new(std::size_t size)
{
    noteAllocation();
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    noteAllocation();
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

TEST(CaptureAllocations, NoneOnTheDeviceThreadWhileBlocksFlow)
{
    uiThread = std::this_thread::get_id();
    capture::clearVirtualDevices();
    for (const char* description : {"pink", "sweep:20-20000:1"})
        ASSERT_TRUE(capture::registerTestSignal(description).isEmpty());
    captest::registerCounting("counting");
    for (const char* name : {"Test signal: pink", "Test signal: sweep:20-20000:1", "counting"}) {
        capture::TAudioIn audio;
        audio.SetBufferSize(2048);
        audio.SetNumBuffers(3);
        audio.SetFrameRate(48000);
        audio.SetWaveDevice(captest::deviceId(name));
        int blocks = 0;
        audio.SetOnBufferFilled([&](std::uint8_t*, int&) { return ++blocks, true; });
        ASSERT_TRUE(audio.Start()) << audio.ErrorMessage.toStdString();
        ASSERT_TRUE(captest::waitUntil([&] { return blocks >= 2; }));
        offThreadAllocations = 0;
        counting = true;
        ASSERT_TRUE(captest::waitUntil([&] { return blocks >= 12; }));
        counting = false;
        EXPECT_EQ(offThreadAllocations.load(), 0) << name;
        audio.StopAtOnce();
    }
    capture::clearVirtualDevices();
}

// What the generator's output callback does, on a thread of its own: fade
// in, change the level, fade out, for every signal.
TEST(CaptureAllocations, NoneWhileTheGeneratorRenders)
{
    uiThread = std::this_thread::get_id();
    for (const char* description : {"pink", "white", "sine:1000", "sweep:20-20000:1"}) {
        std::string error;
        const auto params = capture::parseTestSignal(description, error);
        ASSERT_TRUE(params) << error;
        capture::GeneratorRender render(capture::makeWaveform(*params, 48000, error), -20, 48000);
        std::vector<float> out(2 * 512);
        offThreadAllocations = 0;
        counting = true;
        // The audio thread renders; between its periods the UI thread acts.
        const auto renderPeriods = [&](int periods) {
            std::thread([&] {
                for (int period = 0; period < periods; ++period)
                    render.render(out.data(), 512, 2);
            }).join();
        };
        renderPeriods(50);
        render.setLevel(-10);
        renderPeriods(50);
        render.requestFadeOut();
        renderPeriods(100);
        counting = false;
        EXPECT_TRUE(render.fadedOut()) << description;
        EXPECT_EQ(offThreadAllocations.load(), 0) << description;
    }
}

} // namespace
