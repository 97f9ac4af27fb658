#include "analyzer_settings.h"

#include "settings/registry.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace app {
namespace {

const QString kFftSubkey = QStringLiteral("\\FFT");
const QString kScopeSubkey = QStringLiteral("\\Scope");

std::optional<int> storedInteger(const settings::Registry& r, const QString& name, int lo, int hi)
{
    try {
        if (r.valueExists(name)) {
            const int v = r.readInteger(name);
            if (v >= lo && v <= hi)
                return v;
        }
    } catch (const settings::ReadError&) {
    }
    return std::nullopt;
}

// Numbers are kept as text (the store holds integers and strings).
std::optional<double> storedNumber(const settings::Registry& r, const QString& name, double lo,
                                   double hi)
{
    try {
        if (r.valueExists(name)) {
            bool ok = false;
            const double v = r.readString(name).toDouble(&ok);
            if (ok && v >= lo && v <= hi)
                return v;
        }
    } catch (const settings::ReadError&) {
    }
    return std::nullopt;
}

QString numberText(double v)
{
    return QString::number(v, 'g', 10);
}

bool openKey(settings::Registry& r, const settings::StoreKey& key, const QString& subkey,
             bool create)
{
    r.setRootKey(key.root);
    return r.openKey(key.path + subkey, create);
}

bool closeKey(settings::Registry& r, QString& error)
{
    if (r.closeKey())
        return true;
    error = r.errorString();
    return false;
}

} // namespace

bool normaliseFftView(engine::FftView& view)
{
    using S = FftPageSettings;
    const engine::FftView fallback;
    if (!std::isfinite(view.fMin) || !std::isfinite(view.fMax) || !std::isfinite(view.levelTop) ||
        !std::isfinite(view.levelRange)) {
        view = fallback;
        return false;
    }
    view.fMin = std::clamp(view.fMin, S::kMinFrequency, S::kMaxFrequency);
    view.fMax = std::clamp(view.fMax, S::kMinFrequency, S::kMaxFrequency);
    if (view.scale == engine::FftAxisScale::Log && view.fMin < engine::kFftLogLowest)
        view.fMin = engine::kFftLogDefaultMin;
    if (view.fMax <= view.fMin) {
        view.fMin = view.scale == engine::FftAxisScale::Log ? engine::kFftLogDefaultMin : 0.0;
        view.fMax = S::kMaxFrequency;
    }
    view.levelTop = std::clamp(view.levelTop, engine::kFftLevelTopMin, engine::kFftLevelTopMax);
    view.levelRange =
        std::clamp(view.levelRange, engine::kFftLevelRangeMin, engine::kFftLevelRangeMax);
    return true;
}

FftPageSettings loadFftPageSettings(const settings::StoreKey& programKey)
{
    FftPageSettings s;
    settings::Registry r(programKey.fileName);
    if (!openKey(r, programKey, kFftSubkey, false))
        return s;
    if (const auto v = storedInteger(r, "Averaging", 0, engine::kFftAveragingItems - 1))
        s.averaging = static_cast<engine::FftAveraging>(*v);
    if (const auto v = storedInteger(r, "Hold", 0, 1))
        s.hold = *v != 0;
    if (const auto v = storedInteger(r, "Length", engine::kBlockSamples, engine::kMaxFftLength);
        v && engine::isFftLength(*v))
        s.length = *v;
    if (const auto v = storedInteger(r, "Axis", 0, 1))
        s.view.scale = static_cast<engine::FftAxisScale>(*v);
    using S = FftPageSettings;
    s.view.fMin =
        storedNumber(r, "FrequencyFrom", S::kMinFrequency, S::kMaxFrequency).value_or(s.view.fMin);
    s.view.fMax =
        storedNumber(r, "FrequencyTo", S::kMinFrequency, S::kMaxFrequency).value_or(s.view.fMax);
    s.view.levelTop = storedNumber(r, "LevelTop", engine::kFftLevelTopMin, engine::kFftLevelTopMax)
                          .value_or(s.view.levelTop);
    s.view.levelRange =
        storedNumber(r, "LevelRange", engine::kFftLevelRangeMin, engine::kFftLevelRangeMax)
            .value_or(s.view.levelRange);
    normaliseFftView(s.view);
    return s;
}

ScopePageSettings loadScopePageSettings(const settings::StoreKey& programKey)
{
    ScopePageSettings s;
    settings::Registry r(programKey.fileName);
    if (!openKey(r, programKey, kScopeSubkey, false))
        return s;
    if (const auto v = storedInteger(r, "TriggerMode", 0, 3))
        s.trigger.mode = static_cast<engine::TriggerMode>(*v);
    if (const auto v = storedInteger(r, "TriggerEdge", 0, 1))
        s.trigger.edge = static_cast<engine::TriggerEdge>(*v);
    s.trigger.levelPercent =
        storedNumber(r, "TriggerLevel", -engine::kTriggerLevelLimit, engine::kTriggerLevelLimit)
            .value_or(s.trigger.levelPercent);
    s.trigger.positionPercent =
        storedNumber(r, "TriggerPosition", 0, 100).value_or(s.trigger.positionPercent);
    if (const auto v = storedInteger(r, "Style", 0, 1))
        s.style = static_cast<display::ScopeTraceStyle>(*v);
    return s;
}

bool saveFftPageSettings(const settings::StoreKey& programKey, const FftPageSettings& s,
                         QString& error)
{
    settings::Registry r(programKey.fileName);
    if (!openKey(r, programKey, kFftSubkey, true)) {
        error = r.errorString();
        return false;
    }
    r.writeInteger("Averaging", static_cast<int>(s.averaging));
    r.writeInteger("Hold", s.hold ? 1 : 0);
    r.writeInteger("Length", s.length);
    r.writeInteger("Axis", static_cast<int>(s.view.scale));
    r.writeString("FrequencyFrom", numberText(s.view.fMin));
    r.writeString("FrequencyTo", numberText(s.view.fMax));
    r.writeString("LevelTop", numberText(s.view.levelTop));
    r.writeString("LevelRange", numberText(s.view.levelRange));
    return closeKey(r, error);
}

bool saveScopePageSettings(const settings::StoreKey& programKey, const ScopePageSettings& s,
                           QString& error)
{
    settings::Registry r(programKey.fileName);
    if (!openKey(r, programKey, kScopeSubkey, true)) {
        error = r.errorString();
        return false;
    }
    r.writeInteger("TriggerMode", static_cast<int>(s.trigger.mode));
    r.writeInteger("TriggerEdge", static_cast<int>(s.trigger.edge));
    r.writeString("TriggerLevel", numberText(s.trigger.levelPercent));
    r.writeString("TriggerPosition", numberText(s.trigger.positionPercent));
    r.writeInteger("Style", static_cast<int>(s.style));
    return closeKey(r, error);
}

} // namespace app
