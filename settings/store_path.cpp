#include "settings/store_path.h"

#include <QDir>
#include <QStandardPaths>
#include <QtGlobal>

namespace settings {

namespace {

// The maker's and the product's names, as the program names itself.
constexpr auto kMakerFolder = "Drevmark";
constexpr auto kProductFolder = "Spectrion";
constexpr auto kFileName = "settings.json";
constexpr auto kEnvironmentVariable = "SPECTRION_SETTINGS";

QString& chosenPath()
{
    static QString path;
    return path;
}

} // namespace

QString defaultStorePath()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(base).filePath(QStringLiteral("%1/%2/%3")
                                   .arg(QLatin1String(kMakerFolder), QLatin1String(kProductFolder),
                                        QLatin1String(kFileName)));
}

QString storePath()
{
    if (!chosenPath().isEmpty())
        return chosenPath();
    const QString fromEnvironment = qEnvironmentVariable(kEnvironmentVariable);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return defaultStorePath();
}

void setStorePath(const QString& path)
{
    chosenPath() = path;
}

} // namespace settings
