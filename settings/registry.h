#pragma once
// The settings store seen as the registry the program was written for: open one key under a
// root, read and write its integer and string values, close it. Reads see the file as it was
// when the key was opened, plus this object's own writes; the writes reach the file, atomically
// and all in one replacement, when the key is closed, and only if a value changed or the key was
// created. Values of other types in the file are kept as they are. Create one object per use, on
// the UI thread.

#include "settings/read_error.h"
#include "settings/store_path.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace settings {

enum class RootKey { HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE };

class Registry {
public:
    explicit Registry(QString fileName = storePath());
    // Closes the key. A write failing here is dropped silently: callers that report failures
    // call closeKey() themselves.
    ~Registry();

    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    const QString& fileName() const { return m_fileName; }
    RootKey rootKey() const { return m_root; }
    void setRootKey(RootKey root); // closes the open key first

    // Opens key, a path such as "\Software\Maker\Product" (the leading backslash is optional),
    // closing any key open before. A key missing from the file fails unless canCreate is set;
    // then it is created when the key is closed. Fails too where a part of the path is a value.
    bool openKey(const QString& key, bool canCreate);
    bool hasCurrentKey() const { return m_open; }

    bool valueExists(const QString& name) const;

    // Throw ReadError when no key is open, the value is missing or has the other type.
    std::int32_t readInteger(const QString& name) const;
    QString readString(const QString& name) const;
    bool readBool(const QString& name) const; // an integer; anything but 0 is true

    // Change the open key; false (and nothing changes) when no key is open or name is a subkey.
    // Writing the value already stored changes nothing.
    bool writeInteger(const QString& name, std::int32_t value);
    bool writeString(const QString& name, const QString& value);
    bool writeBool(const QString& name, bool value); // stored as the integer 0 or 1

    // Whether closing the key will write the file: it was created or a value changed.
    bool hasChanges() const { return m_open && (m_created || !m_written.isEmpty()); }
    // Whether a value changed (a created key alone does not count).
    bool hasChangedValues() const { return m_open && !m_written.isEmpty(); }

    // Writes the file if hasChanges(). True when nothing needed writing or the write succeeded.
    // On failure the file stays as it was, this key's changes are dropped and errorString()
    // gives the technical reason, naming the file: callers put it after a sentence of their own.
    bool closeKey();
    QString errorString() const { return m_error; }

private:
    bool write(const QString& name, const QJsonValue& value);
    QJsonValue storedValue(const QString& name) const;

    QString m_fileName;
    RootKey m_root = RootKey::HKEY_LOCAL_MACHINE;
    bool m_open = false;
    bool m_created = false;
    QStringList m_path;    // root name first, then the key's parts
    QJsonObject m_values;  // the open key as read, with this object's writes applied
    QJsonObject m_written; // this object's writes since the key was opened
    QString m_error;
};

} // namespace settings
