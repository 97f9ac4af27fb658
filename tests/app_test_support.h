#pragma once
// What every test of the main window needs: the application state in static
// storage (as the program keeps it), a settings file of its own, no virtual
// devices left over from another test, messages captured instead of shown,
// and at the end the capture stopped and the window gone.

#include "app/frm_main.h"
#include "app/message_box.h"

#include "capture/virtual_devices.h"
#include "settings/store_path.h"

#include "capture_test_support.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

namespace apptest {

// One block of a sine of `hz` at 48000 Hz with the given peak, in 16-bit samples.
inline std::vector<std::int16_t> sineBlock(double hz, double peak)
{
    std::vector<std::int16_t> s(engine::kBlockSamples);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(
            std::lround(peak * std::sin(2 * std::numbers::pi * hz * double(i) / 48000.0)));
    return s;
}

// About 6 MB of fixed arrays, shared by the tests of one program.
inline app::AppState& state()
{
    static app::AppState s;
    return s;
}
inline app::AppState& gState = state();

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        settings::setStorePath(dir.filePath("settings.json"));
        capture::clearVirtualDevices();
        app::setMessagePresenter([this](QWidget*, const QString& text) { messages << text; });
    }

    void TearDown() override
    {
        if (window) {
            window->AudioIn1->StopAtOnce();
            captest::waitUntil([&] { return !window->AudioIn1->Active; });
        }
        window.reset();
        app::setMessagePresenter({});
        capture::clearVirtualDevices();
        settings::setStorePath({});
    }

    // The window as the program builds it (its settings dialog aside).
    app::TfrmMain& create()
    {
        window = std::make_unique<app::TfrmMain>(state(), QCoreApplication::applicationDirPath());
        window->setBlockObserver([this] { ++blocks; });
        return *window;
    }

    // A block handed to the window's block handler, as the audio input does.
    bool feed(std::vector<std::int16_t> samples)
    {
        int size = static_cast<int>(samples.size() * 2);
        return window->AudioIn1BufferFilled(reinterpret_cast<std::uint8_t*>(samples.data()), size);
    }

    QTemporaryDir dir;
    std::unique_ptr<app::TfrmMain> window;
    QStringList messages;
    int blocks = 0;
};

} // namespace apptest
