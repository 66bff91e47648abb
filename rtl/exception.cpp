#include "rtl/exception.h"

#include <array>

namespace rtl {

Exception::Exception(const QString& message) : FMessage(message), FWhat(message.toUtf8())
{
}

void Exception::SetMessage(const QString& message)
{
    FMessage = message;
    FWhat = message.toUtf8();
}

EListError EListError::IndexError(qsizetype index)
{
    return EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

namespace {

// Indexed by ConvertError; a currency text is reported as a floating point one.
constexpr std::array<const char*, 6> ConvertErrorTexts = {
    "'%1' is not a valid integer value",
    "'%1' is not a valid floating point value",
    "'%1' is not a valid date",
    "'%1' is not a valid time",
    "'%1' is not a valid date and time",
    "'%1' is not a valid floating point value",
};
static_assert(ConvertErrorTexts.size() == size_t(ConvertError::Currency) + 1);

}  // namespace

QString ConvertErrorMessage(ConvertError kind, const QString& text)
{
    return QString::fromLatin1(ConvertErrorTexts[size_t(kind)]).arg(text);
}

void RaiseConvertError(ConvertError kind, const QString& text)
{
    throw EConvertError(ConvertErrorMessage(kind, text));
}

}  // namespace rtl
