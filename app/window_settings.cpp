#include "window_settings.h"

#include "form_layout.h"

#include "settings/registry.h"

#include <QDir>

namespace app {
namespace {

const QString kDevice = QStringLiteral("InputDevice");
const QString kAveraging = QStringLiteral("cboAveraging");
const QString kResolution = QStringLiteral("cboOctaveType");
const QString kPage = QStringLiteral("pgcAnalyzers");
const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
const QString kMaximized = QStringLiteral("Maximized");

std::optional<int> readItem(const settings::Registry& registry, const QString& name, int last)
{
    try {
        const int value = registry.readInteger(name);
        if (value >= 0 && value <= last)
            return value;
    } catch (const settings::ReadError&) {
    }
    return std::nullopt;
}

} // namespace

WindowSettings loadWindowSettings(const settings::StoreKey& key)
{
    WindowSettings s;
    settings::Registry registry(key.fileName);
    registry.setRootKey(key.root);
    if (!registry.openKey(key.path, false))
        return s;
    try {
        s.inputDevice = registry.readString(kDevice);
    } catch (const settings::ReadError&) {
    }
    s.averaging = readItem(registry, kAveraging, 3).value_or(s.averaging);
    s.resolution = readItem(registry, kResolution, 3).value_or(s.resolution);
    s.page = readItem(registry, kPage, 2).value_or(s.page);
    try {
        s.position = QPoint(registry.readInteger(kLeft), registry.readInteger(kTop));
    } catch (const settings::ReadError&) {
    }
    try {
        const QSize size(registry.readInteger(kWidth), registry.readInteger(kHeight));
        if (size == size.expandedTo(kMinimumWindow).boundedTo(kMaximumWindow))
            s.size = size;
    } catch (const settings::ReadError&) {
    }
    s.maximized = readItem(registry, kMaximized, 1).value_or(0) == 1;
    return s;
}

QString saveWindowSettings(const settings::StoreKey& key, const WindowSettings& before,
                           const WindowSettings& now)
{
    if (now == before)
        return {};
    settings::Registry registry(key.fileName);
    registry.setRootKey(key.root);
    if (!registry.openKey(key.path, true))
        return QStringLiteral("\"%1\": %2 is a value, not a key")
            .arg(QDir::toNativeSeparators(key.fileName), key.path);
    if (now.inputDevice != before.inputDevice)
        registry.writeString(kDevice, now.inputDevice);
    if (now.averaging != before.averaging)
        registry.writeInteger(kAveraging, now.averaging);
    if (now.resolution != before.resolution)
        registry.writeInteger(kResolution, now.resolution);
    if (now.page != before.page)
        registry.writeInteger(kPage, now.page);
    if (now.position != before.position && now.position) {
        registry.writeInteger(kLeft, now.position->x());
        registry.writeInteger(kTop, now.position->y());
    }
    if (now.size != before.size && now.size) {
        registry.writeInteger(kWidth, now.size->width());
        registry.writeInteger(kHeight, now.size->height());
    }
    if (now.maximized != before.maximized)
        registry.writeInteger(kMaximized, now.maximized ? 1 : 0);
    const bool changed = registry.hasChangedValues();
    if (registry.closeKey() || !changed)
        return {};
    return registry.errorString();
}

} // namespace app
