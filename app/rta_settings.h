#pragma once
// What the octave-band page takes from the settings dialog whenever it
// measures a block or paints its grid: the axis limits as numbers and the
// four grid colours. The defaults are the dialog's start values and its
// Standard colours. UI thread only.

#include "display/rta_display.h"
#include "settings/colour_table.h"
#include "settings/settings_dialog.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace app {

// Entries 11 to 14 of a colour set: background, axes, grid, axis texts.
constexpr display::RtaGridColours gridColoursOf(const settings::ColourSet& set)
{
    return {set[settings::BackgroundColour], set[settings::AxesColour], set[settings::GridColour],
            set[settings::AxesFontColour]};
}

struct RtaSettings {
    // Level axis limits in dB as decimal numbers; NaN while a field holds
    // none (the user may be typing).
    double yAxisMin = 20.0;
    double yAxisMax = 100.0;
    // The level fields as whole numbers, for the grid lines; nothing while a
    // field holds none.
    std::optional<std::int32_t> yAxisMinWhole = 20;
    std::optional<std::int32_t> yAxisMaxWhole = 100;
    std::optional<std::int32_t> yAxisStepWhole = 10;
    // Frequency axis limits in Hz; NaN while a field holds no number.
    double xAxisMin = 20.0;
    double xAxisMax = 20000.0;
    display::RtaGridColours colours = gridColoursOf(settings::kStandardColours);
};

inline constexpr double kNoNumber = std::numeric_limits<double>::quiet_NaN();

// The dialog's axis fields as they read now (the user may be typing) and
// entries 11 to 14 of the colour table.
RtaSettings readRtaSettings(const settings::TfrmSettings& dialog,
                            const settings::ColourTable& colours);

} // namespace app
