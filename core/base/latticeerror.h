#pragma once

#include "rtl/exception.h"
#include "rtl/format.h"

#include <initializer_list>

// Base exception of the query core: a message with the number of the failure within the raising
// unit's list of codes. EZDBStructError, EZQueryBaseError and EZQueryPanelError derive from it.
class EZLatticeError : public rtl::Exception {
public:
    EZLatticeError(int ErrorCode, const QString& Msg) : rtl::Exception(Msg), FErrorCode(ErrorCode) {}
    // The formatted form; descendants inherit it with the other constructor, so they raise
    // EZDBStructError(3, Fmt, {Name}) without being sliced to the base.
    EZLatticeError(int ErrorCode, const QString& Fmt, std::initializer_list<rtl::FormatArg> Args)
        : EZLatticeError(ErrorCode, rtl::FormatList(Fmt, Args))
    {
    }

    template <typename... Args>
    static EZLatticeError CreateFmt(int ErrorCode, const QString& Fmt, const Args&... args)
    {
        return EZLatticeError(ErrorCode, Fmt, {rtl::FormatArg(args)...});
    }

    int ErrorCode() const { return FErrorCode; }

private:
    int FErrorCode;
};
