#include "settings/save_failure.h"

#include <QDir>
#include <QSet>

namespace settings {

bool isNewSaveFailure(const QString& failure)
{
    static QSet<QString> reported;
    if (reported.contains(failure))
        return false;
    reported.insert(failure);
    return true;
}

QString saveFailureMessage(const QString& pattern, const QString& fileName, const QString& failure)
{
    return pattern.arg(QDir::toNativeSeparators(fileName), failure);
}

} // namespace settings
