#pragma once
// The string-table numbers of the settings dialog's texts, and the texts the dialog's layout shows
// where the application's string table has no entry for one of them.

#include <QString>

namespace settings {

enum class TextId : int {
    Scales = 65201, // group of the level-axis fields
    YAxisMax = 65202,
    YAxisMin = 65203,
    YAxisStep = 65204,
    Graph = 65205,      // first page
    Processing = 65206, // second page
    Colours = 65207,
    Change = 65208,
    Standard = 65215,
    Light = 65216,
    Close = 65217,
    Window = 65218,
    Input = 65228,
    Reference = 65700, // group of the level reference
    ReferenceDbfs = 65701,
    ReferenceSpl = 65702,
    ReferenceRaw = 65703,
    Calibrated = 65704, // %1 offset in dB, %2 date
    NotCalibrated = 65705,
    Maker = 65275,   // first part of the settings key's name
    Product = 65277, // second part of the settings key's name
    // Messages: the settings file could not be written (%1 the file, %2 the technical reason),
    // and the axis fields' refusals (see axis_check.h).
    SaveFailed = 65400,
    LevelRangeInverted = 65401,
    LevelStepNotPositive = 65402,
    LevelStepTooFine = 65403,
    FrequencyOutOfRange = 65404,
    FrequencyNotAscending = 65405,
};

// The layout's own text for id: English captions and messages, and the maker's and product's
// names.
QString layoutText(TextId id);

} // namespace settings
