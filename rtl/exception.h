#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace rtl {

// Base of every exception the system raises: an exception carrying a message text.
class Exception : public std::exception {
public:
    explicit Exception(const QString& message);

    const QString& Message() const { return FMessage; }
    void SetMessage(const QString& message);
    const char* what() const noexcept override { return FWhat.constData(); }

private:
    QString FMessage;
    QByteArray FWhat;
};

// A text that is not a number, date or time; messages are those of ConvertErrorMessage.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list: "List index out of bounds (%d)".
class EListError : public Exception {
public:
    using Exception::Exception;
    static EListError IndexError(qsizetype index);
};

// A file that cannot be opened, read or written; the message names the file.
class EFileError : public Exception {
public:
    using Exception::Exception;
};

// The conversion messages, kept in one place so every converter raises the same texts.
enum class ConvertError { Integer, Float, Date, Time, DateTime, Currency };
QString ConvertErrorMessage(ConvertError kind, const QString& text);
[[noreturn]] void RaiseConvertError(ConvertError kind, const QString& text);

}  // namespace rtl
