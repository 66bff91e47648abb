#pragma once

#include "rtl/exception.h"

#include <QByteArray>
#include <QImage>

// A JPEG picture that libjpeg cannot read; the message is the library's.
class EJpegError : public rtl::Exception {
public:
    using rtl::Exception::Exception;
};

// Decodes a stored JPEG picture for display. Damaged data raises EJpegError; it never ends the
// program, as libjpeg's own error handler would.
QImage DecodeJpeg(const QByteArray& Data);
