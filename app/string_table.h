#pragma once
// The program's numbered texts (65200 .. 65279, and later ranges above it, such as 65400 ..
// 65499 for the messages and the status line, 65500 .. 65599 for the generator): every text set
// on a control or shown in a message at run time comes from here, in German.

#include <QString>

namespace app {

// The text of string `id`, or an empty string for a number without a text.
QString LoadStr(int id);

// Numbers of the texts the program looks up by name.
enum StringId : int {
    sLevelAxisTitle = 65200,
    sScales = 65201,
    sYAxisMax = 65202,
    sYAxisMin = 65203,
    sYAxisStep = 65204,
    sGraphicsPage = 65205,
    sSignalPage = 65206,
    sColours = 65207,
    sChange = 65208,
    sScopeTab = 65210,
    sFftTab = 65211,
    sOctaveTab = 65212,
    sAnalysis = 65213,
    sCheckInput = 65214,
    sStandard = 65215,
    sLight = 65216,
    sClose = 65217,
    sWindowing = 65218,
    sComment = 65209,
    sMemory = 65219,
    sTools = 65220,
    sAveraging = 65221,
    sResolution = 65222,
    sAvgVerySlow = 65223,
    sAvgSlow = 65224,
    sAvgFast = 65225,
    sAvgNone = 65226,
    sExportSpectrum = 65227,
    sInput = 65228,
    sCaptureFailed = 65229,
    sSettingsNotSaved = 65230,
    sHelpMissing = 65231,
    sNoStoredSpectra = 65232,
    sNoRtaMeasurement = 65233,
    sOpenSpectra = 65236,
    sMemoryScope = 65237,
    sMemoryFft = 65238,
    sMemoryRta = 65239,
    sSupportPage = 65240,
    sDefaultDevice = 65241,
    sClearAll = 65244,
    sInputVolume = 65245,
    sSettings = 65246,
    sNoSoundCard = 65248,
    sHelp = 65249,
    sFile = 65250,
    sExit = 65251,
    sHelpFile = 65252,
    sMaker = 65275,
    sVersion = 65276,
    sProduct = 65277,
    sFftLevelAxisTitle = 65300,
    sSettingsSaveFailed = 65400, // %1 the settings file, %2 the technical reason
    sDeviceMissing = 65406,      // %1 the stored device's name
    sStartNoDevice = 65410,      // why a start failed, by the device layer's code
    sStartDeviceBusy = 65411,
    sStartDeviceUnavailable = 65412,
    sStartBadFormat = 65413,
    sStartNoMemory = 65414,
    sStartFailed = 65415,
    sTechnicalDetail = 65416, // %1 the technical text after a German sentence
    sNoBrowser = 65420,       // %1 the page
    sNoMixer = 65421,
    sStatusInput = 65430, // the status line's parts
    sStatusRate = 65431,
    sStatusBlocks = 65432,
    sStatusDropped = 65433,
    sStatusOverflows = 65434,
    sStatusStalled = 65435,
    sStatusResampled = 65436,
    sStatusChannel = 65437,
    sStatusMixed = 65438,
    sStatusRepaired = 65439,
    sStatusStopped = 65440,
    sGeneratorMenu = 65500,
    sGenerator = 65501,
    sOutput = 65502,
    sSignal = 65503,
    sPinkNoise = 65504,
    sWhiteNoise = 65505,
    sSine = 65506,
    sSweep = 65507,
    sFrequency = 65508,
    sSweepStart = 65509,
    sSweepEnd = 65510,
    sSweepDuration = 65511,
    sLevelRms = 65512,
    sLevelPeak = 65513,
    sStartOutput = 65514,
    sStopOutput = 65515,
    sOutputFailed = 65516,
    sOutputNotStarted = 65517,
    sGeneratorSettingsNotSaved = 65518,
};

} // namespace app
