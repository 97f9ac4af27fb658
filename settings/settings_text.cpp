#include "settings/settings_text.h"

namespace settings {

QString layoutText(TextId id)
{
    switch (id) {
    case TextId::Scales:
        return QStringLiteral("Scales");
    case TextId::YAxisMax:
        return QStringLiteral("Y Axis Maximum");
    case TextId::YAxisMin:
        return QStringLiteral("Y Axis Minimum");
    case TextId::YAxisStep:
        return QStringLiteral("Y Axis Step");
    case TextId::Graph:
        return QStringLiteral("Graph");
    case TextId::Processing:
        return QStringLiteral("DSP");
    case TextId::Colours:
        return QStringLiteral("Colors");
    case TextId::Change:
        return QStringLiteral("Change");
    case TextId::Standard:
        return QStringLiteral("Standard");
    case TextId::Light:
        return QStringLiteral("Light");
    case TextId::Close:
        return QStringLiteral("Close");
    case TextId::Window:
        return QStringLiteral("Window");
    case TextId::Input:
        return QStringLiteral("Input");
    case TextId::Reference:
        return QStringLiteral("Reference");
    case TextId::ReferenceDbfs:
        return QStringLiteral("dBFS");
    case TextId::ReferenceSpl:
        return QStringLiteral("dB SPL");
    case TextId::ReferenceRaw:
        return QStringLiteral("dB (raw)");
    case TextId::Calibrated:
        return QStringLiteral("Calibrated: %1 dB (%2)");
    case TextId::NotCalibrated:
        return QStringLiteral("Not calibrated");
    case TextId::Maker:
        return QStringLiteral("Drevmark");
    case TextId::Product:
        return QStringLiteral("Spectrion");
    case TextId::SaveFailed:
        return QStringLiteral("The settings could not be saved to %1.\n%2");
    case TextId::LevelRangeInverted:
        return QStringLiteral("The Y axis minimum must lie below its maximum.");
    case TextId::LevelStepNotPositive:
        return QStringLiteral("The Y axis step must be above 0 dB.");
    case TextId::LevelStepTooFine:
        return QStringLiteral("The Y axis step is too fine for its range.");
    case TextId::FrequencyOutOfRange:
        return QStringLiteral("The X axis limits must lie between 1 Hz and 24000 Hz.");
    case TextId::FrequencyNotAscending:
        return QStringLiteral("The X axis minimum must lie below its maximum.");
    }
    return QString();
}

} // namespace settings
