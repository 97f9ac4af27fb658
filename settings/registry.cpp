#include "settings/registry.h"

#include "settings/store_file.h"

#include <QDir>

#include <utility>

namespace settings {

namespace {

QString rootName(RootKey root)
{
    switch (root) {
    case RootKey::HKEY_CURRENT_USER:
        return QStringLiteral("HKEY_CURRENT_USER");
    case RootKey::HKEY_LOCAL_MACHINE:
        break;
    }
    return QStringLiteral("HKEY_LOCAL_MACHINE");
}

// Puts the values into the key at path[depth...] below node, creating the keys on the way.
// False, changing nothing, where a value stands in the way (the file changed since the key was
// opened): no value is ever dropped to make room.
bool applyValues(QJsonObject& node, const QStringList& path, qsizetype depth,
                 const QJsonObject& values)
{
    if (depth == path.size()) {
        for (auto it = values.begin(); it != values.end(); ++it)
            node.insert(it.key(), it.value());
        return true;
    }
    const QJsonValue existing = node.value(path[depth]);
    if (!existing.isUndefined() && !existing.isObject())
        return false;
    QJsonObject child = existing.toObject();
    if (!applyValues(child, path, depth + 1, values))
        return false;
    node.insert(path[depth], child);
    return true;
}

QString writeFailure(const QString& fileName, const QString& why)
{
    return QStringLiteral("\"%1\": %2").arg(QDir::toNativeSeparators(fileName), why);
}

bool sameValue(const QJsonValue& stored, const QJsonValue& value)
{
    if (value.isString())
        return stored.isString() && stored.toString() == value.toString();
    return isStoredInteger(stored) && isStoredInteger(value) &&
           stored.toInteger() == value.toInteger();
}

} // namespace

Registry::Registry(QString fileName) : m_fileName(std::move(fileName)) {}

Registry::~Registry()
{
    closeKey();
}

void Registry::setRootKey(RootKey root)
{
    closeKey();
    m_root = root;
}

bool Registry::openKey(const QString& key, bool canCreate)
{
    closeKey();

    const QStringList path =
        QStringList{rootName(m_root)} + key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    const StoreFileContents contents = readStoreFile(m_fileName);

    // A value where a key of the path belongs blocks it: it is never replaced by a key.
    QJsonObject node = contents.tree;
    bool missing = false;
    for (const QString& part : path) {
        const QJsonValue child = node.value(part);
        if (child.isUndefined()) {
            missing = true;
            break;
        }
        if (!child.isObject())
            return false;
        node = child.toObject();
    }
    if (missing && !canCreate)
        return false;

    m_open = true;
    m_created = missing;
    m_path = path;
    m_values = missing ? QJsonObject() : node;
    m_written = QJsonObject();
    return true;
}

bool Registry::closeKey()
{
    if (!m_open)
        return true;
    const bool changed = hasChanges();
    const QJsonObject written = std::exchange(m_written, QJsonObject());
    m_open = false;
    m_created = false;
    m_values = QJsonObject();
    m_error.clear();
    if (!changed)
        return true;

    // Merge into the file as it is now, so keys written by others since the open survive.
    StoreFileContents contents = readStoreFile(m_fileName);
    if (contents.status == StoreFileContents::Status::Unreadable) {
        m_error = writeFailure(m_fileName, contents.error);
        return false;
    }
    if (!applyValues(contents.tree, m_path, 0, written)) {
        m_error = writeFailure(
            m_fileName,
            QStringLiteral("%1 is a value, not a key").arg(m_path.join(QLatin1Char('\\'))));
        return false;
    }
    const QString why = writeStoreFile(m_fileName, contents.tree);
    if (!why.isEmpty()) {
        m_error = writeFailure(m_fileName, why);
        return false;
    }
    return true;
}

bool Registry::valueExists(const QString& name) const
{
    if (!m_open)
        return false;
    const QJsonValue value = m_values.value(name);
    return !value.isUndefined() && !value.isObject();
}

QJsonValue Registry::storedValue(const QString& name) const
{
    if (!m_open)
        throw ReadError(ReadError::Reason::NoKey, name);
    if (!valueExists(name))
        throw ReadError(ReadError::Reason::Missing, name);
    return m_values.value(name);
}

std::int32_t Registry::readInteger(const QString& name) const
{
    const QJsonValue value = storedValue(name);
    if (!isStoredInteger(value))
        throw ReadError(ReadError::Reason::WrongType, name);
    return std::int32_t(value.toInteger());
}

QString Registry::readString(const QString& name) const
{
    const QJsonValue value = storedValue(name);
    if (!value.isString())
        throw ReadError(ReadError::Reason::WrongType, name);
    return value.toString();
}

bool Registry::readBool(const QString& name) const
{
    return readInteger(name) != 0;
}

bool Registry::write(const QString& name, const QJsonValue& value)
{
    if (!m_open || m_values.value(name).isObject())
        return false;
    if (sameValue(m_values.value(name), value))
        return true;
    m_values.insert(name, value);
    m_written.insert(name, value);
    return true;
}

bool Registry::writeInteger(const QString& name, std::int32_t value)
{
    return write(name, QJsonValue(qint64(value)));
}

bool Registry::writeString(const QString& name, const QString& value)
{
    return write(name, QJsonValue(value));
}

bool Registry::writeBool(const QString& name, bool value)
{
    return writeInteger(name, value ? 1 : 0);
}

} // namespace settings
