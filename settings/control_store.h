#pragma once
// SReg and GReg: a dialog control kept in one key of the settings store under its own object
// name, a QLineEdit's text as a string value and a QCheckBox's checked state as a Boolean (the
// integer 0 or 1). Other controls are neither written nor read, so a control kept this way must
// keep its object name. UI thread only; each call opens and closes the key itself.

#include "settings/registry.h"

#include <QString>

class QWidget;

namespace settings {

// One key of one settings file.
struct StoreKey {
    QString fileName;
    QString path; // e.g. "\Software\Drevmark\Spectrion"
    RootKey root = RootKey::HKEY_LOCAL_MACHINE;
};

// "\Software\" + maker + "\" + product: the program's settings key.
QString settingsKeyPath(const QString& maker, const QString& product);

// The program's settings key in the file storePath() names now.
StoreKey settingsKey(const QString& maker, const QString& product);

// Opens the key (creating it), writes the control's value, closes the key. Returns whether the
// value reached the file; reports nothing itself, so a dialog saving many controls does not
// pile up messages.
bool SReg(const StoreKey& key, const QWidget& control);

enum class LoadResult {
    Loaded,  // the stored value is in the control
    Missing, // no such value (or no such key)
    Failed,  // a value of the other type, a key path blocked by a value, or a control of
             // another kind: the control is as it was
};

// The old helper: opens the key (creating it), puts the stored value into the control; a
// missing string value empties an edit, every other failure leaves the control as it was. The
// result says which happened; callers wanting only the old behaviour ignore it.
LoadResult GReg(const StoreKey& key, QWidget& control);

// Like GReg, but changes the control only when it returns Loaded and never creates the key
// (never writes the file), for callers that fall back to their own defaults instead.
LoadResult loadControl(const StoreKey& key, QWidget& control);

} // namespace settings
