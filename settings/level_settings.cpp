#include "settings/level_settings.h"

#include "settings/registry.h"

#include <cmath>
#include <cstdint>

namespace settings {
namespace {

const QString kReference = QStringLiteral("LevelReference");
const QString kOffset = QStringLiteral("CalibrationOffset");
const QString kDate = QStringLiteral("CalibrationDate");
const QString kCorrection = QStringLiteral("MicCorrectionFile");
const QString kWeighting = QStringLiteral("Weighting");
const QString kRtaCurve = QStringLiteral("RtaCurve");

template <class T>
T orDefault(const Registry& registry, const QString& name, T fallback,
            T (Registry::*read)(const QString&) const)
{
    try {
        return (registry.*read)(name);
    } catch (const ReadError&) {
        return fallback;
    }
}

// An integer value as one of `count` items of an enum, else the fallback.
template <class E>
E itemOr(const Registry& registry, const QString& name, E fallback, int count)
{
    const std::int32_t v =
        orDefault(registry, name, std::int32_t(fallback), &Registry::readInteger);
    return v >= 0 && v < count ? E(v) : fallback;
}

} // namespace

LevelSettings loadLevelSettings(const StoreKey& key, bool axisLimitsStored)
{
    LevelSettings s;
    s.reference = axisLimitsStored ? engine::LevelReference::Raw : engine::LevelReference::Dbfs;
    Registry registry(key.fileName);
    registry.setRootKey(key.root);
    if (!registry.openKey(key.path, false))
        return s;
    s.reference = itemOr(registry, kReference, s.reference, 3);
    bool ok = false;
    const double offset =
        orDefault(registry, kOffset, QString(), &Registry::readString).toDouble(&ok);
    if (ok && std::isfinite(offset))
        s.calibrationOffsetDb = offset;
    s.calibrationDate = orDefault(registry, kDate, QString(), &Registry::readString);
    s.micCorrectionFile = orDefault(registry, kCorrection, QString(), &Registry::readString);
    s.weighting = itemOr(registry, kWeighting, s.weighting, 3);
    s.rtaCurve = itemOr(registry, kRtaCurve, s.rtaCurve, 3);
    return s;
}

QString saveLevelSettings(const StoreKey& key, const LevelSettings& levels)
{
    Registry registry(key.fileName);
    registry.setRootKey(key.root);
    if (!registry.openKey(key.path, true))
        return QStringLiteral("Die Einstellungen konnten nicht gespeichert werden: Der Schlüssel "
                              "%1 ist durch einen Wert belegt.")
            .arg(key.path);
    writeLevelSettings(registry, levels);
    if (!registry.closeKey())
        return registry.errorString();
    return {};
}

void writeLevelSettings(Registry& registry, const LevelSettings& levels)
{
    registry.writeInteger(kReference, std::int32_t(levels.reference));
    // A decimal with a dot, whatever the locale, and exact enough to read back.
    registry.writeString(kOffset, levels.calibrationOffsetDb
                                      ? QString::number(*levels.calibrationOffsetDb, 'g', 17)
                                      : QString());
    registry.writeString(kDate, levels.calibrationDate);
    registry.writeString(kCorrection, levels.micCorrectionFile);
    registry.writeInteger(kWeighting, std::int32_t(levels.weighting));
    registry.writeInteger(kRtaCurve, std::int32_t(levels.rtaCurve));
}

} // namespace settings
