#pragma once

#include <QString>

// The message of the exception of type E that f raises; "(no error)" when it raises none.
template <typename E, typename F>
QString ErrorText(F f)
{
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}
