#include "settings/read_error.h"

namespace settings {

namespace {

std::string describe(ReadError::Reason reason, const QString& valueName)
{
    const char* what = "";
    switch (reason) {
    case ReadError::Reason::NoKey:
        what = "no settings key is open to read '%1'";
        break;
    case ReadError::Reason::Missing:
        what = "settings value '%1' is missing";
        break;
    case ReadError::Reason::WrongType:
        what = "settings value '%1' has another type";
        break;
    }
    return QString::fromLatin1(what).arg(valueName).toStdString();
}

} // namespace

ReadError::ReadError(Reason reason, const QString& valueName)
    : std::runtime_error(describe(reason, valueName)), m_reason(reason), m_valueName(valueName)
{
}

} // namespace settings
