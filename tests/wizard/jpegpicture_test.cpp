#include "wizard/jpegpicture.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray Picture(const char* Name)
{
    QFile file(QStringLiteral(NUV_SOURCE_DIR "/wizard/pictures/") + QLatin1String(Name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << Name;
    return file.readAll();
}

}  // namespace

TEST(JpegPicture, TheShippedPicturesDecodeToTheirSize)
{
    for (const char* name : {"welcome.jpg", "finish.jpg"}) {
        const QImage image = DecodeJpeg(Picture(name));
        EXPECT_EQ(image.size(), QSize(164, 314)) << name;
        // The gradient starts dark at the top: a decoder that leaves rows blank shows white.
        EXPECT_LT(qGray(image.pixel(2, 2)), 128) << name;
    }
}

// libjpeg's own handler ends the process; a damaged picture must raise instead.
TEST(JpegPicture, DamagedDataRaisesInsteadOfEndingTheProgram)
{
    const QByteArray good = Picture("welcome.jpg");
    for (const QByteArray& bad : {QByteArray(), QByteArray("not a picture"), good.left(good.size() / 2),
             good.left(200) + QByteArray(400, '\x55') + good.mid(600)}) {
        EXPECT_THROW(DecodeJpeg(bad), EJpegError);
    }
}
