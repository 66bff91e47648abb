#include "wizard/jpegpicture.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return; jumping back into
// DecodeJpeg keeps C++ exceptions out of the library's C frames.
struct TErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Return;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr Info)
{
    auto* manager = reinterpret_cast<TErrorManager*>(Info->err);
    (*Info->err->format_message)(Info, manager->Message);
    std::longjmp(manager->Return, 1);
}

// Warnings of a damaged stream are errors too: a picture shown half grey is no picture.
void EmitMessage(j_common_ptr Info, int Level)
{
    if (Level < 0)
        ErrorExit(Info);
}

}  // namespace

QImage DecodeJpeg(const QByteArray& Data)
{
    jpeg_decompress_struct info {};
    TErrorManager errors {};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = ErrorExit;
    errors.Base.emit_message = EmitMessage;
    // Set after setjmp and read after the jump, hence volatile.
    QImage* volatile image = nullptr;
    if (setjmp(errors.Return)) {
        jpeg_destroy_decompress(&info);
        delete image;
        throw EJpegError(QString::fromLocal8Bit(errors.Message));
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(Data.constData()),
        static_cast<unsigned long>(Data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image = new QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image->isNull()) {
        jpeg_destroy_decompress(&info);
        delete image;
        throw EJpegError(QStringLiteral("The picture is too large"));
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    QImage result = std::move(*image);
    delete image;
    return result;
}
