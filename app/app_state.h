#pragma once
// Everything the measurement keeps for the whole run: one static instance,
// owned by main() and handed to the main window by reference.

#include "engine/band_plan.h"
#include "engine/measurement_state.h"
#include "memories/slot_tables.h"
#include "settings/colour_table.h"

namespace app {

struct AppState {
    engine::MeasurementState measurement;
    engine::BandPlan bandPlan;
    memories::SlotTables memory;   // the nine memory slots of each analyzer
    settings::ColourTable colours; // GraphColors, edited in the settings dialog
};

} // namespace app
