#pragma once
// Telling the user that settings could not be saved: once per run and reason, however often the
// program tries again, and only when a changed value was lost. UI thread only.

#include <QString>

namespace settings {

// True the first time this failure (a Registry's errorString()) occurs in this run.
bool isNewSaveFailure(const QString& failure);

// The message for the user: `pattern` (a string-table text) with %1 the settings file and %2
// the technical reason.
QString saveFailureMessage(const QString& pattern, const QString& fileName, const QString& failure);

} // namespace settings
