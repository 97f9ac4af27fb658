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
    }
    return QString();
}

} // namespace settings
