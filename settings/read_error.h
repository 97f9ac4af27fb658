#pragma once
// The one error the settings reads throw, so that a sequence of reads can be guarded by a single
// try block. Nothing else in settings/ throws; catch it before control returns to the event loop.

#include <QString>

#include <stdexcept>

namespace settings {

class ReadError : public std::runtime_error {
public:
    enum class Reason {
        NoKey,     // no key is open (opening it failed)
        Missing,   // the key has no value of that name
        WrongType, // the value is a string where an integer was asked for, or the reverse
    };

    ReadError(Reason reason, const QString& valueName);

    Reason reason() const { return m_reason; }
    const QString& valueName() const { return m_valueName; }

private:
    Reason m_reason;
    QString m_valueName;
};

} // namespace settings
